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

// --pref: a prefecture name or its 0-based index in the library's prefecture table; -1 (every
// prefecture) when not given; nullopt after a usage error (reported).
std::optional<int> PrefectureOption(const Command& self, const ParsedArgs& args) {
  const std::string* text = args.Value("--pref");
  if (text == nullptr) return -1;
  if (auto index = ParseInt(*text)) {
    if (*index >= 0 && *index < kPrefectureCount) return index;
    UsageError(self, "--pref index " + *text + " is not between 0 and " + std::to_string(kPrefectureCount - 1));
    return std::nullopt;
  }
  auto name = ToCp932(self, *text, "prefecture");
  if (!name) return std::nullopt;
  for (int i = 0; i < kPrefectureCount; ++i) {
    if (*name == kPrefectureTable[i]) return i;
  }
  UsageError(self, "unknown prefecture '" + *text + "' (see 'meklan table prefectures')");
  return std::nullopt;
}

// --branch: one record of the MA; -1 (every record) when not given; nullopt after a usage
// error (reported).
std::optional<int> BranchOption(const Command& self, const ParsedArgs& args) {
  const std::string* text = args.Value("--branch");
  if (text == nullptr) return -1;
  auto value = ParseInt(*text);
  if (!value || *value < -1) {
    UsageError(self, "--branch needs a branch number (0 or more), not '" + *text + "'");
    return std::nullopt;
  }
  return value;
}

// A look-up command's arguments and edition, and its KEY in CP932.
struct Lookup {
  EditionArgs in;
  std::string key;
};

// nullopt after a usage error (reported).
std::optional<Lookup> ReadLookup(const Command& self, const Arguments& args, std::initializer_list<OptionSpec> options) {
  auto in = ParseWithEdition(self, args, options, 1, 1);
  auto key = in ? ToCp932(self, in->args[0], "key") : std::nullopt;
  if (!key) return std::nullopt;
  return Lookup{std::move(*in), std::move(*key)};
}

}  // namespace

int RunMa(const Command& self, const Arguments& args) {
  auto look = ReadLookup(self, args, {{"--pref", true}, {"--raw", false}});
  auto pref = look ? PrefectureOption(self, look->in.args) : std::nullopt;
  if (!pref) return kExitUsage;
  const std::string& typed = look->in.args[0];
  char list[MEKLAN_MALIST_SIZE];
  if (look->in.edition == MEKLAN_EDITION_2003) {
    MEKLAN_GetMA(look->key.c_str(), list, *pref);
  } else {
    MEKLAN_EditionGetMA(look->in.edition, look->key.c_str(), *pref, list, sizeof list);
  }
  if (list[0] == '\0') return Fail(self, "no MA matches '" + typed + "'");
  if (look->in.args.Has("--raw")) {
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
  auto look = ReadLookup(self, args, {{"--branch", true}});
  auto branch = look ? BranchOption(self, look->in.args) : std::nullopt;
  if (!branch) return kExitUsage;
  const std::string& typed = look->in.args[0];
  char text[MEKLAN_AREACODE_SIZE];
  int found = look->in.edition == MEKLAN_EDITION_2003
                  ? MEKLAN_GetAreaCode(look->key.c_str(), text, *branch)
                  : MEKLAN_EditionGetAreaCode(look->in.edition, look->key.c_str(), *branch, text, sizeof text);
  if (found == 0) {
    return Fail(self, "'" + typed + "' names no MA");
  }
  if (text[0] == '\0') {
    return Fail(self, "the MA of '" + typed + "' has no record with branch " + std::to_string(*branch));
  }
  PrintLine(text);
  return kExitOk;
}

}  // namespace meklan::cli
