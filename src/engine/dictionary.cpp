#include "engine/dictionary.h"

#include <string>

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

// Upper-case ASCII equality; the accepted forms are all ASCII.
bool equalsUpper(std::string_view upperName, std::string_view form) {
    if (upperName.size() != form.size()) return false;
    for (std::size_t i = 0; i < form.size(); ++i) {
        char f = form[i];
        if (f >= 'a' && f <= 'z') f = static_cast<char>(f - 0x20);
        if (upperName[i] != f) return false;
    }
    return true;
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

std::string_view TranslateAttributeName(std::string_view name) {
    // No form is longer than 19 characters; skip the work for anything longer.
    if (name.empty() || name.size() > 19) return {};
    char buf[20];
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        buf[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c;
    }
    const std::string_view up(buf, name.size());
    for (const auto& e : kEntries) {
        if (equalsUpper(up, e.longName) || equalsUpper(up, e.mediumName) || equalsUpper(up, e.shortName))
            return e.longName;
    }
    if (up == "SERIAL") return "Sequence Number";
    if (up == "TOPIC") return "Comment";
    return {};
}

const AttributeEntry& LookupAttribute(std::string_view longName) {
    for (const auto& e : kEntries)
        if (e.longName == longName) return e;
    return kEmpty;
}

}  // namespace lorvane
