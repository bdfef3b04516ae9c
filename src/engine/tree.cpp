#include "engine/tree.h"

#include <algorithm>
#include <array>

#include "engine/short_message.h"
#include "engine/utf8.h"

namespace lorvane {

Status statusOfImage(int img) {
    switch (img) {
        case image::RootWarn: case image::AttributeWarn: case image::AttributeWarn + 1: case image::ValueWarn:
            return Status::Warn;
        case image::RootFail: case image::AttributeFail: case image::AttributeFail + 1: case image::ValueFail:
            return Status::Fail;
        default:
            return Status::Good;
    }
}

AttributeTree::AttributeTree(const AttributeTree& other)
    : nodes_(other.nodes_.begin(), other.nodes_.begin() + other.size_), size_(other.size_),
      firstTop_(other.firstTop_), lastTop_(other.lastTop_), selected_(other.selected_) {}

AttributeTree& AttributeTree::operator=(const AttributeTree& other) {
    if (this == &other) return *this;
    const auto n = static_cast<std::size_t>(other.size_);
    if (nodes_.size() < n) nodes_.resize(n);
    std::copy(other.nodes_.begin(), other.nodes_.begin() + other.size_, nodes_.begin());  // into the strings' storage
    size_ = other.size_;
    firstTop_ = other.firstTop_;
    lastTop_ = other.lastTop_;
    selected_ = other.selected_;
    return *this;
}

int AttributeTree::firstSibling(int index) const {
    const Node& n = (*this)[index];
    return n.parent ? (*this)[n.parent].child : firstTop_;
}

int AttributeTree::lastSibling(int index) const {
    const Node& n = (*this)[index];
    return n.parent ? (*this)[n.parent].lastChild : lastTop_;
}

int AttributeTree::rootOf(int index) const {
    while ((*this)[index].parent) index = (*this)[index].parent;
    return index;
}

int AttributeTree::depth(int index) const {
    int d = 0;
    while ((*this)[index].parent) {
        index = (*this)[index].parent;
        ++d;
    }
    return d;
}

void AttributeTree::link(int idx, int parent, int before) {
    Node& n = (*this)[idx];
    n.parent = parent;
    int& first = parent ? (*this)[parent].child : firstTop_;
    int& last = parent ? (*this)[parent].lastChild : lastTop_;
    if (before == 0) {
        n.previous = last;
        n.next = 0;
        if (last) (*this)[last].next = idx; else first = idx;
        last = idx;
    } else {
        Node& b = (*this)[before];
        n.next = before;
        n.previous = b.previous;
        if (b.previous) (*this)[b.previous].next = idx; else first = idx;
        b.previous = idx;
    }
    if (parent) ++(*this)[parent].children;
}

void AttributeTree::unlink(int idx) {
    Node& n = (*this)[idx];
    int& first = n.parent ? (*this)[n.parent].child : firstTop_;
    int& last = n.parent ? (*this)[n.parent].lastChild : lastTop_;
    if (n.previous) (*this)[n.previous].next = n.next; else first = n.next;
    if (n.next) (*this)[n.next].previous = n.previous; else last = n.previous;
    if (n.parent) --(*this)[n.parent].children;
    n.parent = n.next = n.previous = 0;
}

int AttributeTree::add(int relative, Relation relation, std::string_view text, int img) {
    if (static_cast<std::size_t>(size_) == nodes_.size()) nodes_.emplace_back();
    const int idx = ++size_;
    Node& n = (*this)[idx];
    n.text.assign(text);
    n.tag.clear();
    n.image = static_cast<std::int16_t>(img);
    n.expandedImage = kindOfImage(img) == NodeKind::Attribute ? static_cast<std::int16_t>(img + 1) : 0;
    n.expanded = false;
    n.parent = n.child = n.lastChild = n.next = n.previous = 0;
    n.children = 0;

    if (relative == 0) {
        link(idx, 0, 0);
        return idx;
    }
    const Node& r = (*this)[relative];
    switch (relation) {
        case Relation::FirstSibling: link(idx, r.parent, firstSibling(relative)); break;
        case Relation::LastSibling: link(idx, r.parent, 0); break;
        case Relation::Next: link(idx, r.parent, r.next); break;
        case Relation::Previous: link(idx, r.parent, relative); break;
        case Relation::Child: link(idx, relative, 0); break;
    }
    return idx;
}

template <typename Visit>
void AttributeTree::forEachInSubtree(int top, Visit visit) const {
    // Preorder along the links; the parent links lead back up, so no stack is needed.
    int n = top;
    for (;;) {
        visit(n);
        if ((*this)[n].child) {
            n = (*this)[n].child;
            continue;
        }
        while (n != top && !(*this)[n].next) n = (*this)[n].parent;
        if (n == top) return;
        n = (*this)[n].next;
    }
}

void AttributeTree::remove(int index) {
    if (index < 1 || index > size_) return;
    marks_.assign(static_cast<std::size_t>(size_) + 1, 0);
    forEachInSubtree(index, [&](int n) { marks_[static_cast<std::size_t>(n)] = 1; });
    unlink(index);
    heir_.clear();
    order_.clear();
    for (int i = 1; i <= size_; ++i)
        if (!marks_[static_cast<std::size_t>(i)]) order_.push_back(i);
    reorder();
}

void AttributeTree::mergeInto(int node, int heir) {
    startMerges();
    deferMerge(node, heir);
    finishMerges();
}

void AttributeTree::startMerges() {
    deferred_ = false;
    heir_.clear();  // survivor() follows no merges of an earlier batch
}

void AttributeTree::deferMerge(int node, int heir) {
    if (!deferred_) {
        // The first merge of the batch: no node moved yet.
        deferred_ = true;
        marks_.assign(static_cast<std::size_t>(size_) + 1, 0);
        heir_.assign(static_cast<std::size_t>(size_) + 1, 0);
        moved_.clear();
    }
    // As one mergeInto() numbers it: the node is gone and its descendants go after
    // everything else, in preorder. marks_ says where each node stands: 0 in its place,
    // -1 gone, k its place in moved_ (1-based; a node moved again leaves a stale entry).
    forEachInSubtree(node, [&](int n) {
        if (n == node) {
            marks_[static_cast<std::size_t>(n)] = -1;
            return;
        }
        moved_.push_back(n);
        marks_[static_cast<std::size_t>(n)] = static_cast<int>(moved_.size());
    });
    while (const int c = (*this)[node].child) {
        unlink(c);
        link(c, heir, 0);
    }
    unlink(node);
    heir_[static_cast<std::size_t>(node)] = heir;
}

void AttributeTree::finishMerges() {
    if (!deferred_) {
        // Nothing merged: every node keeps its place.
        renumber_.resize(static_cast<std::size_t>(size_) + 1);
        for (int i = 0; i <= size_; ++i) renumber_[static_cast<std::size_t>(i)] = i;
        return;
    }
    deferred_ = false;
    order_.clear();
    for (int i = 1; i <= size_; ++i)
        if (marks_[static_cast<std::size_t>(i)] == 0) order_.push_back(i);
    for (std::size_t k = 0; k < moved_.size(); ++k)
        if (marks_[static_cast<std::size_t>(moved_[k])] == static_cast<int>(k) + 1) order_.push_back(moved_[k]);
    reorder();
}

void AttributeTree::reorder() {
    // order_ holds the nodes that stay, by their old Index, in their new order.
    const int newCount = static_cast<int>(order_.size());
    renumber_.assign(static_cast<std::size_t>(size_) + 1, 0);
    for (int k = 0; k < newCount; ++k) renumber_[static_cast<std::size_t>(order_[static_cast<std::size_t>(k)])] = k + 1;
    // Every node is moved once, into the other collection, and its links renumbered on
    // the way. Moving takes the strings' storage along and hands the storage it replaces
    // back, so the two collections keep all of it for later adds. Removed nodes go to
    // the tail, where their storage waits too.
    if (spareNodes_.size() < nodes_.size()) spareNodes_.resize(nodes_.size());
    for (int k = 0; k < newCount; ++k) {
        Node& n = spareNodes_[static_cast<std::size_t>(k)];
        n = std::move(nodes_[static_cast<std::size_t>(order_[static_cast<std::size_t>(k)] - 1)]);
        n.parent = renumbered(n.parent);
        n.child = renumbered(n.child);
        n.lastChild = renumbered(n.lastChild);
        n.next = renumbered(n.next);
        n.previous = renumbered(n.previous);
    }
    std::size_t tail = static_cast<std::size_t>(newCount);
    for (int i = 1; i <= size_; ++i)
        if (!renumber_[static_cast<std::size_t>(i)]) spareNodes_[tail++] = std::move(nodes_[static_cast<std::size_t>(i - 1)]);
    nodes_.swap(spareNodes_);
    firstTop_ = renumbered(firstTop_);
    lastTop_ = renumbered(lastTop_);
    selected_ = renumbered(selected_);
    size_ = newCount;
}

void AttributeTree::clear() {
    size_ = 0;
    firstTop_ = lastTop_ = selected_ = 0;
}

namespace {

// Orders two texts as their upper-case forms (utf8::upper) compare as bytes, without
// building them: UTF-8 keeps code point order, so comparing the upper-cased code
// points one by one gives the same answer.
bool upperLess(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        char32_t ua, ub;
        if (ca < 0x80 && cb < 0x80) {
            ua = utf8::asciiUpper(ca);
            ub = utf8::asciiUpper(cb);
            ++i;
            ++j;
        } else {
            ua = utf8::toUpper(utf8::decode(a, i));
            ub = utf8::toUpper(utf8::decode(b, j));
        }
        if (ua != ub) return ua < ub;
    }
    return i == a.size() && j < b.size();
}

}  // namespace

template <typename Less>
void AttributeTree::sortChildrenBy(int index, Less less) {
    if ((*this)[index].children < 2) return;
    // Siblings are few, so an insertion sort on the links does it in place: stable,
    // and without the buffers a general sort would allocate for every call.
    int sortedLast = (*this)[index].child;
    while (const int c = (*this)[sortedLast].next) {
        if (!less(c, sortedLast)) {
            sortedLast = c;
            continue;
        }
        // c goes before the first sorted sibling that is greater than it.
        int before = (*this)[index].child;
        while (!less(c, before)) before = (*this)[before].next;
        unlink(c);
        link(c, index, before);
    }
}

void AttributeTree::sortChildren(int index) {
    sortChildrenBy(index, [this](int a, int b) { return upperLess((*this)[a].text, (*this)[b].text); });
}

void AttributeTree::sortChildren(int index, std::span<const std::int16_t> rank) {
    sortChildrenBy(index, [this, rank](int a, int b) {
        const auto ra = rank[static_cast<std::size_t>(a)], rb = rank[static_cast<std::size_t>(b)];
        return ra != rb ? ra < rb : upperLess((*this)[a].text, (*this)[b].text);
    });
}

bool AttributeTree::wellShaped() const {
    if (size_ == 0) return true;
    if (firstTop_ != 1 || lastTop_ != 1 || !(*this)[1].isRoot()) return false;
    for (int i = 2; i <= size_; ++i) {
        const Node& n = (*this)[i];
        if (!n.parent || n.isRoot()) return false;
        const Node& p = (*this)[n.parent];
        if (n.isAttribute() && !(p.isRoot() || p.isValue())) return false;
        if (n.isValue() && !p.isAttribute()) return false;
    }
    return true;
}

void InitializeTree(AttributeTree& tree, int showLevels) {
    tree.clear();
    int root = tree.add(0, Relation::LastSibling, "Filename", image::RootGood);
    tree.select(root);
    tree[root].expanded = showLevels > 0;
}

void ResetTreeStatus(AttributeTree& tree) {
    for (int i = 1; i <= tree.count(); ++i) {
        Node& n = tree[i];
        if (n.image < 4) n.image = image::RootGood;
        else if (n.image <= 9) { n.image = image::AttributeGood; n.expandedImage = image::AttributeGood + 1; }
        else n.image = image::ValueGood;
    }
}

void ReportNodeFinding(Status status, std::string_view message, AttributeTree& tree, int node, int position,
                       int length, Result& result) {
    Node& n = tree[node];
    const NodeKind kind = n.kind();
    auto setImage = [&](int root, int attr, int value) {
        n.image = static_cast<std::int16_t>(kind == NodeKind::Root ? root : kind == NodeKind::Attribute ? attr : value);
        if (kind == NodeKind::Attribute) n.expandedImage = static_cast<std::int16_t>(attr + 1);
    };
    switch (status) {
        case Status::Good:
            return;  // ReportNodeStatus marks good nodes
        case Status::Warn:
            if (statusOfImage(n.image) == Status::Good) setImage(image::RootWarn, image::AttributeWarn, image::ValueWarn);
            if (result.status == Status::Good) {
                result.set(Status::Warn, message, position, length);
                result.nodeIndex = node;
            }
            return;
        case Status::Fail:
            setImage(image::RootFail, image::AttributeFail, image::ValueFail);
            if (result.status != Status::Fail) {
                result.set(Status::Fail, message, position, length);
                result.nodeIndex = node;
            }
            return;
    }
}

void ReportNodeStatus(std::string_view status, std::string_view message, AttributeTree& tree, int node, int position,
                      int length, Result& result) {
    if (auto s = statusFromWord(status)) ReportNodeStatus(*s, message, tree, node, position, length, result);
}

int CopySubtree(AttributeTree& tree, int source, int relative, Relation relation) {
    // Preorder along the links, as forEachInSubtree, so that no depth of nesting costs
    // stack. The copies mirror the source, so the copy's parent links lead back up
    // beside the source's. Children of the source keep their indices (each copy is
    // appended after them).
    auto copyNode = [&tree](int from, int to, Relation how) {
        // Copy the fields first: add() may grow the collection and move the source.
        const std::string text = tree[from].text, tag = tree[from].tag;
        const auto img = tree[from].image, expImg = tree[from].expandedImage;
        const bool expanded = tree[from].expanded;
        const int copy = tree.add(to, how, text, img);
        tree[copy].tag = tag;
        tree[copy].expandedImage = expImg;
        tree[copy].expanded = expanded;
        return copy;
    };
    const int top = copyNode(source, relative, relation);
    int n = source, copy = top;
    for (;;) {
        if (const int c = tree[n].child) {
            n = c;
            copy = copyNode(n, copy, Relation::Child);
            continue;
        }
        while (n != source && !tree[n].next) {
            n = tree[n].parent;
            copy = tree[copy].parent;
        }
        if (n == source) return top;
        n = tree[n].next;
        copy = copyNode(n, tree[copy].parent, Relation::Child);
    }
}

int AddTaggedAttribute(AttributeTree& tree, int parent, std::string_view name, std::optional<std::string_view> value,
                       int showLevels) {
    const int depth = tree.depth(parent) + 1;
    const int attribute = tree.addChild(parent, name, image::AttributeGood);
    tree[attribute].tag.assign(name);
    tree[attribute].expanded = showLevels > depth;
    if (value) tree[tree.addChild(attribute, *value, image::ValueGood)].expanded = showLevels > depth + 1;
    return attribute;
}

void SetFilenameTooLong(Result& result, int length, int maximum) {
    result.set(Status::Fail,
               ShortMessage() << "Filename is too long (Length=" << length << ", Maximum=" << maximum << ")", 1,
               length, ResultCode::FilenameTooLong);
}

bool CheckFilenameBasics(std::string_view fileName, int nameLength, bool allowIllegal, int maximumLength,
                         std::string_view illegalMessage, AttributeTree& tree, Result& result) {
    if (fileName.empty()) {
        result.set(Status::Fail, "Filename is empty", 1, 0, ResultCode::FilenameEmpty);
    } else if (nameLength > maximumLength) {
        SetFilenameTooLong(result, nameLength, maximumLength);
    } else if (const int p = allowIllegal ? 0 : FindIllegalCharacter(fileName); p > 0) {
        result.set(Status::Fail, illegalMessage, p, 1, ResultCode::IllegalCharacter);
    } else {
        return true;
    }
    tree.clear();
    return false;
}

int FindIllegalCharacter(std::string_view text) {
    // 0 or 1 per byte, so that eight entries can be or-ed together.
    static constexpr auto illegal = [] {
        std::array<unsigned char, 256> t{};
        for (char c : kIllegalCharacters) t[static_cast<unsigned char>(c)] = 1;
        return t;
    }();
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    // Names hold no illegal character as a rule: test eight bytes with one branch.
    while (i + 8 <= n && !(illegal[s[i]] | illegal[s[i + 1]] | illegal[s[i + 2]] | illegal[s[i + 3]] |
                           illegal[s[i + 4]] | illegal[s[i + 5]] | illegal[s[i + 6]] | illegal[s[i + 7]]))
        i += 8;
    for (; i < n; ++i)
        if (illegal[s[i]]) return utf8::position(text, i);
    return 0;
}

}  // namespace lorvane
