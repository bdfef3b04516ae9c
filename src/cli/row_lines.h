// The Browser's eight columns of a row as lorvane prints them: TSV under a
// header line, or one JSON object per line (list and chronology alike).
#pragma once

#include <string>

#include "core/rows/file_rows.h"

namespace lorvane::cli {

void AppendTsvHeader(std::string& out);
// One line: the TSV fields (tabs, line breaks and backslashes escaped), or the
// JSON object keyed by column, with "nameBytes"/"pathBytes" for text that is not UTF-8.
void AppendRowLine(std::string& out, const FileRow& row, bool json);

class Output;
// A listing's last write and its command's exit status: ExitOutputClosed when
// nobody reads the output any more, ExitFail when it could not be written or
// some path could not be read (failed), else ExitOk.
int FinishListing(Output& out, bool failed);

}  // namespace lorvane::cli
