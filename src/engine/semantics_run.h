// Internals of the semantic layer shared by its passes (not for other callers).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dictionary.h"
#include "engine/semantics.h"
#include "engine/utf8.h"

namespace lorvane::semantics {

// Removing a node renumbers every node after it, so the indices the layer is
// working with (and the node of the result's finding) would silently point at
// other nodes. Every removal goes through here and fixes the held indices.
class HeldNodes {
public:
    class Hold {
    public:
        Hold(HeldNodes& owner, std::size_t mark) : owner_(owner), mark_(mark) {}
        ~Hold() { owner_.count_ = mark_; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        HeldNodes& owner_;
        std::size_t mark_;
    };

    // The references stay held until the returned Hold goes out of scope.
    [[nodiscard]] Hold hold(std::initializer_list<int*> refs) {
        const std::size_t mark = count_;
        for (int* ref : refs) {
            if (count_ >= kInPlace && count_ - kInPlace == spilled_.size()) spilled_.push_back(ref);
            else at(count_) = ref;
            ++count_;
        }
        return Hold(*this, mark);
    }

    // After the tree's merges (AttributeTree::finishMerges or mergeInto): held references
    // to a merged node pass to its heir, the others follow their nodes.
    void renumber(const AttributeTree& tree);

private:
    int*& at(std::size_t i) { return i < kInPlace ? inPlace_[i] : spilled_[i - kInPlace]; }

    // A few levels of nesting hold a dozen or two; those stay in place, so a run
    // needs no heap memory for them. Deeper trees spill the rest into a vector.
    static constexpr std::size_t kInPlace = 48;
    int* inPlace_[kInPlace] = {};
    std::vector<int*> spilled_;
    std::size_t count_ = 0;
};

// Each attribute's dictionary entry, looked up once per run rather than in every pass.
// Indexed by node and valid for one run: the passes change an attribute's Text only by
// swapping one form of its name for another of the same entry, and merges renumber it
// with the tree.
class EntryCache {
public:
    void reset(const AttributeTree& tree) { slots_.assign(static_cast<std::size_t>(tree.count()) + 1, nullptr); }

    const AttributeEntry& get(const AttributeTree& tree, int attribute) {
        const auto i = static_cast<std::size_t>(attribute);
        if (i >= slots_.size()) return FindAttribute(tree[attribute].text);
        if (!slots_[i]) slots_[i] = &FindAttribute(tree[attribute].text);
        return *slots_[i];
    }

    // After a merge or removal: moves every entry to its node's new Index. oldCount is
    // the tree's count() before the change.
    void renumber(const AttributeTree& tree, int oldCount);

private:
    std::vector<const AttributeEntry*> slots_, scratch_;  // kept, so a reused cache does not allocate
};

// One run of the layer over a tree.
struct Run {
    AttributeTree& tree;
    Result& result;
    const SemanticOptions& options;
    const DateOptions& dateOptions;
    MessageSink* sink;
    int& dateCounter;
    HeldNodes held;
    // Scratch for checkValue, shared by all values (see ProcessSemantics).
    Finding& finding;
    std::string& standard;

    // The run's entry cache; without one every lookup goes to the dictionary.
    EntryCache* entries = nullptr;
    // Preferred order: each attribute's place in it, by Index, for the level being
    // ordered and consolidated (set by namePass). Kept by the caller between runs.
    std::vector<std::int16_t>* ranks = nullptr;
    std::vector<std::int16_t> ownRanks{};
    std::vector<std::int16_t>& rank() { return ranks ? *ranks : ownRanks; }

    std::int32_t opt(std::size_t i) const { return options[i]; }
    const AttributeEntry& entry(int attribute) {
        return entries ? entries->get(tree, attribute) : FindAttribute(tree[attribute].text);
    }
    // Merges within one level are batched (AttributeTree::startMerges), so that the
    // tree, the held references and the entry cache are renumbered once per level.
    void startMerges() {
        tree.startMerges();
        merges = 0;
    }
    void deferMerge(int node, int heir) {
        tree.deferMerge(node, heir);
        ++merges;
    }
    void finishMerges() {
        const int oldCount = tree.count();
        tree.finishMerges();
        if (!merges) return;
        held.renumber(tree);
        if (entries) entries->renumber(tree, oldCount);
        // A finding on a merged node passes to its heir, whose text may be shorter (the
        // two agree only once trimmed): its range must stay inside the heir's text.
        if (result.nodeIndex && result.position >= 1) {
            const int length = static_cast<int>(utf8::length(tree[result.nodeIndex].text));
            if (result.position > length + 1) result.position = length + 1;
            result.clipTo(length);
        }
    }
    int merges = 0;
    // Levels processLevel is inside of, so that a deep tree stops before the stack does.
    int level = 0;
    void report(Status s, std::string_view message, int node, int position, int length) {
        ReportNodeStatus(s, message, tree, node, position, length, result);
    }
};

// The finding a No/Warn/Fail switch asks for; nothing for No (or an unknown choice).
constexpr std::optional<Status> severityOf(std::int32_t choice) {
    if (choice == 1) return Status::Warn;
    if (choice == 2) return Status::Fail;
    return std::nullopt;
}

// Duplicates are texts equal once trimmed and upper-cased. Compared in place,
// character by character, since every sibling is compared with every later one.
bool sameDuplicateKey(std::string_view a, std::string_view b);

// One level's passes, in their order. The two merging passes defer their merges
// (Run::startMerges); the value checks come after the level is renumbered.
void namePass(Run& run, int parent);
void consolidatePass(Run& run, int parent);
void valueMergePass(Run& run, int parent);
void valueCheckPass(Run& run, int parent);
void contextPass(Run& run, int parent);

// Merges every sibling from first on into the first earlier sibling with the same
// trimmed, upper-case Text (deferred). With ranks, siblings merge only within a rank
// and their Texts are trimmed at the end only: as if each Text began with its rank.
void mergeDuplicateSiblings(Run& run, int first, const std::vector<std::int16_t>* ranks = nullptr);

// Checks (and, when asked, rewrites) one value by a value format.
void checkValue(Run& run, int value, std::string_view valueFormat);

// The whole of one level, recursing into the values' sub-attributes.
void processLevel(Run& run, int parent);

}  // namespace lorvane::semantics
