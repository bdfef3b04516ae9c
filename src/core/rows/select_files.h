// Select Files: which rows meet the criteria of the file-name or the attribute tab,
// and how the chosen action turns a row's match into its selection. The Browser
// and `lorvane select` both run it over their rows.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/rows/file_rows.h"
#include "engine/tree.h"

namespace lorvane {

// The numbers are the dialog's option indices.
enum class SelectAction : int { NewSelection = 1, AddToSelection = 2, Subselect = 3, RemoveFromSelection = 4 };
enum class SelectTab : int { ByFilename = 1, ByAttribute = 2 };
enum class LabelCriterion : int { Any = 1, Empty = 2, Unrecognized = 3, Contains = 4 };
enum class ValueCriterion : int { Any = 1, None = 2, Empty = 3, Contains = 4 };
enum class ContextCriterion : int { Any = 1, TopLevel = 2, SubAttributeOf = 3 };

// A piece of text looked for, with the dialog's two check boxes.
struct TextSearch {
    std::string text;
    bool wholeWord = false, matchCase = false;
};

struct SelectRequest {
    SelectAction action = SelectAction::NewSelection;
    SelectTab tab = SelectTab::ByFilename;
    TextSearch filename;
    LabelCriterion label = LabelCriterion::Any;
    TextSearch labelText;
    ValueCriterion value = ValueCriterion::Any;
    TextSearch valueText;
    ContextCriterion context = ContextCriterion::Any;
    std::string contextLabel, contextValue;
};

// The space, ASCII punctuation and the Latin-1 signs that bound a whole word.
bool IsWordDelimiter(char32_t c);

// The 1-based character position of the first occurrence of word in text that
// stands as a whole word (a delimiter or the text's end on either side), or 0.
// Comparisons are exact.
std::int32_t FindWholeWord(std::string_view text, std::string_view word);

// The criteria of one request, prepared once for a run over many rows.
class SelectMatcher {
public:
    explicit SelectMatcher(const SelectRequest& request);

    // The file-name tab: the name with its extension.
    bool NameMatches(std::string_view fileName);
    // The attribute tab, over a tree that parsed: some attribute meets the
    // context, label and value criteria, tested in that order.
    bool TreeMatches(const AttributeTree& tree);

private:
    struct Needle {
        TextSearch search;
        std::string upper;
        std::string_view longName;  // the dictionary attribute it names, or empty
    };
    static Needle prepare(const TextSearch& search);
    // The text test of the labels and values (the file name's lacks the dictionary).
    bool textMatches(std::string_view tested, const Needle& needle, bool byDictionary);
    bool contextPasses(const AttributeTree& tree, const Node& attribute);
    bool labelPasses(const Node& attribute);
    bool valuePasses(const AttributeTree& tree, const Node& attribute);

    const SelectRequest& request_;
    Needle filename_, label_, value_;
    std::string contextLabelUpper_, contextValueUpper_;
    std::string_view contextLongName_;
    std::string scratch_;  // the tested text in upper case, reused
};

// Whether the action looks at a row with this selection at all.
bool SelectExamines(SelectAction action, bool selected);
// The selection of an examined row after the action, given whether it matched.
bool SelectOutcome(SelectAction action, bool selected, bool matches);

// Before each row: the rows reached so far (this one included) and all rows;
// false stops the run before this row.
using SelectProgress = std::function<bool(std::int32_t reached, std::int32_t total)>;

// Select Files over rows by position: each row the action examines is tested
// (the attribute tab parses it again through parser, which refreshes its parse
// columns) and its Selected set by the action; the others keep theirs. False
// when progress stopped the run.
bool RunSelectFiles(const SelectRequest& request, std::span<FileRow* const> rows, RowParser& parser,
                    const SelectProgress& progress);

}  // namespace lorvane
