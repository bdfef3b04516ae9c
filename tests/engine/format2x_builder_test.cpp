#include <gtest/gtest.h>

#include <string>

#include "engine/dictionary.h"
#include "engine/format2x.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::findingText;

struct Options {
    bool allowIllegal = false, allowLabel = false;
    int maximum = 200, extMin = 2, extMax = 3;
    Delimiters2x delimiters{"{", "}", "=", ";"};
};

struct BuildRow {
    const char* attributes;  // nullptr: an empty tree
    const char* finding;
    const char* name;  // produced also on Fail
    Options options = {};
    void (*edit)(AttributeTree&) = nullptr;  // what the compact tree form cannot say
    const char* marks = nullptr;             // every node's mark afterwards, where a row is about them
};

// Every row starts with stale Fail marks on the Extension attribute and its values:
// the build's own Good reports about them must clear those.
TEST(Build2x, FindingsOnTheirNodes) {
    const BuildRow rows[] = {
        {"Subject(Ann,Ben(Role(Sister))),Place(Harbour),Extension(JPG)", "Good",
         "{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg"},
        {"A(x,y,z),EX(png)", "Good", "{A=x;y;z}.png"},
        {"A(b),extn(JPG)", "Good", "{A=b}.jpg"},
        {"EX(JPG),A(b)", "Good", "{A=b}.jpg"},
        // Simple case mapping: the dotted capital I lowers to a plain i.
        {"A(b),Extension(\xC3\x89\xC4\xB0\xD0\x96)", "Good", "{A=b}.\xC3\xA9i\xD0\xB6"},
        {"Subject(  Ann ),Extension(JPG)", "Good", "{SU=Ann}.jpg", {},
         [](AttributeTree& t) { t[2].tag = " SU "; }},
        {"A(x=y),Extension(JPG)", "Good", "{A=x=y}.jpg", {false, true}},
        {"a?b(b),Extension(JPG)", "Good", "{a?b=b}.jpg", {true}},
        {"A(b)", "Good", "{A=b}", {false, false, 200, 0}},
        {nullptr, "Fail @0+0 Tree is empty", ""},
        {"Extension(JPG)", "Fail n1 @0+0 There must be at least one non-Extension attribute", ".jpg"},
        {"A,Extension(JPG)", "Warn n2 @0+0 Attribute has no values", "{A}.jpg"},
        {"A(x=y),Extension(JPG)", "Warn n3 @2+1 Label delimiter in attribute value", "{A=x=y}.jpg"},
        {"A(b),Extension(JPEG)", "Warn n5 @1+4 Extension value is more than 3 characters long", "{A=b}.jpeg"},
        {"A(b),Extension(J)", "Warn n5 @1+1 Extension value is less than 2 characters long", "{A=b}.j"},
        {"A(b),Extension(JPG)", "Good", "{A=b}.jpg", {false, false, 200, 3, 3}},
        {"A(b)", "Warn n1 @0+0 There should be an Extension attribute", "{A=b}"},
        {"A(b),Extension", "Warn n4 @0+0 Extension attribute should have a value", "{A=b}."},
        {"A(b),Extension(JPG),EX(PNG)", "Fail n6 @0+0 There may only be one Extension attribute", "{A=b}"},
        {"A(b(Extension(JPG)))", "Fail n4 @0+0 Extension may not be a sub-attribute", "{A=b}.jpg"},
        {"A(b),Extension(tar.gz)", "Fail n5 @4+1 Extension value contains a period", "{A=b}.tar.gz",
         {false, false, 200, 2, 9}},
        {"A(b),Extension(j*g)", "Fail n5 @2+1 Extension value contains an illegal character", "{A=b}.j*g"},
        {"A(b),Extension(JPG(C(d)))", "Fail n6 @0+0 Extension value may not have sub-attributes", "{A=b}.jpg"},
        {"A(b),Extension(JPG,PNG)", "Fail n6 @0+0 Extension may not have more than one value", "{A=b}.jpg"},
        {"  (b),Extension(JPG)", "Warn n2 @1+0 Attribute name is empty", "{=b}.jpg"},
        {"a?b(b),Extension(JPG)", "Fail n2 @2+1 Illegal character in attribute name", "{a?b=b}.jpg"},
        {"  A{(b),Extension(JPG)", "Fail n2 @4+1 Start delimiter in attribute name", "{A{=b}.jpg"},
        {"A}(b),Extension(JPG)", "Fail n2 @2+1 End delimiter in attribute name", "{A}=b}.jpg"},
        {"A=B(b),Extension(JPG)", "Fail n2 @2+1 Label delimiter in attribute name", "{A=B=b}.jpg"},
        {"A;(b),Extension(JPG)", "Fail n2 @2+1 Value delimiter in attribute name", "{A;=b}.jpg"},
        {"A( ),Extension(JPG)", "Warn n3 @1+0 Attribute value is empty", "{A=}.jpg"},
        {"A(a/b),Extension(JPG)", "Fail n3 @2+1 Illegal character in attribute value", "{A=a/b}.jpg"},
        {"A(ab{),Extension(JPG)", "Fail n3 @3+1 Start delimiter in attribute value", "{A=ab{}.jpg"},
        {"A(}),Extension(JPG)", "Fail n3 @1+1 End delimiter in attribute value", "{A=}}.jpg"},
        {"A(x;y),Extension(JPG)", "Fail n3 @2+1 Value delimiter in attribute value", "{A=x;y}.jpg"},
        {"A(\xC3\xA9\xC3\xA9;),Extension(JPG)", "Fail n3 @3+1 Value delimiter in attribute value",
         "{A=\xC3\xA9\xC3\xA9;}.jpg"},
        {"A(b),Extension(JPG)", "Fail n1 @0+0 Filename is too long (Length=9, Maximum=8)", "{A=b}.jpg",
         {false, false, 8}},
        {"A(b),Extension(JPG)", "Good", "{A=b}.jpg", {false, false, 9}},
        {"A(b),Extension(JPG)", "Fail n1 @0+0 Attribute label delimiter may not be empty", "",
         {false, false, 200, 2, 3, {"{", "}", "", ";"}}},
        // Texts are scanned eight bytes at a time: a delimiter at the end of a block, in a
        // later block and in the bytes after the last block.
        {"A(abcdefg;),Extension(JPG)", "Fail n3 @8+1 Value delimiter in attribute value", "{A=abcdefg;}.jpg"},
        {"A(abcdefghijkl}nop),Extension(JPG)", "Fail n3 @13+1 End delimiter in attribute value",
         "{A=abcdefghijkl}nop}.jpg"},
        {"Attribute:(b),Extension(JPG)", "Fail n2 @10+1 Illegal character in attribute name", "{Attribute:=b}.jpg"},
        // Every check of a node runs (label Warn, end Fail): the worst mark stays.
        {"A(=x}),Extension(JPG)", "Fail n3 @3+1 End delimiter in attribute value", "{A==x}}.jpg", {},
         nullptr,
         "1 4 12 4 10"},
        // The first Fail fixes the result; a Warn before it and a Fail after it only mark.
        {"A(x}), (y}),Extension(JPG)", "Fail n3 @2+1 End delimiter in attribute value", "{A=x}}{=y}}.jpg", {},
         nullptr, "1 4 12 6 12 4 10"},
    };
    for (const BuildRow& c : rows) {
        SCOPED_TRACE(c.attributes ? c.attributes : "none");
        AttributeTree t;
        if (c.attributes) testing::buildAttributes(t, c.attributes);
        if (c.edit) c.edit(t);
        for (int i = 1; i <= t.count(); ++i)
            if (TranslateAttributeName(t[i].text) == "Extension" ||
                (t[i].isValue() && TranslateAttributeName(t[t[i].parent].text) == "Extension"))
                t[i].image = t[i].isValue() ? image::ValueFail : image::AttributeFail;
        std::string name = "stale";
        Result r;
        const Options& o = c.options;
        Build2x(name, t, r, o.delimiters, o.allowIllegal, o.allowLabel, o.maximum, o.extMin, o.extMax);
        EXPECT_EQ(findingText(r), c.finding);
        EXPECT_EQ(name, c.name);
        if (r.nodeIndex) { EXPECT_EQ(statusOfImage(t[r.nodeIndex].image), r.status) << "the node shows it"; }
        if (c.marks) { EXPECT_EQ(testing::treeMarks(t), c.marks); }
        for (int i = 1; r.good() && i <= t.count(); ++i) EXPECT_EQ(t[i].image, goodImageOf(t[i].kind())) << i;
    }
}

}  // namespace
}  // namespace lorvane
