#include "core/batch/remove_content.h"

#include "engine/dictionary.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

bool isRoot(const AttributeTree& tree, int node) { return node && tree[node].isRoot(); }

// An attribute under the given value of the given attribute (a top-level one is not).
bool underContextValue(const RemoveContentRequest& r, const AttributeTree& tree, int attribute) {
    const int value = tree[attribute].parent;
    if (!value || isRoot(tree, value) || !utf8::equalIgnoringCase(tree[value].text, r.contextValue)) return false;
    const int owner = tree[value].parent;
    return owner && SameAttributeName(tree[owner].text, r.contextAttribute);
}

bool inContext(const RemoveContentRequest& r, const AttributeTree& tree, int node) {
    const Node& n = tree[node];
    switch (r.context) {
        case RemoveContext::Any: return true;
        case RemoveContext::TopLevel:
            return isRoot(tree, n.parent) || (n.parent && isRoot(tree, tree[n.parent].parent));
        case RemoveContext::SubAttributeOf: return underContextValue(r, tree, n.isValue() ? n.parent : node);
    }
    return false;
}

bool meets(const RemoveContentRequest& r, const Node& n) {
    switch (r.criterion) {
        case RemoveCriterion::AttributesWithoutValues: return n.isAttribute() && n.children == 0;
        case RemoveCriterion::AttributesWithEmptyLabels: return n.isAttribute() && n.text.empty();
        case RemoveCriterion::AttributesNamed: return n.isAttribute() && SameAttributeName(n.text, r.attributeText);
        case RemoveCriterion::EmptyValues: return n.isValue() && n.text.empty();
        case RemoveCriterion::ValuesContaining:
            return n.isValue() && !n.text.empty() && utf8::containsIgnoringCase(n.text, r.valueText);
    }
    return false;
}

// Moves the sub-attributes of value, in their order, to just before anchor: each
// copied there and its original removed. Both indices follow the renumbering.
void promoteChildren(AttributeTree& tree, int& value, int& anchor) {
    while (const int first = tree[value].child) {
        CopySubtree(tree, first, anchor, Relation::Previous);
        tree.remove(first);
        value = tree.renumbered(value);
        anchor = tree.renumbered(anchor);
    }
}

}  // namespace

bool MeetsRemoveCriterion(const RemoveContentRequest& request, const AttributeTree& tree, int node) {
    const Node& n = tree[node];
    return !n.isRoot() && inContext(request, tree, node) && meets(request, n);
}

StepAnswer RemoveContentFromTree(const RemoveContentRequest& request, AttributeTree& tree) {
    bool removed = false;
    // The count is read again for every position: removals shorten the collection
    // and promotions append to it.
    for (int p = 1; p <= tree.count();) {
        if (!MeetsRemoveCriterion(request, tree, p)) {
            ++p;
            continue;
        }
        removed = true;
        int node = p;
        if (request.promote && tree[node].isAttribute()) {
            // The sub-attributes of all its values, in order, end up just before it.
            while (int value = tree[node].child) {
                promoteChildren(tree, value, node);
                tree.remove(value);
                node = tree.renumbered(node);
            }
        } else if (request.promote) {
            int attribute = tree[node].parent;
            promoteChildren(tree, node, attribute);
        }
        tree.remove(node);
        // The nodes after it moved down: the same position is examined again.
    }
    return removed ? StepAnswer::Changed : StepAnswer::NotApplicable;
}

}  // namespace lorvane
