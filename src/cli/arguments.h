// The one argument parser of the commands: options from a table, operands in
// order, "--" ending the options, "-" an operand (standard input).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lorvane::cli {

struct OptionSpec {
    std::string_view name;   // "--apply"
    std::string_view alias;  // "-r", or empty
    int values = 0;          // how many arguments follow it (one may also be given as --name=VALUE)
    std::string_view valueWord;  // what the values are, for the message when they are missing
    // Takes the option's values; returns an error text, or empty.
    std::function<std::string(std::span<const std::string_view> values)> apply;
};

// Fills operands; returns the first error text ("unknown option ...", "--x needs
// a value"), or empty. operandWord names the operands in the hint for a leading "-".
// literalFrom, when given, gets the index of the first operand after "--" (a "-"
// there names itself, not standard input); operands.size() when there is none.
std::string ParseArguments(std::span<const char* const> args, std::span<const OptionSpec> options,
                           std::vector<std::string_view>& operands, std::string_view operandWord,
                           std::size_t* literalFrom = nullptr);

// An option that only sets a flag.
OptionSpec FlagOption(std::string_view name, std::string_view alias, bool& flag);

// --jobs N: the threads the row work runs on (1: this one alone), N from 1.
OptionSpec JobsOption(int& jobs);

// A whole number for an option's value, or nothing.
std::optional<std::int64_t> ReadWholeNumber(std::string_view text);

}  // namespace lorvane::cli
