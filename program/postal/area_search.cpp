// Search by telephone area code: the MAs the key names, the local-government areas they
// serve, and the postal rows of those areas. With the tables of 2003 a postal row belongs to
// an area when its city field equals the area's name (parts of cities find no rows); with the
// current edition every row whose join names one of the MAs, divided cities included, each
// prefecture's stretch read once.
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "cp932.h"
#include "meklan.h"
#include "key_fold.h"
#include "post_index.h"
#include "scan_loop.h"
#include "search_common.h"

namespace tovra {

using namespace detail;

namespace {

std::string_view Text(const char* s) { return s != nullptr ? std::string_view(s) : std::string_view(); }

// The distinct names of an MA name list ("name$name$..."), sorted.
std::vector<std::string> DistinctMaNames(const char* list) {
  std::vector<std::string> names;
  for (std::string_view name : cp932::SplitNameList(list)) InsertWorkItem(names, std::string(name));
  return names;
}

// A later failure does not hide an earlier one: the first failure is the search's outcome.
void Combine(SearchResult& total, const SearchResult& scan) {
  if (total.ok() && !scan.ok()) total.status = scan.status;
  total.rows += scan.rows;
}

// The scans of one place in both files; the business file is read after KEN_ALL.CSV.
template <typename Scan>
void ScanBoth(SearchOutcome& outcome, Business business, Scan scan) {
  Combine(outcome.ken_all, scan(PostFile::kKenAll));
  if (business == Business::kInclude) Combine(outcome.jigyosyo, scan(PostFile::kJigyosyo));
}

ResultRow DistrictRow(const MKADDRESS& a, std::string_view area_codes, std::string_view ma_name) {
  ResultRow row;
  row.columns[kColDantaiCode] = Text(a.dantaiCode);
  row.columns[kColAreaCode] = area_codes;
  row.columns[kColMaName] = ma_name;
  row.columns[kColPrefecture] = Text(a.prefName);
  std::string city(Text(a.cityName));
  city += Text(a.townName);
  row.columns[kColCity] = std::move(city);
  row.columns[kColTown] = Text(a.chomeNote);
  return row;
}

// --- With the current edition: the postal rows whose join names one of the MAs -------------

// The MAs of the key and what a line needs to be one of theirs: its local-government code
// first (a cheap test), then the join.
struct JoinedMas {
  std::set<std::string, std::less<>> names;
  std::set<std::string, std::less<>> codes;

  bool Serves(const MKJOIN& join) const {
    const MKMA* ma = MEKLAN_EditionGetMKMA(MEKLAN_EDITION_CURRENT);
    for (int i = 0; i < join.count; ++i) {
      if (names.count(std::string_view(ma[join.maIndex[i]].maName))) return true;
    }
    return false;
  }
};

// One read of the stretch of `prefecture` in `file`.
SearchResult ScanStretchForMas(SearchContext& ctx, PostFile file, std::string_view prefecture,
                               const JoinedMas& mas, bool* missing_reported) {
  const bool ken_all = file == PostFile::kKenAll;
  PostFileBytes bytes;
  const Report report = missing_reported == nullptr || !*missing_reported ? Report::kProblems : Report::kNothing;
  if (SearchStatus opened = OpenPostFile(ctx, file, bytes, report); opened != SearchStatus::kOk) {
    if (missing_reported != nullptr && ken_all) *missing_reported = true;
    return {opened, 0};
  }
  const int dantai_field = ken_all ? ken_field::kDantaiCode : jig_field::kDantaiCode;
  return ScanRecords(ctx, file, bytes, PrefectureStretch(ctx, file, bytes, prefecture), {},
                     [&](const PostRecord& record) {
                       if (!mas.codes.count(record[dantai_field])) return false;
                       MKJOIN join;
                       if (JoinPostRecord(MEKLAN_EDITION_CURRENT, file, record, join) <= 0 || !mas.Serves(join)) {
                         return false;
                       }
                       ctx.view.AddRow(PostalRow(ctx, file, record, &join));
                       return true;
                     });
}

// The MA names the key names in the edition of the context, sorted, each once; the view's
// work list is set to them.
std::vector<std::string> MaNamesOfKey(SearchContext& ctx, const std::string& key) {
  char list[MEKLAN_MALIST_SIZE] = {};
  if (ctx.settings.ma_edition == MEKLAN_EDITION_CURRENT) {
    MEKLAN_EditionGetMA(MEKLAN_EDITION_CURRENT, key.c_str(), -1, list, sizeof list);
  } else {
    MEKLAN_GetMA(key.c_str(), list, -1);
  }
  list[sizeof list - 1] = '\0';
  std::vector<std::string> names = DistinctMaNames(list);
  ctx.view.SetWorkList(names);
  return names;
}

// With the current edition: the rows whose join names one of the MAs, each prefecture's
// stretch read once.
SearchOutcome PostalRowsCurrent(SearchContext& ctx, const std::vector<std::string>& names, Business business) {
  const int count = MEKLAN_EditionGetNumOfAddress(MEKLAN_EDITION_CURRENT);
  const MKADDRESS* table = MEKLAN_EditionGetAddress(MEKLAN_EDITION_CURRENT);
  JoinedMas mas;
  std::set<int> prefectures;  // in the order of the prefecture list
  for (const std::string& name : names) {
    mas.names.insert(name);
    for (int i = 0; i < count; ++i) {
      if (Text(table[i].maName) != name) continue;
      mas.codes.emplace(Text(table[i].dantaiCode));
      if (int p = PrefectureIndex(Text(table[i].prefName)); p >= 0) prefectures.insert(p);
    }
  }
  SearchOutcome outcome;
  bool missing_reported = false;
  std::string_view prefecture;
  for (int p : prefectures) {
    prefecture = PrefectureNames()[static_cast<std::size_t>(p)];
    ScanBoth(outcome, business, [&](PostFile file) {
      return ScanStretchForMas(ctx, file, prefecture, mas, file == PostFile::kKenAll ? &missing_reported : nullptr);
    });
  }
  if (!prefecture.empty()) ctx.view.SelectPrefecture(std::string(prefecture));
  return outcome;
}

// With the tables of 2003: the rows whose city field equals an area's name.
SearchOutcome PostalRows2003(SearchContext& ctx, const std::vector<std::string>& names, Business business) {
  const int count = MEKLAN_GetNumOfAddress();
  const MKADDRESS* table = MEKLAN_GetAddress();
  SearchOutcome outcome;
  if (table == nullptr) return outcome;
  bool missing_reported = false;
  // The prefecture box follows the areas read, as the desktop program always showed it; a
  // name that is no prefecture leaves the previous one in force.
  std::string prefecture;
  for (const std::string& name : names) {
    for (int i = 0; i < count; ++i) {
      const MKADDRESS& a = table[i];
      if (Text(a.maName) != name) continue;
      if (PrefectureIndex(Text(a.prefName)) >= 0) prefecture = Text(a.prefName);
      std::string place(Text(a.cityName));
      place += Text(a.townName);
      place += Text(a.chomeNote);
      ScanBoth(outcome, business, [&](PostFile file) {
        return ScanPostFile(ctx, file, place, ScanMode::kCity, WordMatch::kExact, prefecture,
                            file == PostFile::kKenAll ? &missing_reported : nullptr);
      });
    }
  }
  if (!prefecture.empty()) ctx.view.SelectPrefecture(prefecture);
  return outcome;
}

// One row per local-government area of the MAs, with the serving record's area codes.
int DistrictRows(SearchContext& ctx, const std::vector<std::string>& names) {
  const int edition = ctx.settings.ma_edition == MEKLAN_EDITION_CURRENT ? MEKLAN_EDITION_CURRENT : MEKLAN_EDITION_2003;
  const int count = MEKLAN_EditionGetNumOfAddress(edition);
  const MKADDRESS* table = MEKLAN_EditionGetAddress(edition);
  int rows = 0;
  for (const std::string& name : names) {
    char ma_codes[MEKLAN_AREACODE_SIZE] = {};
    if (edition == MEKLAN_EDITION_2003) MEKLAN_GetAreaCode(name.c_str(), ma_codes, -1);
    ma_codes[sizeof ma_codes - 1] = '\0';
    for (int i = 0; i < count; ++i) {
      const MKADDRESS& a = table[i];
      if (Text(a.maName) != name) continue;
      char area_codes[MEKLAN_AREACODE_SIZE] = {};
      if (edition == MEKLAN_EDITION_CURRENT) {
        // An MA of today may serve on several area codes: each record shows its own.
        MEKLAN_EditionGetAreaCode(edition, a.maName, a.branch, area_codes, sizeof area_codes);
      }
      ctx.view.AddRow(DistrictRow(a, edition == MEKLAN_EDITION_CURRENT ? area_codes : ma_codes, name));
      ++rows;
    }
  }
  return rows;
}

}  // namespace

SearchOutcome FindAreaCode(SearchContext& ctx, std::string_view key, AreaDisplay display, Business business) {
  if (KeyTooLong(ctx, {key})) return {{SearchStatus::kKeyTooLong, 0}, {}};
  const bool current = ctx.settings.ma_edition == MEKLAN_EDITION_CURRENT;
  // Both editions take the key as a code is typed: full-width digits, "－" and blanks folded.
  const std::string key_text = FoldCodeKey(key);
  if (key_text.empty()) return {};
  const std::vector<std::string> names = MaNamesOfKey(ctx, key_text);
  if (display == AreaDisplay::kDistricts) {
    SearchOutcome outcome;
    outcome.ken_all.rows = DistrictRows(ctx, names);
    return outcome;
  }
  return current ? PostalRowsCurrent(ctx, names, business) : PostalRows2003(ctx, names, business);
}

}  // namespace tovra
