// One row per file, as the Browser's list shows it and lorvane prints it: keyed by
// its full path, with the eight columns, and the procedures that fill and parse a
// row. No window of its own: the list view and the command line share it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/file_service.h"
#include "engine/dates.h"
#include "engine/dispatch.h"
#include "engine/pipeline.h"
#include "engine/result.h"
#include "engine/settings.h"
#include "engine/tree.h"

namespace lorvane {

// Column keys (and captions) in the order the list creates them.
inline constexpr std::array<std::string_view, 8> kBrowserColumns = {
    "Name", "Status", "Message", "Chronology", "Path", "Type", "Size", "Length",
};

// Row pictures: Good, Warn and Fail, and Dupl from the chronology check.
namespace row_icon {
constexpr int None = 0, Good = 1, Warn = 2, Fail = 3, Dupl = 4;
}

// The chronology check's marks for rows whose key repeats an earlier one.
inline constexpr std::string_view kDuplicateStatus = "Dupl";
inline constexpr std::string_view kDuplicateMessage = "Duplicate chronology";

struct FileRow {
    std::string Text;  // the file name with its extension; the "Name" column
    std::string Key;   // the full path; rows are found by it
    int Icon = row_icon::None;
    bool Selected = false;
    std::string Status, Message, Chronology, Path, Type, Size, Length;

    // A column by its key ("Name" is the row's Text); nullptr for an unknown key.
    std::string* column(std::string_view key);
    const std::string* column(std::string_view key) const;
};

// --- Column formats ---

// Size / 1024 rounded half to even, at least six digits with thousands
// separators, then " KB": 12.7 KB gives "000,013 KB", 12.5 KB "000,012 KB".
void FormatSizeColumn(std::int64_t bytes, std::string& out);
// Characters of the name, at least three digits: "007".
void FormatLengthColumn(std::string_view fileName, std::string& out);
// "#,##0": 1234 gives "1,234".
std::string FormatCount(std::int64_t n);
// Status bar: "1 file", "1,234 files"; "3 selected " (with the trailing blank).
std::string FormatLoadedPanel(std::int64_t rows);
std::string FormatSelectedPanel(std::int64_t selected);

// The fields of the chronology key; absent ones print as their placeholders.
struct ChronologyFields {
    bool hasDate = false, hasSequence = false, hasComponent = false, hasVersion = false;
    DateTime date{};
    std::int32_t sequence = 0, component = 0, version = 0;
};
// "yyyy/mm/dd hh:nn:ss 0000 0000 0000", e.g. "2004/07/15 14:30:00 0012 0000 0000".
void FormatChronologyKey(const ChronologyFields& fields, std::string& out);

// SetFileColumns: Text, Key and the "Path", "Type", "Size" and "Length" columns.
void SetFileColumns(FileRow& row, const FileInfo& file);
// What ParseItem fills (Icon, "Status", "Message", "Chronology"), from a row parsed elsewhere.
void CopyParseColumns(const FileRow& from, FileRow& to);

// ParseItem and its scratch: the one pipeline (work tree and options made from
// the settings) every row is parsed through. Reusing one parser for every row keeps the
// loop from allocating once it has seen its largest name.
class RowParser {
public:
    // settings must outlive the parser; sink answers the semantic layer's message box.
    // files is where rows are filled from; it outlives the parser.
    RowParser(const GlobalSettings& settings, MessageSink* sink, const FileSystem& files);
    // One that parses as like does (settings, files, semantic layer on or off), for
    // a worker thread; its messages go to sink.
    RowParser(const RowParser& like, MessageSink* sink);

    // Makes the date and semantic options again from the settings (edit mode off).
    void RefreshOptions() { pipeline_.RefreshOptions(false); }
    // Skips the semantic layer (for tools that want the bare parse and build).
    void SetSemantics(bool on) { pipeline_.SetSemantics(on); }

    // Parses the row's Text and fills its Icon, "Status", "Message" and "Chronology".
    void ParseItem(FileRow& row) { ParseName(row.Text, row); }
    // The same for name, which the row does not hold (yet).
    void ParseName(std::string_view name, FileRow& row);
    // FillRow without the parse: the file columns only.
    FsError FillFileColumns(FileRow& row, std::string_view path);
    // UpdateItem's work: SetFileColumns from the file at path, then ParseItem.
    // On failure the row is left as it was.
    FsError FillRow(FileRow& row, std::string_view path);
    // The same for a file named in the listing of an open folder.
    FsError FillRow(FileRow& row, const OpenFolder& folder, std::string_view name);
    // The same from the name alone, for tools that show no size or dates: the
    // file is not asked, and its "Size" column shows size, stays empty when negative.
    void FillRowByName(FileRow& row, std::string_view folder, std::string_view name, std::int64_t size = -1);
    // FillRowByName without the parse: the file columns only.
    // withType false leaves "Type" empty: the file type table is not even loaded.
    void FillColumnsByName(FileRow& row, std::string_view folder, std::string_view name, std::int64_t size = -1,
                           bool withType = true);

    // The last row's parse, as the window keeps it.
    const Result& result() const { return pipeline_.result(); }
    std::string_view formatCode() const { return pipeline_.formatCode(); }
    std::string_view formatName() const { return pipeline_.formatName(); }
    const AttributeTree& workTree() const { return pipeline_.tree(); }
    // The work tree and its calling order, for the batch steps that change the
    // tree of the row just parsed and build it again.
    NamePipeline& pipeline() { return pipeline_; }
    const NamePipeline& pipeline() const { return pipeline_; }
    const FileSystem& files() const { return files_; }

private:
    void takeChronology(ChronologyFields& fields);

    NamePipeline pipeline_;
    const FileSystem& files_;
    Finding finding_;
    FileInfo file_;
};

// The semantic layer's messages of work done ahead on a worker, kept until the
// row they belong to is taken, and then passed on where they would have gone.
class HeldMessages final : public MessageSink {
public:
    void showError(std::string_view text, std::string_view caption) override {
        held_.emplace_back(std::string(text), std::string(caption));
    }
    bool empty() const { return held_.empty(); }
    void MoveTo(HeldMessages& other) { other.held_.swap(held_), held_.clear(); }
    void PassOn(MessageSink* to) {
        if (to)
            for (const auto& [text, caption] : held_) to->showError(text, caption);
        held_.clear();
    }

private:
    std::vector<std::pair<std::string, std::string>> held_;
};

}  // namespace lorvane
