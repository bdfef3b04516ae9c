// Add Content on one tree: where the context search finds its place, and a file
// without the context left alone.
#include <gtest/gtest.h>

#include "core/batch/add_content.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

// New=v added at the top level (under == nullptr) or under "ATTRIBUTE=VALUE"; "_" in
// a tree is an empty text. Returns the tree after, or "n/a" when it was left alone.
std::string added(std::string_view attributes, const char* under, void (*edit)(AttributeTree&) = nullptr) {
    AttributeTree t;
    testing::buildAttributes(t, attributes);
    for (int n = 1; n <= t.count(); ++n)
        if (t[n].text == "_") t[n].text.clear(), t[n].tag.clear();
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
    const std::string before = testing::attributesText(t);
    if (AddContentToTree(r, t) != StepAnswer::Changed) return testing::attributesText(t) == before ? "n/a" : "changed";
    const Node &attribute = t[t.count() - 1], &value = t[t.count()];
    EXPECT_EQ(attribute.tag + std::to_string(attribute.image) + std::to_string(attribute.expandedImage) +
                  std::to_string(value.image),
              "New45" + std::to_string(image::ValueGood));
    return testing::attributesText(t);
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

}  // namespace
}  // namespace lorvane
