#include "command_table.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>

#include "cp932.h"

namespace common::cli {
namespace {

// The program being run: the prefix of its messages and its global options.
const Program* g_program = nullptr;

const char* ProgramName() { return g_program != nullptr ? g_program->name : ""; }

const OptionSpec* FindOption(std::span<const OptionSpec> options, std::string_view name) {
  for (const OptionSpec& o : options) {
    if (o.name == name) return &o;
  }
  if (g_program != nullptr) {
    for (const OptionSpec& o : g_program->global_options) {
      if (o.name == name) return &o;
    }
  }
  return nullptr;
}

const Command* FindCommand(const Program& program, std::string_view name) {
  for (const Command& c : program.commands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

bool AsksForHelp(const Arguments& args) {
  for (const std::string& a : args) {
    if (a == "--") return false;
    if (IsHelp(a)) return true;
  }
  return false;
}

void PrintOverview(const Program& program, std::ostream& out) {
  out << "usage: " << program.name << (program.global_options.empty() ? "" : " [OPTIONS]")
      << " COMMAND [ARGUMENTS]\n"
      << program.description << "\nCommands:\n";
  // Each command's usage line beside its summary, so that the overview alone tells how to
  // call every command.
  auto synopsis = [](const Command& c) {
    const std::string_view usage(c.usage);
    return usage.substr(0, usage.find('\n'));
  };
  std::size_t width = 0;
  for (const Command& c : program.commands) width = std::max(width, synopsis(c).size());
  for (const Command& c : program.commands) {
    out << "  " << synopsis(c) << std::string(width + 2 - synopsis(c).size(), ' ') << c.summary << "\n";
  }
  if (program.global_help != nullptr) out << "\nOptions (before or after the command):\n" << program.global_help;
  out << "\nRun '" << program.name << " COMMAND --help' for the arguments of a command.\n" << program.epilogue;
}

void PrintCommandHelp(const Program& program, const Command& c) {
  std::cout << "usage: " << program.name << " " << c.usage << "\n" << c.summary << ".\n\n" << c.help;
  if (program.global_help != nullptr) std::cout << "\nOptions of every command:\n" << program.global_help;
}

// The position of the command's name: the first argument that is neither a global option
// nor the value of one. args.size() when there is none.
std::size_t CommandPosition(const Program& program, const Arguments& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0 || a == "--") return a == "--" ? i + 1 : i;
    const std::string name = a.substr(0, a.find('='));
    const OptionSpec* option = nullptr;
    for (const OptionSpec& o : program.global_options) {
      if (o.name == name) option = &o;
    }
    if (option == nullptr) return i;  // reported as an unknown command
    if (option->takes_value && a.find('=') == std::string::npos) ++i;
  }
  return args.size();
}

bool OutputWritten() {
  std::cout.flush();
  return std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good();
}

}  // namespace

int RunProgram(const Program& program, int argc, char** argv) {
  g_program = &program;
  Arguments args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintOverview(program, std::cerr);
    return kExitUsage;
  }
  if (program.version != nullptr && args[0] == "--version") {
    std::cout << program.name << " " << program.version() << "\n";
    return OutputWritten() ? kExitOk : kExitNotFound;
  }
  const std::size_t at = CommandPosition(program, args);
  // Help asked for before any command: the overview, or `help NAME` for one command.
  const bool help_first = std::any_of(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(std::min(at, args.size())),
                                      [](const std::string& a) { return IsHelp(a); });
  if (help_first || (at < args.size() && (IsHelp(args[at]) || args[at] == "help"))) {
    const std::size_t next = help_first ? at : at + 1;
    const Command* c = next < args.size() ? FindCommand(program, args[next]) : nullptr;
    if (c != nullptr) {
      PrintCommandHelp(program, *c);
    } else {
      PrintOverview(program, std::cout);
    }
    return OutputWritten() ? kExitOk : kExitNotFound;
  }
  if (at >= args.size()) {
    std::cerr << program.name << ": no command given\nRun '" << program.name << " --help' for the list of commands.\n";
    return kExitUsage;
  }
  const Command* command = FindCommand(program, args[at]);
  if (command == nullptr) {
    std::cerr << program.name << ": unknown command '" << Printable(args[at]) << "'\nRun '" << program.name
              << " --help' for the list of commands.\n";
    return kExitUsage;
  }
  Arguments rest(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(at));
  rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(at) + 1, args.end());
  if (AsksForHelp(rest)) {
    PrintCommandHelp(program, *command);
    return OutputWritten() ? kExitOk : kExitNotFound;
  }
  const int code = command->run(*command, rest);
  if (!OutputWritten()) {
    std::cerr << program.name << " " << command->name << ": cannot write the output\n";
    return kExitNotFound;
  }
  return code;
}

const std::string* ParsedArgs::Value(std::string_view option) const {
  auto it = options_.find(std::string(option));
  return it == options_.end() ? nullptr : &it->second;
}

std::optional<ParsedArgs> ParseArguments(const Command& self, const Arguments& args,
                                         std::span<const OptionSpec> options, std::size_t min_positional,
                                         std::size_t max_positional) {
  ParsedArgs parsed;
  bool only_positional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (only_positional || arg.rfind("--", 0) != 0) {
      parsed.positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      only_positional = true;
      continue;
    }
    std::size_t eq = arg.find('=');
    std::string name = arg.substr(0, eq);
    const OptionSpec* option = FindOption(options, name);
    if (option == nullptr) {
      UsageError(self, "unknown option " + name);
      return std::nullopt;
    }
    if (!option->takes_value) {
      if (eq != std::string::npos) {
        UsageError(self, name + " takes no value");
        return std::nullopt;
      }
      parsed.options_[name] = "";
      continue;
    }
    if (eq != std::string::npos) {
      parsed.options_[name] = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      parsed.options_[name] = args[++i];
    } else {
      UsageError(self, name + " needs a value");
      return std::nullopt;
    }
  }
  if (parsed.positional_.size() < min_positional) {
    UsageError(self, "missing argument");
    return std::nullopt;
  }
  if (parsed.positional_.size() > max_positional) {
    UsageError(self, "too many arguments");
    return std::nullopt;
  }
  return parsed;
}

std::string Printable(std::string_view message) {
  const bool utf8 = cp932::LocaleCharset() == "UTF-8";
  std::string out;
  out.reserve(message.size());
  char hex[8];
  for (std::size_t i = 0; i < message.size(); ++i) {
    const auto c = static_cast<unsigned char>(message[i]);
    const auto next = i + 1 < message.size() ? static_cast<unsigned char>(message[i + 1]) : 0;
    if (c < 0x20 || c == 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else if (utf8 && c == 0xC2 && next >= 0x80 && next <= 0x9F) {
      std::snprintf(hex, sizeof hex, "\\u%04X", next);
      out += hex;
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int UsageError(const Command& self, const std::string& message) {
  std::cerr << ProgramName() << " " << self.name << ": " << Printable(message) << "\n"
            << "usage: " << ProgramName() << " " << self.usage << "\n"
            << "Try '" << ProgramName() << " " << self.name << " --help'.\n";
  return kExitUsage;
}

int Fail(const Command& self, const std::string& message, int code) {
  std::cerr << ProgramName() << " " << self.name << ": " << Printable(message) << "\n";
  return code;
}

std::optional<std::string> ToCp932(const Command& self, const std::string& text, const char* what) {
  auto cp = cp932::FromLocale(text);
  if (!cp) {
    Fail(self,
         std::string(what) + " '" + text + "' cannot be written in CP932 (or is not valid text in the terminal's encoding " +
             cp932::LocaleCharset() + ")",
         kExitUsage);
  }
  return cp;
}

void PrintLine(std::string_view cp932_text) { std::cout << cp932::ToLocale(cp932_text) << '\n'; }

std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace common::cli
