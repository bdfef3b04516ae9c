#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rows/chronology_check.h"

namespace lorvane {
namespace {

// Rows parsed from their names, sorted and checked; which ones were marked.
struct Checked {
    std::vector<FileRow> rows;
    bool done;
};
Checked check(std::vector<const char*> names, int stopAt = 0) {
    const GlobalSettings settings;
    RowParser parser(settings, nullptr, FileSystemService::Instance());
    Checked c;
    for (const char* name : names) {
        c.rows.emplace_back().Text = name;
        parser.ParseItem(c.rows.back());
    }
    SortByChronology(c.rows);
    std::vector<FileRow*> pointers;
    for (FileRow& r : c.rows) pointers.push_back(&r);
    c.done = CheckChronology(pointers, [&](std::int32_t position, std::int32_t) { return position != stopAt; });
    return c;
}

std::string marks(const Checked& c) {
    std::string m;
    for (const FileRow& r : c.rows) m += r.Status == "Dupl" ? 'D' : '.';
    return m;
}

TEST(ChronologyCheckTest, MarksEveryRowOfARunOfEqualKeys) {
    const struct {
        std::vector<const char*> names;  // sorted by key, they give the marks in order
        const char* marks;
    } cases[] = {
        {{"{DT=2004-07-15@14-30}{SN=12}.jpg", "{DT=2004-07-15@14-30}{SN=12}{SU=Ann}.jpg",
          "{DT=2004-07-15@14-30}{SN=13}.jpg"},
         "DD."},
        {{"{DT=2004}.jpg", "{DT=2005}.jpg", "{DT=2005}{SU=x}.jpg", "{DT=2005}{SU=y}.jpg", "{DT=2006}.jpg"}, ".DDD."},
        // Names that do not parse, and names without date or numbers, share the placeholders.
        {{"holiday photo.jpg", "x{.jpg", "{SU=Ann}.jpg", "{DT=2004}.jpg"}, "DDD."},
        {{"{DT=2004}.jpg", "{DT=2005}.jpg"}, ".."},
        {{"holiday photo.jpg"}, "."},
    };
    for (const auto& c : cases) EXPECT_EQ(marks(check(c.names)), c.marks) << c.names.front();
}

TEST(ChronologyCheckTest, AMarkIsPictureStatusAndMessageAndAUniqueKeyKeepsItsOwn) {
    const Checked c = check({"{DT=2005}.jpg", "{DT=2004}{SU=x}.jpg", "{DT=2004}.jpg"});
    ASSERT_TRUE(c.done);
    std::string rows;  // sorted ascending, equal keys in the order they came
    for (const FileRow& r : c.rows)
        rows += r.Text + " " + r.Status + " " + r.Message + " " + std::to_string(r.Icon) + "|";
    EXPECT_EQ(rows,
              "{DT=2004}{SU=x}.jpg Dupl Duplicate chronology 4|{DT=2004}.jpg Dupl Duplicate chronology 4|"
              "{DT=2005}.jpg Good Lorvane Data 2.x 1|");
}

TEST(ChronologyCheckTest, StopLeavesLaterRowsUnexamined) {
    const Checked c = check({"{DT=2004}.jpg", "{DT=2004}{SU=x}.jpg", "{DT=2004}{SU=y}.jpg"}, 2);
    EXPECT_FALSE(c.done);
    EXPECT_EQ(marks(c), "D..");
}

}  // namespace
}  // namespace lorvane
