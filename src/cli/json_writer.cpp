#include "cli/json_writer.h"

#include <QByteArray>

#include <charconv>

#include "engine/utf8.h"

namespace lorvane::cli {

namespace {

void appendInt(std::string& out, int v) {
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, end);
}

void appendField(std::string& out, std::string_view name) {
    out += '"';
    out += name;  // field names are plain ASCII
    out += "\": ";
}

// The node's own fields, up to the opening bracket of its children.
void openNode(std::string& out, const Node& n) {
    out += "{";
    appendField(out, "text");
    AppendJsonString(out, n.text);
    out += ", ";
    appendField(out, "tag");
    AppendJsonString(out, n.tag);
    out += ", ";
    appendField(out, "image");
    appendInt(out, n.image);
    out += ", ";
    appendField(out, "expanded");
    out += n.expanded ? "true" : "false";
    out += ", ";
    appendField(out, "children");
    out += '[';
}

constexpr char kHex[] = "0123456789abcdef";

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        // Copy the run of bytes that need no attention in one go.
        std::size_t run = i;
        while (run < n) {
            const auto c = static_cast<unsigned char>(text[run]);
            if (c < 0x20 || c == '"' || c == '\\' || c >= 0x80) break;
            ++run;
        }
        out.append(text.data() + i, run - i);
        i = run;
        if (i == n) break;

        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t len = utf8::sequenceLength(c);
            if (len > 1 && i + len <= n && utf8::isValid(text.substr(i, len))) {
                out.append(text.data() + i, len);
                i += len;
            } else {
                out += "\xEF\xBF\xBD";
                ++i;
            }
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
        }
        ++i;
    }
    out += '"';
}

void AppendBytesField(std::string& out, std::string_view field, std::string_view bytes) {
    if (utf8::isValid(bytes)) return;
    out += ", ";
    AppendJsonString(out, field);
    out += ": \"";
    out += QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64().toStdString();
    out += '"';
}

void AppendTreeJson(std::string& out, const AttributeTree& tree) {
    const int root = tree.root();
    if (!root) {
        out += "null";
        return;
    }
    // Depth-first without recursion: a long name may nest deeply.
    int node = root;
    openNode(out, tree[node]);
    for (;;) {
        if (const int child = tree[node].child) {
            node = child;
            openNode(out, tree[node]);
            continue;
        }
        out += "]}";
        while (node != root && !tree[node].next) {
            node = tree[node].parent;
            out += "]}";
        }
        if (node == root) return;
        node = tree[node].next;
        out += ", ";
        openNode(out, tree[node]);
    }
}

void AppendCheckJson(std::string& out, const CheckRecord& r) {
    out += '{';
    appendField(out, "input");
    AppendJsonString(out, r.input);

    out += ", ";
    appendField(out, "parse");
    out += '{';
    appendField(out, "status");
    AppendJsonString(out, statusWord(r.parse.status));
    out += ", ";
    appendField(out, "message");
    AppendJsonString(out, r.parse.message);
    out += ", ";
    appendField(out, "position");
    appendInt(out, r.parse.position);
    out += ", ";
    appendField(out, "length");
    appendInt(out, r.parse.length);
    out += ", ";
    appendField(out, "format");
    AppendJsonString(out, r.parseFormat);
    out += '}';

    out += ", ";
    appendField(out, "tree");
    if (r.tree) AppendTreeJson(out, *r.tree);
    else out += "null";

    out += ", ";
    appendField(out, "build");
    if (!r.built) {
        out += "null";
    } else {
        out += '{';
        appendField(out, "status");
        AppendJsonString(out, statusWord(r.build.status));
        out += ", ";
        appendField(out, "message");
        AppendJsonString(out, r.build.message);
        out += ", ";
        appendField(out, "nodeIndex");
        appendInt(out, r.build.nodeIndex);
        out += ", ";
        appendField(out, "position");
        appendInt(out, r.build.position);
        out += ", ";
        appendField(out, "length");
        appendInt(out, r.build.length);
        out += ", ";
        appendField(out, "format");
        AppendJsonString(out, r.buildFormat);
        out += ", ";
        appendField(out, "name");
        AppendJsonString(out, r.name);
        out += '}';
    }
    out += "}\n";
}

}  // namespace lorvane::cli
