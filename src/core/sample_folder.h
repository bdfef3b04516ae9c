// The folder of sample names that a first run starts in: the user's copy of the
// program's own, so that renaming them never changes the program's files.
#pragma once

#include <QString>

#include <string>

namespace lorvane {

class FileSystem;

// The source tree's sample folder as the build knew it (empty when unknown).
QString BuiltSampleFolder();

// The program's own sample folder: the first that exists of "sample" beside the
// program, the installed data folder ("../share/lorvane-manager/sample" from the
// program's folder), the source tree's sample folder; empty when none does. No
// trailing separator.
QString FindSampleFolder(const QString& programFolder, const QString& builtSampleFolder = BuiltSampleFolder());

// Where the user's copy lives: "lorvane/sample" in $XDG_DATA_HOME, or in
// ~/.local/share when that is unset or not absolute.
QString UserSampleFolder();

// Makes copy hold copies of the files of original, all of them or none: they go
// into a new folder beside it that takes copy's name only once complete. A copy
// that exists is left as it is. Returns what went wrong, empty on success.
std::string CopySampleFolder(const FileSystem& files, const std::string& original, const std::string& copy);

}  // namespace lorvane
