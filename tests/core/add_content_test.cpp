#include <gtest/gtest.h>

#include "core/batch/add_content.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::attributesText;
using testing::buildAttributes;

// A tree from its text form, where "_" stands for an empty text.
void build(AttributeTree& t, std::string_view attributes) {
    buildAttributes(t, attributes);
    for (int n = 1; n <= t.count(); ++n)
        if (t[n].text == "_") t[n].text.clear(), t[n].tag.clear();
}

AddContentRequest adding(std::string_view attribute, std::string_view value) {
    AddContentRequest r;
    r.attribute = attribute;
    r.value = value;
    return r;
}

TEST(AddContentTest, AddsUnderTheContextTheSearchFinds) {
    struct Case {
        const char* tree;
        const char* under;  // "ATTRIBUTE=VALUE", or nullptr for the top level
        const char* after;  // nullptr: not applicable, the tree unchanged
    } cases[] = {
        {"A(a),B(b)", nullptr, "A(a),B(b),New(v)"},
        {"Device(Y,X),Device(X)", "Device=X", "Device(Y,X(New(v))),Device(X)"},
        {"Device(X,x)", "Device=X", "Device(X,x(New(v)))"},  // the last matching value wins
        {"Device(Y),Device(x)", "Device=X", "Device(Y),Device(x(New(v)))"},
        {"DV(X)", "Device=x", "DV(X(New(v)))"},        // short name against long
        {"Device(X)", "devc=X", "Device(X(New(v)))"},  // medium name, any case
        {"dEvIcE(X)", "DEVICE=X", "dEvIcE(X(New(v)))"},
        {"A(a(Device(X)))", "Device=X", "A(a(Device(X(New(v)))))"},  // at any depth
        {"Device(Y)", "Device=X", nullptr},
        {"Place(X)", "Device=X", nullptr},
        {"Foo(X)", "Bar=X", nullptr},  // two unknown names share no long name
        {"Foo(X)", "fOO=X", "Foo(X(New(v)))"},
        {"Device(_,X)", "Device=", "Device((New(v)),X)"},
        {"_(X)", "=x", "(X(New(v)))"},
        {"Device(Xy)", "Device=X", nullptr},  // equality, not a part of the value
    };
    for (const auto& c : cases) {
        AttributeTree tree;
        build(tree, c.tree);
        AddContentRequest r = adding("New", "v");
        if (c.under) {
            const std::string_view under = c.under;
            r.subAttribute = true;
            r.contextAttribute = under.substr(0, under.find('='));
            r.contextValue = under.substr(under.find('=') + 1);
        }
        const StepAnswer answer = AddContentToTree(r, tree);
        EXPECT_EQ(answer, c.after ? StepAnswer::Changed : StepAnswer::NotApplicable) << c.tree << " " << c.under;
        EXPECT_EQ(attributesText(tree), c.after ? c.after : std::string(c.tree)) << c.tree << " " << c.under;
        if (!c.after) continue;
        const Node &added = tree[tree.count() - 1], &value = tree[tree.count()];
        EXPECT_EQ(added.tag + std::to_string(added.image) + std::to_string(added.expandedImage), "New45");
        EXPECT_EQ(value.image, image::ValueGood);
    }
}

// The search follows the order the nodes were made in, not the order they stand in.
TEST(AddContentTest, TheEarliestMadeAttributeGivesTheContext) {
    AttributeTree tree;
    build(tree, "A(a),Device(X)");
    AddTaggedAttribute(tree, 2 + 1, "Device", "X");  // under a, made after the top-level Device
    ASSERT_EQ(attributesText(tree), "A(a(Device(X))),Device(X)");
    AddContentRequest r = adding("New", "v");
    r.subAttribute = true;
    r.contextAttribute = "Device";
    r.contextValue = "X";
    EXPECT_EQ(AddContentToTree(r, tree), StepAnswer::Changed);
    EXPECT_EQ(attributesText(tree), "A(a(Device(X))),Device(X(New(v)))");
}

}  // namespace
}  // namespace lorvane
