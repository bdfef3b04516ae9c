# Writes engine/revision.h: the commit the program is built from, or "unknown"
# outside a git checkout (a source archive, or no git). Run at every build so that
# a new commit is seen without configuring again; the file is rewritten only when
# the commit changed, so that nothing is compiled again otherwise.
# Usage: cmake -DSOURCE_DIR=... -DOUTPUT=... -P revision.cmake
set(commit unknown)
find_program(GIT git)
if(GIT)
  execute_process(COMMAND ${GIT} -C ${SOURCE_DIR} rev-parse --short=10 HEAD
                  OUTPUT_VARIABLE out RESULT_VARIABLE failed ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT failed AND out)
    set(commit ${out})
  endif()
endif()
string(CONCAT text "// Written at build time by engine/revision.cmake.\n#pragma once\n\n#include <string_view>\n\n"
         "namespace lorvane {\n\n// The git commit the program was built from, or \"unknown\".\n"
         "constexpr std::string_view kCommit = \"${commit}\";\n\n}  // namespace lorvane\n")
set(old "")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUTPUT} "${text}")
endif()
