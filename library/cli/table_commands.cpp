// meklan addresses, meklan table, meklan info: the tables and the information exports.
#include <dlfcn.h>

#include <iostream>
#include <set>
#include <string>

#include "commands.h"
#include "cp932.h"
#include "field_text.h"
#include "meklan.h"
#include "tables/tables.h"
#include "version_note.h"

namespace meklan::cli {
namespace {

// One row of a table in the terminal's charset, with the field escapes of tovra-search.
void PrintTsv(std::initializer_list<std::string> cp932_fields) {
  std::cout << clitext::TsvLine({cp932_fields.begin(), cp932_fields.size()}) << '\n';
}

void PrintAddress(const MKADDRESS& a) {
  PrintTsv({a.dantaiCode, a.maName, std::to_string(a.branch), a.prefName, a.cityName, a.townName, a.chomeNote});
}

const char kAddressHeader[] = "dantaiCode\tmaName\tbranch\tprefName\tcityName\ttownName\tchomeNote";

void PrintMaTable(int edition) {
  PrintLine("index\tmaName\tbranch\tmaKana\tposNS\tposEW\tareaCode\tprefixList\tprefNo\tregionCode");
  const MKMA* ma = MEKLAN_EditionGetMKMA(edition);
  for (int i = 0; i < MEKLAN_EditionGetNumOfMKMA(edition); ++i) {
    const MKMA& r = ma[i];
    PrintTsv({std::to_string(i), r.maName, std::to_string(r.branch), r.maKana, std::to_string(r.posNS),
              std::to_string(r.posEW), "0" + std::to_string(r.areaCode), r.prefixList, std::to_string(r.prefNo),
              std::to_string(r.regionCode)});
  }
}

void PrintAddressTable(int edition) {
  PrintLine(kAddressHeader);
  const MKADDRESS* address = MEKLAN_EditionGetAddress(edition);
  for (int i = 0; i < MEKLAN_EditionGetNumOfAddress(edition); ++i) PrintAddress(address[i]);
}

void PrintPrefectures() {
  PrintLine("index\tprefNo\tname");
  for (int i = 0; i < kPrefectureCount; ++i) {
    PrintTsv({std::to_string(i), std::to_string(i + 1), kPrefectureTable[i]});
  }
}

std::string LibraryFile() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&MEKLAN_GetVersion), &info) != 0 && info.dli_fname != nullptr) {
    return info.dli_fname;
  }
  return "(unknown)";
}

void PrintField(const std::string& label, const std::string& cp932_value) {
  PrintLine(label + std::string(label.size() < 24 ? 24 - label.size() : 1, ' ') + cp932_value);
}

}  // namespace

int RunAddresses(const Command& self, const Arguments& args) {
  auto parsed = ParseArguments(self, args, {}, 1, 2);
  if (!parsed) return kExitUsage;
  auto pref = ToCp932(self, (*parsed)[0], "prefecture");
  if (!pref) return kExitUsage;
  std::optional<std::string> city;
  if (parsed->Count() > 1) {
    city = ToCp932(self, (*parsed)[1], "city");
    if (!city) return kExitUsage;
  }
  MKADDRESS* list = nullptr;
  int count = MEKLAN_GetAddressAreaList(pref->c_str(), city ? city->c_str() : nullptr, 0, &list);
  if (count < 0) return Fail(self, "the library ran out of memory");
  if (count == 0) {
    std::string what = "'" + (*parsed)[0] + "'" + (city ? " '" + (*parsed)[1] + "'" : "");
    return Fail(self, "no address records for " + what +
                          " (prefectures are spelled as in 'meklan table prefectures', cities in full)");
  }
  PrintLine(kAddressHeader);
  for (int i = 0; i < count; ++i) PrintAddress(list[i]);
  MEKLAN_MemFree(list);
  return kExitOk;
}

int RunTable(const Command& self, const Arguments& args) {
  auto in = ParseWithEdition(self, args, {}, 1, 1);
  if (!in) return kExitUsage;
  const std::string& which = in->args[0];
  if (which == "ma") {
    PrintMaTable(in->edition);
  } else if (which == "address") {
    PrintAddressTable(in->edition);
  } else if (which == "prefectures") {
    PrintPrefectures();
  } else {
    return UsageError(self, "unknown table '" + which + "'");
  }
  return kExitOk;
}

int RunInfo(const Command& self, const Arguments& args) {
  if (!ParseArguments(self, args, {}, 0, 0)) return kExitUsage;
  char version[MEKLAN_VERSION_SIZE];
  char date[MEKLAN_DAYDATA_SIZE];
  const MKMA* ma = MEKLAN_GetMKMA();
  std::set<std::string> names;
  for (int i = 0; i < MEKLAN_GetNumOfMKMA(); ++i) names.insert(ma[i].maName);
  const MKADDRESS* address = MEKLAN_GetAddress();
  std::set<std::string> codes;
  for (int i = 0; i < MEKLAN_GetNumOfAddress(); ++i) codes.insert(address[i].dantaiCode);

  PrintField("library", LibraryFile());
  PrintField("version", MEKLAN_GetVersion(version));
  PrintField("version number", std::to_string(MEKLAN_GetVersionX()));
  PrintField("compatibility number", std::to_string(MEKLAN_GetVersionCompati()));
  PrintField("data date", MEKLAN_GetDayData(date));
  MEKLAN_EditionGetDayData(MEKLAN_EDITION_CURRENT, date);
  PrintField("current edition date", date);
  PrintField("MA records", std::to_string(MEKLAN_GetNumOfMKMA()));
  PrintField("MA names", std::to_string(names.size()));
  PrintField("address records", std::to_string(MEKLAN_GetNumOfAddress()));
  PrintField("local-government codes", std::to_string(codes.size()));
  PrintField("prefectures", std::to_string(kPrefectureCount));
  // The version resource comes from the library file that was loaded, not from this command.
  const std::string file = LibraryFile();
  const auto note = ReadVersionNote(file);
  if (!note) return Fail(self, file + " carries no version note (owner MEKLAN)");
  for (const auto& [label, value] : *note) {
    const auto cp932_value = cp932::FromUtf8(value);
    PrintField(label, cp932_value.value_or("?"));
  }
  return kExitOk;
}

}  // namespace meklan::cli
