#include <gtest/gtest.h>

#include "engine/serialized_output.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::treeText;

struct BatchCase {
    const char* name;
    const char* fileName;
    const char* tree;  // empty: the parse fails
    const char* message = "";
    int position = 1, length = 0;
    bool allowIllegal = false;
    int maximum = 200;
};

class SerializedOutput : public ::testing::TestWithParam<BatchCase> {};

TEST_P(SerializedOutput, ParsesOrFailsWithMessageAndSpan) {
    const auto& c = GetParam();
    AttributeTree t;
    Result r;
    r.set(Status::Warn, "stale", 9, 9);
    ParseSerializedOutput(c.fileName, t, r, c.allowIllegal, c.maximum, 4);
    if (*c.tree) {
        EXPECT_EQ(r.status, Status::Good) << r.message;
        EXPECT_EQ(r.message, "");
        EXPECT_EQ(treeText(t), c.tree);
        EXPECT_TRUE(t.wellShaped());
    } else {
        EXPECT_EQ(r.status, Status::Fail);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.position, c.position);
        EXPECT_EQ(r.length, c.length);
        EXPECT_TRUE(t.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SerializedOutput,
    ::testing::Values(
        BatchCase{"VolumeAndExtension", "ABC01.pdf", "Filename(Batch(ABC),Volume(01),Extension(PDF))"},
        BatchCase{"SpacesKeptVolumeFromLastTwo", "Scan 0012.tif", "Filename(Batch(Scan 00),Volume(12),Extension(TIF))"},
        BatchCase{"TwoDigitBodyIsNoVolume", "12.jpg", "Filename(Batch(12),Extension(JPG))"},
        BatchCase{"ThreeCharacterBody", "AB12.jpg", "Filename(Batch(AB),Volume(12),Extension(JPG))"},
        BatchCase{"MultibyteBodyCountsCharacters", "é12.jpg", "Filename(Batch(é),Volume(12),Extension(JPG))"},
        BatchCase{"OneDigitIsNoVolume", "Scan1.jpg", "Filename(Batch(Scan1),Extension(JPG))"},
        BatchCase{"SignIsNoVolume", "Scan-1.jpg", "Filename(Batch(Scan-1),Extension(JPG))"},
        BatchCase{"NoVolume", "Report.doc", "Filename(Batch(Report),Extension(DOC))"},
        BatchCase{"NoPeriod", "Report07", "Filename(Batch(Report),Volume(07))"},
        BatchCase{"NoPeriodNoVolume", "Report", "Filename(Batch(Report))"},
        BatchCase{"TrailingPeriod", "Report.", "Filename(Batch(Report),Extension)"},
        BatchCase{"LastPeriodSplits", " a.b 03.tar.gz", "Filename(Batch( a.b 03.tar),Extension(GZ))"},
        BatchCase{"IllegalAllowed", "A:B01.jpg", "Filename(Batch(A:B),Volume(01),Extension(JPG))", "", 1, 0, true}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Failures, SerializedOutput,
    ::testing::Values(
        BatchCase{"Empty", "", "", "Filename is empty", 1, 0},
        BatchCase{"TooLong", "ABCDEFé.jpg", "", "Filename is too long (Length=11, Maximum=10)", 1, 11, false, 10},
        BatchCase{"IllegalCharacter", "Aé:B01.jpg", "", "Illegal character in filename", 3, 1},
        BatchCase{"OnlyExtension", ".profile", "", "Filename must contain at least one character in addition to the Extension",
                  1, 0},
        BatchCase{"OnlyPeriod", ".", "", "Filename must contain at least one character in addition to the Extension", 1,
                  0}),
    [](const auto& info) { return info.param.name; });

TEST(SerializedOutput, NodesCarryTagsMarksAndExpansionByShowLevels) {
    AttributeTree t;
    Result r;
    for (int levels : {0, 1, 2, 3}) {
        ParseSerializedOutput("ABC01.pdf", t, r, false, 200, levels);
        ASSERT_EQ(t.count(), 7);
        EXPECT_EQ(t[1].expanded, levels > 0);
        for (int i = 2; i <= t.count(); ++i) {
            if (t[i].isAttribute()) {
                EXPECT_EQ(t[i].tag, t[i].text);
                EXPECT_EQ(t[i].image, image::AttributeGood);
                EXPECT_EQ(t[i].expandedImage, image::AttributeGood + 1);
                EXPECT_EQ(t[i].expanded, levels > 1);
            } else {
                EXPECT_EQ(t[i].image, image::ValueGood);
                EXPECT_EQ(t[i].expanded, levels > 2);
            }
        }
    }
}

}  // namespace
}  // namespace lorvane
