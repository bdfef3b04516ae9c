#include "cli/row_lines.h"

#include <cstdint>
#include <cstring>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/output.h"
#include "cli/stderr_sink.h"

namespace lorvane::cli {

namespace {

constexpr bool needsEscape(char c) { return c == '\t' || c == '\n' || c == '\r' || c == '\\'; }

// Tabs and line breaks would split a field or a line; backslash escapes keep
// every name on its own line and reversible.
void tsvField(std::string& out, std::string_view text) {
    // Runs between the characters that need escaping go in whole: nearly every
    // field of a large folder has none. (A plain scan: find_first_of asks memchr
    // about every byte.)
    for (;;) {
        std::size_t special = 0;
        // Eight bytes at a time while none is below 14 (tab, line breaks) or a backslash.
        constexpr std::uint64_t ones = 0x0101010101010101, highs = 0x8080808080808080;
        for (std::uint64_t w; special + 8 <= text.size(); special += 8) {
            std::memcpy(&w, text.data() + special, 8);
            const std::uint64_t backslash = w ^ (ones * '\\');
            if ((((w - ones * 14) & ~w) | ((backslash - ones) & ~backslash)) & highs) break;
        }
        while (special < text.size() && !needsEscape(text[special])) ++special;
        out.append(text.data(), special);
        if (special == text.size()) return;
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
    // The columns in kBrowserColumns' order, without looking each up by its key.
    const std::string* const fields[] = {&row.Text, &row.Status, &row.Message, &row.Chronology,
                                         &row.Path, &row.Type,   &row.Size,    &row.Length};
    static_assert(std::size(fields) == kBrowserColumns.size());
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        if (i) out += '\t';
        tsvField(out, *fields[i]);
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
