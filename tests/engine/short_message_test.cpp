#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/short_message.h"

namespace lorvane {
namespace {

TEST(ShortMessage, JoinsTextsAndNumbers) {
    EXPECT_EQ((ShortMessage() << "Filename is too long (Length=" << 250 << ", Maximum=" << 200 << ")").view(),
              "Filename is too long (Length=250, Maximum=200)");
    EXPECT_EQ((ShortMessage() << "at least " << 0 << " values").view(), "at least 0 values");
    EXPECT_EQ((ShortMessage() << INT_MIN << INT_MAX).view(), "-21474836482147483647");
    EXPECT_EQ(ShortMessage().view(), "");
}

TEST(ShortMessage, DropsWhatDoesNotFit) {
    const std::string long_(300, 'x');
    ShortMessage m;
    m << "ab" << long_ << 12;
    EXPECT_EQ(m.view().size(), 160u);
    EXPECT_EQ(m.view().substr(0, 3), "abx");
}

}  // namespace
}  // namespace lorvane
