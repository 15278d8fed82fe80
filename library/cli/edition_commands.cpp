// meklan join, and the --edition option of the look-up commands.
#include <string>

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

std::optional<int> EditionOption(const Command& self, const ParsedArgs& parsed) {
  const std::string* value = parsed.Value("--edition");
  if (value == nullptr) return MEKLAN_EDITION_2003;
  return EditionNamed(self, *value);
}

int RunJoin(const Command& self, const Arguments& args) {
  auto parsed = ParseArguments(self, args, {{"--edition", true}}, 2, 3);
  if (!parsed) return kExitUsage;
  auto edition = EditionOption(self, *parsed);
  if (!edition) return kExitUsage;
  const std::string& code = (*parsed)[0];
  if (!IsCode(code)) return UsageError(self, "CODE is a five-digit local-government code, not '" + code + "'");
  auto town = ToCp932(self, (*parsed)[1], "town");
  if (!town) return kExitUsage;
  std::optional<std::string> street;
  if (parsed->Count() > 2) {
    street = ToCp932(self, (*parsed)[2], "street");
    if (!street) return kExitUsage;
  }
  MKJOIN join;
  int count = MEKLAN_EditionJoin(*edition, code.c_str(), town->c_str(), street ? street->c_str() : nullptr, &join);
  if (count <= 0) return Fail(self, "no MA serves " + code + " '" + (*parsed)[1] + "'");
  PrintLine(kJoinWays[join.how]);
  const MKMA* ma = MEKLAN_EditionGetMKMA(*edition);
  for (int i = 0; i < count && i < MEKLAN_JOIN_MAX; ++i) {
    const MKMA& r = ma[join.maIndex[i]];
    char codes[MEKLAN_AREACODE_SIZE];
    MEKLAN_EditionGetAreaCode(*edition, r.maName, r.branch, codes, sizeof codes);
    PrintLine(std::string(r.maName) + "\t" + codes);
  }
  return kExitOk;
}

}  // namespace meklan::cli
