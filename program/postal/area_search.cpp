// Search by telephone area code: the MAs the key names, the local-government areas they
// serve, and the postal rows of those areas.
#include <cstring>

#include "cp932.h"
#include "meklan.h"
#include "key_fold.h"
#include "search_common.h"

namespace tovra {

using namespace detail;

namespace {

std::string_view Text(const char* s) { return s != nullptr ? std::string_view(s) : std::string_view(); }

// The distinct names of an MA name list ("name$name$...") into the view's sorted work list.
void CollectMaNames(SearchView& view, const char* list) {
  view.ClearWorkList();
  std::string_view rest(list);
  while (!rest.empty()) {
    std::size_t dollar = rest.find('$');
    std::string_view name = rest.substr(0, dollar);
    view.AddWorkItem(std::string(name));
    if (dollar == std::string_view::npos) break;
    rest.remove_prefix(dollar + 1);
  }
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

int SearchByAreaCode(SearchContext& ctx, std::string_view key, int display) {
  const int count = MEKLAN_GetNumOfAddress();
  const MKADDRESS* table = MEKLAN_GetAddress();
  SearchView& view = ctx.view;

  const std::string key_text = FoldCodeKey(CutKey(key));
  if (key_text.empty()) return 0;
  char list[MEKLAN_MALIST_SIZE] = {};
  MEKLAN_GetMA(key_text.c_str(), list, -1);
  list[sizeof list - 1] = '\0';
  CollectMaNames(view, list);
  if (table == nullptr) return 0;

  bool missing_reported = false;
  const int names = view.WorkItemCount();
  for (int n = 0; n < names; ++n) {
    const std::string name = view.WorkItem(n);
    char area_codes[MEKLAN_AREACODE_SIZE] = {};
    MEKLAN_GetAreaCode(name.c_str(), area_codes, -1);
    area_codes[sizeof area_codes - 1] = '\0';
    for (int i = 0; i < count; ++i) {
      const MKADDRESS& a = table[i];
      if (Text(a.maName) != name) continue;
      if (display == kShowDistricts) {
        view.AddRow(DistrictRow(a, area_codes, name));
        continue;
      }
      view.SelectPrefecture(std::string(Text(a.prefName)));
      std::string place(Text(a.cityName));
      place += Text(a.townName);
      place += Text(a.chomeNote);
      place.resize(cp932::BoundaryAtOrBefore(place, kKeyMax));
      ScanPostFile(ctx, PostFile::kKenAll, place, kScanCity, kWordExact, &missing_reported);
      if (view.UseBusinessData()) {
        ScanPostFile(ctx, PostFile::kJigyosyo, place, kScanCity, kWordExact, nullptr);
      }
    }
  }
  return 0;
}

}  // namespace tovra
