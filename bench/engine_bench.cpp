// Names per second through the engine: parse, semantics, build, and the whole
// calling order, each over the same corpus with one reused tree (as the Browser does).
// Each benchmark also reports "allocs/name": heap allocations inside the timed loop
// per name, counted by the replacement operator new in allocation_counter.cpp.
#include <benchmark/benchmark.h>

#include "allocation_counter.h"
#include "corpus.h"
#include "engine/dispatch.h"
#include "engine/pipeline.h"

namespace {

using namespace lorvane;

// Allocations from construction to report(), less those the caller made outside the timing.
class AllocationCount {
public:
    AllocationCount() : start_(bench::AllocationsSoFar()) {}
    std::uint64_t sinceStart() const { return bench::AllocationsSoFar() - start_; }
    void report(benchmark::State& state, std::uint64_t excluded, std::uint64_t names) const {
        state.counters["allocs/name"] =
            names ? static_cast<double>(sinceStart() - excluded) / static_cast<double>(names) : 0.0;
    }

private:
    std::uint64_t start_;
};

struct Fixture {
    GlobalSettings settings;
    DateOptions date = MakeDateOptions(settings);
    SemanticOptions semantic = MakeSemanticOptions(settings, false);
    EngineContext ctx{settings, date, semantic, nullptr};
    std::vector<std::string> names = bench::MakeCorpus(20000);
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_Parse(benchmark::State& state) {
    auto& f = fixture();
    AttributeTree tree;
    std::string_view code, name;
    Result r;
    std::size_t i = 0;
    const AllocationCount allocations;
    for (auto _ : state) {
        ParseFilename(f.names[i], tree, f.ctx, code, name, r);
        benchmark::DoNotOptimize(r.status);
        if (++i == f.names.size()) i = 0;
    }
    allocations.report(state, 0, state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_Parse);

// Semantics and build need a freshly parsed tree each time: keep copies of parsed trees.
struct Parsed {
    AttributeTree tree;
    std::string code;
};

std::vector<Parsed>& parsedTrees() {
    static std::vector<Parsed> trees = [] {
        auto& f = fixture();
        std::vector<Parsed> out;
        for (const auto& n : f.names) {
            Parsed p;
            std::string_view code, name;
            Result r;
            ParseFilename(n, p.tree, f.ctx, code, name, r);
            if (r.good()) {
                p.code = code;
                out.push_back(std::move(p));
            }
        }
        return out;
    }();
    return trees;
}

void BM_Semantics(benchmark::State& state) {
    // The layer changes the tree, so each pass works on fresh copies made outside the timing.
    auto& f = fixture();
    const auto& trees = parsedTrees();
    std::vector<AttributeTree> work(trees.size());
    std::uint64_t copying = 0;
    const AllocationCount allocations;
    for (auto _ : state) {
        state.PauseTiming();
        const AllocationCount copies;
        for (std::size_t i = 0; i < trees.size(); ++i) work[i] = trees[i].tree;
        copying += copies.sinceStart();
        state.ResumeTiming();
        for (auto& t : work) {
            Result r;
            ApplySemantics(t, r, f.semantic, f.date);
            benchmark::DoNotOptimize(r.status);
        }
    }
    allocations.report(state, copying, state.iterations() * trees.size());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * trees.size()));
}
BENCHMARK(BM_Semantics);

void BM_Build(benchmark::State& state) {
    auto& f = fixture();
    auto& trees = parsedTrees();
    std::string built;
    std::string_view name;
    std::size_t i = 0;
    Result r;
    const AllocationCount allocations;
    for (auto _ : state) {
        r.reset();
        BuildFilename(built, trees[i].tree, trees[i].code, f.ctx, name, r);
        benchmark::DoNotOptimize(built.data());
        if (++i == trees.size()) i = 0;
    }
    allocations.report(state, 0, state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_Build);

// The calling order as every caller runs it: the name pipeline.
void BM_CallingOrder(benchmark::State& state) {
    auto& f = fixture();
    NamePipeline pipeline(f.settings);
    std::size_t i = 0;
    const AllocationCount allocations;
    for (auto _ : state) {
        pipeline.Evaluate(f.names[i]);
        benchmark::DoNotOptimize(pipeline.builtName().data());
        if (++i == f.names.size()) i = 0;
    }
    allocations.report(state, 0, state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_CallingOrder);

}  // namespace

BENCHMARK_MAIN();
