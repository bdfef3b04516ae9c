// Check Chronology: sorted by the key, every row of a run of equal keys marked (the
// mark's picture and texts are the Browser's and the command line's tests).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/rows/chronology_check.h"

namespace lorvane {
namespace {

// Rows parsed from their names, sorted and checked (Stop before the row stopAt).
std::vector<FileRow> check(const std::vector<const char*>& names, int stopAt, bool& done) {
    const GlobalSettings settings;
    RowParser parser(settings, nullptr, FileSystemService::Instance());
    std::vector<FileRow> rows(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) rows[i].Text = names[i], parser.ParseItem(rows[i]);
    SortByChronology(rows);
    std::vector<FileRow*> pointers;
    for (FileRow& r : rows) pointers.push_back(&r);
    done = CheckChronology(pointers, [&](std::int32_t position, std::int32_t) { return position != stopAt; });
    return rows;
}

TEST(ChronologyCheckTest, MarksEveryRowOfARunOfEqualKeys) {
    const struct {
        std::vector<const char*> names;  // sorted by key, they give the marks in order
        int stopAt;
        const char* marks;
    } cases[] = {
        {{"{DT=2004-07-15@14-30}{SN=12}.jpg", "{DT=2004-07-15@14-30}{SN=12}{SU=Ann}.jpg",
          "{DT=2004-07-15@14-30}{SN=13}.jpg"},
         0,
         "DD."},
        {{"{DT=2004}.jpg", "{DT=2005}.jpg", "{DT=2005}{SU=x}.jpg", "{DT=2005}{SU=y}.jpg", "{DT=2006}.jpg"}, 0, ".DDD."},
        // Names that do not parse, and names without date or numbers, share the placeholders.
        {{"holiday photo.jpg", "x{.jpg", "{SU=Ann}.jpg", "{DT=2004}.jpg"}, 0, "DDD."},
        {{"{DT=2004}.jpg", "{DT=2005}.jpg"}, 0, ".."},
        {{"holiday photo.jpg"}, 0, "."},
        {{"{DT=2004}.jpg", "{DT=2004}{SU=x}.jpg", "{DT=2004}{SU=y}.jpg"}, 2, "D.. stopped"},  // later rows unexamined
    };
    for (const auto& c : cases) {
        bool done = false;
        std::string marks;
        for (const FileRow& r : check(c.names, c.stopAt, done)) marks += r.Status == "Dupl" ? 'D' : '.';
        EXPECT_EQ(marks + (done ? "" : " stopped"), c.marks) << c.names.front();
    }
}

}  // namespace
}  // namespace lorvane
