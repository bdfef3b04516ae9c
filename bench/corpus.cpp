#include "corpus.h"

#include <cstdio>
#include <random>

namespace lorvane::bench {

namespace {

const char* kNames[] = {"Subj", "Subject", "SU", "Place", "PL", "Crtr", "Creator", "Devc", "Actv", "Keyw",
                        "Catg", "Comm", "Source", "Owner", "Title", "Photographer", "Event"};
const char* kWords[] = {"Ann", "Ben", "Harbour", "Beach walk", "Grandma", "Lisbon", "Canon EOS 5D", "Kids",
                        "Autumn light", "Sister", "Old town", "Birthday", "Market", "Ferry", "Snow", "Mountains"};
const char* kExtensions[] = {"jpg", "jpeg", "png", "tif", "heic", "JPG"};

class Maker {
public:
    explicit Maker(unsigned seed) : rng_(seed) {}
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <typename T, std::size_t N>
    const char* any(T (&arr)[N]) { return arr[pick(static_cast<int>(N))]; }

    std::string date() {
        char buf[64];
        int y = 1990 + pick(35), m = 1 + pick(12), d = 1 + pick(28);
        switch (pick(4)) {
            case 0: std::snprintf(buf, sizeof buf, "%04d", y); break;
            case 1: std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d); break;
            case 2: std::snprintf(buf, sizeof buf, "%04d-%02d-%02d@%02d-%02d", y, m, d, pick(24), pick(60)); break;
            default: std::snprintf(buf, sizeof buf, "%04d-%02d-%02d@%02d~@%02d", y, m, d, pick(12), 12 + pick(12));
        }
        return buf;
    }

    std::string name2x() {
        std::string s = "{DT=" + date() + "}";
        if (pick(2)) s += "{SN=" + std::to_string(1 + pick(999)) + "}";
        const int attributes = 1 + pick(10);
        for (int i = 0; i < attributes && s.size() < 170; ++i) {
            s += "{";
            s += any(kNames);
            s += "=";
            const int values = 1 + pick(3);
            for (int v = 0; v < values; ++v) {
                if (v) s += ";";
                s += any(kWords);
                if (pick(5) == 0) {
                    s += "{Posn=";
                    s += any(kWords);
                    s += "}";
                }
            }
            s += "}";
        }
        if (pick(4) == 0) s += "{Qual=" + std::to_string(pick(101)) + "}";
        while (s.size() < 55) s += "{Comm=" + std::string(any(kWords)) + "}";
        return s + "." + any(kExtensions);
    }

    std::string name1x() {
        std::string s = date();
        if (pick(3)) s += " #" + std::to_string(1 + pick(999));
        if (pick(3)) s += std::string(" ") + any(kWords);
        return s + "." + any(kExtensions);
    }

    std::string failing() {
        switch (pick(4)) {
            case 0: return std::string("DSC_") + std::to_string(1000 + pick(9000)) + ".JPG";
            case 1: return "{Subj=Ann;Ben" + date() + ".jpg";
            case 2: return std::string("IMG ") + any(kWords) + ":" + std::to_string(pick(99)) + ".png";
            default: return "." + std::string(any(kExtensions));
        }
    }

private:
    std::mt19937 rng_;
};

}  // namespace

std::vector<std::string> MakeCorpus(std::size_t count, unsigned seed, CorpusMix mix) {
    Maker m(seed);
    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int r = m.pick(100);
        names.push_back(r < mix.percent2x ? m.name2x() : r < mix.percent2x + mix.percent1x ? m.name1x() : m.failing());
    }
    return names;
}

}  // namespace lorvane::bench
