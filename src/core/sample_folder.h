// The folder of sample names that a first run starts in.
#pragma once

#include <QString>

namespace lorvane {

// The source tree's sample folder as the build knew it (empty when unknown).
QString BuiltSampleFolder();

// The first that exists of: "sample" beside the program, the installed data folder
// ("../share/lorvane-manager/sample" from the program's folder), the source tree's
// sample folder; the home folder when none does. No trailing separator.
QString FindSampleFolder(const QString& programFolder, const QString& builtSampleFolder = BuiltSampleFolder());

}  // namespace lorvane
