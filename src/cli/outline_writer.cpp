#include "cli/outline_writer.h"

#include "cli/output.h"

#include "engine/dates.h"
#include "engine/dictionary.h"
#include "engine/utf8.h"

namespace lorvane::cli {

namespace {

char kindMark(const Node& n) { return n.isRoot() ? '*' : n.isAttribute() ? '@' : '-'; }

// A date text says only as much as is known; the span shows what it stands for.
void appendDateSpan(std::string& out, const AttributeTree& tree, int index, const DateOptions* dates) {
    const Node& n = tree[index];
    if (!dates || !n.isValue() || !n.parent) return;
    if (LookupAttribute(TranslateAttributeName(tree[n.parent].text)).valueFormat != "Date") return;
    DateTime earliest, latest;
    Finding f;
    ValidateDateValue(n.text, earliest, latest, f, *dates);
    if (f.failed()) return;
    out += " (";
    out += FormatDateTime(earliest);
    out += " to ";
    out += FormatDateTime(latest);
    out += ')';
}

void appendNodeLine(std::string& out, const AttributeTree& tree, int index, int depth, const DateOptions* dates) {
    const Node& n = tree[index];
    out.append(static_cast<std::size_t>(2 + 2 * depth), ' ');
    out += kindMark(n);
    out += ' ';
    AppendVisible(out, n.text);
    appendDateSpan(out, tree, index, dates);
    const Status s = statusOfImage(n.image);
    if (s != Status::Good) {
        out += " [";
        out += statusWord(s);
        out += ']';
    }
    if (n.child && !n.expanded) out += " (+)";
    out += '\n';
}

void appendTree(std::string& out, const AttributeTree& tree, const DateOptions* dates) {
    const int root = tree.root();
    if (!root) {
        out += "  (no tree)\n";
        return;
    }
    int node = root, depth = 0;
    for (;;) {
        appendNodeLine(out, tree, node, depth, dates);
        if (tree[node].child) {
            node = tree[node].child;
            ++depth;
            continue;
        }
        while (node != root && !tree[node].next) {
            node = tree[node].parent;
            --depth;
        }
        if (node == root) return;
        node = tree[node].next;
    }
}

// "<label>: <Status>[ on node N][ at P, length L][ (format)][: message]"
void appendStatusLine(std::string& out, std::string_view label, const Result& r, bool withNode,
                      std::string_view format) {
    out += "  ";
    out += label;
    out += ": ";
    out += statusWord(r.status);
    if (withNode && r.nodeIndex) out += " on node " + std::to_string(r.nodeIndex);
    if (r.position) out += " at " + std::to_string(r.position) + ", length " + std::to_string(r.length);
    if (!format.empty()) {
        out += " (";
        out += format;
        out += ')';
    }
    if (!r.message.empty()) {
        out += ": ";
        AppendVisible(out, r.message);
    }
    out += '\n';
}

}  // namespace


void AppendCheckOutline(std::string& out, const CheckRecord& r) {
    AppendVisible(out, r.input);
    out += '\n';
    if (r.tree) appendTree(out, *r.tree, r.dateOptions);
    appendStatusLine(out, "parse", r.parse, false, r.parseFormat);
    if (r.built) {
        appendStatusLine(out, "build", r.build, true, r.buildFormat);
        if (!r.name.empty()) {
            out += "  name: ";
            AppendVisible(out, r.name);
            out += '\n';
        }
    }
    out += '\n';
}

}  // namespace lorvane::cli
