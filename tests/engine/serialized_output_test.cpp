#include <gtest/gtest.h>

#include "engine/serialized_output.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::findingText;

// The attributes of a good parse, else the finding; the tree is emptied on a failure,
// and a stale result never shows through.
TEST(SerializedOutput, ParsesOrFails) {
    struct Row {
        const char *name, *expect;
        bool allowIllegal = false;
        int maximum = 200;
    } rows[] = {
        {"ABC01.pdf", "Batch(ABC),Volume(01),Extension(PDF)"},
        {"Scan 0012.tif", "Batch(Scan 00),Volume(12),Extension(TIF)"},
        {"12.jpg", "Batch(12),Extension(JPG)"},  // a body of two digits is no volume
        {"é12.jpg", "Batch(é),Volume(12),Extension(JPG)"},  // characters, not bytes
        {"Scan-1.jpg", "Batch(Scan-1),Extension(JPG)"},
        {"Report", "Batch(Report)"},
        {"Report.", "Batch(Report),Extension"},
        {" a.b 03.tar.gz", "Batch( a.b 03.tar),Extension(GZ)"},
        {"A:B01.jpg", "Batch(A:B),Volume(01),Extension(JPG)", true},
        {"", "Fail @1+0 Filename is empty"},
        {"ABCDEFé.jpg", "Fail @1+11 Filename is too long (Length=11, Maximum=10)", false, 10},
        {"Aé:B01.jpg", "Fail @3+1 Illegal character in filename"},
        {".profile", "Fail @1+0 Filename must contain at least one character in addition to the Extension"},
    };
    for (const auto& c : rows) {
        AttributeTree t;
        Result r;
        r.set(Status::Warn, "stale", 9, 9);
        ParseSerializedOutput(c.name, t, r, c.allowIllegal, c.maximum, 4);
        EXPECT_EQ(r.good() ? testing::attributesText(t) : findingText(r), c.expect) << c.name;
        EXPECT_TRUE(r.good() ? r.message.empty() && t.wellShaped() : t.empty()) << c.name;
    }
}

}  // namespace
}  // namespace lorvane
