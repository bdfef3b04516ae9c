#include "core/batch/change_dates.h"

#include <chrono>

#include "core/picture_dates.h"
#include "engine/dictionary.h"
#include "engine/utf8.h"

namespace lorvane {

using namespace std::chrono;

namespace {

constexpr std::string_view kCapturedDate = "Captured Date";

bool writable(DateTime t) {
    const auto parts = SplitDateTime(t);
    return parts && parts->year >= kFirstYear && parts->year <= kLastYear;
}

}  // namespace

UsableCapturedDate FindUsableCapturedDate(const AttributeTree& tree, const DateOptions& options) {
    UsableCapturedDate found;
    if (tree.empty() || !tree.root()) return found;
    Finding finding;
    for (int n = tree[tree.root()].child; n; n = tree[n].next) {
        const Node& attribute = tree[n];
        if (attribute.children == 0 || TranslateAttributeName(attribute.text) != kCapturedDate) continue;
        DateTime earliest{}, latest{};
        ValidateDateValue(utf8::trimSpaces(tree[attribute.child].text), earliest, latest, finding, options);
        found.lastFailed = finding.failed();
        if (!found.lastFailed && !found.valueNode) {
            found.valueNode = attribute.child;
            found.earliest = earliest;
            found.latest = latest;
        }
    }
    return found;
}

StepAnswer ChangeDatesInTree(const ChangeDatesRequest& request, AttributeTree& tree, const DateOptions& options,
                             const std::function<bool(FileDates&)>& fileDates) {
    const UsableCapturedDate usable = FindUsableCapturedDate(tree, options);
    if (request.mode == DateChange::Generate) {
        if (usable.valueNode) return StepAnswer::NotApplicable;
        FileDates dates;
        // A file that cannot be read keeps its tree; the name is still rebuilt.
        if (!fileDates || !fileDates(dates)) return StepAnswer::Changed;
        std::optional<DateTime> t;
        switch (request.source) {
            case DateSource::Created: t = dates.created; break;
            case DateSource::Modified: t = dates.modified; break;
            case DateSource::Earlier:
                t = dates.created;
                if (dates.modified && (!t || *dates.modified < *t)) t = dates.modified;
                break;
            case DateSource::Taken: t = dates.taken; break;
        }
        if (!t) return StepAnswer::NotApplicable;  // a picture without a recorded date
        if (!writable(*t)) return StepAnswer::Failed;
        AddTaggedAttribute(tree, tree.root(), kCapturedDate, BuildDateText(*t, *t, options));
        return StepAnswer::Changed;
    }

    if (!usable.valueNode || usable.lastFailed) return StepAnswer::NotApplicable;
    DateTime E = usable.earliest, L = usable.latest;
    switch (request.mode) {
        case DateChange::Round: RoundDateSpan(request.precision, E, L); break;
        case DateChange::Replace:
            E = request.earliest;
            L = request.latest;
            break;
        case DateChange::Shift: {
            const auto e = ShiftDateTime(E, request.shift), l = ShiftDateTime(L, request.shift);
            if (!e || !l) return StepAnswer::Failed;
            E = *e;
            L = *l;
            break;
        }
        case DateChange::Generate: break;
    }
    // A year the settings do not allow is still written: the semantic layer warns
    // about it, as it does when such a name is rebuilt.
    if (!writable(E) || !writable(L)) return StepAnswer::Failed;
    tree[usable.valueNode].text = BuildDateText(E, L, options);
    return StepAnswer::Changed;
}

FieldCheck ReadShiftAmount(std::string_view text, std::int64_t& amount) {
    const auto n = ReadShiftField(text);
    amount = n.value_or(0);
    if (!n) return FieldCheck::NotANumber;
    return amount > kShiftLimit || amount < -kShiftLimit ? FieldCheck::BeyondLimit : FieldCheck::Accepted;
}

FieldCheck ReadReplaceDate(std::string_view text, DateTime& dateTime) {
    const auto t = ReadDialogDateTime(text);
    if (!t) return FieldCheck::NotADate;
    // The base of the date type the dialog's texts once converted to.
    if (*t == DateTime{sys_days{std::chrono::year(1899) / 12 / 30}}) return FieldCheck::ZeroDate;
    if (!writable(*t)) return FieldCheck::BeyondYears;
    dateTime = *t;
    return FieldCheck::Accepted;
}

StepAnswer ChangeDatesStep::ChangeTree(AttributeTree& tree, const FileRow& row) {
    return ChangeDatesInTree(request_, tree, options_, [&](FileDates& dates) {
        if (request_.source == DateSource::Taken) {
            dates.taken = ReadDateTaken(row.Key);
            return true;
        }
        if (files_.GetFile(row.Key, file_).failed()) return false;
        dates.created = file_.DateCreated;
        dates.modified = file_.DateLastModified;
        return true;
    });
}

}  // namespace lorvane
