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

namespace lorvane::semantics {

// Removing a node renumbers every node after it, so the indices the layer is
// working with (and the node of the result's finding) would silently point at
// other nodes. Every removal goes through here and fixes the held indices.
class HeldNodes {
public:
    class Hold {
    public:
        Hold(HeldNodes& owner, std::size_t mark) : owner_(owner), mark_(mark) {}
        ~Hold() { owner_.refs_.resize(mark_); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        HeldNodes& owner_;
        std::size_t mark_;
    };

    // The references stay held until the returned Hold goes out of scope.
    [[nodiscard]] Hold hold(std::initializer_list<int*> refs);

    // Moves node with its subtree to the last place under newParent; held indices
    // on the moved nodes follow them. Returns the node's new index.
    int moveUnder(AttributeTree& tree, int node, int newParent);
    // Removes a node that has no children; held references to it pass to heir.
    void removeInto(AttributeTree& tree, int node, int heir);

private:
    // gone: the removed nodes in preorder; heirs: what a reference to each becomes.
    void removeMapped(AttributeTree& tree, int node, const std::vector<int>& gone, const std::vector<int>& heirs);

    std::vector<int*> refs_;
    std::vector<int> sorted_;  // scratch
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

    std::int32_t opt(std::size_t i) const { return options[i]; }
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

// An attribute's dictionary entry, looked up by whatever form of the name its Text holds.
inline std::string_view nameOf(const AttributeTree& tree, int attribute) {
    return TranslateAttributeName(tree[attribute].text);
}

// Trimmed and upper-cased, as duplicates are compared.
std::string duplicateKey(std::string_view text);

// One level's passes, in their order.
void namePass(Run& run, int parent);
void consolidatePass(Run& run, int parent);
void valuePass(Run& run, int parent);
void contextPass(Run& run, int parent);

// Merges later siblings of node with the same trimmed, upper-case Text into it.
void mergeDuplicatesInto(Run& run, int& node);

// Checks (and, when asked, rewrites) one value by a value format.
void checkValue(Run& run, int value, std::string_view valueFormat);

// The whole of one level, recursing into the values' sub-attributes.
void processLevel(Run& run, int parent);

}  // namespace lorvane::semantics
