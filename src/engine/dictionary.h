// The attribute dictionary: the program's fixed knowledge of attribute names.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace lorvane {

struct AttributeEntry {
    std::int32_t order = 0;           // preferred order; 9999 for Extension; 0 when unknown
    std::string_view longName;
    std::string_view mediumName;
    std::string_view shortName;
    std::string_view contexts;        // "|Root|Caption|": parents' long names between bars
    std::string_view valueFormat;     // "Text", "Integer", "Percent", "Date", "Extension"
    std::int16_t minimumValues = 0;
    std::int16_t maximumValues = 0;   // 9999: any number

    bool known() const { return order != 0; }
    // True when name is one of the entry's three forms in any letter case: a cheaper
    // test than FindAttribute when only one entry matters.
    bool hasForm(std::string_view name) const;
    // True when the attribute may stand under a parent with this long name ("Root" for the top level).
    bool allowedUnder(std::string_view parentLongName) const;
};

// The 29 entries in preferred order.
std::span<const AttributeEntry> AttributeDictionary();

// Any accepted form (long, medium, short, plus SERIAL and TOPIC) in any letter
// case gives the long name; anything else gives empty text. No trimming.
std::string_view TranslateAttributeName(std::string_view name);

// Whether a name typed by the user stands for an attribute's name: equal with letter
// case ignored, or forms of the same dictionary entry.
bool SameAttributeName(std::string_view a, std::string_view b);

// The entry for any accepted form in any letter case (as TranslateAttributeName
// reads it), or the empty entry (order 0).
const AttributeEntry& FindAttribute(std::string_view name);

// The entry for an exact long name, or the empty entry (order 0).
const AttributeEntry& LookupAttribute(std::string_view longName);

}  // namespace lorvane
