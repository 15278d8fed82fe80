// Search by telephone area code: the MAs the key names, the local-government areas they
// serve, and the postal rows of those areas.
#include <cstring>
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

}  // namespace

SearchResult SearchByAreaCode(SearchContext& ctx, std::string_view key, AreaDisplay display,
                              bool with_business) {
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
