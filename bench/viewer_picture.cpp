// The Viewer offscreen on generated 24-megapixel camera-sized JPEGs: the time from
// ShowPicture to the first picture painted and to the sharp one, cold, and to the
// picture painted when read ahead, beside a plain full-size decode with QImageReader
// (what a viewer without scaled decoding pays).
// Usage: viewer_picture [RUNS] [WIDTHxHEIGHT of the window]   (QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QImage>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "viewer/viewer_window.h"
#include "core/files/file_service.h"
#include "support/memory_settings_store.h"
#include "support/scripted_ui.h"

#include <sys/resource.h>

using namespace lorvane;
using Clock = std::chrono::steady_clock;

namespace {

// A photograph's worth of detail: gradients and noise, so that the JPEG is as
// large as a camera's (some 8-12 MB at 6000x4000), not a flat colour.
void makePhoto(const QString& path, int seed) {
    QImage image(6000, 4000, QImage::Format_RGB32);
    std::uint32_t r = 0x9E3779B9u * static_cast<std::uint32_t>(seed + 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            r ^= r << 13, r ^= r >> 17, r ^= r << 5;
            const int n = static_cast<int>(r & 31);
            line[x] = qRgb((x / 24 + n + seed * 40) & 255, (y / 16 + n) & 255, ((x + y) / 40 + n) & 255);
        }
    }
    image.save(path, "JPG", 90);
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// CPU time of this thread: what the step costs when the machine is shared.
double threadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    int w = 1280, h = 800;
    if (argc > 2) std::sscanf(argv[2], "%dx%d", &w, &h);

    QTemporaryDir dir;
    std::vector<std::string> photos;
    for (int i = 0; i < 2; ++i) {
        const QString p = dir.filePath(QStringLiteral("photo%1.jpg").arg(i));
        makePhoto(p, i);
        photos.push_back(p.toStdString());
    }
    std::printf("picture: 6000x4000 JPEG, %lld bytes; window %dx%d\n",
                static_cast<long long>(QFileInfo(QString::fromStdString(photos[0])).size()), w, h);

    MemorySettingsStore store;
    testing::ScriptedUserInterface ui;
    AppContext ctx(store, ui, FileSystemService::Instance(), QCoreApplication::applicationDirPath());
    ctx.settings.RestoreWindowSizePosition = 0;
    ViewerWindow viewer(ctx);
    viewer.resize(w, h);
    viewer.show();
    QApplication::processEvents();

    // On screen: shown and painted.
    std::vector<double> cpu;
    auto show = [&](const std::string& path) {
        const double cpuStart = threadCpuMs();
        const auto start = Clock::now();
        viewer.ShowPicture(path);
        viewer.repaint();
        cpu.push_back(threadCpuMs() - cpuStart);
        return ms(Clock::now() - start);
    };

    // Cold, a coarse picture is painted first and the sharp one when it arrives.
    double sharpCpu = 0;
    auto sharp = [&](Clock::time_point start, double cpuStart) {
        while (viewer.Cache().sharpPending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        viewer.repaint();
        sharpCpu = threadCpuMs() - cpuStart;
        return ms(Clock::now() - start);
    };

    std::vector<double> full, cold, sharpened, ahead, coldCpu, sharpenedCpu, aheadCpu;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        QImageReader reader(QString::fromStdString(photos[0]));
        const QImage image = reader.read();
        full.push_back(ms(Clock::now() - start));

        viewer.ShowPicture({});  // nothing kept
        const double cpuStart = threadCpuMs();
        const auto coldStart = Clock::now();
        cold.push_back(show(photos[i % 2]));
        coldCpu.push_back(cpu.back());
        if (viewer.Cache().lastSource() != PictureCache::Source::Coarse) std::printf("no coarse picture first\n");
        sharpened.push_back(sharp(coldStart, cpuStart));
        sharpenedCpu.push_back(sharpCpu);
        // The user looks at this one while the next is decoded.
        viewer.ReadAhead(photos[(i + 1) % 2]);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        ahead.push_back(show(photos[(i + 1) % 2]));
        aheadCpu.push_back(cpu.back());
        if (viewer.Cache().lastSource() != PictureCache::Source::ReadAhead) std::printf("read-ahead missed\n");
    }
    std::printf("full-size decode (QImageReader): median %.1f ms\n", median(full));
    std::printf(
        "ShowPicture to first paint, cold: median %.1f ms, best %.1f ms, window thread CPU %.1f ms (target 100)\n",
        median(cold), *std::min_element(cold.begin(), cold.end()), median(coldCpu));
    std::printf("ShowPicture to sharp, cold:       median %.1f ms, best %.1f ms, window thread CPU %.1f ms\n",
                median(sharpened), *std::min_element(sharpened.begin(), sharpened.end()), median(sharpenedCpu));
    std::printf(
        "ShowPicture to painted, ahead:    median %.1f ms, best %.1f ms, window thread CPU %.1f ms (target 20)\n",
        median(ahead), *std::min_element(ahead.begin(), ahead.end()), median(aheadCpu));
    std::printf("load average: %.2f\n", [] {
        double l[1] = {0};
        return ::getloadavg(l, 1) == 1 ? l[0] : 0.0;
    }());
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %ld MB\n", usage.ru_maxrss / 1024);
    return 0;
}
