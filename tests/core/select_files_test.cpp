// Select Files and Check Chronology: whole words, each tab's tests, the rows each action
// examines, runs of equal keys marked (the mark's picture and texts: the Browser's tests).
#include <gtest/gtest.h>

#include <QStringList>

#include <string>
#include <vector>

#include "core/rows/chronology_check.h"
#include "core/rows/select_files.h"

// Rows name only the criteria they set; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace lorvane {
namespace {

TEST(SelectFilesTest, FindWholeWordTakesTheFirstOccurrenceBoundedByDelimiters) {
    const struct {
        const char* text;
        std::int32_t position;  // of "cat"
    } cases[] = {
        {"cat", 1},
        {"The cat", 5},
        {"Concatenate", 0},
        {"concat cat", 8},  // the first occurrence is inside a word, the second counts
        // Each ASCII punctuation range's ends bound a word, the character next to one does not.
        {"0cat :cat@", 7},
        {"cat9 !cat/", 7},
        {"Acat [cat`", 7},
        {"cat\x7f {cat~", 7},
        {"\"cat\"", 2},
        // The Latin-1 signs; positions count characters, not bytes.
        {"³cat ½cat÷", 7},
        {"écat «cat»", 7},
        {"é°cat²", 3},
        {"\242cat", 0},  // a lone byte that is no character is no delimiter
    };
    for (const auto& c : cases) EXPECT_EQ(FindWholeWord(c.text, "cat"), c.position) << c.text;
}

// Rows named so, each selected or not, after the request; Stop before row stopAt.
std::string selection(const SelectRequest& r, std::vector<std::string> names, std::string selected, int stopAt = 0,
                      std::string* statuses = nullptr) {
    GlobalSettings settings;
    settings.SemanticsAttributeEnable = 0;  // labels as written
    RowParser parser(settings, nullptr, FileSystemService::Instance());
    std::vector<FileRow> rows(names.size());
    std::vector<FileRow*> pointers;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].Text = names[i], rows[i].Selected = selected[i] == '1', rows[i].Status = "Dupl";
        pointers.push_back(&rows[i]);
    }
    EXPECT_EQ(RunSelectFiles(r, pointers, parser, [&](std::int32_t at, std::int32_t) { return at != stopAt; }),
              stopAt == 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        selected[i] = rows[i].Selected ? '1' : '0';
        if (statuses) *statuses += rows[i].Status == "Dupl" ? '0' : '1';
    }
    return selected;
}

// A row with a file name text is of the file-name tab, any other of the attribute tab.
TEST(SelectFilesTest, EachTabTestsItsCriteria) {
    using L = LabelCriterion;
    using V = ValueCriterion;
    using C = ContextCriterion;
    const struct {
        SelectRequest request;
        const char* name;
        bool matches;
    } cases[] = {
        {{.filename = {"cat", true}}, "The cat.jpg", true},
        {{.filename = {"CAT", false, true}}, "Concatenate.jpg", false},
        {{.filename = {"CAFÉ"}}, "café.jpg", true},
        {{.filename = {"cat", true}}, "caf\xe9 cat.jpg", true},  // a byte that is no character leaves the rest alone
        {{.filename = {"Date"}}, "{DT=2004}.jpg", false},        // no dictionary for the raw name
        {{.label = L::Contains, .labelText = {"Date"}}, "{DT=2004}.jpg", true},   // the same attribute
        {{.label = L::Contains, .labelText = {"Date"}}, "{Update=x}.jpg", true},  // holds the text
        {{.label = L::Contains, .labelText = {"date", false, true}}, "{DT=2004}.jpg", true},
        {{.label = L::Empty}, "{ =x}.jpg", true},
        {{.label = L::Unrecognized}, "{Foo=x}.jpg", true},
        {{.value = V::None}, "{SU=Ann}{PL}", true},  // the last node of the tree
        {{.value = V::Empty}, "{SU=Ann; }.jpg", true},
        {{.value = V::Empty}, "{SU=Ann}{PL}.jpg", false},  // no value is not an empty one
        {{.value = V::Contains, .valueText = {"ann"}}, "{SU=Ben;Annabel}.jpg", true},
        {{.value = V::Contains, .valueText = {"ann", true}}, "{SU=Ben;Annabel}.jpg", false},
        // Label and value must hold for the same attribute.
        {{.label = L::Contains, .labelText = {"SU"}, .value = V::Contains, .valueText = {"B"}}, "{SU=A}{PL=B}", false},
        {{.label = L::Contains, .labelText = {"PL"}, .value = V::Contains, .valueText = {"B"}}, "{SU=A}{PL=B}", true},
        {{.label = L::Contains, .labelText = {"Role"}, .context = C::TopLevel}, "{SU=Ben{Role=Sister}}.jpg", false},
        {{.context = C::SubAttributeOf, .contextLabel = "Subject"}, "{SU=Ben{Role=Sister}}.jpg", true},
        {{.context = C::SubAttributeOf, .contextLabel = "Subject"}, "{SU=Ben}{Role=Sister}.jpg", false},
        {{.context = C::SubAttributeOf, .contextLabel = "Subject"}, "{PL=Bay{Role=x}}", false},  // a known other name
        {{.context = C::SubAttributeOf, .contextValue = "ben"}, "{SU=Ben{Role=Sister}}.jpg", true},
        {{.context = C::SubAttributeOf, .contextLabel = "su", .contextValue = "BEN"}, "{SU=Ben{Role=x}}", true},
        {{.context = C::SubAttributeOf, .contextLabel = "Team"}, "{Team=Ben{Role=Sister}}.jpg", true},
        // A name that does not parse never matches.
        {{}, "holiday photo.jpg", false},
        {{.label = L::Unrecognized}, "x{.jpg", false},
    };
    for (const auto& c : cases) {
        SelectRequest r = c.request;
        if (r.filename.text.empty()) r.tab = SelectTab::ByAttribute;
        EXPECT_EQ(selection(r, {c.name}, "0"), c.matches ? "1" : "0") << c.name << " " << r.labelText.text;
    }
}

// Over four rows, selected 0011 and matching 0101: each action's selection after, and
// the rows it examined (an examined row is parsed again, which takes a "Dupl" away).
TEST(SelectFilesTest, EachActionExaminesItsRowsOnly) {
    using A = SelectAction;
    const struct {
        A action;
        const char *after, *examined;
    } cases[] = {
        {A::NewSelection, "0101", "1111"},
        {A::AddToSelection, "0111", "1100"},
        {A::Subselect, "0001", "0011"},
        {A::RemoveFromSelection, "0010", "0011"},
    };
    for (const auto& c : cases) {
        const SelectRequest r{c.action, SelectTab::ByAttribute, {}, LabelCriterion::Contains, {"Place"}};
        std::string examined;
        EXPECT_EQ(selection(r, {"{SU=Ann}.jpg", "{PL=Bay}.jpg", "{SU=Ann}.jpg", "{PL=Bay}.jpg"}, "0011", 0, &examined),
                  c.after)
            << int(c.action);
        EXPECT_EQ(examined, c.examined) << int(c.action);
    }
    // Stop before the third row: the rows examined keep their new selection, the rest their old one.
    EXPECT_EQ(selection({.filename = {"b"}}, {"a", "b", "b", "a"}, "1011", 3), "0111");
}

// The marks ("D": "Dupl") of rows parsed from names ("|" between), sorted, checked; Stop at stopAt.
std::string marks(const char* names, int stopAt = 0) {
    const GlobalSettings settings;
    RowParser parser(settings, nullptr, FileSystemService::Instance());
    std::vector<FileRow> rows;
    for (const QString& name : QString::fromUtf8(names).split('|'))
        rows.emplace_back().Text = name.toStdString(), parser.ParseItem(rows.back());
    SortByChronology(rows);
    std::vector<FileRow*> pointers;
    for (FileRow& r : rows) pointers.push_back(&r);
    const bool done =
        CheckChronology(pointers, [&](std::int32_t position, std::int32_t) { return position != stopAt; });
    std::string m;
    for (const FileRow& r : rows) m += r.Status == "Dupl" ? 'D' : '.';
    return m + (done ? "" : " stopped");
}

TEST(ChronologyCheckTest, MarksEveryRowOfARunOfEqualKeys) {
    const struct {
        const char* names;  // sorted by key, they give the marks in order
        int stopAt;
        const char* marks;
    } cases[] = {
        {"{DT=2004-07-15@14-30}{SN=12}.jpg|{DT=2004-07-15@14-30}{SN=12}{SU=Ann}.jpg|{DT=2004}{SN=13}.jpg", 0, ".DD"},
        {"{DT=2004}.jpg|{DT=2005}.jpg|{DT=2005}{SU=x}.jpg|{DT=2005}{SU=y}.jpg|{DT=2006}.jpg", 0, ".DDD."},
        // Names that do not parse, and names without date or numbers, share the placeholders.
        {"holiday photo.jpg|x{.jpg|{SU=Ann}.jpg|{DT=2004}.jpg", 0, "DDD."},
        {"{DT=2004}.jpg|{DT=2005}.jpg", 0, ".."},
        {"holiday photo.jpg", 0, "."},
        {"{DT=2004}.jpg|{DT=2004}{SU=x}.jpg|{DT=2004}{SU=y}.jpg", 2, "D.. stopped"},  // later rows unexamined
    };
    for (const auto& c : cases) EXPECT_EQ(marks(c.names, c.stopAt), c.marks) << c.names;
}

}  // namespace
}  // namespace lorvane
