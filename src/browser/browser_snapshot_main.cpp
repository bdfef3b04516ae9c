// browser_snapshot FOLDER [OUTPUT_FOLDER]: the Browser on FOLDER as PNG files.
// Run with QT_QPA_PLATFORM=offscreen where there is no display.
#include <QApplication>

#include <cstdio>

#include "browser/browser_snapshot.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: browser_snapshot FOLDER [OUTPUT_FOLDER]\n");
        return 2;
    }
    const QString out = args.size() > 2 ? args[2] : QStringLiteral("build/screenshots");
    const QStringList files = lorvane::RenderBrowserSnapshots(args[1], out);
    for (const QString& f : files) std::printf("%s\n", qPrintable(f));
    return files.isEmpty() ? 1 : 0;
}
