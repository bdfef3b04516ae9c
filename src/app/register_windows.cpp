#include "app/register_windows.h"

#include "browser/browser_window.h"
#include "dialogs/about_dialog.h"
#include "dialogs/options_dialog.h"
#include "editor/editor_window.h"
#include "viewer/viewer_window.h"

namespace lorvane {

void RegisterWindows(AppContext& ctx) {
    ctx.windows.registerWindow(form::Editor, [&ctx] { return new EditorWindow(ctx); });
    ctx.windows.registerWindow(form::Browser, [&ctx] { return new BrowserWindow(ctx); });
    ctx.windows.registerWindow(form::Viewer, [&ctx] { return new ViewerWindow(ctx); });
    ctx.windows.registerWindow(form::About, [&ctx] { return new AboutDialog(ctx.ui); });
    ctx.windows.registerWindow(form::Options, [&ctx] { return new OptionsDialog(ctx); });
}

}  // namespace lorvane
