#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/short_message.h"

namespace lorvane {
namespace {

TEST(ShortMessage, JoinsTextsAndNumbersAndDropsWhatDoesNotFit) {
    EXPECT_EQ((ShortMessage() << "Filename is too long (Length=" << 250 << ", Maximum=" << 200 << ")").view(),
              "Filename is too long (Length=250, Maximum=200)");
    EXPECT_EQ((ShortMessage() << "at least " << 0 << " values").view(), "at least 0 values");
    EXPECT_EQ((ShortMessage() << INT_MIN << INT_MAX).view(), "-21474836482147483647");
    EXPECT_EQ(ShortMessage().view(), "");
    ShortMessage full;
    full << "ab" << std::string(300, 'x') << 12;
    EXPECT_EQ(full.view(), "ab" + std::string(158, 'x'));
}

}  // namespace
}  // namespace lorvane
