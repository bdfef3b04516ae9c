#include "engine/dictionary.h"

#include <vector>

#include "engine/utf8.h"

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

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

constexpr std::size_t kLongestForm = 19;

// Every accepted form, built once and grouped by length and first letter: a name is
// compared with the few forms of its group (at most six) rather than with all 89.
// No form belongs to two entries, so same-name forms (Title, Place, ...) collapse.
class FormTable {
public:
    FormTable() {
        for (const auto& e : kEntries)
            for (std::string_view form : {e.longName, e.mediumName, e.shortName}) add(form, e);
        add("SERIAL", find("Sequence Number"));
        add("TOPIC", find("Comment"));
    }

    const AttributeEntry& find(std::string_view name) const {
        if (name.empty() || name.size() > kLongestForm) return kEmpty;
        const char initial = foldCase(name[0]);
        if (initial < 'A' || initial > 'Z') return kEmpty;
        // The forms are kept folded; the name is folded as it is compared, since most
        // groups hold one or two forms and a mismatch shows within a letter or two.
        // A plain loop: the names are a few bytes long, too short to pay for a memcmp call.
        for (const Form& f : groups_[name.size()][static_cast<std::size_t>(initial - 'A')]) {
            std::size_t i = 1;
            while (i < name.size() && f.folded[i] == foldCase(name[i])) ++i;
            if (i == name.size()) return *f.entry;
        }
        return kEmpty;
    }

private:
    struct Form {
        char folded[kLongestForm];
        const AttributeEntry* entry;
    };
    void add(std::string_view form, const AttributeEntry& e) {
        if (find(form).known()) return;
        Form f{{}, &e};
        for (std::size_t i = 0; i < form.size(); ++i) f.folded[i] = foldCase(form[i]);
        groups_[form.size()][static_cast<std::size_t>(f.folded[0] - 'A')].push_back(f);
    }

    // Every form in a group has the group's length.
    std::vector<Form> groups_[kLongestForm + 1][26];
};

const FormTable& formTable() {
    static const FormTable table;
    return table;
}

}  // namespace

bool AttributeEntry::allowedUnder(std::string_view parentLongName) const {
    // contexts is "|A|B|": look for "|parent|". Most attributes stand where their first
    // context names, so that one is tried before searching.
    const std::size_t n = parentLongName.size();
    if (contexts.size() >= n + 2 && contexts[n + 1] == '|' && contexts.compare(1, n, parentLongName) == 0) return true;
    for (std::size_t p = contexts.find(parentLongName); p != std::string_view::npos;
         p = contexts.find(parentLongName, p + 1)) {
        if (p > 0 && contexts[p - 1] == '|' && p + parentLongName.size() < contexts.size() &&
            contexts[p + parentLongName.size()] == '|')
            return true;
    }
    return false;
}

bool AttributeEntry::hasForm(std::string_view name) const {
    return equalIgnoringCase(name, longName) || equalIgnoringCase(name, mediumName) ||
           equalIgnoringCase(name, shortName);
}

std::span<const AttributeEntry> AttributeDictionary() { return kEntries; }

const AttributeEntry& FindAttribute(std::string_view name) {
    return formTable().find(name);
}

std::string_view TranslateAttributeName(std::string_view name) { return FindAttribute(name).longName; }

bool SameAttributeName(std::string_view a, std::string_view b) {
    if (utf8::equalIgnoringCase(a, b)) return true;
    const std::string_view longName = TranslateAttributeName(a);
    return !longName.empty() && longName == TranslateAttributeName(b);
}

const AttributeEntry& LookupAttribute(std::string_view longName) {
    const AttributeEntry& e = FindAttribute(longName);
    return e.longName == longName ? e : kEmpty;
}

}  // namespace lorvane
