#include "gui/window_settings.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "core/settings_store.h"

namespace lorvane {

namespace {

float toTwips(int pixels) { return static_cast<float>(pixels) * kTwipsPerPixel; }
int toPixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

}  // namespace

int WindowStateCode(Qt::WindowStates state) {
    if (state & Qt::WindowMinimized) return 1;
    if (state & Qt::WindowMaximized) return 2;
    return 0;
}

void RestoreWindowGeometry(QWidget& window, const SettingsStore& store, std::string_view section, bool restore) {
    if (!restore) return;
    const QRect now(window.pos(), window.size());
    const int left = toPixels(ReadWindowGeometry(store, section, "WindowLeft", toTwips(now.x())));
    const int top = toPixels(ReadWindowGeometry(store, section, "WindowTop", toTwips(now.y())));
    const int width = toPixels(ReadWindowGeometry(store, section, "WindowWidth", toTwips(now.width())));
    const int height = toPixels(ReadWindowGeometry(store, section, "WindowHeight", toTwips(now.height())));
    if (store.read(section, "WindowLeft") && store.read(section, "WindowTop")) window.move(left, top);
    if (width > 0 && height > 0) window.resize(width, height);
    switch (ReadWindowInteger(store, section, "WindowState", WindowStateCode(window.windowState()))) {
        case 1: window.setWindowState(Qt::WindowMinimized); break;
        case 2: window.setWindowState(Qt::WindowMaximized); break;
        default: window.setWindowState(Qt::WindowNoState); break;
    }
}

bool HasSavedPlace(const SettingsStore& store, std::string_view section, bool restore) {
    return restore && store.read(section, "WindowLeft") && store.read(section, "WindowTop");
}

void PlaceSideBySide(const std::vector<QWidget*>& windows) {
    if (windows.empty()) return;
    QScreen* screen = windows.front()->screen() ? windows.front()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    // The frame the window manager adds, as far as it is known yet; a typical one until then.
    std::vector<QMargins> frames;
    int total = 0;
    for (QWidget* w : windows) {
        const QRect f = w->frameGeometry(), g = w->geometry();
        QMargins m(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
        if (m.isNull() && w->isVisible() && QGuiApplication::platformName() != QLatin1String("offscreen"))
            m = QMargins(4, 30, 4, 4);
        frames.push_back(m);
        total += w->width() + m.left() + m.right();
    }
    const int slot = room.width() / static_cast<int>(windows.size());
    const bool fits = total <= room.width();
    int x = room.left() + (fits ? (room.width() - total) / 2 : 0);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        QWidget* w = windows[i];
        const QMargins& m = frames[i];
        const int outerWidth = fits ? w->width() + m.left() + m.right() : slot;
        const int width = std::max(1, outerWidth - m.left() - m.right());
        const int height = std::max(1, std::min(w->height(), room.height() - m.top() - m.bottom()));
        w->resize(width, height);
        w->move(x, room.top());  // a window's position is its frame's
        x += outerWidth;
    }
}

void SaveWindowGeometry(const QWidget& window, SettingsStore& store, std::string_view section) {
    const int state = WindowStateCode(window.windowState());
    if (state == 0) {
        WriteWindowGeometry(store, section, "WindowLeft", toTwips(window.x()));
        WriteWindowGeometry(store, section, "WindowTop", toTwips(window.y()));
        WriteWindowGeometry(store, section, "WindowWidth", toTwips(window.width()));
        WriteWindowGeometry(store, section, "WindowHeight", toTwips(window.height()));
    }
    WriteWindowInteger(store, section, "WindowState", state);
}

QString UnsavedSettingsMessage(const IniSettingsStore& store) {
    return QString::fromStdString(store.openProblem()) +
           QStringLiteral(
               ".\n\nThe file is left exactly as it is. Window sizes, folders and other settings of this "
               "session are kept until the program ends and are not saved. To have them saved again, "
               "correct or remove the file:\n%1")
               .arg(store.filePath());
}

}  // namespace lorvane
