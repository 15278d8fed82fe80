// meklan ma, meklan areacode: the two search exports.
#include <set>
#include <string>
#include <string_view>

#include "commands.h"
#include "cp932.h"
#include "meklan.h"
#include "tables/tables.h"

namespace meklan::cli {
namespace {

// --pref takes a prefecture name or its 0-based index in the library's prefecture table.
std::optional<int> PrefectureIndex(const Command& self, const std::string& text) {
  if (auto index = ParseInt(text)) {
    if (*index >= 0 && *index < kPrefectureCount) return index;
    UsageError(self, "--pref index " + text + " is not between 0 and 46");
    return std::nullopt;
  }
  auto name = ToCp932(self, text, "prefecture");
  if (!name) return std::nullopt;
  for (int i = 0; i < kPrefectureCount; ++i) {
    if (*name == kPrefectureTable[i]) return i;
  }
  UsageError(self, "unknown prefecture '" + text + "' (see 'meklan table prefectures')");
  return std::nullopt;
}

}  // namespace

int RunMa(const Command& self, const Arguments& args) {
  auto parsed = ParseArguments(self, args, {{"--pref", true}, {"--raw", false}, {"--edition", true}}, 1, 1);
  if (!parsed) return kExitUsage;
  auto edition = EditionOption(self, *parsed);
  if (!edition) return kExitUsage;
  auto key = ToCp932(self, (*parsed)[0], "key");
  if (!key) return kExitUsage;
  int pref = -1;
  if (const std::string* p = parsed->Value("--pref")) {
    auto index = PrefectureIndex(self, *p);
    if (!index) return kExitUsage;
    pref = *index;
  }
  char list[MEKLAN_MALIST_SIZE];
  if (*edition == MEKLAN_EDITION_2003) {
    MEKLAN_GetMA(key->c_str(), list, pref);
  } else {
    MEKLAN_EditionGetMA(*edition, key->c_str(), pref, list, sizeof list);
  }
  if (list[0] == '\0') return Fail(self, "no MA matches '" + (*parsed)[0] + "'");
  if (parsed->Has("--raw")) {
    PrintLine(list);
    return kExitOk;
  }
  // The library repeats names (several records, reading matches once per pass); a person
  // wants each MA once, in the order found.
  std::set<std::string> shown;
  for (std::string_view name : cp932::SplitNameList(list)) {
    if (shown.insert(std::string(name)).second) PrintLine(name);
  }
  return kExitOk;
}

int RunAreaCode(const Command& self, const Arguments& args) {
  auto parsed = ParseArguments(self, args, {{"--branch", true}, {"--edition", true}}, 1, 1);
  if (!parsed) return kExitUsage;
  auto edition = EditionOption(self, *parsed);
  if (!edition) return kExitUsage;
  auto key = ToCp932(self, (*parsed)[0], "key");
  if (!key) return kExitUsage;
  int branch = -1;
  if (const std::string* b = parsed->Value("--branch")) {
    auto value = ParseInt(*b);
    if (!value || *value < -1) return UsageError(self, "--branch needs a branch number (0 or more), not '" + *b + "'");
    branch = *value;
  }
  char text[MEKLAN_AREACODE_SIZE];
  int found = *edition == MEKLAN_EDITION_2003
                  ? MEKLAN_GetAreaCode(key->c_str(), text, branch)
                  : MEKLAN_EditionGetAreaCode(*edition, key->c_str(), branch, text, sizeof text);
  if (found == 0) {
    return Fail(self, "'" + (*parsed)[0] + "' names no MA");
  }
  if (text[0] == '\0') {
    return Fail(self, "the MA of '" + (*parsed)[0] + "' has no record with branch " + std::to_string(branch));
  }
  PrintLine(text);
  return kExitOk;
}

}  // namespace meklan::cli
