// browser_select FOLDER [STOP_AFTER_SECONDS]: the Browser loads FOLDER, runs
// Select Files by attribute (label "Contains" Date, a new selection) through the
// dialog's OK, then Check Chronology; prints each run's time and the longest time
// the window went without handling its events (how soon Stop is seen). With
// STOP_AFTER_SECONDS, Stop is pressed during the selection after that time and
// the time from the press to the end of the run is printed too.
// Run with QT_QPA_PLATFORM=offscreen where there is no display.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include "browser/browser_window.h"
#include "core/qt_text.h"
#include "gui/progress_dialog.h"
#include "window_bench.h"

namespace {

// Time of one command's run and the longest gap between rounds of events in it.
struct Watch {
    QString caption;
    QElapsedTimer clock;
    qint64 last = 0, gap = 0, pressedAt = -1;
    double stopAfter = -1;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: browser_select FOLDER [STOP_AFTER_SECONDS]\n");
        return 2;
    }
    lorvane::bench::BenchContext bench;
    lorvane::BrowserWindow browser(bench.ctx);
    browser.resize(1000, 600);
    browser.show();
    QApplication::processEvents();
    browser.InitializeFolder(lorvane::PathFromQString(QDir(args[1]).absolutePath()));
    QApplication::processEvents();

    Watch w;
    w.stopAfter = args.size() == 3 ? args[2].toDouble() : -1;
    lorvane::ProgressDialog* dlg = browser.Progress();
    QObject::connect(dlg, &lorvane::ProgressDialog::pumped, [&] {
        if (dlg->windowTitle() != w.caption) return;
        const qint64 now = w.clock.nsecsElapsed();
        w.gap = std::max(w.gap, now - w.last);
        w.last = now;
        if (w.stopAfter >= 0 && w.pressedAt < 0 && now >= static_cast<qint64>(w.stopAfter * 1e9)) {
            w.pressedAt = now;
            dlg->Button()->click();
        }
    });
    auto finish = [&](const char* name) {
        const qint64 run = w.clock.nsecsElapsed();
        w.gap = std::max(w.gap, run - w.last);
        std::printf("%s_s %.3f\n%s_gap_s %.3f\n", name, static_cast<double>(run) / 1e9, name,
                    static_cast<double>(w.gap) / 1e9);
        if (w.pressedAt >= 0) std::printf("stop_s %.3f\n", static_cast<double>(run - w.pressedAt) / 1e9);
    };

    w.caption = QStringLiteral("Selecting Files...");
    QTimer::singleShot(0, [&] {
        auto* d = browser.findChild<QDialog*>(QStringLiteral("frmSelect"));
        if (!d) return;
        d->findChild<QTabWidget*>(QStringLiteral("TabStrip1"))->setCurrentIndex(1);
        d->findChild<QRadioButton*>(QStringLiteral("optLabel4"))->click();
        d->findChild<QLineEdit*>(QStringLiteral("ContentLabel"))->setText(QStringLiteral("Date"));
        d->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        w.clock.start();
    });
    browser.Action(QStringLiteral("mnuSelectFiles"))->trigger();
    finish("select");
    std::printf("rows %d\nselected %zu\n", browser.Model().size(), browser.SelectedRows().size());

    w = Watch{QStringLiteral("Checking Files..."), {}};
    w.clock.start();
    browser.Action(QStringLiteral("mnuCheckChronology"))->trigger();
    finish("chronology");
    QElapsedTimer dupl;
    dupl.start();
    browser.Action(QStringLiteral("mnuSelectDupl"))->trigger();
    const qint64 selectDupl = dupl.nsecsElapsed();
    std::printf("select_dupl_s %.3f\nduplicates %zu\n", static_cast<double>(selectDupl) / 1e9,
                browser.SelectedRows().size());
    std::printf("peak_rss_mb %.1f\n", static_cast<double>(lorvane::bench::PeakRssKb()) / 1024.0);
    return browser.Model().size() > 0 ? 0 : 1;
}
