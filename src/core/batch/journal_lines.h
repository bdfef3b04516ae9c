// Reading a journal file line by line in constant memory, whatever its size.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lorvane {

// Calls onLine for each complete line of the regular file at path, without its
// line break, until it answers false. A last line without its break was cut
// short by a crash and is not a line. False when the file cannot be read (errno
// says why).
bool ForEachJournalLine(const std::string& path, const std::function<bool(std::string_view line)>& onLine);

// The last bytes of the regular file at path.
bool ReadJournalTail(const std::string& path, std::size_t bytes, std::string& out);

}  // namespace lorvane
