// Value processing: order, duplicates, and the check and standard form of each value format.
#include <algorithm>
#include <cstdint>
#include <string>

#include "engine/dates.h"
#include "engine/digits.h"
#include "engine/semantics_run.h"
#include "engine/utf8.h"
#include "engine/values.h"

namespace lorvane::semantics {

void checkValue(Run& run, int value, std::string_view valueFormat) {
    if (valueFormat == "Text") {
        // Most values are text: always valid, and the standard form (as ValidateTextValue
        // gives it) is the text without blanks around it, so it is trimmed in place rather
        // than built and compared.
        std::string& t = run.tree[value].text;
        if (run.opt(sem_opt::ValueReformat) == 1 && !t.empty() && (t.front() == ' ' || t.back() == ' ')) {
            const std::string_view trimmed = utf8::trimSpaces(t);
            if (!trimmed.empty()) {
                const auto from = static_cast<std::size_t>(trimmed.data() - t.data()), size = trimmed.size();
                t.erase(from + size);
                t.erase(0, from);
            }
        }
        run.report(Status::Good, "Valid text value", value, 0, 0);
        return;
    }
    const std::string& text = run.tree[value].text;
    Finding& finding = run.finding;
    std::string& standard = run.standard;
    standard.clear();
    if (valueFormat == "Integer" || valueFormat == "Percent") {
        std::int32_t n = -1;
        if (valueFormat == "Integer") ValidateIntegerValue(text, n, finding);
        else ValidatePercentValue(text, n, finding);
        if (n >= 0) {
            standard.clear();
            AppendZeroPadded(standard, n, 3);  // 5 becomes 005, 1234 stays 1234
        }
    } else if (valueFormat == "Date") {
        DateTime earliest = kNoDate, latest = kNoDate;
        ValidateDateValue(text, earliest, latest, finding, run.dateOptions);
        if (finding.status != Status::Fail) BuildDateText(earliest, latest, run.dateOptions, standard);
    } else if (valueFormat == "Extension") {
        ValidateExtensionValue(text, standard, finding);
    } else {
        if (run.sink) run.sink->showError("Unable to determine value format.", "ProcessSemantics");
        return;
    }
    // An empty standard form means the value could not be written back (a date
    // beyond four-digit years); the value is kept rather than lost. The finding keeps
    // the range the check counted in the text it checked, the text before the rewrite.
    if (run.opt(sem_opt::ValueReformat) == 1 && finding.status != Status::Fail && !standard.empty() &&
        standard != text) {
        // Swapped rather than copied: the old text's buffer becomes the next scratch.
        run.tree[value].text.swap(standard);
    }
    Status status = finding.status;
    if (status != Status::Good) status = run.opt(sem_opt::ValueValidateFormat) == 1 ? Status::Warn : Status::Fail;
    run.report(status, finding.message, value, finding.position, finding.length);
}

void valueMergePass(Run& run, int parent) {
    AttributeTree& tree = run.tree;
    const bool reorder = run.opt(sem_opt::ValueReorder) == 1;
    const bool merge = run.opt(sem_opt::ValueConsolidate) == 1;
    for (int a = tree[parent].child; a; a = tree[a].next) {
        if (!tree[a].child) continue;
        if (reorder) tree.sortChildren(a);
        if (merge) mergeDuplicateSiblings(run, tree[a].child);
    }
}

void valueCheckPass(Run& run, int parent) {
    if (run.opt(sem_opt::ValueValidateFormat) < 1) return;
    AttributeTree& tree = run.tree;
    for (int a = tree[parent].child; a; a = tree[a].next) {
        if (!tree[a].child) continue;
        const AttributeEntry& e = run.entry(a);
        if (!e.known()) continue;
        for (int v = tree[a].child; v; v = tree[v].next) checkValue(run, v, e.valueFormat);
    }
}

}  // namespace lorvane::semantics
