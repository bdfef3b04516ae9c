// What the window benchmarks share: boxes printed to stderr instead of shown
// (nobody would close them), a context with the defaults a new user starts with,
// and the peak memory of the process.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

#include "gui/app_context.h"
#include "core/files/file_service.h"
#include "gui/user_interface.h"
#include "support/memory_settings_store.h"

namespace lorvane::bench {

// Every box is printed and counted; a question gets Yes, a box with only OK gets OK.
class PrintingUserInterface final : public UserInterface {
public:
    MessageAnswer ShowMessage(QWidget*, const QString& text, const QString& title, MessageIcon,
                              MessageButtons buttons) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        ++messages;
        if (onMessage) onMessage();
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
    }
    QString GetOpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString GetFolder(QWidget*, const QString&, const QString&) override { return {}; }
    QString GetFolderAmongFiles(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    void Beep() override {}
    bool OpenWithDesktop(const QUrl&) override { return false; }

    int messages = 0;
    std::function<void()> onMessage;  // after a box, e.g. to stop a clock
};

// The defaults, in memory, without the automatic load or the saved window place.
struct BenchContext {
    MemorySettingsStore store;
    PrintingUserInterface ui;
    const FileSystem& files = FileSystemService::Instance();
    AppContext ctx{store, ui, files, QCoreApplication::applicationDirPath()};
    BenchContext() {
        ctx.settings.BrowserAutoLoadLastFolder = 0;
        ctx.settings.RestoreWindowSizePosition = 0;
    }
};

inline long PeakRssKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kilobytes on Linux
}

}  // namespace lorvane::bench
