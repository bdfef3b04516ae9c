#include "engine/dictionary.h"

#include <algorithm>
#include <vector>

namespace lorvane {

namespace {

const AttributeEntry kEntries[] = {
    {1, "Captured Date", "Date", "DT", "|Root|Caption|", "Date", 1, 1},
    {2, "Sequence Number", "Seq#", "SN", "|Root|", "Integer", 1, 1},
    {3, "Component Number", "Com#", "CN", "|Root|", "Integer", 1, 1},
    {4, "Version Number", "Ver#", "VN", "|Root|", "Integer", 1, 1},
    {5, "Title", "Title", "TL", "|Root|", "Text", 1, 1},
    {6, "Subject", "Subj", "SU", "|Root|", "Text", 1, 9999},
    {7, "Position", "Posn", "PS", "|Subject|", "Text", 1, 9999},
    {8, "Place", "Place", "PL", "|Root|", "Text", 1, 9999},
    {9, "Activity", "Actv", "AC", "|Root|Subject|", "Text", 1, 9999},
    {10, "Version Description", "VDsc", "VD", "|Root|", "Text", 1, 9999},
    {11, "Version Editor", "VEdr", "VE", "|Root|", "Text", 1, 9999},
    {12, "Version Date", "VDat", "VT", "|Root|", "Date", 1, 1},
    {13, "Quality", "Qual", "QU", "|Root|", "Percent", 1, 1},
    {14, "Interest", "Intr", "IN", "|Root|", "Percent", 1, 1},
    {15, "Creator", "Crtr", "CR", "|Root|Caption|", "Text", 1, 9999},
    {16, "Device", "Devc", "DV", "|Root|", "Text", 1, 9999},
    {17, "Lens Orientation", "Lens", "LE", "|Device|", "Text", 1, 1},
    {18, "Flash", "Flash", "FL", "|Device|", "Text", 1, 1},
    {19, "Shutter Speed", "Speed", "SP", "|Device|", "Text", 1, 1},
    {20, "Compression", "Comp", "CP", "|Device|", "Text", 1, 1},
    {21, "Source", "Srce", "SO", "|Root|", "Text", 1, 9999},
    {22, "Owner", "Ownr", "OW", "|Root|", "Text", 1, 9999},
    {23, "Batch", "Batch", "BA", "|Root|", "Text", 1, 9999},
    {24, "Volume", "Volm", "VO", "|Root|", "Text", 1, 9999},
    {25, "Category", "Catg", "CG", "|Root|", "Text", 1, 1},
    {26, "Keywords", "Keyw", "KW", "|Root|", "Text", 1, 9999},
    {27, "Caption", "Capt", "CA", "|Root|", "Text", 1, 9999},
    {28, "Comment", "Comm", "CO",
     "|Root|Title|Subject|Place|Activity|Version Editor|Quality|Interest|Creator|", "Text", 1, 9999},
    {9999, "Extension", "Extn", "EX", "|Root|", "Extension", 1, 1},
};

const AttributeEntry kEmpty{};

// The accepted forms are all ASCII, so letter case is folded byte by byte.
char foldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }

bool lessIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(foldCase(a[i])), cb = static_cast<unsigned char>(foldCase(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

struct Form {
    std::string_view text;
    const AttributeEntry* entry;
};

// Every accepted form once, sorted ignoring case, so a name is found by binary search
// rather than by comparing it with all 89 forms. No form belongs to two entries.
const std::vector<Form>& formTable() {
    static const std::vector<Form> table = [] {
        std::vector<Form> forms;
        for (const auto& e : kEntries)
            for (std::string_view form : {e.longName, e.mediumName, e.shortName}) forms.push_back({form, &e});
        auto entryNamed = [](std::string_view longName) {
            return &*std::find_if(std::begin(kEntries), std::end(kEntries),
                                  [&](const AttributeEntry& e) { return e.longName == longName; });
        };
        forms.push_back({"SERIAL", entryNamed("Sequence Number")});
        forms.push_back({"TOPIC", entryNamed("Comment")});
        std::stable_sort(forms.begin(), forms.end(),
                         [](const Form& a, const Form& b) { return lessIgnoringCase(a.text, b.text); });
        // Same-name forms (Title, Place, ...) of one entry collapse into one.
        forms.erase(std::unique(forms.begin(), forms.end(),
                                [](const Form& a, const Form& b) {
                                    return !lessIgnoringCase(a.text, b.text) && !lessIgnoringCase(b.text, a.text);
                                }),
                    forms.end());
        return forms;
    }();
    return table;
}

}  // namespace

bool AttributeEntry::allowedUnder(std::string_view parentLongName) const {
    // contexts is "|A|B|": look for "|parent|".
    for (std::size_t p = contexts.find(parentLongName); p != std::string_view::npos;
         p = contexts.find(parentLongName, p + 1)) {
        if (p > 0 && contexts[p - 1] == '|' && p + parentLongName.size() < contexts.size() &&
            contexts[p + parentLongName.size()] == '|')
            return true;
    }
    return false;
}

std::span<const AttributeEntry> AttributeDictionary() { return kEntries; }

const AttributeEntry& FindAttribute(std::string_view name) {
    // No form is longer than 19 characters; skip the search for anything longer.
    if (name.empty() || name.size() > 19) return kEmpty;
    const auto& forms = formTable();
    const auto it = std::lower_bound(forms.begin(), forms.end(), name,
                                     [](const Form& f, std::string_view n) { return lessIgnoringCase(f.text, n); });
    if (it == forms.end() || lessIgnoringCase(name, it->text)) return kEmpty;
    return *it->entry;
}

std::string_view TranslateAttributeName(std::string_view name) { return FindAttribute(name).longName; }

const AttributeEntry& LookupAttribute(std::string_view longName) {
    const AttributeEntry& e = FindAttribute(longName);
    return e.longName == longName ? e : kEmpty;
}

}  // namespace lorvane
