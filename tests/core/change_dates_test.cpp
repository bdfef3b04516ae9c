#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <exiv2/exiv2.hpp>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/batch/change_dates.h"
#include "core/picture_dates.h"
#include "engine/dispatch.h"
#include "engine/pipeline.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

DateTime at(std::string_view text) {
    const auto t = ReadDialogDateTime(text);
    EXPECT_TRUE(t) << text;
    return t.value_or(DateTime{});
}

std::string text(std::optional<DateTime> t) { return t ? FormatDialogDateTime(*t) : "none"; }

TEST(ChangeDatesTest, FieldTextsAreCheckedAlikeForEveryCaller) {
    struct Case {
        const char* text;
        FieldCheck shift, date;
    } cases[] = {
        {"+1000000000", FieldCheck::Accepted, FieldCheck::NotADate},
        {"-1000000000", FieldCheck::Accepted, FieldCheck::NotADate},
        {"1000000001", FieldCheck::BeyondLimit, FieldCheck::NotADate},
        {"-1000000001", FieldCheck::BeyondLimit, FieldCheck::NotADate},
        {"99999999999999999999", FieldCheck::BeyondLimit, FieldCheck::NotADate},
        {"seven", FieldCheck::NotANumber, FieldCheck::NotADate},
        {"1899/12/30 00:00:00", FieldCheck::NotANumber, FieldCheck::ZeroDate},
        {"1899-12-30T00:00:01", FieldCheck::NotANumber, FieldCheck::Accepted},
        {"0099/12/31 23:59:59", FieldCheck::NotANumber, FieldCheck::BeyondYears},
    };
    for (const auto& c : cases) {
        std::int64_t n = 7;
        DateTime t{};
        EXPECT_EQ(ReadShiftAmount(c.text, n), c.shift) << c.text;
        EXPECT_EQ(ReadReplaceDate(c.text, t), c.date) << c.text;
        if (c.date == FieldCheck::Accepted) {
            EXPECT_EQ(FormatDialogDateTime(t), "1899/12/30 00:00:01");
        }
        if (c.shift == FieldCheck::NotANumber) {
            EXPECT_EQ(n, 0) << c.text;
        }
    }
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
    };
    for (const auto& c : cases) {
        Step s;
        EXPECT_EQ(s.run(c.name, shift), c.tree) << c.name;
        EXPECT_EQ(s.answer, c.answer) << c.name;
    }
}

// Only a year no name can hold is refused; one outside the settings' years is built
// and the semantic layer warns about it, as it does when such a name is rebuilt.
TEST(ChangeDatesTest, ARunRefusesOnlyDatesNoNameCanHold) {
    struct Case {
        std::int64_t years;
        StepAnswer answer;
        Status status;
        const char *name, *message;
    } cases[] = {
        {146, StepAnswer::Changed, Status::Warn, "{DT=2150-05-17}.jpg", "Should be 4-digit Year between 1900 and 2100"},
        {-1904, StepAnswer::Changed, Status::Warn, "{DT=0100-05-17}.jpg", "Should be 4-digit Year between 1900 and 2100"},
        {7995, StepAnswer::Changed, Status::Warn, "{DT=9999-05-17}.jpg", "Should be 4-digit Year between 1900 and 2100"},
        {7996, StepAnswer::Failed, Status::Good, "", "The new date lies outside the years 100 to 9999"},
        {-1905, StepAnswer::Failed, Status::Good, "", "The new date lies outside the years 100 to 9999"},
    };
    for (const auto& c : cases) {
        GlobalSettings settings;
        NamePipeline pipeline(settings);
        ASSERT_TRUE(pipeline.Evaluate("{DT=2004-05-17}.jpg").good());
        ChangeDatesRequest shift;
        shift.shift.years = c.years;
        ChangeDatesStep step(shift, pipeline.dateOptions(), FileSystemService::Instance());
        ASSERT_EQ(step.ChangeTree(pipeline.tree(), FileRow{}), c.answer) << c.years;
        if (c.answer == StepAnswer::Failed) {
            EXPECT_EQ(step.FailureReason(), c.message);
            EXPECT_EQ(testing::treeText(pipeline.tree()), "Filename(Captured Date(2004-05-17),Extension(JPG))");
            continue;
        }
        const Result& built = pipeline.BuildAgain(true);
        EXPECT_EQ(built.status, c.status) << c.years;
        EXPECT_EQ(built.message, c.message) << c.years;
        EXPECT_EQ(pipeline.builtName(), c.name);
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
    // Sparse; kept under a file-size limit the tests may run with.
    std::uintmax_t size = std::uintmax_t{2} << 30;
    if (rlimit limit{}; ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        size = std::min<std::uintmax_t>(size, limit.rlim_cur / 2);
    for (const char* name : {"big.tif", "start.jpg"}) std::filesystem::resize_file(path(name), size);
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
