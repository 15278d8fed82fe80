// meklan join, and the --edition option of the look-up commands.
#include <string>
#include <vector>

#include "commands.h"
#include "edition_option.h"
#include "meklan.h"

namespace meklan::cli {
namespace {

const char* const kJoinWays[] = {"none", "whole", "part", "straddling", "catch-all"};

bool IsCode(const std::string& text) {
  return text.size() == 5 && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

std::optional<EditionArgs> ParseWithEdition(const Command& self, const Arguments& args,
                                            std::initializer_list<OptionSpec> options, std::size_t min_positional,
                                            std::size_t max_positional) {
  std::vector<OptionSpec> all(options);
  all.push_back({"--edition", true});
  auto parsed = ParseArguments(self, args, all, min_positional, max_positional);
  if (!parsed) return std::nullopt;
  const std::string* value = parsed->Value("--edition");
  const std::optional<int> edition = value == nullptr ? MEKLAN_EDITION_2003 : EditionNamed(self, *value);
  if (!edition) return std::nullopt;
  return EditionArgs{std::move(*parsed), *edition};
}

int RunJoin(const Command& self, const Arguments& args) {
  auto in = ParseWithEdition(self, args, {}, 2, 3);
  if (!in) return kExitUsage;
  const std::string& code = in->args[0];
  if (!IsCode(code)) return UsageError(self, "CODE is a five-digit local-government code, not '" + code + "'");
  auto town = ToCp932(self, in->args[1], "town");
  if (!town) return kExitUsage;
  std::optional<std::string> street;
  if (in->args.Count() > 2) {
    street = ToCp932(self, in->args[2], "street");
    if (!street) return kExitUsage;
  }
  MKJOIN join;
  int count = MEKLAN_EditionJoin(in->edition, code.c_str(), town->c_str(), street ? street->c_str() : nullptr, &join);
  if (count <= 0) return Fail(self, "no MA serves " + code + " '" + in->args[1] + "'");
  PrintLine(kJoinWays[join.how]);
  const MKMA* ma = MEKLAN_EditionGetMKMA(in->edition);
  for (int i = 0; i < count && i < MEKLAN_JOIN_MAX; ++i) {
    const MKMA& r = ma[join.maIndex[i]];
    char codes[MEKLAN_AREACODE_SIZE];
    MEKLAN_EditionGetAreaCode(in->edition, r.maName, r.branch, codes, sizeof codes);
    PrintLine(std::string(r.maName) + "\t" + codes);
  }
  return kExitOk;
}

}  // namespace meklan::cli
