// Compact text form of a tree for test expectations: "Filename(A(b),Extension(JPG))".
// Each node is its Text; children follow in parentheses. Marks are shown with
// treeMarks() as the image numbers in Index order.
#pragma once

#include <string>

#include "engine/tree.h"

namespace lorvane::testing {

inline void appendNode(const AttributeTree& t, int n, std::string& out) {
    out += t[n].text;
    if (!t[n].child) return;
    out += '(';
    for (int c = t[n].child; c; c = t[c].next) {
        if (c != t[n].child) out += ',';
        appendNode(t, c, out);
    }
    out += ')';
}

inline std::string treeText(const AttributeTree& t) {
    std::string out;
    if (t.root()) appendNode(t, t.root(), out);
    return out;
}

inline std::string treeMarks(const AttributeTree& t) {
    std::string out;
    for (int i = 1; i <= t.count(); ++i) {
        if (i > 1) out += ' ';
        out += std::to_string(t[i].image);
    }
    return out;
}

// Builds a tree from the treeText() form (no commas or parentheses inside texts).
// Depth decides the kind: root, then attributes and values alternating. Tag = Text.
inline void buildTree(AttributeTree& t, std::string_view shape) {
    t.clear();
    std::size_t i = 0;
    int parent = 0;
    int last = 0;
    int depth = -1;
    auto imageAt = [](int d) { return d == 0 ? image::RootGood : d % 2 ? image::AttributeGood : image::ValueGood; };
    while (i <= shape.size()) {
        std::size_t j = shape.find_first_of("(),", i);
        if (j == std::string_view::npos) j = shape.size();
        if (j > i || (j < shape.size() && shape[j] == '(' && j == i)) {
            int d = depth + 1;
            last = t.addChild(parent, shape.substr(i, j - i), imageAt(d));
            if (d % 2 == 1) t[last].tag = t[last].text;
        }
        if (j >= shape.size()) break;
        if (shape[j] == '(') {
            parent = last;
            ++depth;
        } else if (shape[j] == ')') {
            last = parent;
            parent = t[parent].parent;
            --depth;
        }
        i = j + 1;
    }
}

}  // namespace lorvane::testing
