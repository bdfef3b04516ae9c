// browser_batch FOLDER [STOP_AFTER_SECONDS]: the Browser loads FOLDER, selects
// every row and runs Change Dates over them (Shift, one hour on, through the
// dialog's OK), the way a user does; then prints how long the run took, the
// longest time the window went without handling its events during the run (how
// soon Stop is seen) and the peak memory. With STOP_AFTER_SECONDS, Stop is
// pressed at the first round of events after that time, and the time from the
// press to the end of the run is printed too.
// Run with QT_QPA_PLATFORM=offscreen where there is no display.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include "browser/browser_window.h"
#include "core/qt_text.h"
#include "gui/progress_dialog.h"
#include "window_bench.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: browser_batch FOLDER [STOP_AFTER_SECONDS]\n");
        return 2;
    }
    const QString folder = QDir(args[1]).absolutePath();
    const double stopAfter = args.size() == 3 ? args[2].toDouble() : -1;

    lorvane::bench::BenchContext bench;
    auto& ui = bench.ui;
    lorvane::BrowserWindow browser(bench.ctx);
    browser.resize(1000, 600);
    browser.show();
    QApplication::processEvents();
    browser.InitializeFolder(lorvane::PathFromQString(folder));
    browser.SelectAll();
    QApplication::processEvents();

    QElapsedTimer clock;
    qint64 lastPump = 0, longestGap = 0, pumps = 0, pressedAt = -1, reportAt = -1;
    lorvane::ProgressDialog* dlg = browser.Progress();
    QObject::connect(dlg, &lorvane::ProgressDialog::pumped, [&] {
        if (dlg->windowTitle() != QStringLiteral("Changing Dates...")) return;
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastPump);
        lastPump = now;
        ++pumps;
        if (stopAfter >= 0 && pressedAt < 0 && now >= static_cast<qint64>(stopAfter * 1e9)) {
            pressedAt = now;
            dlg->Button()->click();
        }
    });
    ui.onMessage = [&] {
        if (reportAt < 0) reportAt = clock.nsecsElapsed();
    };
    // The dialog as a user fills it: Shift, one hour on, OK.
    QTimer::singleShot(0, [&] {
        auto* d = browser.findChild<QDialog*>(QStringLiteral("frmChangeDate"));
        if (!d) return;
        d->findChild<QLineEdit*>(QStringLiteral("DateShiftHours"))->setText(QStringLiteral("+1"));
        d->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        clock.start();
    });
    browser.Action(QStringLiteral("mnuChangeDates"))->trigger();
    const qint64 run = reportAt >= 0 ? reportAt : clock.nsecsElapsed();
    longestGap = std::max(longestGap, run - lastPump);

    std::printf("rows        %d\n", browser.Model().size());
    std::printf("run_s       %.3f\n", static_cast<double>(run) / 1e9);
    std::printf("peak_rss_mb %.1f\n", static_cast<double>(lorvane::bench::PeakRssKb()) / 1024.0);
    std::printf("event_gap_s %.3f  (longest during the run; %lld rounds of events)\n",
                static_cast<double>(longestGap) / 1e9, static_cast<long long>(pumps));
    if (pressedAt >= 0)
        std::printf("stop_s      %.3f  (from the press of Stop to the end of the run)\n",
                    static_cast<double>(run - pressedAt) / 1e9);
    return ui.messages == 1 && browser.Model().size() > 0 ? 0 : 1;
}
