#include "viewer/picture_decoder.h"

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

}  // namespace

DecodedPicture DecodePicture(const std::string& path, QSize bound) {
    if (path.empty() || path.find('\0') != std::string::npos) return {};
    const int fd = openRegularFile(path);
    if (fd < 0) return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    QImageReader reader(&file);
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
