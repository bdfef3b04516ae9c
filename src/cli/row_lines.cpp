#include "cli/row_lines.h"

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/output.h"
#include "cli/stderr_sink.h"

namespace lorvane::cli {

namespace {

// Tabs and line breaks would split a field or a line; backslash escapes keep
// every name on its own line and reversible.
void tsvField(std::string& out, std::string_view text) {
    // Runs between the characters that need escaping go in whole: nearly every
    // field of a large folder has none.
    for (;;) {
        const auto special = text.find_first_of("\t\n\r\\");
        out.append(text.substr(0, special));
        if (special == std::string_view::npos) return;
        switch (text[special]) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += "\\\\"; break;
        }
        text.remove_prefix(special + 1);
    }
}

void appendTsvRow(std::string& out, const FileRow& row) {
    for (std::size_t i = 0; i < kBrowserColumns.size(); ++i) {
        if (i) out += '\t';
        tsvField(out, *row.column(kBrowserColumns[i]));
    }
    out += '\n';
}

void appendJsonRow(std::string& out, const FileRow& row) {
    out += '{';
    for (std::size_t i = 0; i < kBrowserColumns.size(); ++i) {
        if (i) out += ", ";
        AppendJsonString(out, kBrowserColumns[i]);
        out += ": ";
        AppendJsonString(out, *row.column(kBrowserColumns[i]));
    }
    AppendBytesField(out, "nameBytes", row.Text);
    AppendBytesField(out, "pathBytes", row.Path);
    out += "}\n";
}

}  // namespace

void AppendTsvHeader(std::string& out) {
    for (std::size_t i = 0; i < kBrowserColumns.size(); ++i) {
        if (i) out += '\t';
        out += kBrowserColumns[i];
    }
    out += '\n';
}

void AppendRowLine(std::string& out, const FileRow& row, bool json) {
    if (json) appendJsonRow(out, row);
    else appendTsvRow(out, row);
}

int FinishListing(Output& out, bool failed) {
    if (!out.flush()) {
        if (out.closed()) return ExitOutputClosed;
        PrintError("unable to write the output");
        return ExitFail;
    }
    return failed ? ExitFail : ExitOk;
}

}  // namespace lorvane::cli
