#include "viewer/picture_decoder.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

namespace lorvane {

namespace {

// Opened by its bytes, so that a name that is not UTF-8 is still the same file;
// without waiting, so that a FIFO in a picture's place does not hold the window.
int openRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// At this size a JPEG takes most of the time there is to show it, even scaled
// down (about 90 ms for 24 megapixels here, nearly all of it in libjpeg reading
// the compressed data); below it a picture decodes fast enough as it is.
constexpr qint64 kSlowPixels = 16'000'000;
// libjpeg asks for its data 4 KB at a time; a JPEG up to this size is read in one
// go instead, which takes some 5 % off its decoding.
constexpr qint64 kReadWhole = 64 << 20;

bool openFile(const std::string& path, QFile& file) {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    const int fd = openRegularFile(path);
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
}

}  // namespace

DecodedPicture DecodePicture(const std::string& path, QSize bound) {
    QFile file;
    if (!openFile(path, file)) return {};
    QImageReader reader(&file);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (reader.format() == "jpeg" && file.size() <= kReadWhole && file.seek(0)) {
        bytes = file.readAll();
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
    }
    reader.setAutoTransform(true);
    QSize stored = reader.size();  // as stored, before the Exif turn
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    DecodedPicture picture;
    if (stored.isValid() && !bound.isEmpty()) {
        const QSize upright = turned ? stored.transposed() : stored;
        QSize scaled = upright.scaled(bound, Qt::KeepAspectRatio);
        if (scaled.width() < upright.width() && !scaled.isEmpty())
            reader.setScaledSize(turned ? scaled.transposed() : scaled);
    }
    picture.image = reader.read();
    if (picture.image.isNull()) return {};
    picture.natural = stored.isValid() ? (turned ? stored.transposed() : stored) : picture.image.size();
    return picture;
}

QSize CoarseBound(const std::string& path, QSize bound) {
    QFile file;
    if (bound.isEmpty() || !openFile(path, file)) return {};
    QImageReader reader(&file);
    const QSize stored = reader.size();
    if (reader.format() != "jpeg" || qint64(stored.width()) * stored.height() < kSlowPixels) return {};
    const QSize upright =
        reader.transformation().testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
    const QSize coarse((upright.width() + 7) / 8, (upright.height() + 7) / 8);
    // Shown no larger than that anyway: the picture at bound is as quick.
    return upright.scaled(bound, Qt::KeepAspectRatio).width() > coarse.width() ? coarse : QSize();
}

QRect FitPicture(QSize natural, QSize area) {
    const double h = natural.height(), w = natural.width(), sh = area.height(), sw = area.width();
    if (h <= 0 || w <= 0 || sh <= 0 || sw <= 0) return {};
    if (h / w < sh / sw) {
        // Relatively wider than the window: full width, equal bands above and below.
        const int top = static_cast<int>(std::lround((sh - sw * h / w) / 2));
        return {0, top, area.width(), area.height() - 2 * top};
    }
    const int left = static_cast<int>(std::lround((sw - sh * w / h) / 2));
    return {left, 0, area.width() - 2 * left, area.height()};
}

}  // namespace lorvane
