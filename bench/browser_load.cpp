// browser_load FOLDER: the Browser window loads FOLDER with its subfolders the way
// a user's Reload does (InitializeFolder, with the progress dialog), then prints
// what the load cost and how long the window went without handling its events.
// Run with QT_QPA_PLATFORM=offscreen where there is no display.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

#include "window_bench.h"
#include "browser/browser_window.h"
#include "core/qt_text.h"
#include "gui/progress_dialog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: browser_load FOLDER\n");
        return 2;
    }
    const QString folder = QDir(args[1]).absolutePath();

    lorvane::bench::BenchContext bench;
    auto& ui = bench.ui;
    lorvane::BrowserWindow browser(bench.ctx);
    browser.SetIncludeSubfolders(true);
    browser.resize(1000, 600);
    browser.show();
    QApplication::processEvents();

    // Gaps between two rounds of pending events: the longest time a press of Stop
    // would wait to be seen. From the call to the first round and from the last
    // round to the painted list count as well.
    QElapsedTimer clock;
    qint64 lastPump = 0, longestGap = 0, pumps = 0;
    QObject::connect(browser.Progress(), &lorvane::ProgressDialog::pumped, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastPump);
        lastPump = now;
        ++pumps;
    });

    clock.start();
    browser.InitializeFolder(lorvane::PathFromQString(folder));
    const qint64 loaded = clock.nsecsElapsed();
    QApplication::processEvents();  // the first paint of the full list
    const qint64 shown = clock.nsecsElapsed();
    const long loadedRssKb = lorvane::bench::PeakRssKb();  // before the sorts below add their own
    const qint64 tail = shown - lastPump;
    longestGap = std::max(longestGap, tail);

    // A click on each column header in turn, with the repaint it causes: the
    // slowest is how long the list can stall when a user sorts it.
    qint64 slowestSort = 0;
    int slowestColumn = 0;
    for (int column = 0; column < browser.Model().columnCount(); ++column) {
        QElapsedTimer sortClock;
        sortClock.start();
        browser.ColumnClicked(column);
        QApplication::processEvents();
        if (sortClock.nsecsElapsed() > slowestSort) {
            slowestSort = sortClock.nsecsElapsed();
            slowestColumn = column;
        }
    }

    std::printf("rows        %d\n", browser.Model().size());
    std::printf("load_s      %.3f\n", static_cast<double>(loaded) / 1e9);
    std::printf("shown_s     %.3f\n", static_cast<double>(shown) / 1e9);
    std::printf("load_rss_mb %.1f  (peak once loaded and shown)\n", static_cast<double>(loadedRssKb) / 1024.0);
    std::printf("peak_rss_mb %.1f  (after the sorts)\n", static_cast<double>(lorvane::bench::PeakRssKb()) / 1024.0);
    std::printf("event_gap_s %.3f  (longest; %lld rounds of events, %.3f s after the last)\n",
                static_cast<double>(longestGap) / 1e9, static_cast<long long>(pumps), static_cast<double>(tail) / 1e9);
    std::printf("sort_s      %.3f  (slowest column: %s)\n", static_cast<double>(slowestSort) / 1e9,
                qPrintable(browser.Model().headerData(slowestColumn, Qt::Horizontal).toString()));
    return ui.messages == 0 && browser.Model().size() > 0 ? 0 : 1;
}
