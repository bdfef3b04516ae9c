// ValidateDateValue under random delimiters; a valid span written and read again is the same span.
#include <algorithm>

#include "engine/dates.h"
#include "invariants.h"

using namespace lorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    GlobalSettings s;
    const std::uint8_t flags = in.byte();
    if (flags & 1) s.ParseDateDelimiterDate = s.BuildDateDelimiterDate = in.delimiter();
    if (flags & 2) s.ParseDateDelimiterDateComponent = s.BuildDateDelimiterDateComponent = in.delimiter();
    if (flags & 4) s.ParseDateDelimiterTimeComponent = s.BuildDateDelimiterTimeComponent = in.delimiter();
    s.BuildDateOmitUnknownDate = (flags >> 3) & 1;
    s.BuildDateOmitRedundantTime = (flags >> 4) & 1;
    s.BuildDateInsertSpaceBetween = (flags >> 5) & 1;
    const std::string_view text = in.rest();
    if (!utf8::isValid(text)) return 0;
    const DateOptions d = MakeDateOptions(s);
    DateTime earliest, latest;
    Finding f;
    ValidateDateValue(text, earliest, latest, f, d);
    const int len = static_cast<int>(utf8::length(text));
    fuzz::require(!f.message.empty(), "a date finding always has a message");
    if (f.status == Status::Fail) {
        fuzz::require(f.position >= 1 && f.position <= len + 1, "position inside the text", f.message);
        // A value that does not begin like a year selects the four places a year takes, even in a shorter text.
        const bool yearPlaces = f.message.starts_with("Date value should begin with 4-digit year");
        fuzz::require(f.length >= 0 && f.position + f.length - 1 <= (yearPlaces ? std::max(len, 4) : len),
                      "length inside the text", f.message);
        return 0;
    }
    // Round trip only where the delimiters cannot be confused with each other or digits.
    const std::string delims[] = {s.ParseDateDelimiterDate, s.ParseDateDelimiterDateComponent,
                                  s.ParseDateDelimiterTime, s.ParseDateDelimiterTimeComponent,
                                  s.ParseDateDelimiterRange};
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (!delims[i].empty() && utf8::firstCodePoint(delims[i]) == utf8::firstCodePoint(delims[j])) return 0;
    for (const auto& dl : delims)
        if (dl == " " || dl == "a") return 0;
    if (delims[1].empty() || delims[3].empty() || delims[2].empty() || delims[4].empty()) return 0;
    const std::string built = BuildDateText(earliest, latest, d);
    DateTime e2, l2;
    Finding f2;
    ValidateDateValue(built, e2, l2, f2, d);
    fuzz::require(f2.status != Status::Fail, "a built date reads back", built + " : " + f2.message);
    fuzz::require(e2 == earliest && l2 == latest, "a built date gives the same span", built);
    return 0;
}
