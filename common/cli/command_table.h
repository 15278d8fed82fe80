// What the two command-line tools (meklan, tovra-search) share: a table of subcommands, the
// argument parser, usage errors and --help from the table, the text conversion between the
// terminal and CP932, and the exit codes.
//
// A subcommand is `int RunX(const Command&, const Arguments&)`: it parses its arguments with
// ParseArguments, converts what it reads, calls the engine and prints. RunProgram finds the
// subcommand in the table and answers --help and --version itself.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace common::cli {

// Exit codes: 0 success, 1 the question names nothing or a file failed, 2 the command line
// cannot be understood (including text that has no CP932 form).
constexpr int kExitOk = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitUsage = 2;

struct Command;
using Arguments = std::vector<std::string>;
using RunFunction = int (*)(const Command& self, const Arguments& args);

struct Command {
  const char* name;
  RunFunction run;
  const char* usage;    // after the program's name: "ma KEY [--pref PREFECTURE|INDEX] [--raw]"
  const char* summary;  // one line for the command list
  const char* help;     // the body of `PROGRAM NAME --help`
};

struct OptionSpec {
  std::string_view name;  // "--pref"
  bool takes_value;
};

// A command-line tool: its name, its commands, and the options every command accepts (also
// before the command's name).
struct Program {
  const char* name;
  std::span<const Command> commands;
  std::span<const OptionSpec> global_options;
  const char* description;  // the lines after the usage line of the overview
  const char* epilogue;     // the lines after the command list (and the global options)
  const char* global_help;  // the global options explained; nullptr when there are none
  // The text of --version; nullptr when the program has none.
  std::string (*version)();
};

// Runs the command named on the command line (after any global options), or the overview
// for --help/-h/help, a command's help for `NAME --help`. Checks that standard output was
// written: a write error is exit code 1 with a message.
int RunProgram(const Program& program, int argc, char** argv);

// The tool that the shared main() (library `climain`) runs: each tool linking it defines
// this one Program.
extern const Program kThisProgram;

// The arguments of one subcommand split into positional arguments and options.
class ParsedArgs {
 public:
  std::size_t Count() const { return positional_.size(); }
  const std::string& operator[](std::size_t i) const { return positional_[i]; }
  bool Has(std::string_view option) const { return options_.count(std::string(option)) != 0; }
  // The value of an option that takes one, or nullptr when it was not given.
  const std::string* Value(std::string_view option) const;

 private:
  friend std::optional<ParsedArgs> ParseArguments(const Command&, const Arguments&, std::span<const OptionSpec>,
                                                  std::size_t, std::size_t);
  std::vector<std::string> positional_;
  std::map<std::string, std::string> options_;
};

// Accepts "--name value", "--name=value" and "--" (the rest is positional); anything else
// that starts with "--" must be a known option or one of the program's global options. Keys
// may start with "-" (-0166), so a single dash is positional. On a usage error prints it
// with the usage line and returns nullopt.
std::optional<ParsedArgs> ParseArguments(const Command& self, const Arguments& args,
                                         std::span<const OptionSpec> options, std::size_t min_positional,
                                         std::size_t max_positional);
inline std::optional<ParsedArgs> ParseArguments(const Command& self, const Arguments& args,
                                                std::initializer_list<OptionSpec> options,
                                                std::size_t min_positional, std::size_t max_positional) {
  return ParseArguments(self, args, std::span<const OptionSpec>(options.begin(), options.size()), min_positional,
                        max_positional);
}

// `message` as it may reach the terminal: every control character (C0, DEL and, in a UTF-8
// locale, C1) written as \xNN or \u00NN, so that an argument echoed in a message cannot send
// an escape sequence. Every message the tools write on stderr goes through it.
std::string Printable(std::string_view message);

// "PROGRAM NAME: message" plus the usage line on stderr; returns kExitUsage.
int UsageError(const Command& self, const std::string& message);
// "PROGRAM NAME: message" on stderr; returns `code`.
int Fail(const Command& self, const std::string& message, int code = kExitNotFound);

// Terminal text (the locale's charset) -> CP932. Text without a CP932 form is reported as
// a usage error naming `what`, and nullopt is returned.
std::optional<std::string> ToCp932(const Command& self, const std::string& text, const char* what);
// A CP932 line to stdout in the terminal's charset.
void PrintLine(std::string_view cp932_text);

// A whole decimal integer, optionally negative; nullopt for anything else.
std::optional<int> ParseInt(std::string_view text);

}  // namespace common::cli
