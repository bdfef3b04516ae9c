#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>

#include "engine/dictionary.h"
#include "engine/utf8.h"

namespace lorvane {
namespace {

std::string mixedCase(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(i % 2 ? std::tolower(out[i]) : std::toupper(out[i]));
    return out;
}

// Every entry's three forms, in any letter case, name that entry and no other.
TEST(Dictionary, EveryFormInAnyCaseGivesItsEntry) {
    for (const auto& e : AttributeDictionary())
        for (std::string_view form : {e.longName, e.mediumName, e.shortName})
            for (const std::string& v : {std::string(form), utf8::upper(form), utf8::lower(form), mixedCase(form)}) {
                EXPECT_EQ(TranslateAttributeName(v), e.longName) << v;
                EXPECT_EQ(&FindAttribute(v), &e) << v;
                EXPECT_TRUE(e.hasForm(v)) << v;
            }
}

TEST(Dictionary, ExtraFormsAndNamesNearTheForms) {
    const std::pair<const char*, const char*> rows[] = {
        {"serial", "Sequence Number"}, {"Topic", "Comment"}, {"captured date", "Captured Date"}, {"Date ", ""},
        {" Date", ""}, {"", ""}, {"Dat", ""}, {"Datee", ""}, {"#DT", ""}, {"\xC3\x89XTN", ""}, {"1T", ""},
        // The dictionary has no such entry, so its forms are not translated either.
        {"Setting", ""}, {"SETG", ""}, {"st", ""},
    };
    for (const auto& [name, longName] : rows) {
        EXPECT_EQ(TranslateAttributeName(name), longName) << name;
        EXPECT_EQ(FindAttribute(name).longName, longName) << name;
    }
    const auto& extension = LookupAttribute("Extension");
    for (const char* other : {"Extn ", "E", "Ext", "Extensio", "Extensions", "", "Comment"})
        EXPECT_FALSE(extension.hasForm(other)) << other;
    EXPECT_FALSE(LookupAttribute("Sequence Number").hasForm("SERIAL"));  // an extra form, not one of the three
}

TEST(Dictionary, ContextsMatchWholeNames) {
    // The attribute, the parent, allowed: the first, an inner and the last of the list, and parts of names.
    const std::tuple<const char*, const char*, bool> rows[] = {
        {"Comment", "Root", true}, {"Comment", "Version Editor", true}, {"Comment", "Creator", true},
        {"Comment", "Version", false}, {"Comment", "Editor", false}, {"Comment", "", false}, {"Comment", "Roo", false},
        {"Comment", "RootTitle", false}, {"Position", "Root", false}, {"Position", "Subject", true},
    };
    for (const auto& [attribute, parent, allowed] : rows)
        EXPECT_EQ(LookupAttribute(attribute).allowedUnder(parent), allowed) << parent;
}

}  // namespace
}  // namespace lorvane
