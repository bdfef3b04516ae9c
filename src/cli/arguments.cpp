#include "cli/arguments.h"

#include <charconv>

namespace lorvane::cli {

std::string ParseArguments(std::span<const char* const> args, std::span<const OptionSpec> options,
                           std::vector<std::string_view>& operands, std::string_view operandWord,
                           std::size_t* literalFrom) {
    bool operandsOnly = false;
    if (literalFrom) *literalFrom = std::size_t(-1);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (operandsOnly || a.size() < 2 || a.front() != '-') {
            operands.push_back(a);
            continue;
        }
        if (a == "--") {
            operandsOnly = true;
            if (literalFrom) *literalFrom = operands.size();
            continue;
        }
        const std::size_t eq = a.starts_with("--") ? a.find('=') : std::string_view::npos;
        const std::string_view name = a.substr(0, eq);
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& o : options)
            if (name == o.name || (!o.alias.empty() && name == o.alias)) spec = &o;
        if (!spec)
            return "unknown option \"" + std::string(a) + "\" (put -- before a " + std::string(operandWord) +
                   " that starts with '-')";
        std::vector<std::string_view> values;
        if (eq != std::string_view::npos) {
            if (spec->values != 1) return "option " + std::string(name) + " takes no value after \"=\"";
            values.push_back(a.substr(eq + 1));
        } else {
            if (args.size() - i - 1 < static_cast<std::size_t>(spec->values)) {
                if (!spec->valueWord.empty()) return std::string(name) + " needs " + std::string(spec->valueWord);
                return "option " + std::string(name) + " needs " +
                       (spec->values == 1 ? std::string("a value") : std::to_string(spec->values) + " values");
            }
            for (int k = 0; k < spec->values; ++k) values.push_back(args[++i]);
        }
        if (auto e = spec->apply(values); !e.empty()) return e;
    }
    if (literalFrom && *literalFrom == std::size_t(-1)) *literalFrom = operands.size();
    return {};
}

OptionSpec FlagOption(std::string_view name, std::string_view alias, bool& flag) {
    return {name, alias, 0, {}, [&flag](std::span<const std::string_view>) {
                flag = true;
                return std::string();
            }};
}

OptionSpec JobsOption(int& jobs) {
    return {"--jobs", "", 1, "N", [&jobs](std::span<const std::string_view> v) {
                const auto n = ReadWholeNumber(v[0]);
                if (!n || *n < 1 || *n > 1024) return "--jobs takes a number from 1, not \"" + std::string(v[0]) + "\"";
                jobs = static_cast<int>(*n);
                return std::string();
            }};
}

std::optional<std::int64_t> ReadWholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return n;
}

}  // namespace lorvane::cli
