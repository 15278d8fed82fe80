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
#include "post_index.h"
#include "search_common.h"

namespace tovra {

using namespace detail;

namespace {

std::string_view Text(const char* s) { return s != nullptr ? std::string_view(s) : std::string_view(); }

// The distinct names of an MA name list ("name$name$..."), sorted.
std::vector<std::string> DistinctMaNames(const char* list) {
  std::vector<std::string> names;
  std::string_view rest(list);
  while (!rest.empty()) {
    std::size_t dollar = rest.find('$');
    InsertWorkItem(names, std::string(rest.substr(0, dollar)));
    if (dollar == std::string_view::npos) break;
    rest.remove_prefix(dollar + 1);
  }
  return names;
}

// A later failure does not hide an earlier one: the first failure is the search's outcome.
void Combine(SearchResult& total, const SearchResult& scan) {
  if (total.ok() && !scan.ok()) total.status = scan.status;
  total.rows += scan.rows;
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
  LineReader reader;
  const bool report = missing_reported == nullptr || !*missing_reported;
  if (SearchStatus opened = OpenPostFile(ctx, file, reader, report); opened != SearchStatus::kOk) {
    if (missing_reported != nullptr && ken_all) *missing_reported = true;
    return {opened, 0};
  }
  ProgressPacer progress(ctx.view, 0);
  progress.Set(LimitToPrefecture(ctx, file, reader, prefecture));
  const int field_count = FieldCount(file);
  const int dantai_field = ken_all ? ken_field::kDantaiCode : jig_field::kDantaiCode;
  SearchResult result;
  PostRecord record;
  std::string_view line;
  std::size_t consumed = 0;
  while (reader.ReadLine(line, consumed)) {
    progress.Add(consumed);
    SplitResult split = SplitPostLine(line, field_count, record);
    if (split == SplitResult::kBlank) continue;
    if (split == SplitResult::kLeadingComma) break;
    UnquoteFields(record, field_count);
    if (!mas.codes.count(record[dantai_field])) continue;
    MKJOIN join;
    if (JoinPostRecord(MEKLAN_EDITION_CURRENT, file, record, join) > 0 && mas.Serves(join)) {
      ctx.view.AddRow(PostalRow(ctx, file, record, &join));
      ++result.rows;
    }
  }
  ctx.bytes_read += reader.BytesRead();
  ctx.view.SetProgressPos(0);
  return result;
}

SearchResult SearchByAreaCodeCurrent(SearchContext& ctx, std::string_view key, AreaDisplay display,
                                     bool with_business) {
  SearchView& view = ctx.view;
  const int count = MEKLAN_EditionGetNumOfAddress(MEKLAN_EDITION_CURRENT);
  const MKADDRESS* table = MEKLAN_EditionGetAddress(MEKLAN_EDITION_CURRENT);
  const std::string key_text(CutKey(key));
  char list[MEKLAN_MALIST_SIZE] = {};
  MEKLAN_EditionGetMA(MEKLAN_EDITION_CURRENT, key_text.c_str(), -1, list, sizeof list);
  const std::vector<std::string> names = DistinctMaNames(list);
  view.SetWorkList(names);

  SearchResult total;
  JoinedMas mas;
  std::set<int> prefectures;  // in the order of the prefecture list
  for (const std::string& name : names) {
    mas.names.insert(name);
    for (int i = 0; i < count; ++i) {
      const MKADDRESS& a = table[i];
      if (Text(a.maName) != name) continue;
      if (display == AreaDisplay::kDistricts) {
        // The serving record's own area codes: an MA may serve on several.
        char area_codes[MEKLAN_AREACODE_SIZE] = {};
        MEKLAN_EditionGetAreaCode(MEKLAN_EDITION_CURRENT, a.maName, a.branch, area_codes, sizeof area_codes);
        view.AddRow(DistrictRow(a, area_codes, name));
        ++total.rows;
        continue;
      }
      mas.codes.emplace(Text(a.dantaiCode));
      if (int p = PrefectureIndex(Text(a.prefName)); p >= 0) prefectures.insert(p);
    }
  }
  bool missing_reported = false;
  std::string_view prefecture;
  for (int p : prefectures) {
    prefecture = PrefectureNames()[static_cast<std::size_t>(p)];
    Combine(total, ScanStretchForMas(ctx, PostFile::kKenAll, prefecture, mas, &missing_reported));
    if (with_business) {
      // The business file is optional: its absence is no failure of the search.
      total.rows += ScanStretchForMas(ctx, PostFile::kJigyosyo, prefecture, mas, nullptr).rows;
    }
  }
  if (!prefecture.empty()) view.SelectPrefecture(std::string(prefecture));
  return total;
}

}  // namespace

SearchResult SearchByAreaCode(SearchContext& ctx, std::string_view key, AreaDisplay display,
                              bool with_business) {
  if (ctx.settings.ma_edition == MEKLAN_EDITION_CURRENT) {
    return SearchByAreaCodeCurrent(ctx, key, display, with_business);
  }
  const int count = MEKLAN_GetNumOfAddress();
  const MKADDRESS* table = MEKLAN_GetAddress();
  SearchView& view = ctx.view;

  const std::string key_text(CutKey(key));
  char list[MEKLAN_MALIST_SIZE] = {};
  MEKLAN_GetMA(key_text.c_str(), list, -1);
  list[sizeof list - 1] = '\0';
  const std::vector<std::string> names = DistinctMaNames(list);
  view.SetWorkList(names);
  SearchResult total;
  if (table == nullptr) return total;

  bool missing_reported = false;
  // The prefecture box follows the areas read, as the desktop program always showed it; a
  // name that is no prefecture leaves the previous one in force.
  std::string prefecture;
  for (const std::string& name : names) {
    char area_codes[MEKLAN_AREACODE_SIZE] = {};
    MEKLAN_GetAreaCode(name.c_str(), area_codes, -1);
    area_codes[sizeof area_codes - 1] = '\0';
    for (int i = 0; i < count; ++i) {
      const MKADDRESS& a = table[i];
      if (Text(a.maName) != name) continue;
      if (display == AreaDisplay::kDistricts) {
        view.AddRow(DistrictRow(a, area_codes, name));
        ++total.rows;
        continue;
      }
      if (PrefectureIndex(Text(a.prefName)) >= 0) prefecture = Text(a.prefName);
      std::string place(Text(a.cityName));
      place += Text(a.townName);
      place += Text(a.chomeNote);
      place.resize(cp932::BoundaryAtOrBefore(place, kKeyMax));
      Combine(total, ScanPostFile(ctx, PostFile::kKenAll, place, ScanMode::kCity, WordMatch::kExact,
                                  prefecture, &missing_reported));
      if (with_business) {
        // The business file is optional: its absence is no failure of the search.
        total.rows += ScanPostFile(ctx, PostFile::kJigyosyo, place, ScanMode::kCity, WordMatch::kExact,
                                   prefecture, nullptr).rows;
      }
    }
  }
  if (!prefecture.empty()) view.SelectPrefecture(prefecture);
  return total;
}

}  // namespace tovra
