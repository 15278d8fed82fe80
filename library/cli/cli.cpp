#include "cli.h"

#include <charconv>
#include <iostream>

#include "cp932.h"

namespace meklan::cli {

const std::string* ParsedArgs::Value(std::string_view option) const {
  auto it = options_.find(std::string(option));
  return it == options_.end() ? nullptr : &it->second;
}

std::optional<ParsedArgs> ParseArguments(const Command& self, const Arguments& args,
                                         std::initializer_list<OptionSpec> options,
                                         std::size_t min_positional, std::size_t max_positional) {
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
    const OptionSpec* option = nullptr;
    for (const OptionSpec& o : options) {
      if (o.name == name) option = &o;
    }
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

int UsageError(const Command& self, const std::string& message) {
  std::cerr << "meklan " << self.name << ": " << message << "\n"
            << "usage: meklan " << self.usage << "\n"
            << "Try 'meklan " << self.name << " --help'.\n";
  return kExitUsage;
}

int Fail(const Command& self, const std::string& message, int code) {
  std::cerr << "meklan " << self.name << ": " << message << "\n";
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

}  // namespace meklan::cli
