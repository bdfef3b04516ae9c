#include "core/rows/file_rows.h"

#include <chrono>

#include "engine/dictionary.h"
#include "engine/digits.h"
#include "engine/semantics.h"
#include "engine/utf8.h"
#include "engine/values.h"

namespace lorvane {

std::string* FileRow::column(std::string_view key) {
    return const_cast<std::string*>(static_cast<const FileRow*>(this)->column(key));
}

const std::string* FileRow::column(std::string_view key) const {
    if (key == "Name") return &Text;
    if (key == "Status") return &Status;
    if (key == "Message") return &Message;
    if (key == "Chronology") return &Chronology;
    if (key == "Path") return &Path;
    if (key == "Type") return &Type;
    if (key == "Size") return &Size;
    if (key == "Length") return &Length;
    return nullptr;
}

void FormatSizeColumn(std::int64_t bytes, std::string& out) {
    out.clear();
    const std::uint64_t b = bytes < 0 ? 0 : static_cast<std::uint64_t>(bytes);
    std::uint64_t kb = b / 1024;
    const std::uint64_t rest = b % 1024;
    if (rest > 512 || (rest == 512 && kb % 2 == 1)) ++kb;
    AppendZeroPadded(out, static_cast<std::int64_t>(kb), 6, true);
    out += " KB";
}

void FormatLengthColumn(std::string_view fileName, std::string& out) {
    out.clear();
    AppendZeroPadded(out, static_cast<std::int64_t>(utf8::length(fileName)), 3);
}

std::string FormatCount(std::int64_t n) {
    std::string out;
    AppendZeroPadded(out, n, 1, true);
    return out;
}

std::string FormatLoadedPanel(std::int64_t rows) { return FormatCount(rows) + (rows == 1 ? " file" : " files"); }

std::string FormatSelectedPanel(std::int64_t selected) { return FormatCount(selected) + " selected "; }

void FormatChronologyKey(const ChronologyFields& f, std::string& out) {
    out.clear();
    if (f.hasDate) {
        using namespace std::chrono;
        const auto days = floor<std::chrono::days>(f.date);
        const year_month_day ymd{days};
        const hh_mm_ss<seconds> t{f.date - days};
        AppendZeroPadded(out, static_cast<int>(ymd.year()), 4);
        out += '/';
        AppendZeroPadded(out, static_cast<unsigned>(ymd.month()), 2);
        out += '/';
        AppendZeroPadded(out, static_cast<unsigned>(ymd.day()), 2);
        out += ' ';
        AppendZeroPadded(out, t.hours().count(), 2);
        out += ':';
        AppendZeroPadded(out, t.minutes().count(), 2);
        out += ':';
        AppendZeroPadded(out, t.seconds().count(), 2);
    } else {
        out += "0000/00/00 00:00:00";
    }
    const std::pair<bool, std::int32_t> numbers[] = {
        {f.hasSequence, f.sequence}, {f.hasComponent, f.component}, {f.hasVersion, f.version}};
    for (const auto& [has, n] : numbers) {
        out += ' ';
        AppendZeroPadded(out, has ? n : 0, 4);
    }
}

void SetFileColumns(FileRow& row, const FileInfo& file) {
    row.Text = file.Name;
    row.Key = file.Path;
    row.Path = file.ParentFolder;
    row.Type = file.Type;
    FormatSizeColumn(file.Size, row.Size);
    FormatLengthColumn(file.Name, row.Length);
}

RowParser::RowParser(const GlobalSettings& settings, MessageSink* sink, const FileSystem& files)
    : pipeline_(settings, false, sink), files_(files) {}

RowParser::RowParser(const RowParser& like, MessageSink* sink)
    : pipeline_(like.pipeline_.settings(), false, sink), files_(like.files_) {
    pipeline_.SetSemantics(like.pipeline_.semantics());
}

void RowParser::takeChronology(ChronologyFields& fields) {
    const AttributeTree& tree = pipeline_.tree();
    if (pipeline_.result().failed() || tree.count() <= 1) return;
    const int root = tree.root();
    for (int n = root ? tree[root].child : 0; n; n = tree[n].next) {
        const Node& attribute = tree[n];
        if (attribute.children == 0) continue;
        const std::string_view name = TranslateAttributeName(attribute.text);
        const std::string_view value = utf8::trimSpaces(tree[attribute.child].text);
        if (name == "Captured Date") {
            if (fields.hasDate) continue;
            DateTime earliest{}, latest{};
            ValidateDateValue(value, earliest, latest, finding_, pipeline_.dateOptions());
            if (!finding_.failed()) {
                fields.hasDate = true;
                fields.date = earliest;
            }
            continue;
        }
        bool* has = nullptr;
        std::int32_t* number = nullptr;
        if (name == "Sequence Number") has = &fields.hasSequence, number = &fields.sequence;
        else if (name == "Component Number") has = &fields.hasComponent, number = &fields.component;
        else if (name == "Version Number") has = &fields.hasVersion, number = &fields.version;
        if (!has || *has) continue;
        std::int32_t v = 0;
        ValidateIntegerValue(value, v, finding_);
        if (!finding_.failed()) {
            *has = true;
            *number = v;
        }
    }
}

void CopyParseColumns(const FileRow& from, FileRow& to) {
    to.Icon = from.Icon;
    to.Status = from.Status;
    to.Message = from.Message;
    to.Chronology = from.Chronology;
}

void RowParser::ParseName(std::string_view name, FileRow& row) {
    const Result& result = pipeline_.Evaluate(name);
    row.Icon = result.status == Status::Good   ? row_icon::Good
               : result.status == Status::Warn ? row_icon::Warn
                                               : row_icon::Fail;
    ChronologyFields fields;
    takeChronology(fields);
    row.Status.assign(statusWord(result.status));
    if (result.good()) row.Message.assign(pipeline_.formatName());
    else row.Message.assign(result.message);
    FormatChronologyKey(fields, row.Chronology);
}

void RowParser::FillRowByName(FileRow& row, std::string_view folder, std::string_view name, std::int64_t size) {
    FillColumnsByName(row, folder, name, size);
    ParseItem(row);
}

void RowParser::FillColumnsByName(FileRow& row, std::string_view folder, std::string_view name, std::int64_t size,
                                  bool withType) {
    row.Text = name;
    // Assigned in place, as GetFile joins them: a loop over a folder reuses the strings' room.
    row.Key.assign(folder);
    if (row.Key.empty() || row.Key.back() != '/') row.Key += '/';
    row.Key += name;
    row.Path = folder;
    if (withType) row.Type = files_.TypeDescription(name);
    else row.Type.clear();
    if (size < 0) row.Size.clear();
    else FormatSizeColumn(size, row.Size);
    FormatLengthColumn(name, row.Length);
}

FsError RowParser::FillFileColumns(FileRow& row, std::string_view path) {
    FsError e = files_.GetFile(path, file_);
    if (e.ok()) SetFileColumns(row, file_);
    return e;
}

FsError RowParser::FillRow(FileRow& row, std::string_view path) {
    FsError e = FillFileColumns(row, path);
    if (e.ok()) ParseItem(row);
    return e;
}

FsError RowParser::FillRow(FileRow& row, const OpenFolder& folder, std::string_view name) {
    FsError e = files_.GetFile(folder, name, file_);
    if (e.failed()) return e;
    SetFileColumns(row, file_);
    ParseItem(row);
    return e;
}

}  // namespace lorvane
