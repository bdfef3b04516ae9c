// The commands of `lorvane` and what they share: exit codes, help texts.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

namespace lorvane::cli {

// 0: every name processed; 1: some final status is "Fail"; 2: usage error.
// A run stopped by Ctrl+C, or by its output's reader going away, ends as a
// shell reports a process ended by that signal.
enum ExitCode : int { ExitOk = 0, ExitFail = 1, ExitUsage = 2, ExitInterrupted = 130, ExitOutputClosed = 141 };

extern const char kMainHelp[];
extern const char kCheckHelp[];
extern const char kSettingsHelp[];
extern const char kListHelp[];

// Prints "lorvane: <message>" and a pointer to the help; returns ExitUsage.
int UsageError(std::string_view message, std::string_view command);

// How every command opens, after parsing its arguments: a parse error is a usage
// error; --help prints the command's help texts in turn. Either ends the command
// with the exit code returned; nullopt lets it go on. help is read by reference:
// it is set by the parse that yields parseError, in the same call.
std::optional<int> CommandOpening(std::string_view parseError, const bool& help,
                                  std::initializer_list<const char*> helpTexts, std::string_view command);

// Arguments after the command word.
int RunCheck(std::span<const char* const> args);
int RunSettings(std::span<const char* const> args);
int RunList(std::span<const char* const> args);
int RunRebuild(std::span<const char* const> args);
int RunChangeDates(std::span<const char* const> args);
int RunChangeSequence(std::span<const char* const> args);
int RunAddContent(std::span<const char* const> args);
int RunRemoveContent(std::span<const char* const> args);
int RunUndo(std::span<const char* const> args);
int RunCopy(std::span<const char* const> args);
int RunMove(std::span<const char* const> args);
int RunDelete(std::span<const char* const> args);
int RunLink(std::span<const char* const> args);
int RunSelect(std::span<const char* const> args);
int RunChronology(std::span<const char* const> args);

}  // namespace lorvane::cli
