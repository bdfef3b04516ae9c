// The Viewer's pictures: the one on screen kept, the next one decoded ahead on a
// worker thread, and a large one shown coarse first while its sharp one is decoded
// there. Only decoding runs there; the window asks and takes on its own thread.
#pragma once

#include <QSize>

#include <atomic>
#include <functional>
#include <memory>
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
    // finish); else decoded now. It becomes the one kept. A picture slow to decode
    // is decoded coarse now and at bound on the worker thread, which calls onSharp
    // when done; until then a take of that file gives the coarse one, never waiting.
    DecodedPicture take(const std::string& path, QSize bound, std::function<void()> onSharp = {});
    // Starts decoding path on the worker thread for a later take.
    void readAhead(const std::string& path, QSize bound);
    void clear();
    // Whether the picture kept is a coarse one whose sharp one is on its way, or ready.
    bool sharpPending() const { return sharp_.picture.valid(); }
    bool sharpReady() const;

    // Where the last take came from, for the benchmark.
    enum class Source { Kept, ReadAhead, Decoded, Coarse };
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

    // Sets its flag when it goes or is replaced: a decoding nobody waits for stops.
    class CancelOnDrop {
    public:
        CancelOnDrop() = default;
        explicit CancelOnDrop(std::shared_ptr<std::atomic<bool>> flag) : flag_(std::move(flag)) {}
        CancelOnDrop(CancelOnDrop&&) noexcept = default;
        CancelOnDrop& operator=(CancelOnDrop&& other) noexcept {
            drop();
            flag_ = std::move(other.flag_);
            return *this;
        }
        ~CancelOnDrop() { drop(); }

    private:
        void drop() {
            if (flag_) flag_->store(true);
        }
        std::shared_ptr<std::atomic<bool>> flag_;
    };
    // A picture being decoded on the worker thread; dropped (and stopped) by resetting it.
    struct Pending {
        Stamp stamp;
        QSize bound;
        std::future<DecodedPicture> picture;
        CancelOnDrop cancel;
    };
    Pending decodeLater(const Stamp& stamp, const std::string& path, QSize bound, std::function<void()> done = {},
                        bool behindWindow = false);

    Stamp keptStamp_;
    QSize keptBound_;
    DecodedPicture kept_;

    Pending ahead_, sharp_;
    // Every decoding started, also those no longer wanted, left to finish on their own.
    std::vector<std::future<void>> running_;
    Source lastSource_ = Source::Decoded;
};

}  // namespace lorvane
