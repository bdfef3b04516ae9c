// Renders each main window of this build to PNG files, for looking at the
// program's appearance without a display (the offscreen platform).
#pragma once

#include <QString>

#include "app/app_context.h"

namespace lorvane {

// The Editor empty, then on every file name in sampleFolder (with its problem
// located); each available window once more. Returns the process exit code.
int RenderScreenshots(AppContext& ctx, const QString& outputFolder, const QString& sampleFolder);

}  // namespace lorvane
