#include "viewer/picture_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>

namespace lorvane {

PictureCache::~PictureCache() {
    if (ahead_.valid()) ahead_.wait();
    for (auto& f : dropped_) f.wait();
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

DecodedPicture PictureCache::take(const std::string& path, QSize bound) {
    const Stamp stamp = stampOf(path);
    if (stamp.size >= 0 && stamp == keptStamp_ && covers(kept_, keptBound_, bound)) {
        lastSource_ = Source::Kept;
        return kept_;
    }
    DecodedPicture picture;
    QSize decodedFor = bound;
    bool found = false;
    if (ahead_.valid() && aheadStamp_ == stamp) {
        picture = ahead_.get();
        decodedFor = aheadBound_;
        found = covers(picture, decodedFor, bound);
        lastSource_ = Source::ReadAhead;
    }
    if (!found) {
        picture = DecodePicture(path, bound);
        decodedFor = bound;
        lastSource_ = Source::Decoded;
    }
    keptStamp_ = picture.isNull() ? Stamp{} : stamp;
    keptBound_ = decodedFor;
    kept_ = picture;
    return picture;
}

void PictureCache::readAhead(const std::string& path, QSize bound) {
    const Stamp stamp = stampOf(path);
    if (stamp.size < 0 || (stamp == keptStamp_ && covers(kept_, keptBound_, bound))) return;
    if (ahead_.valid() && stamp == aheadStamp_ && aheadBound_ == bound) return;
    dropped_.erase(std::remove_if(dropped_.begin(), dropped_.end(),
                                  [](const std::future<DecodedPicture>& f) {
                                      return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
                                  }),
                   dropped_.end());
    if (ahead_.valid()) dropped_.push_back(std::move(ahead_));
    aheadStamp_ = stamp;
    aheadBound_ = bound;
    ahead_ = std::async(std::launch::async, [path, bound] { return DecodePicture(path, bound); });
}

void PictureCache::clear() {
    keptStamp_ = {};
    kept_ = {};
}

}  // namespace lorvane
