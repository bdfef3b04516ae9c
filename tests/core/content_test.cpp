// Add Content and Remove Content on one tree: where the context search finds its place,
// what meets each criterion in each context, and a file where nothing changes left alone.
#include <gtest/gtest.h>

#include "core/batch/add_content.h"
#include "core/batch/remove_content.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::attributesText;

// A tree from its attributes' text form, where "_" stands for an empty text.
AttributeTree tree(std::string_view attributes) {
    AttributeTree t;
    testing::buildAttributes(t, attributes);
    for (int n = 1; n <= t.count(); ++n)
        if (t[n].text == "_") t[n].text.clear(), t[n].tag.clear();
    return t;
}

// New=v added at the top level (under == nullptr) or under "ATTRIBUTE=VALUE". Returns
// the tree after, or "n/a" when it was left alone.
std::string added(std::string_view attributes, const char* under, void (*edit)(AttributeTree&) = nullptr) {
    AttributeTree t = tree(attributes);
    if (edit) edit(t);
    AddContentRequest r;
    r.attribute = "New";
    r.value = "v";
    if (under) {
        const std::string_view u = under;
        r.subAttribute = true;
        r.contextAttribute = u.substr(0, u.find('='));
        r.contextValue = u.substr(u.find('=') + 1);
    }
    const std::string before = attributesText(t);
    if (AddContentToTree(r, t) != StepAnswer::Changed) return attributesText(t) == before ? "n/a" : "changed";
    const Node &a = t[t.count() - 1], &v = t[t.count()];  // marked good, tagged with the name
    EXPECT_TRUE(a.tag == "New" && a.image == 4 && a.expandedImage == 5 && v.image == image::ValueGood) << attributes;
    return attributesText(t);
}

TEST(AddContentTest, AddsUnderTheContextTheSearchFinds) {
    const struct {
        const char *tree, *under, *after;
    } cases[] = {
        {"A(a),B(b)", nullptr, "A(a),B(b),New(v)"},
        {"Device(Y,X),Device(X)", "Device=X", "Device(Y,X(New(v))),Device(X)"},
        {"Device(X,x)", "Device=X", "Device(X,x(New(v)))"},          // the last matching value wins
        {"DV(X)", "Device=x", "DV(X(New(v)))"},                      // short name against long
        {"dEvIcE(X)", "devc=X", "dEvIcE(X(New(v)))"},                // medium name, any case
        {"A(a(Device(X)))", "Device=X", "A(a(Device(X(New(v)))))"},  // at any depth
        {"Device(Y)", "Device=X", "n/a"},
        {"Place(X)", "Device=X", "n/a"},
        {"Foo(X)", "Bar=X", "n/a"},  // two unknown names share no long name
        {"Foo(X)", "fOO=X", "Foo(X(New(v)))"},
        {"Device(_,X)", "Device=", "Device((New(v)),X)"},
        {"_(X)", "=x", "(X(New(v)))"},
        {"Device(Xy)", "Device=X", "n/a"},  // equality, not a part of the value
    };
    for (const auto& c : cases) EXPECT_EQ(added(c.tree, c.under), c.after) << c.tree << " " << c.under;
    // The search follows the order the nodes were made in, not the order they stand in.
    EXPECT_EQ(added("A(a),Device(X)", "Device=X", [](AttributeTree& t) { AddTaggedAttribute(t, 3, "Device", "X"); }),
              "A(a(Device(X))),Device(X(New(v)))");
}

constexpr auto NoValues = RemoveCriterion::AttributesWithoutValues,
               EmptyLabels = RemoveCriterion::AttributesWithEmptyLabels, Named = RemoveCriterion::AttributesNamed,
               EmptyValues = RemoveCriterion::EmptyValues, Containing = RemoveCriterion::ValuesContaining;
constexpr auto Any = RemoveContext::Any, Top = RemoveContext::TopLevel, Under = RemoveContext::SubAttributeOf;
constexpr bool Promote = true, Remove = false;

TEST(RemoveContentTest, RemovesWhatMeetsTheCriterionInItsContext) {
    struct Case {
        const char* tree;  // "_" stands for an empty text
        RemoveCriterion criterion;
        const char* text;  // of the criterion, or for Under "TEXT ATTRIBUTE=VALUE"
        RemoveContext context;
        bool promote;
        const char* after;  // nullptr: nothing met the criterion, the tree unchanged
    } cases[] = {
        {"A(a),B,C(c(D)),E", NoValues, "", Any, Remove, "A(a),C(c)"},  // a removal's position is examined again
        {"A(a)", NoValues, "", Any, Remove, nullptr},
        {"_(a),B(b),C(_(_(x)))", EmptyLabels, "", Any, Remove, "B(b),C()"},
        {"DT(1),Date(2),Captured Date(3),Date Taken(4),dt(5)", Named, "DT", Any, Remove, "Date Taken(4)"},
        {"Foo(1),Bar(2),fOO(3)", Named, "foo", Any, Remove, "Bar(2)"},
        {"Foo(1)", Named, "Fo", Any, Remove, nullptr},  // whole names, not parts of them
        {"A(_,a(S(_,s)))", EmptyValues, "", Any, Remove, "A(a(S(s)))"},
        {"A(x.JPG,b(S(jpg))),Extension(Jpg)", Containing, "jpg", Any, Remove, "A(b(S)),Extension"},
        {"A(Ärger,ärger,Zorn)", Containing, "äR", Any, Remove, "A(Zorn)"},
        {"A(a,_,b(S(s)))", Containing, "", Any, Remove, "A()"},  // an empty text: every value not empty
        // Top level: top-level attributes and their values only.
        {"A(_,a(S(_,s)))", EmptyValues, "", Top, Remove, "A(a(S(,s)))"},
        {"B(b(A(a)))", Named, "A", Top, Remove, nullptr},
        // Under a value of an attribute: what stands under it, at one level below.
        {"Device(X(S(a)),Y(S(b))),Place(X(S(c)))", Named, "S Devc=x", Under, Remove,
         "Device(X,Y(S(b))),Place(X(S(c)))"},
        {"Device(X(S(a,b),T(c)),Y(S(d)))", Containing, " DV=X", Under, Remove, "Device(X(S,T),Y(S(d)))"},
        {"Device(X(S(a(T(b)))))", Containing, " Device=X", Under, Remove, "Device(X(S))"},
        {"Device(X(S(a(T(b)))))", Named, "T Device=X", Under, Remove, nullptr},  // deeper is not under it
        {"Device(X)", Containing, "X Device=X", Under, Remove, nullptr},         // nor is the value itself
        {"_(_(S(a))),Foo(x(S(b)))", Named, "S =", Under, Remove, "(),Foo(x(S(b)))"},
        // Promote: sub-attributes move up to where what is removed stood, in order.
        {"A(x,_(S1(s1),S2(s2)),y)", EmptyValues, "", Any, Promote, "S1(s1),S2(s2),A(x,y)"},
        {"B(b),A(a1(S1(s1)),a2(S2(s2),S3)),C", Named, "A", Any, Promote, "B(b),S1(s1),S2(s2),S3,C"},
        {"A(a(A(b(C(c)))))", Named, "A", Any, Promote, "C(c)"},  // the promoted A is removed in turn
        {"A(_(B(_)))", EmptyValues, "", Top, Promote, "B,A"},    // the promoted B is top-level now
        {"A(a(B(b(A(c)))))", Named, "A", Top, Promote, "B(b(A(c)))"},
        {"P(p(A(a(S(s)),b),B(c)))", Named, "A P=p", Under, Promote, "P(p(S(s),B(c)))"},
        {"P(p(A(a(S(s)))))", Containing, "a P=p", Under, Promote, "P(p(S(s),A))"},
    };
    for (const auto& c : cases) {
        AttributeTree t = tree(c.tree);
        RemoveContentRequest r{c.criterion, c.text, c.text, c.context, "", "", c.promote};
        if (c.context == Under) {
            const std::string_view text = c.text, under = text.substr(text.find(' ') + 1);
            r.attributeText = r.valueText = text.substr(0, text.find(' '));
            r.contextAttribute = under.substr(0, under.find('='));
            r.contextValue = under.substr(under.find('=') + 1);
        }
        EXPECT_EQ(RemoveContentFromTree(r, t), c.after ? StepAnswer::Changed : StepAnswer::NotApplicable)
            << c.tree << " " << c.text;
        EXPECT_EQ(attributesText(t), c.after ? c.after : std::string(c.tree)) << c.tree << " " << c.text;
        EXPECT_TRUE(t.wellShaped()) << c.tree;
    }
}

}  // namespace
}  // namespace lorvane
