// The attribute tree: a node collection in creation order with 1-based Index,
// renumbered on removal. Views (the Editor's tree pane) mirror this model.
//
// Nodes are addressed by their Index; 0 means "no node". The collection keeps the
// storage of removed and cleared nodes so that a tree reused for every file (the
// Browser's work tree) stops allocating once it has seen its largest name.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/result.h"

namespace lorvane {

// Images: kind and status mark in one number.
namespace image {
constexpr int RootGood = 1, RootWarn = 2, RootFail = 3;
constexpr int AttributeGood = 4, AttributeWarn = 6, AttributeFail = 8;
constexpr int ValueGood = 10, ValueWarn = 11, ValueFail = 12;
}  // namespace image

enum class NodeKind { Root, Attribute, Value };

constexpr NodeKind kindOfImage(int img) {
    return img <= 3 ? NodeKind::Root : img <= 9 ? NodeKind::Attribute : NodeKind::Value;
}
constexpr int goodImageOf(NodeKind k) {
    return k == NodeKind::Root ? image::RootGood : k == NodeKind::Attribute ? image::AttributeGood : image::ValueGood;
}
// Status shown by an image: Good, Warn or Fail.
Status statusOfImage(int img);

// Where a new node goes relative to another node (the numbers are stable).
enum class Relation : int {
    FirstSibling = 0,  // first child of the relative's parent
    LastSibling = 1,   // last child of the relative's parent
    Next = 2,          // next sibling of the relative
    Previous = 3,      // previous sibling of the relative
    Child = 4,         // last child of the relative
};

struct Node {
    std::string text;
    std::string tag;
    std::int16_t image = image::RootGood;
    std::int16_t expandedImage = 0;  // attributes only: image + 1
    bool expanded = false;
    // Links by Index, 0 for none.
    int parent = 0, child = 0, lastChild = 0, next = 0, previous = 0;
    int children = 0;

    NodeKind kind() const { return kindOfImage(image); }
    bool isRoot() const { return image <= 3; }
    bool isAttribute() const { return image >= 4 && image <= 9; }
    bool isValue() const { return image >= 10; }
};

class AttributeTree {
public:
    AttributeTree() = default;
    // A copy holds the other tree's nodes; an assigned tree keeps its own spare storage
    // for them (a work tree refilled from another stops allocating).
    AttributeTree(const AttributeTree& other);
    AttributeTree& operator=(const AttributeTree& other);
    AttributeTree(AttributeTree&&) noexcept = default;
    AttributeTree& operator=(AttributeTree&&) noexcept = default;

    int count() const { return size_; }
    bool empty() const { return size_ == 0; }

    // 1-based access; index must be in 1..count().
    Node& operator[](int index) { return nodes_[static_cast<std::size_t>(index - 1)]; }
    const Node& operator[](int index) const { return nodes_[static_cast<std::size_t>(index - 1)]; }

    // The first top-level node (the root once the tree is initialised), or 0.
    int root() const { return firstTop_; }
    int selected() const { return selected_; }
    void select(int index) { selected_ = index; }

    // Navigation helpers beyond the stored links.
    int firstSibling(int index) const;
    int lastSibling(int index) const;
    int rootOf(int index) const;
    int depth(int index) const;  // root 0, top-level attributes 1, ...

    // Adds a node. With relative 0 the node becomes the last top-level node.
    // Returns the new node's Index (always count() after the call).
    int add(int relative, Relation relation, std::string_view text, int image);
    // Convenience: last child of parent (0 for top level).
    int addChild(int parent, std::string_view text, int image) {
        return parent ? add(parent, Relation::Child, text, image) : add(0, Relation::LastSibling, text, image);
    }

    // Removes the node with all its descendants; later nodes move down.
    void remove(int index);
    // Gives node's children, in their order, to heir as its last children and removes
    // node. Numbered as moving each child with CopySubtree and remove() and then
    // removing node would be: node's descendants take the highest indices, in
    // preorder, and the other nodes close up. heir must lie outside node's subtree.
    void mergeInto(int node, int heir);
    // Several merges with one renumbering, for passes that merge many siblings. Between
    // startMerges() and finishMerges() each deferMerge() moves the children at once but
    // every node keeps its Index, the merged ones unlinked; finishMerges() then numbers
    // the tree as the same mergeInto() calls one after another would.
    void startMerges();
    void deferMerge(int node, int heir);
    void finishMerges();
    // After remove(), mergeInto() or finishMerges(): the index of the node that had
    // oldIndex before it (0 for 0 and for removed nodes). Valid until the tree changes again.
    int renumbered(int oldIndex) const { return renumber_[static_cast<std::size_t>(oldIndex)]; }
    // As renumbered(), but a merged node gives the index of the node it went into.
    int survivor(int oldIndex) const {
        while (oldIndex < static_cast<int>(heir_.size()) && heir_[static_cast<std::size_t>(oldIndex)])
            oldIndex = heir_[static_cast<std::size_t>(oldIndex)];
        return renumbered(oldIndex);
    }
    void clear();

    // The one-shot "Sorted": orders the node's children ascending by Text,
    // ignoring letter case, keeping the order of equal texts.
    void sortChildren(int index);
    // The same, by rank[child] first (rank indexed by Index): equal ranks go by Text.
    void sortChildren(int index, std::span<const std::int16_t> rank);

    // Every node in Index order satisfies the shape rules (one root first,
    // attributes under root and values, values under attributes).
    bool wellShaped() const;

private:
    void link(int idx, int parent, int before);  // insert idx into parent's list before `before` (0 = at end)
    void unlink(int idx);
    template <typename Visit>
    void forEachInSubtree(int top, Visit visit) const;
    template <typename Less>
    void sortChildrenBy(int index, Less less);
    void reorder();

    std::vector<Node> nodes_;
    int size_ = 0;
    int firstTop_ = 0, lastTop_ = 0;
    int selected_ = 0;
    // Kept between calls so that renumbering a reused tree does not allocate: the nodes
    // are renumbered by moving them into the other collection, which is then swapped in.
    std::vector<Node> spareNodes_;
    std::vector<int> marks_, renumber_;
    // Renumbering: the nodes that stay in their new order, by old Index. Deferred merges:
    // the heir of each merged node (0 for the others), the nodes moved to the end in the
    // order they went there, and whether any merge waits.
    std::vector<int> order_, heir_, moved_;
    bool deferred_ = false;
};

// --- The five shared operations ---

// Empties the tree and adds the root "Filename", selected, expanded when showLevels > 0.
void InitializeTree(AttributeTree& tree, int showLevels);

// Gives every node the Good mark of its kind.
void ResetTreeStatus(AttributeTree& tree);

// A Warn or Fail finding: marks the node and folds the finding into the result.
void ReportNodeFinding(Status status, std::string_view message, AttributeTree& tree, int node, int position,
                       int length, Result& result);

// Marks the node and folds the finding into the result (the worse status wins,
// the first finding of that severity supplies the rest). A Good finding only gives the
// node the Good mark of its kind; most findings are good, so that much is inline.
inline void ReportNodeStatus(Status status, std::string_view message, AttributeTree& tree, int node, int position,
                             int length, Result& result) {
    if (status != Status::Good) return ReportNodeFinding(status, message, tree, node, position, length, result);
    Node& n = tree[node];
    n.image = static_cast<std::int16_t>(goodImageOf(n.kind()));
    if (n.isAttribute()) n.expandedImage = image::AttributeGood + 1;
}
// The word form: anything but "Good", "Warn" and "Fail" does nothing.
void ReportNodeStatus(std::string_view status, std::string_view message, AttributeTree& tree, int node, int position,
                      int length, Result& result);

// A new attribute as the last child of parent (the root for a top-level one, or a
// value): Text and Tag the name, the Good attribute mark, and under it a value node
// of that text with the Good value mark (none when value is nothing). Each node is
// expanded when its depth is below showLevels, as a parse shows it. Returns the
// attribute; its value is its child.
int AddTaggedAttribute(AttributeTree& tree, int parent, std::string_view name, std::optional<std::string_view> value,
                       int showLevels = 0);

// Copies source and all its descendants to the place given by relative and relation.
// Returns the Index of the copy of source. Relative must lie outside the source subtree.
int CopySubtree(AttributeTree& tree, int source, int relative, Relation relation);

// Attribute levels a tree may have (top-level attributes are level 1). The parser,
// the semantic layer and the builder work level by level on the stack; past this
// they stop with kNestedTooDeeply instead of running out of it.
constexpr int kAttributeLevelsMaximum = 1000;
constexpr std::string_view kNestedTooDeeply = "Attributes are nested too deeply";

// Every parser's finding for a name of length characters, more than maximum: the
// whole name is selected. (The tree is the caller's to empty.)
void SetFilenameTooLong(Result& result, int length, int maximum);

// 1-based character position of the first of \/:*?<>|" in the text, or 0.
int FindIllegalCharacter(std::string_view text);
// What every parser checks first: an empty name, a name longer than maximumLength
// characters, an illegal character (unless allowed; illegalMessage is the parser's
// own wording). False with the tree emptied and the result failed.
bool CheckFilenameBasics(std::string_view fileName, int nameLength, bool allowIllegal, int maximumLength,
                         std::string_view illegalMessage, AttributeTree& tree, Result& result);

constexpr std::string_view kIllegalCharacters = "\\/:*?<>|\"";

}  // namespace lorvane
