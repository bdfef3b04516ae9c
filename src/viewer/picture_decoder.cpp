#include "viewer/picture_decoder.h"

#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

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

// A file that stops giving bytes once its decoding is no longer wanted: the
// decoder then ends at once (as at a file cut short) instead of decoding for
// nobody while the picture wanted now waits for a core.
class CancellableFile final : public QFile {
public:
    explicit CancellableFile(const std::atomic<bool>* cancel) : cancel_(cancel) {}

protected:
    qint64 readData(char* data, qint64 size) override {
        return cancel_ && cancel_->load(std::memory_order_relaxed) ? -1 : QFile::readData(data, size);
    }

private:
    const std::atomic<bool>* cancel_;
};

// A file's bytes read whole, given to the decoder a read at a time, so that it
// can stop between two reads as above. (Not a QBuffer: the decoder would take
// all of a QBuffer's bytes at once.)
class CancellableBytes final : public QIODevice {
public:
    CancellableBytes(QByteArray bytes, const std::atomic<bool>* cancel) : bytes_(std::move(bytes)), cancel_(cancel) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    qint64 size() const override { return bytes_.size(); }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (cancel_ && cancel_->load(std::memory_order_relaxed)) return -1;
        const qint64 n = std::min(max, bytes_.size() - pos());
        if (n <= 0) return 0;
        std::memcpy(data, bytes_.constData() + pos(), static_cast<std::size_t>(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    const std::atomic<bool>* cancel_;
};

bool openFile(const std::string& path, QFile& file) {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    const int fd = openRegularFile(path);
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
}

}  // namespace

DecodedPicture DecodePicture(const std::string& path, QSize bound, const std::atomic<bool>* cancel) {
    CancellableFile file(cancel);
    if (!openFile(path, file)) return {};
    std::optional<CancellableBytes> bytes;  // outlives the reader that reads it
    QImageReader reader(&file);
    if (reader.format() == "jpeg" && file.size() <= kReadWhole && file.seek(0)) {
        bytes.emplace(file.readAll(), cancel);
        reader.setDevice(&*bytes);
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
    if (picture.image.isNull() || (cancel && cancel->load())) return {};
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
