// The invariants of the built-in data. The lookups scan the tables without bounds checks of
// their own (contiguous names, shared points, digit lists, names that exist), so every rule
// here protects an assumption made somewhere in the library.
#include <map>
#include <set>

#include "cp932.h"
#include "distance/distance.h"
#include "generator.h"
#include "rules.h"

namespace meklan::gen {
namespace {

std::string Utf8(const std::string& cp932_text) { return cp932::ToUtf8(cp932_text); }

bool IsKnownPrefNo(int prefNo) { return (prefNo >= 2 && prefNo <= kPrefectureCount) || (prefNo >= 51 && prefNo <= 55); }

// "/*/", or "/" followed by entries of one to three digits, each closed by "/".
bool IsPrefixListSyntax(const std::string& list) {
  if (list == "/*/") return true;
  if (list.size() < 3 || list[0] != '/' || list.back() != '/') return false;
  std::size_t digits = 0;
  for (std::size_t i = 1; i < list.size(); ++i) {
    char c = list[i];
    if (c == '/') {
      if (digits == 0) return false;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      if (++digits > 3) return false;
    } else {
      return false;
    }
  }
  return true;
}

void CheckRequired(const std::string& file, int line, const std::string& column,
                   const std::string& value, Diagnostics& diag) {
  if (value.empty()) diag.Add(file, line, "empty required text: " + column);
}

}  // namespace

// Rules that hold for every record of the MA and special-area tables.
void CheckMaRecord(const std::string& file, const MaRow& r, Diagnostics& diag) {
  CheckRequired(file, r.line, "maName", r.name, diag);
  CheckRequired(file, r.line, "maKana", r.kana, diag);
  CheckRequired(file, r.line, "prefixList", r.prefixList, diag);
  if (r.branch < 0) diag.Add(file, r.line, "branch is negative");
  if (!IsKnownPrefNo(r.prefNo)) diag.Add(file, r.line, "unknown prefecture number " + std::to_string(r.prefNo));
  if (r.areaCode <= 0) diag.Add(file, r.line, "areaCode is not positive");
  if (!r.prefixList.empty() && !IsPrefixListSyntax(r.prefixList)) {
    diag.Add(file, r.line, "bad prefix-list syntax: " + r.prefixList);
  }
}

// (maName, branch) unique; one name's records contiguous and agreeing on everything but
// their numbers.
void CheckMaNames(const std::string& file, const std::vector<MaRow>& rows, Diagnostics& diag) {
  std::map<std::pair<std::string, int>, int> seen_key;
  std::map<std::string, std::size_t> first_of_name;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const MaRow& r = rows[i];
    auto [at, fresh] = seen_key.emplace(std::make_pair(r.name, r.branch), r.line);
    if (!fresh) {
      diag.Add(file, r.line, "(" + Utf8(r.name) + ", " + std::to_string(r.branch) +
                                 ") occurs twice (first at line " + std::to_string(at->second) + ")");
    }
    auto first = first_of_name.find(r.name);
    if (first == first_of_name.end()) {
      first_of_name.emplace(r.name, i);
      continue;
    }
    const MaRow& head = rows[first->second];
    if (rows[i - 1].name != r.name) {
      diag.Add(file, r.line, "records of " + Utf8(r.name) + " are not contiguous (first at line " +
                                 std::to_string(head.line) + ")");
    }
    auto disagree = [&](const char* what) {
      diag.Add(file, r.line, "records of " + Utf8(r.name) + " disagree on " + what + " with line " +
                                 std::to_string(head.line));
    };
    if (r.kana != head.kana) disagree("reading");
    if (r.posNS != head.posNS || r.posEW != head.posEW) disagree("point");
    if (r.prefNo != head.prefNo) disagree("prefecture");
    if (r.regionCode != head.regionCode) disagree("region");
  }
}

namespace {

void CheckMaTable(const Tables& t, Diagnostics& diag) {
  for (const MaRow& r : t.ma) {
    CheckMaRecord("ma.tsv", r, diag);
    if (r.name.size() > kMaxMaNameBytes) diag.Add("ma.tsv", r.line, "maName longer than " + std::to_string(kMaxMaNameBytes) + " bytes");
  }
  CheckMaNames("ma.tsv", t.ma, diag);
}

void CheckSpecialAreas(const Tables& t, const std::set<std::string>& ma_names, Diagnostics& diag) {
  const std::string file = "tokurei_areas.tsv";
  if (t.special.size() != static_cast<std::size_t>(kSpecialAreaCount)) {
    diag.Add(file, 1, "expected " + std::to_string(kSpecialAreaCount) + " special areas, found " +
                          std::to_string(t.special.size()));
  }
  for (const MaRow& r : t.special) {
    CheckMaRecord(file, r, diag);
    if (r.prefixList == "/*/") diag.Add(file, r.line, "a special area needs a list of prefixes");
    if (r.branch != 0) diag.Add(file, r.line, "branch of a special area is not 0");
    if (!ma_names.count(r.baseMa)) diag.Add(file, r.line, "baseMA names no MA: " + Utf8(r.baseMa));
  }
  CheckMaNames(file, t.special, diag);
}

void CheckPrefectures(const Tables& t, Diagnostics& diag) {
  const std::string file = "prefectures.tsv";
  if (t.prefectures.size() != static_cast<std::size_t>(kPrefectureCount)) {
    diag.Add(file, 1, "expected " + std::to_string(kPrefectureCount) + " prefectures, found " +
                          std::to_string(t.prefectures.size()));
  }
  std::set<std::string> seen;
  std::set<int> codes;
  for (const PrefectureRow& p : t.prefectures) {
    CheckRequired(file, p.line, "name", p.name, diag);
    if (!seen.insert(p.name).second) diag.Add(file, p.line, "prefecture occurs twice: " + Utf8(p.name));
    if (p.jisCode < 1 || p.jisCode > kPrefectureCount || !codes.insert(p.jisCode).second) {
      diag.Add(file, p.line, "jisCode is not one of 1 to " + std::to_string(kPrefectureCount) +
                                 " used once: " + std::to_string(p.jisCode));
    }
  }
}

void CheckAddresses(const Tables& t, const std::set<std::string>& ma_names, Diagnostics& diag) {
  const std::string file = "address.tsv";
  std::set<std::string> prefectures;
  for (const PrefectureRow& p : t.prefectures) prefectures.insert(p.name);
  for (const AddressRow& r : t.address) {
    bool code_ok = r.dantaiCode.size() == 5 && r.dantaiCode.find_first_not_of("0123456789") == std::string::npos;
    if (!code_ok) diag.Add(file, r.line, "dantaiCode is not five digits");
    CheckRequired(file, r.line, "maName", r.maName, diag);
    CheckRequired(file, r.line, "cityName", r.cityName, diag);
    // By name only: a record may name a branch the MA does not have (the (下関, 0) records).
    if (!r.maName.empty() && !ma_names.count(r.maName)) {
      diag.Add(file, r.line, "maName names no MA: " + Utf8(r.maName));
    }
    if (r.branch < 0) diag.Add(file, r.line, "branch is negative");
    if (!prefectures.count(r.prefName)) diag.Add(file, r.line, "unknown prefecture: " + Utf8(r.prefName));
    if (r.townName.empty() && !r.chomeNote.empty()) diag.Add(file, r.line, "chomeNote without townName");
  }
}

using Pair = std::pair<std::string, std::string>;
Pair Unordered(const PairRow& r) {
  return r.nameA < r.nameB ? Pair(r.nameA, r.nameB) : Pair(r.nameB, r.nameA);
}

// Names exist, no self pair, no pair twice in a table or in two tables, and an adjacent pair
// lies farther than the distance at which MAs count as adjacent anyway.
void CheckPairTables(const Tables& t, Diagnostics& diag) {
  std::map<std::string, const MaRow*> point_of;
  for (const MaRow& r : t.ma) point_of.emplace(r.name, &r);
  std::map<Pair, std::string> table_of;  // pair -> "file:line" where it first stood
  for (const PairTable* table : {&t.adjacent, &t.near, &t.island}) {
    std::map<Pair, int> in_table;
    for (const PairRow& r : table->rows) {
      bool known = true;
      for (const std::string* name : {&r.nameA, &r.nameB}) {
        if (!point_of.count(*name)) {
          diag.Add(table->file, r.line, "names no MA: " + Utf8(*name));
          known = false;
        }
      }
      if (r.nameA == r.nameB) diag.Add(table->file, r.line, "pairs " + Utf8(r.nameA) + " with itself");
      Pair key = Unordered(r);
      auto [at, fresh] = in_table.emplace(key, r.line);
      if (!fresh) {
        diag.Add(table->file, r.line, "pair occurs twice in the table (first at line " +
                                          std::to_string(at->second) + ")");
      }
      auto other = table_of.find(key);
      if (other != table_of.end() && other->second.rfind(table->file, 0) != 0) {
        diag.Add(table->file, r.line, "pair also stands in " + other->second);
      }
      table_of.emplace(key, table->file + ":" + std::to_string(r.line));
      if (known && table == &t.adjacent) {
        const MaRow& a = *point_of[r.nameA];
        const MaRow& b = *point_of[r.nameB];
        int km = CalcMaDistance(a.posNS - b.posNS, a.posEW - b.posEW);
        if (km <= kAdjacentKm) {
          diag.Add(table->file, r.line, "adjacent pair within " + std::to_string(kAdjacentKm) + " km (" +
                                            std::to_string(km) + " km)");
        }
      }
    }
  }
}

}  // namespace

void CheckTables(const Tables& t, Diagnostics& diag) {
  std::set<std::string> ma_names;
  for (const MaRow& r : t.ma) ma_names.insert(r.name);
  CheckMaTable(t, diag);
  CheckSpecialAreas(t, ma_names, diag);
  CheckPrefectures(t, diag);
  CheckAddresses(t, ma_names, diag);
  CheckPairTables(t, diag);
}

}  // namespace meklan::gen
