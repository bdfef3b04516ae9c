#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/dictionary.h"
#include "engine/utf8.h"

namespace lorvane {
namespace {

std::string mixedCase(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        char c = out[i];
        if (c >= 'a' && c <= 'z' && i % 2 == 0) out[i] = static_cast<char>(c - 0x20);
        else if (c >= 'A' && c <= 'Z' && i % 2 == 1) out[i] = static_cast<char>(c + 0x20);
    }
    return out;
}

TEST(Dictionary, HasTwentyNineEntriesInPreferredOrder) {
    auto d = AttributeDictionary();
    ASSERT_EQ(d.size(), 29u);
    for (std::size_t i = 0; i + 1 < d.size(); ++i) EXPECT_EQ(d[i].order, static_cast<int>(i) + 1);
    EXPECT_EQ(d.back().order, 9999);
}

TEST(TranslateAttributeName, EveryFormInAnyCaseGivesTheLongName) {
    std::set<std::string> forms;
    for (const auto& e : AttributeDictionary()) {
        for (std::string_view form : {e.longName, e.mediumName, e.shortName}) {
            for (const std::string& v : {std::string(form), utf8::upper(form), utf8::lower(form), mixedCase(form)})
                EXPECT_EQ(TranslateAttributeName(v), e.longName) << v;
            forms.insert(utf8::upper(form));
        }
        EXPECT_EQ(e.shortName.size(), 2u);
        EXPECT_LE(e.mediumName.size(), 5u);
    }
    // No form belongs to two entries: same-name forms (Title, Place, ...) collapse.
    std::size_t distinct = 0;
    for (const auto& e : AttributeDictionary())
        distinct += std::set<std::string>{utf8::upper(e.longName), utf8::upper(e.mediumName), utf8::upper(e.shortName)}.size();
    EXPECT_EQ(forms.size(), distinct);
}

TEST(TranslateAttributeName, ExtraFormsAndMisses) {
    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {
        {"dt", "Captured Date"}, {"Date", "Captured Date"}, {"captured date", "Captured Date"},
        {"seq#", "Sequence Number"}, {"serial", "Sequence Number"}, {"SN", "Sequence Number"},
        {"Topic", "Comment"}, {"ex", "Extension"}, {"EXTN", "Extension"},
        {"Date ", ""}, {" Date", ""}, {"Photographer", ""}, {"", ""},
        // The dictionary has no such entry, so its forms are not translated either.
        {"Setting", ""}, {"SETG", ""}, {"st", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TranslateAttributeName(c.name), c.expected) << c.name;
}

TEST(FindAttribute, GivesTheEntryOfAnyFormAndNothingNearIt) {
    for (const auto& e : AttributeDictionary())
        for (std::string_view form : {e.longName, e.mediumName, e.shortName}) {
            EXPECT_EQ(&FindAttribute(form), &e) << form;
            EXPECT_EQ(&FindAttribute(mixedCase(form)), &e) << form;
        }
    EXPECT_EQ(FindAttribute("serial").longName, "Sequence Number");
    EXPECT_EQ(FindAttribute("Topic").longName, "Comment");
    // Same length and first letter as real forms, or one character off.
    for (const char* miss : {"Dat", "Datee", "DX", "D", "#DT", " DT", "DT ", "Seq", "Seq#x", "Version Descriptio",
                             "Version Descriptionn", "Version Description!", "\xC3\x89XTN", "eXtN\xC3\xA9", "1T", ""})
        EXPECT_FALSE(FindAttribute(miss).known()) << miss;
}

TEST(AttributeEntry, HasFormTakesTheThreeFormsOnly) {
    const auto& extension = LookupAttribute("Extension");
    for (const char* form : {"Extension", "EXTENSION", "extn", "Ex", "eX"}) EXPECT_TRUE(extension.hasForm(form)) << form;
    for (const char* other : {"Extn ", "E", "Ext", "Extensio", "Extensions", "", "Comment"})
        EXPECT_FALSE(extension.hasForm(other)) << other;
    EXPECT_FALSE(LookupAttribute("Sequence Number").hasForm("SERIAL"));  // an extra form, not one of the three
    EXPECT_FALSE(LookupAttribute("SERIAL").known());
}

TEST(LookupAttribute, ExactLongNameOnly) {
    const auto& ext = LookupAttribute("Extension");
    EXPECT_EQ(ext.order, 9999);
    EXPECT_EQ(ext.shortName, "EX");
    EXPECT_EQ(ext.valueFormat, "Extension");
    EXPECT_EQ(ext.minimumValues, 1);
    EXPECT_EQ(ext.maximumValues, 1);
    for (const char* miss : {"captured date", "", "DT", "Setting"}) {
        const auto& e = LookupAttribute(miss);
        EXPECT_EQ(e.order, 0) << miss;
        EXPECT_TRUE(e.longName.empty() && e.contexts.empty() && e.valueFormat.empty());
        EXPECT_EQ(e.maximumValues, 0);
    }
    const auto& comment = LookupAttribute("Comment");
    EXPECT_EQ(comment.contexts, "|Root|Title|Subject|Place|Activity|Version Editor|Quality|Interest|Creator|");
    EXPECT_EQ(LookupAttribute("Subject").maximumValues, 9999);
}

TEST(AttributeEntry, ContextsMatchWholeNamesOnly) {
    const auto& comment = LookupAttribute("Comment");
    EXPECT_TRUE(comment.allowedUnder("Root"));
    EXPECT_TRUE(comment.allowedUnder("Version Editor"));
    EXPECT_FALSE(comment.allowedUnder("Version"));   // part of a name
    EXPECT_FALSE(comment.allowedUnder("Editor"));
    EXPECT_FALSE(comment.allowedUnder(""));
    EXPECT_FALSE(comment.allowedUnder("Roo"));  // the start of the first context
    EXPECT_FALSE(comment.allowedUnder("RootTitle"));
    EXPECT_TRUE(comment.allowedUnder("Creator"));  // the last
    EXPECT_FALSE(LookupAttribute("Position").allowedUnder("Root"));
    EXPECT_TRUE(LookupAttribute("Position").allowedUnder("Subject"));
}

}  // namespace
}  // namespace lorvane
