#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <exiv2/exiv2.hpp>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/batch/change_dates.h"
#include "core/picture_dates.h"
#include "engine/dispatch.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

DateTime at(std::string_view text) {
    const auto t = ReadDialogDateTime(text);
    EXPECT_TRUE(t) << text;
    return t.value_or(DateTime{});
}

std::string text(std::optional<DateTime> t) { return t ? FormatDialogDateTime(*t) : "none"; }

TEST(ChangeDatesTest, ShiftCarriesComponentByComponent) {
    struct Case {
        const char* from;
        DateShift shift;
        const char* to;
    } cases[] = {
        {"2004/01/31 10:00:00", {0, 1, 0, 0, 0, 0}, "2004/03/02 10:00:00"},  // 31 February carries into March
        {"2004/12/31 23:30:00", {0, 0, 0, 0, 45, 0}, "2005/01/01 00:15:00"},
        {"2004/03/01 00:00:00", {0, 0, -1, 0, 0, 0}, "2004/02/29 00:00:00"},
        {"2004/06/15 12:00:00", {0, 7, 0, 0, 0, 0}, "2005/01/15 12:00:00"},    // month 13
        {"2004/01/15 12:00:00", {0, -1, 0, 0, 0, 0}, "2003/12/15 12:00:00"},   // month 0
        {"2004/05/01 23:00:00", {0, 0, 0, 1, 0, 0}, "2004/05/02 00:00:00"},    // hour 24
        {"2004/05/01 00:00:00", {0, 0, 0, 0, 0, -1}, "2004/04/30 23:59:59"},   // second -1
        {"2004/02/29 00:00:00", {1, 0, 0, 0, 0, 0}, "2005/03/01 00:00:00"},
        {"2004/02/29 00:00:00", {0, 0, 0, 0, 0, 0}, "2004/02/29 00:00:00"},
        {"9999/12/31 23:59:59", {0, 0, 0, 0, 0, 1}, "none"},                   // past year 9999
        {"2004/01/01 00:00:00", {std::int64_t{1} << 50, 0, 0, 0, 0, 0}, "none"},
    };
    for (const auto& c : cases) EXPECT_EQ(text(ShiftDateTime(at(c.from), c.shift)), c.to) << c.from;
}

TEST(ChangeDatesTest, RoundWidensToWholeUnits) {
    struct Case {
        DatePrecision precision;
        const char *earliest, *latest;
    } cases[] = {
        {DatePrecision::Year, "2004/01/01 00:00:00", "2004/12/31 23:59:59"},
        {DatePrecision::Month, "2004/02/01 00:00:00", "2004/02/29 23:59:59"},
        {DatePrecision::Day, "2004/02/10 00:00:00", "2004/02/12 23:59:59"},
        {DatePrecision::Hour, "2004/02/10 09:00:00", "2004/02/12 18:59:59"},
        {DatePrecision::Minute, "2004/02/10 09:15:00", "2004/02/12 18:00:59"},
        {DatePrecision::Second, "2004/02/10 09:15:07", "2004/02/12 18:00:00"},
    };
    for (const auto& c : cases) {
        DateTime e = at("2004/02/10 09:15:07"), l = at("2004/02/12 18:00:00");
        RoundDateSpan(c.precision, e, l);
        EXPECT_EQ(FormatDialogDateTime(e), c.earliest);
        EXPECT_EQ(FormatDialogDateTime(l), c.latest);
    }
}

TEST(ChangeDatesTest, DialogFieldsReadAndWrite) {
    EXPECT_EQ(text(ReadDialogDateTime("2004/02/29 13:14:15")), "2004/02/29 13:14:15");
    EXPECT_EQ(text(ReadDialogDateTime("2004-02-29 13:14:15")), "2004/02/29 13:14:15");
    EXPECT_EQ(text(ReadDialogDateTime(" 2004-02-29T13:14:15 ")), "2004/02/29 13:14:15");
    for (const char* bad : {"", "2004/02/30 00:00:00", "2004/02/29T13:14:15", "2004-02/29 13:14:15",
                            "2004/02/29 24:00:00", "2004/02/29", "yesterday", "2004/2/29 13:14:15"})
        EXPECT_EQ(text(ReadDialogDateTime(bad)), "none") << bad;

    struct Case {
        const char* typed;
        const char* shown;
    } fields[] = {{"7", "+7"}, {"+5", "+5"}, {"-3", "-3"}, {"0", "+0"}, {"abc", "+0"}, {"", "+0"}, {" 12 ", "+12"},
                  {"1.5", "+0"}, {"99999999999999999999", "+0"}};
    for (const auto& f : fields) EXPECT_EQ(FormatShiftField(ReadShiftField(f.typed)), f.shown) << f.typed;
}

// Runs the step on a parsed name and gives the tree's date texts back.
struct Step {
    GlobalSettings settings;
    DateOptions options = MakeDateOptions(settings);
    SemanticOptions semantic = MakeSemanticOptions(settings, false);
    AttributeTree tree;
    StepAnswer answer{};

    std::string run(std::string_view name, const ChangeDatesRequest& request, const FileDates* dates = nullptr) {
        Result r;
        std::string_view code, format;
        ParseFilename(name, tree, {settings, options, semantic, nullptr}, code, format, r);
        EXPECT_TRUE(r.good()) << name << ": " << r.message;
        answer = ChangeDatesInTree(request, tree, options, [&](FileDates& d) {
            if (!dates) return false;
            d = *dates;
            return true;
        });
        return testing::treeText(tree);
    }
};

TEST(ChangeDatesTest, OnlyTheUsableCapturedDateChanges) {
    ChangeDatesRequest shift;
    shift.shift.days = 1;
    struct Case {
        const char* name;
        StepAnswer answer;
        const char* tree;
    } cases[] = {
        {"{DT=2004-05-17}{PL=Harbour}.jpg", StepAnswer::Changed,
         "Filename(DT(2004-05-18),PL(Harbour),Extension(JPG))"},
        {"{DT=2004-05-17}{DT=2005-01-01}.jpg", StepAnswer::Changed,
         "Filename(DT(2004-05-18),DT(2005-01-01),Extension(JPG))"},
        // The first is valid, the last one the search saw is not: left as it is.
        {"{DT=2004-05-17}{DT=nonsense}.jpg", StepAnswer::NotApplicable,
         "Filename(DT(2004-05-17),DT(nonsense),Extension(JPG))"},
        {"{DT=nonsense}{DT=2004-05-17}.jpg", StepAnswer::Changed,
         "Filename(DT(nonsense),DT(2004-05-18),Extension(JPG))"},
        {"{DT=2004-05-17;2009-01-01}.jpg", StepAnswer::Changed, "Filename(DT(2004-05-18,2009-01-01),Extension(JPG))"},
        {"{PL=Harbour}.jpg", StepAnswer::NotApplicable, "Filename(PL(Harbour),Extension(JPG))"},
        {"{DT=nonsense}.jpg", StepAnswer::NotApplicable, "Filename(DT(nonsense),Extension(JPG))"},
        {"{DT=2100-12-31}.jpg", StepAnswer::Failed, "Filename(DT(2100-12-31),Extension(JPG))"},  // past the years allowed
    };
    for (const auto& c : cases) {
        Step s;
        EXPECT_EQ(s.run(c.name, shift), c.tree) << c.name;
        EXPECT_EQ(s.answer, c.answer) << c.name;
    }
}

TEST(ChangeDatesTest, ReplaceAndRoundWriteThroughTheBuildSettings) {
    ChangeDatesRequest replace;
    replace.mode = DateChange::Replace;
    replace.earliest = at("2010/03/04 05:06:07");
    replace.latest = at("2001/01/01 00:00:00");  // no order is enforced
    Step s;
    EXPECT_EQ(s.run("{DT=2004-05-17}.jpg", replace), "Filename(DT(2010-03-04 @05-06-07 ~ 2001-01-01 @00-00-00),Extension(JPG))");

    ChangeDatesRequest round;
    round.mode = DateChange::Round;
    round.precision = DatePrecision::Month;
    Step r;
    EXPECT_EQ(r.run("{DT=2004-02-10 @09-15 ~ 2004-02-12 @18-00}.jpg", round), "Filename(DT(2004-02),Extension(JPG))");
}

TEST(ChangeDatesTest, GenerateAppendsADateFromTheChosenSource) {
    FileDates dates{at("2020/01/02 03:04:05"), at("2019/12/31 23:00:00"), std::nullopt};
    struct Case {
        DateSource source;
        const char* tree;
        StepAnswer answer;
    } cases[] = {
        {DateSource::Created, "Filename(PL(Harbour),Extension(JPG),Captured Date(2020-01-02 @03-04-05))",
         StepAnswer::Changed},
        {DateSource::Modified, "Filename(PL(Harbour),Extension(JPG),Captured Date(2019-12-31 @23-00-00))",
         StepAnswer::Changed},
        // Modified before created, as after a copy: the modification date.
        {DateSource::Earlier, "Filename(PL(Harbour),Extension(JPG),Captured Date(2019-12-31 @23-00-00))",
         StepAnswer::Changed},
        {DateSource::Taken, "Filename(PL(Harbour),Extension(JPG))", StepAnswer::NotApplicable},
    };
    for (const auto& c : cases) {
        ChangeDatesRequest generate;
        generate.mode = DateChange::Generate;
        generate.source = c.source;
        Step s;
        EXPECT_EQ(s.run("{PL=Harbour}.jpg", generate, &dates), c.tree);
        EXPECT_EQ(s.answer, c.answer);
    }

    ChangeDatesRequest generate;
    generate.mode = DateChange::Generate;
    Step has, unreadable, invalid;
    has.run("{DT=2004}.jpg", generate, &dates);
    EXPECT_EQ(has.answer, StepAnswer::NotApplicable);
    EXPECT_EQ(unreadable.run("{PL=Harbour}.jpg", generate, nullptr), "Filename(PL(Harbour),Extension(JPG))");
    EXPECT_EQ(unreadable.answer, StepAnswer::Changed);
    EXPECT_EQ(invalid.run("{DT=nonsense}.jpg", generate, &dates),
              "Filename(DT(nonsense),Extension(JPG),Captured Date(2019-12-31 @23-00-00))");
}

TEST(PictureDatesTest, ExifTextsAndTheirOrderOfPreference) {
    EXPECT_EQ(text(ReadExifDateTime("2019:07:04 08:09:10")), "2019/07/04 08:09:10");
    EXPECT_EQ(text(ReadExifDateTime(std::string("2019:07:04 08:09:10\0", 20))), "2019/07/04 08:09:10");
    for (const char* bad : {"0000:00:00 00:00:00", "    :  :     :  :  ", "", "2019-07-04 08:09:10"})
        EXPECT_EQ(text(ReadExifDateTime(bad)), "none") << bad;

    QTemporaryDir dir;
    const std::string jpeg = dir.filePath("p.jpg").toStdString();
    std::filesystem::copy_file(LORVANE_SAMPLE_DIR "/holiday photo.jpg", jpeg);
    EXPECT_EQ(text(ReadDateTaken(jpeg)), "none");
    auto write = [&](const char* key, const char* value) {
        auto image = Exiv2::ImageFactory::open(jpeg);
        image->readMetadata();
        image->exifData()[key] = value;
        image->writeMetadata();
    };
    write("Exif.Image.DateTime", "2001:02:03 04:05:06");
    EXPECT_EQ(text(ReadDateTaken(jpeg)), "2001/02/03 04:05:06");
    write("Exif.Photo.DateTimeDigitized", "2002:02:03 04:05:06");
    EXPECT_EQ(text(ReadDateTaken(jpeg)), "2002/02/03 04:05:06");
    write("Exif.Photo.DateTimeOriginal", "2003:02:03 04:05:06");
    EXPECT_EQ(text(ReadDateTaken(jpeg)), "2003/02/03 04:05:06");

    const std::string notPicture = dir.filePath("n.jpg").toStdString();
    std::ofstream(notPicture) << "not a picture";
    EXPECT_EQ(text(ReadDateTaken(notPicture)), "none");
    EXPECT_EQ(text(ReadDateTaken(dir.filePath("missing.jpg").toStdString())), "none");
}

// A picture's date comes from its metadata's part of the file alone, so a 2 GB
// file takes no longer than a small one; a FIFO in a picture's place is not
// waited for.
TEST(PictureDatesTest, ReadsOnlyTheMetadataOfRegularFiles) {
    using namespace std::chrono_literals;
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
    // A TIFF, as a JPEG's Exif segment holds one after its six-byte label.
    Exiv2::ExifData exif;
    exif["Exif.Photo.DateTimeOriginal"] = "2003:02:03 04:05:06";
    Exiv2::Blob tiff;
    Exiv2::ExifParser::encode(tiff, nullptr, 0, Exiv2::littleEndian, exif);
    std::ofstream(path("big.tif")).write(reinterpret_cast<const char*>(tiff.data()),
                                         static_cast<std::streamsize>(tiff.size()));
    std::ofstream(path("start.jpg")) << "\xFF\xD8";  // a JPEG's start, then zeros to look through
    for (const char* name : {"big.tif", "start.jpg"})
        std::filesystem::resize_file(path(name), std::uintmax_t{2} << 30);  // sparse
    ASSERT_EQ(::mkfifo(path("fifo.jpg").c_str(), 0600), 0);
    // Should the FIFO be waited for after all, a writer comes to end the wait.
    std::atomic<bool> done{false};
    std::jthread writer([&] {
        for (int i = 0; i < 30 && !done; ++i) std::this_thread::sleep_for(100ms);
        if (!done) ::close(::open(path("fifo.jpg").c_str(), O_WRONLY | O_NONBLOCK));
    });

    const struct {
        const char* name;
        const char* taken;
    } cases[] = {{"big.tif", "2003/02/03 04:05:06"}, {"start.jpg", "none"}, {"fifo.jpg", "none"}};
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(text(ReadDateTaken(path(c.name))), c.taken) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << c.name;
    }
    done = true;
}

}  // namespace
}  // namespace lorvane
