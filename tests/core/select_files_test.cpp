#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rows/select_files.h"

namespace lorvane {
namespace {

TEST(SelectFilesTest, FindWholeWordTakesTheFirstOccurrenceBoundedByDelimiters) {
    const struct {
        const char *text, *word;
        std::int32_t position;
    } cases[] = {
        {"cat", "cat", 1},
        {"The cat", "cat", 5},
        {"Concatenate", "cat", 0},
        {"The Cat", "cat", 0},
        {"concat cat", "cat", 8},  // the first occurrence is inside a word, the second counts
        {"catcat cat", "cat", 8},
        {"cats", "cat", 0},
        {"cat-2005.jpg", "cat", 1},
        {"", "cat", 0},
        // Each end of each ASCII punctuation range, the space and the double quote bound a word.
        {"!cat/", "cat", 2},
        {":cat@", "cat", 2},
        {"[cat`", "cat", 2},
        {"{cat~", "cat", 2},
        {"\"cat\"", "cat", 2},
        {"0cat", "cat", 0},
        {"cat9", "cat", 0},
        {"Acat", "cat", 0},
        {"cat\x7f", "cat", 0},
        // The Latin-1 signs; positions count characters, not bytes.
        {"½cat", "cat", 2},
        {"cat÷", "cat", 1},
        {"é°cat²", "cat", 3},
        {"¿cat¡", "cat", 2},
        {"«cat»", "cat", 2},
        {"³cat", "cat", 0},
        {"écat", "cat", 0},
        {"\xa2"
         "cat",
         "cat", 0},  // a lone byte that is no character is no delimiter
    };
    for (const auto& c : cases) EXPECT_EQ(FindWholeWord(c.text, c.word), c.position) << c.text;
}

TEST(SelectFilesTest, FileNameTestByWholeWordAndCase) {
    const struct {
        const char *name, *text;
        bool wholeWord, matchCase, matches;
    } cases[] = {
        {"The cat.jpg", "cat", true, false, true},
        {"Concatenate.jpg", "CAT", false, true, false},
        {"Concatenate.jpg", "cat", false, false, true},
        {"The Cat.jpg", "cat", true, true, false},
        {"x.jpg", "", false, false, true},
        {"café.jpg", "CAFÉ", false, false, true},
        {"caf\xe9 cat.jpg", "cat", true, false, true},  // a byte that is no character leaves the rest alone
        {"{DT=2004}.jpg", "Date", false, false, false},  // no dictionary for the raw name
    };
    for (const auto& c : cases) {
        SelectRequest r;
        r.filename = {c.text, c.wholeWord, c.matchCase};
        EXPECT_EQ(SelectMatcher(r).NameMatches(c.name), c.matches) << c.name << " / " << c.text;
    }
}

class SelectRowsTest : public ::testing::Test {
protected:
    SelectRowsTest() { settings_.SemanticsAttributeEnable = 0; }  // labels as written

    // The rows' selection after the request, each row given as (name, selected).
    std::vector<bool> run(const SelectRequest& r, std::vector<FileRow>& rows, int stopAt = 0) {
        std::vector<FileRow*> pointers;
        for (FileRow& row : rows) pointers.push_back(&row);
        const bool done = RunSelectFiles(r, pointers, parser_, [&](std::int32_t reached, std::int32_t total) {
            EXPECT_EQ(total, static_cast<std::int32_t>(rows.size()));
            return reached != stopAt;
        });
        EXPECT_EQ(done, stopAt == 0);
        std::vector<bool> selected;
        for (const FileRow& row : rows) selected.push_back(row.Selected);
        return selected;
    }
    bool matches(const SelectRequest& r, const char* name) {
        std::vector<FileRow> rows(1);
        rows[0].Text = name;
        return run(r, rows)[0];
    }

    GlobalSettings settings_;
    RowParser parser_{settings_, nullptr, FileSystemService::Instance()};
};

TEST_F(SelectRowsTest, AttributeTabTestsContextLabelAndValueOfOneAttribute) {
    using L = LabelCriterion;
    using V = ValueCriterion;
    using C = ContextCriterion;
    const struct {
        L label;
        TextSearch labelText;
        V value;
        TextSearch valueText;
        C context;
        const char *contextLabel, *contextValue, *name;
        bool matches;
    } cases[] = {
        {L::Contains, {"Date"}, V::Any, {}, C::Any, "", "", "{Captured Date=2004}.jpg", true},
        {L::Contains, {"Date"}, V::Any, {}, C::Any, "", "", "{DT=2004}.jpg", true},   // the same attribute
        {L::Contains, {"Date"}, V::Any, {}, C::Any, "", "", "{Update=x}.jpg", true},  // holds the text
        {L::Contains, {"Date", true}, V::Any, {}, C::Any, "", "", "{Update=x}.jpg", false},
        {L::Contains, {"Date", false, true}, V::Any, {}, C::Any, "", "", "{Update=x}.jpg", false},
        {L::Contains, {"date", false, true}, V::Any, {}, C::Any, "", "", "{DT=2004}.jpg", true},
        {L::Empty, {}, V::Any, {}, C::Any, "", "", "{ =x}.jpg", true},
        {L::Unrecognized, {}, V::Any, {}, C::Any, "", "", "{Foo=x}.jpg", true},
        {L::Any, {}, V::None, {}, C::Any, "", "", "{SU=Ann}{PL}.jpg", true},
        {L::Any, {}, V::None, {}, C::Any, "", "", "{SU=Ann}{PL}", true},  // the last node of the tree
        {L::Any, {}, V::Empty, {}, C::Any, "", "", "{SU=Ann; }.jpg", true},
        {L::Any, {}, V::Empty, {}, C::Any, "", "", "{SU=Ann}{PL}.jpg", false},  // no value is not an empty one
        {L::Any, {}, V::Contains, {"ann"}, C::Any, "", "", "{SU=Ben;Annabel}.jpg", true},
        {L::Any, {}, V::Contains, {"ann", true}, C::Any, "", "", "{SU=Ben;Annabel}.jpg", false},
        {L::Any, {}, V::Contains, {"ann", false, true}, C::Any, "", "", "{SU=Ann}.jpg", false},
        // Label and value must hold for the same attribute.
        {L::Contains, {"SU"}, V::Contains, {"Bob"}, C::Any, "", "", "{SU=Ann}{PL=Bob}.jpg", false},
        {L::Contains, {"PL"}, V::Contains, {"Bob"}, C::Any, "", "", "{SU=Ann}{PL=Bob}.jpg", true},
        {L::Contains, {"Role"}, V::Any, {}, C::TopLevel, "", "", "{SU=Ben{Role=Sister}}.jpg", false},
        {L::Contains, {"Role"}, V::Any, {}, C::TopLevel, "", "", "{Role=Sister}.jpg", true},
        {L::Any, {}, V::Any, {}, C::SubAttributeOf, "Subject", "", "{SU=Ben{Role=Sister}}.jpg", true},
        {L::Any, {}, V::Any, {}, C::SubAttributeOf, "Subject", "", "{SU=Ben}{Role=Sister}.jpg", false},
        {L::Any, {}, V::Any, {}, C::SubAttributeOf, "", "ben", "{SU=Ben{Role=Sister}}.jpg", true},
        {L::Any, {}, V::Any, {}, C::SubAttributeOf, "su", "BEN", "{SU=Ben{Role=Sister}}.jpg", true},
        {L::Any, {}, V::Any, {}, C::SubAttributeOf, "Team", "", "{Team=Ben{Role=Sister}}.jpg", true},
        // A name that does not parse never matches.
        {L::Any, {}, V::Any, {}, C::Any, "", "", "holiday photo.jpg", false},
        {L::Unrecognized, {}, V::Any, {}, C::Any, "", "", "x{.jpg", false},
    };
    for (const auto& c : cases) {
        SelectRequest r;
        r.tab = SelectTab::ByAttribute;
        r.label = c.label;
        r.labelText = c.labelText;
        r.value = c.value;
        r.valueText = c.valueText;
        r.context = c.context;
        r.contextLabel = c.contextLabel;
        r.contextValue = c.contextValue;
        EXPECT_EQ(matches(r, c.name), c.matches)
            << c.name << " label " << int(c.label) << " value " << int(c.value) << " context " << int(c.context);
    }
}

// Which rows each action looks at and what it makes of them. An examined row
// of the attribute tab is parsed again, which takes a "Dupl" mark away.
TEST_F(SelectRowsTest, EachActionExaminesItsRowsOnly) {
    using A = SelectAction;
    const struct {
        A action;
        bool selected, matching, after, examined;
    } cases[] = {
        {A::NewSelection, false, false, false, true},
        {A::NewSelection, false, true, true, true},
        {A::NewSelection, true, false, false, true},
        {A::NewSelection, true, true, true, true},
        {A::AddToSelection, false, false, false, true},
        {A::AddToSelection, false, true, true, true},
        {A::AddToSelection, true, false, true, false},
        {A::AddToSelection, true, true, true, false},
        {A::Subselect, false, false, false, false},
        {A::Subselect, false, true, false, false},
        {A::Subselect, true, false, false, true},
        {A::Subselect, true, true, true, true},
        {A::RemoveFromSelection, false, false, false, false},
        {A::RemoveFromSelection, false, true, false, false},
        {A::RemoveFromSelection, true, false, true, true},
        {A::RemoveFromSelection, true, true, false, true},
    };
    for (const auto& c : cases) {
        SelectRequest r;
        r.action = c.action;
        r.tab = SelectTab::ByAttribute;
        r.label = LabelCriterion::Contains;
        r.labelText.text = "Place";
        std::vector<FileRow> rows(1);
        rows[0].Text = c.matching ? "{PL=Harbour}.jpg" : "{SU=Ann}.jpg";
        rows[0].Selected = c.selected;
        rows[0].Status = "Dupl";
        EXPECT_EQ(run(r, rows)[0], c.after) << int(c.action) << c.selected << c.matching;
        EXPECT_EQ(rows[0].Status != "Dupl", c.examined) << int(c.action) << c.selected << c.matching;
    }
}

// Stop before a row: the rows examined keep their new selection, the rest their old one.
TEST_F(SelectRowsTest, StopLeavesTheRowsNotReachedAsTheyWere) {
    SelectRequest r;
    r.filename.text = "b";
    std::vector<FileRow> rows(4);
    const char* names[] = {"a", "b", "b", "a"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].Text = names[i];
        rows[i].Selected = i != 1;
    }
    EXPECT_EQ(run(r, rows, 3), (std::vector<bool>{false, true, true, true}));
}

}  // namespace
}  // namespace lorvane
