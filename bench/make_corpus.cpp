// make_corpus COUNT [SEED]: prints COUNT corpus names, one per line.
#include <cstdio>
#include <cstdlib>

#include "corpus.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_corpus COUNT [SEED]\n");
        return 2;
    }
    const auto count = std::strtoull(argv[1], nullptr, 10);
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 2026u;
    // Generate in blocks so a million names need little memory.
    constexpr std::size_t block = 10000;
    for (std::size_t done = 0, k = 0; done < count; done += block, ++k) {
        const std::size_t n = count - done < block ? count - done : block;
        for (const auto& name : lorvane::bench::MakeCorpus(n, seed + static_cast<unsigned>(k))) std::puts(name.c_str());
    }
    return 0;
}
