// lorvane change-dates: the Captured Date of each file's name shifted, rounded,
// replaced or generated, and the file renamed.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/batch_command.h"
#include "cli/commands.h"
#include "core/batch/change_dates.h"

namespace lorvane::cli {

namespace {

const char kChangeDatesHelp[] =
    "Usage: lorvane change-dates MODE [COMMON]... PATH...\n"
    "Changes the Captured Date in each file's name, as the Browser's Change Dates\n"
    "does, and renames the file. MODE is one of:\n"
    "  --shift [--years N] [--months N] [--days N] [--hours N] [--minutes N] [--seconds N]\n"
    "                   move the date by whole units; components carry over\n"
    "                   (31 January plus one month is 2 or 3 March)\n"
    "  --round year|month|day|hour|minute|second\n"
    "                   widen the date to whole units of that precision\n"
    "  --replace EARLIEST LATEST\n"
    "                   write this span instead; each \"yyyy/mm/dd hh:nn:ss\",\n"
    "                   \"yyyy-mm-dd hh:mm:ss\" or \"yyyy-mm-ddThh:mm:ss\"\n"
    "  --generate created|modified|earlier|taken\n"
    "                   for names without a date: the file's creation (birth)\n"
    "                   time, its last modification, the earlier of the two, or the\n"
    "                   date the picture was taken (Exif DateTimeOriginal, then\n"
    "                   DateTimeDigitized, then DateTime)\n"
    "Names without a usable Captured Date (or, for --generate, with one) are \"not\n"
    "applicable\" and still rebuilt. File dates are local time.\n"
    "\n";

struct Choice {
    std::string_view word;
    int value;
};

std::string choose(std::string_view option, std::string_view word, std::initializer_list<Choice> choices, int& out) {
    std::string words;
    for (const Choice& c : choices) {
        if (word == c.word) {
            out = c.value;
            return {};
        }
        words += words.empty() ? "" : "|";
        words += c.word;
    }
    return std::string(option) + " takes " + words + ", not \"" + std::string(word) + "\"";
}

}  // namespace

int RunChangeDates(std::span<const char* const> args) {
    BatchArgs a;
    ChangeDatesRequest request;
    int modes = 0;
    bool shiftAmounts = false;
    std::vector<OptionSpec> specs;
    AddCommonBatchOptions(specs, a);
    specs.push_back({"--shift", "", 0, {}, [&](auto) {
                         ++modes;
                         request.mode = DateChange::Shift;
                         return std::string();
                     }});
    const std::pair<std::string_view, std::int64_t*> amounts[] = {
        {"--years", &request.shift.years}, {"--months", &request.shift.months},   {"--days", &request.shift.days},
        {"--hours", &request.shift.hours}, {"--minutes", &request.shift.minutes}, {"--seconds", &request.shift.seconds},
    };
    for (const auto& [name, field] : amounts) {
        specs.push_back({name, "", 1, "N", [&, name, field](std::span<const std::string_view> v) {
                             const FieldCheck check = ReadShiftAmount(v[0], *field);
                             shiftAmounts = true;
                             if (check == FieldCheck::Accepted) return std::string();
                             std::string e = std::string(name) + " needs a whole number, not \"" + std::string(v[0]) + "\"";
                             if (check == FieldCheck::BeyondLimit)
                                 e += " (at most " + std::to_string(kShiftLimit) + " either way)";
                             return e;
                         }});
    }
    specs.push_back({"--round", "", 1, "year|month|day|hour|minute|second", [&](std::span<const std::string_view> v) {
                         ++modes;
                         request.mode = DateChange::Round;
                         int p = 0;
                         auto e = choose(
                             "--round", v[0],
                             {{"year", 0}, {"month", 1}, {"day", 2}, {"hour", 3}, {"minute", 4}, {"second", 5}}, p);
                         request.precision = static_cast<DatePrecision>(p);
                         return e;
                     }});
    specs.push_back({"--replace", "", 2, "EARLIEST LATEST", [&](std::span<const std::string_view> v) {
                         ++modes;
                         request.mode = DateChange::Replace;
                         for (const auto& [text, t] : {std::pair{v[0], &request.earliest}, {v[1], &request.latest}}) {
                             const FieldCheck check = ReadReplaceDate(text, *t);
                             if (check == FieldCheck::Accepted) continue;
                             std::string e = "--replace needs two date-times as \"yyyy/mm/dd hh:nn:ss\", not \"" +
                                             std::string(text) + "\"";
                             if (check == FieldCheck::ZeroDate) e += " (the zero date, which stands for no date)";
                             if (check == FieldCheck::BeyondYears) e += " (the years 100 to 9999 only)";
                             return e;
                         }
                         return std::string();
                     }});
    specs.push_back(
        {"--generate", "", 1, "created|modified|earlier|taken", [&](std::span<const std::string_view> v) {
             ++modes;
             request.mode = DateChange::Generate;
             int s = 0;
             auto e = choose("--generate", v[0], {{"created", 0}, {"modified", 1}, {"earlier", 2}, {"taken", 3}}, s);
             request.source = static_cast<DateSource>(s);
             return e;
         }});

    if (auto done = CommandOpening(ParseArguments(args, specs, a.paths, "PATH", &a.literalFrom), a.help,
                                   {kChangeDatesHelp, kCommonBatchHelp}, "change-dates"))
        return *done;
    if (modes != 1) return UsageError("choose one of --shift, --round, --replace and --generate", "change-dates");
    if (shiftAmounts && request.mode != DateChange::Shift)
        return UsageError("--years, --months, --days, --hours, --minutes and --seconds go with --shift",
                          "change-dates");

    return RunBatchCommand("change-dates", args, a,
                           [&](RowParser& parser, const FileSystem& files) -> std::unique_ptr<BatchStep> {
                               return std::make_unique<ChangeDatesStep>(request, parser.pipeline().dateOptions(),
                                                                        files);
                           });
}

}  // namespace lorvane::cli
