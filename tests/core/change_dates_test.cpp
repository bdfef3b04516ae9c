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
#include "support/engine_cases.h"

namespace lorvane {
namespace {

DateTime at(std::string_view text) {
    const auto t = ReadDialogDateTime(text);
    EXPECT_TRUE(t) << text;
    return t.value_or(DateTime{});
}

std::string text(std::optional<DateTime> t) { return t ? FormatDialogDateTime(*t) : "none"; }

TEST(ChangeDatesTest, FieldTextsAreCheckedAlikeForEveryCaller) {
    using F = FieldCheck;
    const struct {
        const char* text;
        FieldCheck shift, date;
    } cases[] = {
        {"+1000000000", F::Accepted, F::NotADate}, {"-1000000000", F::Accepted, F::NotADate},
        {"1000000001", F::BeyondLimit, F::NotADate}, {"-1000000001", F::BeyondLimit, F::NotADate},
        {"99999999999999999999", F::BeyondLimit, F::NotADate}, {"seven", F::NotANumber, F::NotADate},
        {"1899/12/30 00:00:00", F::NotANumber, F::ZeroDate}, {"1899-12-30T00:00:01", F::NotANumber, F::Accepted},
        {"0099/12/31 23:59:59", F::NotANumber, F::BeyondYears},
    };
    for (const auto& c : cases) {
        std::int64_t n = 7;
        DateTime t{};
        EXPECT_EQ(ReadShiftAmount(c.text, n), c.shift) << c.text;
        EXPECT_EQ(ReadReplaceDate(c.text, t), c.date) << c.text;
        if (c.date == F::Accepted) {
            EXPECT_EQ(FormatDialogDateTime(t), "1899/12/30 00:00:01");
        }
        if (c.shift == F::NotANumber) {
            EXPECT_EQ(n, 0) << c.text;
        }
    }
}

ChangeDatesRequest shiftDays(std::int64_t days) {
    ChangeDatesRequest r;
    r.shift.days = days;
    return r;
}
ChangeDatesRequest request(DateChange mode, DateSource source = DateSource::Earlier,
                           DatePrecision precision = DatePrecision::Day) {
    ChangeDatesRequest r;
    r.mode = mode, r.source = source, r.precision = precision;
    r.earliest = at("2010/03/04 05:06:07");
    r.latest = at("2001/01/01 00:00:00");  // no order is enforced
    return r;
}

// The step on a parsed name: its answer, and the tree's attributes without the root.
// The file's dates are those of a copy: modified before created; "-" for none readable.
TEST(ChangeDatesTest, OnlyTheUsableCapturedDateChanges) {
    const FileDates dates{at("2020/01/02 03:04:05"), at("2019/12/31 23:00:00"), std::nullopt};
    using A = StepAnswer;
    const struct {
        ChangeDatesRequest request;
        const char* name;
        StepAnswer answer;
        const char* tree;
    } cases[] = {
        {shiftDays(1), "{DT=2004-05-17}{PL=Harbour}.jpg", A::Changed, "DT(2004-05-18),PL(Harbour),Extension(JPG)"},
        {shiftDays(1), "{DT=2004-05-17}{DT=2005-01-01}.jpg", A::Changed,
         "DT(2004-05-18),DT(2005-01-01),Extension(JPG)"},
        // The first is valid, the last one the search saw is not: left as it is.
        {shiftDays(1), "{DT=2004-05-17}{DT=nonsense}.jpg", A::NotApplicable,
         "DT(2004-05-17),DT(nonsense),Extension(JPG)"},
        {shiftDays(1), "{DT=nonsense}{DT=2004-05-17}.jpg", A::Changed, "DT(nonsense),DT(2004-05-18),Extension(JPG)"},
        {shiftDays(1), "{DT=2004-05-17;2009-01-01}.jpg", A::Changed, "DT(2004-05-18,2009-01-01),Extension(JPG)"},
        {shiftDays(1), "{PL=Harbour}.jpg", A::NotApplicable, "PL(Harbour),Extension(JPG)"},
        {shiftDays(1), "{DT=nonsense}.jpg", A::NotApplicable, "DT(nonsense),Extension(JPG)"},
        // About 7,940 years on: the earliest end fits, the latest does not; refused whole.
        {shiftDays(2900000), "{DT=1990~2090}.jpg", A::Failed, "DT(1990~2090),Extension(JPG)"},
        {request(DateChange::Replace), "{DT=2004-05-17}.jpg", A::Changed,
         "DT(2010-03-04 @05-06-07 ~ 2001-01-01 @00-00-00),Extension(JPG)"},
        {request(DateChange::Round, {}, DatePrecision::Month), "{DT=2004-02-10 @09-15 ~ 2004-02-12 @18-00}.jpg",
         A::Changed, "DT(2004-02),Extension(JPG)"},
        {request(DateChange::Generate, DateSource::Created), "{PL=Harbour}.jpg", A::Changed,
         "PL(Harbour),Extension(JPG),Captured Date(2020-01-02 @03-04-05)"},
        {request(DateChange::Generate, DateSource::Modified), "{PL=Harbour}.jpg", A::Changed,
         "PL(Harbour),Extension(JPG),Captured Date(2019-12-31 @23-00-00)"},
        {request(DateChange::Generate), "{PL=Harbour}.jpg", A::Changed,
         "PL(Harbour),Extension(JPG),Captured Date(2019-12-31 @23-00-00)"},
        {request(DateChange::Generate, DateSource::Taken), "{PL=Harbour}.jpg", A::NotApplicable,
         "PL(Harbour),Extension(JPG)"},
        {request(DateChange::Generate), "{DT=2004}.jpg", A::NotApplicable, "DT(2004),Extension(JPG)"},
        {request(DateChange::Generate), "{DT=nonsense}.jpg", A::Changed,
         "DT(nonsense),Extension(JPG),Captured Date(2019-12-31 @23-00-00)"},
        {request(DateChange::Generate), "{PL=Harbour}.jpg-", A::Changed, "PL(Harbour),Extension(JPG)"},
    };
    for (const auto& c : cases) {
        GlobalSettings settings;
        const DateOptions options = MakeDateOptions(settings);
        const SemanticOptions semantic = MakeSemanticOptions(settings, false);
        AttributeTree tree;
        Result r;
        std::string_view code, format, name = c.name;
        const bool readable = !name.ends_with('-');
        if (!readable) name.remove_suffix(1);
        ParseFilename(name, tree, {settings, options, semantic, nullptr}, code, format, r);
        ASSERT_TRUE(r.good()) << name << ": " << r.message;
        const StepAnswer answer = ChangeDatesInTree(c.request, tree, options, [&](FileDates& d) {
            d = dates;
            return readable;
        });
        EXPECT_EQ(testing::attributesText(tree), c.tree) << c.name;
        EXPECT_EQ(answer, c.answer) << c.name;
    }
}

// The step reads the file's dates from the file system: a file that cannot be read gets none.
TEST(ChangeDatesTest, TheStepTakesTheDatesOfTheRowsFile) {
    QTemporaryDir dir;
    const std::string there = dir.filePath("{PL=Harbour}.jpg").toStdString();
    std::ofstream(there) << "x";
    for (const std::string& key : {there, dir.filePath("gone.jpg").toStdString()}) {
        GlobalSettings settings;
        NamePipeline pipeline(settings);
        ASSERT_NE(pipeline.Evaluate("{PL=Harbour}.jpg").status, Status::Fail);  // a Warn: no date
        FileRow row;
        row.Key = key;
        ChangeDatesStep step(request(DateChange::Generate, DateSource::Modified), pipeline.dateOptions(),
                             FileSystemService::Instance());
        // Unreadable, the name is still rebuilt: Changed, without a date.
        EXPECT_EQ(step.ChangeTree(pipeline.tree(), row), StepAnswer::Changed);
        EXPECT_EQ(testing::attributesText(pipeline.tree()).find("Captured Date(") != std::string::npos, key == there);
    }
    // The date taken, through the Exif module: a file that is no picture has none.
    for (const std::string& key : {std::string(LORVANE_TEST_DATA_DIR "/exif-date-taken.jpg"), there}) {
        GlobalSettings settings;
        NamePipeline pipeline(settings);
        pipeline.Evaluate("{PL=Harbour}.jpg");
        FileRow row;
        row.Key = key;
        ChangeDatesStep step(request(DateChange::Generate, DateSource::Taken), pipeline.dateOptions(),
                             FileSystemService::Instance());
        const bool picture = key != there;
        EXPECT_EQ(step.ChangeTree(pipeline.tree(), row), picture ? StepAnswer::Changed : StepAnswer::NotApplicable);
        const std::string tree = testing::attributesText(pipeline.tree());
        EXPECT_EQ(tree.find("Captured Date(2019-03-04 @05-06-07)") != std::string::npos, picture) << tree;
    }
}

// Only a year no name can hold is refused; one outside the settings' years is built
// and the semantic layer warns about it, as it does when such a name is rebuilt.
TEST(ChangeDatesTest, ARunRefusesOnlyDatesNoNameCanHold) {
    const char* warning = "Should be 4-digit Year between 1900 and 2100";
    const struct {
        std::int64_t years;
        const char *name, *message;
    } cases[] = {
        {146, "{DT=2150-05-17}.jpg", warning},  {-1904, "{DT=0100-05-17}.jpg", warning},
        {7995, "{DT=9999-05-17}.jpg", warning}, {7996, "", kDateBeyondYears.data()},
        {-1905, "", kDateBeyondYears.data()},
    };
    for (const auto& c : cases) {
        GlobalSettings settings;
        NamePipeline pipeline(settings);
        ASSERT_TRUE(pipeline.Evaluate("{DT=2004-05-17}.jpg").good());
        ChangeDatesRequest shift;
        shift.shift.years = c.years;
        ChangeDatesStep step(shift, pipeline.dateOptions(), FileSystemService::Instance());
        const bool refused = !*c.name;
        ASSERT_EQ(step.ChangeTree(pipeline.tree(), FileRow{}), refused ? StepAnswer::Failed : StepAnswer::Changed);
        if (refused) {
            EXPECT_EQ(step.FailureReason(), c.message);
            EXPECT_EQ(testing::treeText(pipeline.tree()), "Filename(Captured Date(2004-05-17),Extension(JPG))");
            continue;
        }
        const Result& built = pipeline.BuildAgain(true);
        EXPECT_EQ(built.status, Status::Warn) << c.years;
        EXPECT_EQ(built.message, c.message) << c.years;
        EXPECT_EQ(pipeline.builtName(), c.name);
    }
}

TEST(PictureDatesTest, ExifTextsAndTheirOrderOfPreference) {
    EXPECT_EQ(text(ReadExifDateTime("2019:07:04 08:09:10")), "2019/07/04 08:09:10");
    EXPECT_EQ(text(ReadExifDateTime(std::string("2019:07:04 08:09:10\0", 20))), "2019/07/04 08:09:10");
    for (const char* bad : {"0000:00:00 00:00:00", "    :  :     :  :  ", "", "2019-07-04 08:09:10"})
        EXPECT_EQ(text(ReadExifDateTime(bad)), "none") << bad;

    QTemporaryDir dir;
    const std::string jpeg = dir.filePath("p.jpg").toStdString(), notPicture = dir.filePath("n.jpg").toStdString();
    std::filesystem::copy_file(LORVANE_SAMPLE_DIR "/holiday photo.jpg", jpeg);
    std::ofstream(notPicture) << "not a picture";
    for (const std::string& none : {jpeg, notPicture, dir.filePath("missing.jpg").toStdString()})
        EXPECT_EQ(text(ReadDateTaken(none)), "none") << none;
    // Each later key is preferred over those before it.
    for (auto [key, year] : {std::pair<const char*, std::string>{"Exif.Image.DateTime", "2001"},
                             {"Exif.Photo.DateTimeDigitized", "2002"}, {"Exif.Photo.DateTimeOriginal", "2003"}}) {
        auto image = Exiv2::ImageFactory::open(jpeg);
        image->readMetadata();
        image->exifData()[key] = year + ":02:03 04:05:06";
        image->writeMetadata();
        EXPECT_EQ(text(ReadDateTaken(jpeg)), year + "/02/03 04:05:06") << key;
    }
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
