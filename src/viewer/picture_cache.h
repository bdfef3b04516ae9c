// The Viewer's pictures: the one on screen kept, the next one decoded ahead on a
// worker thread. Only decoding runs there; the window asks and takes on its own thread.
#pragma once

#include <QSize>

#include <future>
#include <string>
#include <vector>

#include "viewer/picture_decoder.h"

namespace lorvane {

class PictureCache {
public:
    PictureCache() = default;
    ~PictureCache();  // waits for the decoding still running
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // The picture of path decoded to cover bound: the one kept when it is the same
    // file, unchanged, and large enough; else the one read ahead (waiting for it to
    // finish); else decoded now. It becomes the one kept.
    DecodedPicture take(const std::string& path, QSize bound);
    // Starts decoding path on the worker thread for a later take.
    void readAhead(const std::string& path, QSize bound);
    void clear();

    // Where the last take came from, for the benchmark.
    enum class Source { Kept, ReadAhead, Decoded };
    Source lastSource() const { return lastSource_; }

private:
    // What tells one state of a file from another without reading it.
    struct Stamp {
        std::string path;
        long long size = -1, modified = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const std::string& path);
    static bool covers(const DecodedPicture& picture, QSize decodedFor, QSize bound);

    Stamp keptStamp_;
    QSize keptBound_;
    DecodedPicture kept_;

    Stamp aheadStamp_;
    QSize aheadBound_;
    std::future<DecodedPicture> ahead_;
    // Read-aheads overtaken by a newer one, left to finish on their own.
    std::vector<std::future<DecodedPicture>> dropped_;
    Source lastSource_ = Source::Decoded;
};

}  // namespace lorvane
