#include <gtest/gtest.h>

#include <string>

#include "core/rename_rule.h"

namespace lorvane {
namespace {

TEST(RenameRuleTest, RefusesNamesThatCannotBeGivenInPlace) {
    struct Case {
        std::string name;
        NameRefusal refusal;
        const char* text;
    } cases[] = {
        {"{SU=Ann}.jpg", NameRefusal::None, ""},
        {"...", NameRefusal::None, ""},
        {".hidden", NameRefusal::None, ""},
        {"\xFE.jpg", NameRefusal::None, ""},  // any bytes but "/" and NUL
        {"", NameRefusal::Empty, "A file name cannot be empty"},
        {".", NameRefusal::Dot, "A file name cannot be \".\" or \"..\""},
        {"..", NameRefusal::Dot, "A file name cannot be \".\" or \"..\""},
        {"a/b.jpg", NameRefusal::Slash, "A file name cannot contain \"/\""},
        {"/", NameRefusal::Slash, "A file name cannot contain \"/\""},
        {std::string("a\0b.jpg", 7), NameRefusal::Nul, "A file name cannot contain a NUL character"},
        {std::string(1, '\0'), NameRefusal::Nul, "A file name cannot contain a NUL character"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JudgeNewFileName(c.name), c.refusal) << c.name;
        EXPECT_EQ(NameRefusalText(JudgeNewFileName(c.name)), c.text) << c.name;
    }
}

}  // namespace
}  // namespace lorvane
