#include "engine/semantics.h"

#include <string>

#include "engine/semantics_run.h"
#include "engine/short_message.h"
#include "engine/utf8.h"

namespace lorvane {

namespace semantics {

namespace {

std::string_view nameIn(const AttributeEntry& e, std::int32_t form) {
    switch (form) {
        case 1: return e.shortName;
        case 2: return e.mediumName;
        case 3: return e.longName;
        default: return {};
    }
}

constexpr std::int16_t kUnrecognisedOrder = 9998;

std::string_view valuesWord(int n) { return n == 1 ? " value" : " values"; }

}  // namespace

void namePass(Run& run, int parent) {
    AttributeTree& tree = run.tree;
    const bool preferred = run.opt(sem_opt::AttributeReorder) == 2;
    std::vector<std::int16_t>& rank = run.rank();
    if (preferred && rank.size() <= static_cast<std::size_t>(tree.count()))
        rank.resize(static_cast<std::size_t>(tree.count()) + 1);
    for (int a = tree[parent].child; a; a = tree[a].next) {
        const AttributeEntry& e = run.entry(a);
        if (e.known()) {
            run.report(Status::Good, "Recognized attribute name", a, 0, 0);
            if (const auto form = run.opt(sem_opt::AttributeTranslateParse); form >= 1 && form <= 3)
                tree[a].text.assign(nameIn(e, form));
            if (const auto form = run.opt(sem_opt::AttributeTranslateBuild); form >= 1 && form <= 3)
                tree[a].tag.assign(nameIn(e, form));
            if (preferred) rank[static_cast<std::size_t>(a)] = static_cast<std::int16_t>(e.order);
        } else {
            if (const auto s = severityOf(run.opt(sem_opt::AttributeValidateName)))
                run.report(*s, "Unrecognized attribute name", a, 1, static_cast<int>(utf8::length(tree[a].text)));
            if (preferred) rank[static_cast<std::size_t>(a)] = kUnrecognisedOrder;
        }
    }
    if (preferred) tree.sortChildren(parent, rank);
    else if (run.opt(sem_opt::AttributeReorder) > 0) tree.sortChildren(parent);
}

void contextPass(Run& run, int parent) {
    AttributeTree& tree = run.tree;
    auto hp = run.held.hold({&parent});
    const bool attributes = run.opt(sem_opt::AttributeEnable) == 1;
    const bool atRoot = tree[parent].isRoot();
    // The owner of the value P, by long name; an unrecognised owner has the empty
    // name, which no entry lists. Sub-attributes are checked before this level
    // changes, so the owner's name holds for the whole loop.
    const std::string_view owner = atRoot ? "Root" : run.entry(tree[parent].parent).longName;
    for (int a = tree[parent].child; a; a = tree[a].next) {
        auto ha = run.held.hold({&a});
        const AttributeEntry& e = run.entry(a);
        if (attributes) {
            if (e.longName == "Captured Date" && atRoot) ++run.dateCounter;
            if (e.known()) {
                if (const auto s = severityOf(run.opt(sem_opt::AttributeValidateContext))) {
                    if (!e.allowedUnder(owner))
                        run.report(*s, "Invalid attribute context", a, 0, 0);
                }
                const int n = tree[a].children;
                const auto structure = run.opt(sem_opt::AttributeValidateStructure);
                if (const auto s = severityOf(structure)) {
                    const bool warn = *s == Status::Warn;
                    if (n < e.minimumValues)
                        run.report(*s,
                                   ShortMessage()
                                       << e.longName
                                       << (warn ? " attribute should have at least " : " attribute must have at least ")
                                       << e.minimumValues << valuesWord(e.minimumValues),
                                   a, 0, 0);
                    else if (n > e.maximumValues)
                        run.report(*s,
                                   ShortMessage() << e.longName
                                                  << (warn ? " attribute should not have more than "
                                                           : " attribute may not have more than ")
                                                  << e.maximumValues << valuesWord(e.maximumValues),
                                   a, 0, 0);
                }
            }
        }
        for (int v = tree[a].child; v; v = tree[v].next) {
            if (!tree[v].child) continue;  // most values have no sub-attributes: nothing to hold or do
            auto hv = run.held.hold({&v});
            processLevel(run, v);
        }
    }
}

void processLevel(Run& run, int parent) {
    if (!run.tree[parent].child) return;
    if (run.level == kAttributeLevelsMaximum)
        return run.report(Status::Fail, kNestedTooDeeply, run.tree[parent].child, 0, 0);
    ++run.level;
    auto hp = run.held.hold({&parent});
    const bool attributes = run.opt(sem_opt::AttributeEnable) == 1, values = run.opt(sem_opt::ValueEnable) == 1;
    if (attributes) namePass(run, parent);
    run.startMerges();
    if (attributes) consolidatePass(run, parent);
    if (values) valueMergePass(run, parent);
    run.finishMerges();
    if (values) valueCheckPass(run, parent);
    contextPass(run, parent);
    --run.level;
}

}  // namespace semantics

void ProcessSemantics(AttributeTree& tree, int parent, Result& result, int& dateCounter,
                      const SemanticOptions& semanticOptions, const DateOptions& dateOptions, MessageSink* sink) {
    // Kept per thread between runs, so that values are checked without heap memory once
    // a few names have been through. A sink may run the layer again from inside a
    // check; the value check that called it uses none of this afterwards.
    thread_local Finding finding;
    thread_local std::string standard;
    // The entry cache is used all through the run, so a run started from inside a check
    // (by a sink) gets one of its own.
    thread_local semantics::EntryCache sharedEntries;
    thread_local std::vector<std::int16_t> sharedRanks;
    thread_local bool sharedEntriesBusy = false;
    semantics::EntryCache ownEntries;
    const bool nested = sharedEntriesBusy;
    semantics::EntryCache& entries = nested ? ownEntries : sharedEntries;
    struct Busy {
        bool& flag;
        bool was;
        ~Busy() { flag = was; }
    } busy{sharedEntriesBusy, nested};
    sharedEntriesBusy = true;
    entries.reset(tree);
    semantics::Run run{tree, result, semanticOptions, dateOptions, sink, dateCounter, {}, finding, standard, &entries};
    if (!nested) run.ranks = &sharedRanks;
    auto held = run.held.hold({&result.nodeIndex});
    semantics::processLevel(run, parent);
}

void ApplySemantics(AttributeTree& tree, Result& result, const SemanticOptions& semanticOptions,
                    const DateOptions& dateOptions, MessageSink* sink) {
    if (tree.empty()) return;
    const bool attributes = semanticOptions[sem_opt::AttributeEnable] == 1;
    if (!attributes && semanticOptions[sem_opt::ValueEnable] != 1) return;
    int dateCounter = 0;
    const int root = tree.root();
    ProcessSemantics(tree, root, result, dateCounter, semanticOptions, dateOptions, sink);
    if (!attributes) return;
    if (dateCounter == 0)
        ReportNodeStatus(Status::Warn, "There should be a top-level Captured Date attribute", tree, root, 0, 0, result);
    else if (dateCounter >= 2)
        ReportNodeStatus(Status::Warn, "There should only be one top-level Captured Date attribute", tree, root, 0, 0,
                         result);
}

}  // namespace lorvane
