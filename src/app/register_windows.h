// The windows of this build, made known to the registry; each is created on first use.
#pragma once

#include "gui/app_context.h"

namespace lorvane {

void RegisterWindows(AppContext& ctx);

}  // namespace lorvane
