#include "viewer/picture_cache.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>

namespace lorvane {

PictureCache::~PictureCache() {
    for (auto& f : running_) f.wait();
}

PictureCache::Stamp PictureCache::stampOf(const std::string& path) {
    Stamp s{path};
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        s.size = st.st_size;
        s.modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    }
    return s;
}

// Decoded for a bound at least as large, or at the picture's own size.
bool PictureCache::covers(const DecodedPicture& picture, QSize decodedFor, QSize bound) {
    if (picture.isNull()) return false;
    if (picture.image.size() == picture.natural) return true;
    return decodedFor.width() >= bound.width() && decodedFor.height() >= bound.height();
}

DecodedPicture PictureCache::take(const std::string& path, QSize bound, std::function<void()> onSharp) {
    const Stamp stamp = stampOf(path);
    Source kept = Source::Kept;
    if (sharp_.stamp == stamp && sharpReady()) {
        // The sharp picture takes the place of the coarse one kept; if it could not be
        // had after all, the coarse one stays rather than be decoded again and again.
        if (DecodedPicture sharp = sharp_.picture.get(); !sharp.isNull()) kept_ = sharp;
        keptBound_ = sharp_.bound;
        kept = Source::Decoded;
    }
    if (stamp.size >= 0 && stamp == keptStamp_ && covers(kept_, keptBound_, bound)) {
        lastSource_ = kept;
        return kept_;
    }
    if (sharp_.picture.valid() && sharp_.stamp == stamp && sharp_.bound.width() >= bound.width() &&
        sharp_.bound.height() >= bound.height()) {
        lastSource_ = Source::Coarse;
        return kept_;
    }
    sharp_ = {};
    DecodedPicture picture;
    QSize decodedFor = bound;
    bool found = false;
    if (ahead_.picture.valid() && ahead_.stamp == stamp) {
        picture = ahead_.picture.get();
        decodedFor = ahead_.bound;
        found = covers(picture, decodedFor, bound);
        lastSource_ = Source::ReadAhead;
    }
    if (!found) {
        const QSize coarse = CoarseBound(path, bound);
        if (!coarse.isEmpty()) {
            // Both at once, on the two cores where there are two. A smaller picture of
            // this file at hand, read ahead or kept, does as well as a coarse one.
            sharp_ = decodeLater(stamp, path, bound, std::move(onSharp), true);
            if (picture.isNull() && stamp == keptStamp_) picture = kept_;
            if (picture.isNull()) picture = DecodePicture(path, coarse);
            decodedFor = {};  // covers no bound: only the sharp one replaces it
            lastSource_ = Source::Coarse;
            if (picture.isNull()) sharp_ = {};
        } else {
            picture = DecodePicture(path, bound);
            decodedFor = bound;
            lastSource_ = Source::Decoded;
        }
    }
    keptStamp_ = picture.isNull() ? Stamp{} : stamp;
    keptBound_ = decodedFor;
    kept_ = picture;
    return picture;
}

bool PictureCache::sharpReady() const {
    return sharp_.picture.valid() && sharp_.picture.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

PictureCache::Pending PictureCache::decodeLater(const Stamp& stamp, const std::string& path, QSize bound,
                                                std::function<void()> done, bool behindWindow) {
    std::erase_if(running_, [](const std::future<void>& f) {
        return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    // The picture is handed over before done is called, so that done finds it ready.
    auto promise = std::make_shared<std::promise<DecodedPicture>>();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    Pending pending{stamp, bound, promise->get_future(), CancelOnDrop(cancel)};
    running_.push_back(
        std::async(std::launch::async, [promise, cancel, path, bound, behindWindow, done = std::move(done)] {
            // Behind the window thread, which is decoding the coarse picture at the same time:
            // on a busy machine the coarse one comes first, the sharp one hardly later.
            if (behindWindow) ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
            promise->set_value(DecodePicture(path, bound, cancel.get()));
            if (done && !cancel->load()) done();
        }));
    return pending;
}

void PictureCache::readAhead(const std::string& path, QSize bound) {
    const Stamp stamp = stampOf(path);
    if (stamp.size < 0 || (stamp == keptStamp_ && covers(kept_, keptBound_, bound))) return;
    if (ahead_.picture.valid() && stamp == ahead_.stamp && ahead_.bound == bound) return;
    ahead_ = decodeLater(stamp, path, bound);
}

void PictureCache::clear() {
    keptStamp_ = {};
    kept_ = {};
    sharp_ = {};
}

}  // namespace lorvane
