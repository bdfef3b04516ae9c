#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/dictionary.h"
#include "engine/format2x.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

struct Options {
    bool allowIllegal = false, allowLabel = false;
    int maximum = 200, extMin = 2, extMax = 3;
    Delimiters2x delimiters{"{", "}", "=", ";"};
};

// The finding (which its node shows) and the name, produced also on Fail. The Extension
// attribute and its values start with stale Fail marks that the build's Good reports clear.
std::string build2x(AttributeTree& t, const Options& o = {}) {
    for (int i = 1; i <= t.count(); ++i)
        if (TranslateAttributeName(t[i].isValue() ? t[t[i].parent].text : t[i].text) == "Extension")
            t[i].image = t[i].isValue() ? image::ValueFail : image::AttributeFail;
    std::string name = "stale";
    Result r;
    Build2x(name, t, r, o.delimiters, o.allowIllegal, o.allowLabel, o.maximum, o.extMin, o.extMax);
    EXPECT_EQ(r.good() ? testing::notGood(t) : "", "") << name;
    return testing::shownFinding(t, r) + " | " + name;
}

TEST(Build2x, FindingsOnTheirNodes) {
    const std::tuple<const char*, const char*, Options> rows[] = {
        // attributes (nullptr: an empty tree)
        {"Subject(Ann,Ben(Role(Sister))),Place(Harbour),Extension(JPG)",
         "Good | {Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg", {}},
        {"EX(JPG),A(b)", "Good | {A=b}.jpg", {}},
        // Simple case mapping: the dotted capital I lowers to a plain i.
        {"A(b),Extension(\xC3\x89\xC4\xB0\xD0\x96)", "Good | {A=b}.\xC3\xA9i\xD0\xB6", {}},
        {"A(x=y),Extension(JPG)", "Good | {A=x=y}.jpg", {false, true}},
        {"a?b(b),Extension(JPG)", "Good | {a?b=b}.jpg", {true}},
        {"A(b)", "Good | {A=b}", {false, false, 200, 0}},
        {"A(b),Extension(JPG)", "Good | {A=b}.jpg", {false, false, 9}},
        {"A(b),EX(JPG)", "Fail n1 @0+0 Filename is too long (Length=9, Maximum=8) | {A=b}.jpg", {false, false, 8}},
        {nullptr, "Fail @0+0 Tree is empty | ", {}},
        {"Extension(JPG)", "Fail n1 @0+0 There must be at least one non-Extension attribute | .jpg", {}},
        {"A,Extension(JPG)", "Warn n2 @0+0 Attribute has no values | {A}.jpg", {}},
        {"A(x=y),Extension(JPG)", "Warn n3 @2+1 Label delimiter in attribute value | {A=x=y}.jpg", {}},
        {"A(b),Extension(JPEG)", "Warn n5 @1+4 Extension value is more than 3 characters long | {A=b}.jpeg", {}},
        {"A(b),Extension(J)", "Warn n5 @1+1 Extension value is less than 2 characters long | {A=b}.j", {}},
        {"A(b)", "Warn n1 @0+0 There should be an Extension attribute | {A=b}", {}},
        {"A(b),Extension", "Warn n4 @0+0 Extension attribute should have a value | {A=b}.", {}},
        {"A(b),Extension(JPG),EX(PNG)", "Fail n6 @0+0 There may only be one Extension attribute | {A=b}", {}},
        {"A(b),Extension(tar.gz)", "Fail n5 @4+1 Extension value contains a period | {A=b}.tar.gz",
         {false, false, 200, 2, 9}},
        {"A(b),Extension(j*g)", "Fail n5 @2+1 Extension value contains an illegal character | {A=b}.j*g", {}},
        {"A(b),Extension(JPG,PNG)", "Fail n6 @0+0 Extension may not have more than one value | {A=b}.jpg", {}},
        {"  (b),Extension(JPG)", "Warn n2 @1+0 Attribute name is empty | {=b}.jpg", {}},
        {"a?b(b),Extension(JPG)", "Fail n2 @2+1 Illegal character in attribute name | {a?b=b}.jpg", {}},
        {"  A{(b),Extension(JPG)", "Fail n2 @4+1 Start delimiter in attribute name | {A{=b}.jpg", {}},
        {"A( ),Extension(JPG)", "Warn n3 @1+0 Attribute value is empty | {A=}.jpg", {}},
        {"A(a/b),Extension(JPG)", "Fail n3 @2+1 Illegal character in attribute value | {A=a/b}.jpg", {}},
        {"A(}),Extension(JPG)", "Fail n3 @1+1 End delimiter in attribute value | {A=}}.jpg", {}},
        // Texts are scanned eight bytes at a time: a delimiter in a later block, and in the bytes after the last.
        {"A(abcdefghijkl}nop),EX(JPG)", "Fail n3 @13+1 End delimiter in attribute value | {A=abcdefghijkl}nop}.jpg",
         {}},
        {"Attribute:(b),Extension(JPG)", "Fail n2 @10+1 Illegal character in attribute name | {Attribute:=b}.jpg", {}},
    };
    for (const auto& [attributes, expect, options] : rows) {
        AttributeTree t;
        if (attributes) testing::buildAttributes(t, attributes);
        EXPECT_EQ(build2x(t, options), expect) << (attributes ? attributes : "none");
    }
}

// Every check of a node runs and the worst mark stays; the first Fail fixes the result,
// a Warn before it and a Fail after it only mark. Names are written from the Tag, trimmed.
TEST(Build2x, MarksEveryNodeAndWritesTags) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"A(=x}),Extension(JPG)", "Fail n3 @3+1 End delimiter in attribute value | {A==x}}.jpg", "1 4 12 4 10"},
        {"A(x}), (y}),Extension(JPG)", "Fail n3 @2+1 End delimiter in attribute value | {A=x}}{=y}}.jpg",
         "1 4 12 6 12 4 10"},
        {"Subject(  Ann ),Extension(JPG)", "Good | {SU=Ann}.jpg", "1 4 10 4 10"},
    };
    for (const auto& [attributes, expect, marks] : rows) {
        AttributeTree t;
        testing::buildAttributes(t, attributes);
        t[2].tag = t[2].text == "Subject" ? " SU " : t[2].tag;
        const std::string built = build2x(t);
        EXPECT_EQ(built + " " + testing::treeMarks(t), std::string(expect) + " " + marks);
    }
}

}  // namespace
}  // namespace lorvane
