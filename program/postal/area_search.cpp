// Search by telephone area code: the MAs the key names, the local-government areas they
// serve, and the postal rows of those areas. With the tables of 2003 a postal row belongs to
// an area when its city field equals the area's name (parts of cities find no rows); with the
// current edition every row whose join names one of the MAs, divided cities included, each
// prefecture's stretch read once.
#include <cstring>
#include <set>
#include <string>

#include "cp932.h"
#include "meklan.h"
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

// --- With the current edition: the postal rows whose join names one of the MAs -------------

// The MAs of the key (names, as the work list holds them) and what a line needs to be one of
// theirs: its local-government code first (a cheap test), then the join.
struct JoinedMas {
  std::set<std::string> names;
  std::set<std::string, std::less<>> codes;

  bool Serves(const MKJOIN& join) const {
    const MKMA* ma = MEKLAN_EditionGetMKMA(MEKLAN_EDITION_CURRENT);
    for (int i = 0; i < join.count; ++i) {
      if (names.count(ma[join.maIndex[i]].maName)) return true;
    }
    return false;
  }
};

// One read of the selected prefecture's stretch of `file`.
void ScanStretchForMas(SearchContext& ctx, PostFile file, const JoinedMas& mas, bool* missing_reported) {
  LineReader reader;
  const bool report = missing_reported == nullptr || !*missing_reported;
  if (!OpenPostFile(ctx, file, reader, report)) {
    if (missing_reported != nullptr && file == PostFile::kKenAll) *missing_reported = true;
    return;
  }
  ProgressPacer progress(ctx.view, 0);
  progress.Set(LimitToSelectedPrefecture(ctx, file, reader));
  const int field_count = FieldCount(file);
  PostRecord record;
  std::string_view line;
  std::size_t consumed = 0;
  while (reader.ReadLine(line, consumed)) {
    progress.Add(consumed);
    SplitResult split = SplitPostLine(line, field_count, record);
    if (split == SplitResult::kBlank) continue;
    if (split == SplitResult::kLeadingComma) break;
    UnquoteFields(record, field_count);
    if (!mas.codes.count(record[1])) continue;
    MKJOIN join;
    if (JoinPostRecord(MEKLAN_EDITION_CURRENT, file, record, join) > 0 && mas.Serves(join)) {
      ctx.view.AddRow(PostalRow(ctx, file, record, &join));
    }
  }
  ctx.bytes_read += reader.BytesRead();
  ctx.view.SetProgressPos(0);
}

int SearchByAreaCodeCurrent(SearchContext& ctx, std::string_view key, int display) {
  SearchView& view = ctx.view;
  const int count = MEKLAN_EditionGetNumOfAddress(MEKLAN_EDITION_CURRENT);
  const MKADDRESS* table = MEKLAN_EditionGetAddress(MEKLAN_EDITION_CURRENT);
  const std::string key_text(CutKey(key));
  char list[MEKLAN_MALIST_SIZE] = {};
  MEKLAN_EditionGetMA(MEKLAN_EDITION_CURRENT, key_text.c_str(), -1, list, sizeof list);
  CollectMaNames(view, list);

  JoinedMas mas;
  std::set<int> prefectures;  // in the order of the prefecture list
  for (int n = 0; n < view.WorkItemCount(); ++n) {
    const std::string name = view.WorkItem(n);
    mas.names.insert(name);
    for (int i = 0; i < count; ++i) {
      const MKADDRESS& a = table[i];
      if (Text(a.maName) != name) continue;
      if (display == kShowDistricts) {
        // The serving record's own area codes: an MA may serve on several.
        char area_codes[MEKLAN_AREACODE_SIZE] = {};
        MEKLAN_EditionGetAreaCode(MEKLAN_EDITION_CURRENT, a.maName, a.branch, area_codes, sizeof area_codes);
        view.AddRow(DistrictRow(a, area_codes, name));
        continue;
      }
      mas.codes.emplace(Text(a.dantaiCode));
      prefectures.insert(PrefectureIndex(std::string(Text(a.prefName))));
    }
  }
  bool missing_reported = false;
  for (int p : prefectures) {
    if (p < 0) continue;
    view.SelectPrefecture(std::string(PrefectureNames()[static_cast<std::size_t>(p)]));
    ScanStretchForMas(ctx, PostFile::kKenAll, mas, &missing_reported);
    if (view.UseBusinessData()) ScanStretchForMas(ctx, PostFile::kJigyosyo, mas, nullptr);
  }
  return 0;
}

}  // namespace

int SearchByAreaCode(SearchContext& ctx, std::string_view key, int display) {
  if (ctx.settings.ma_edition == MEKLAN_EDITION_CURRENT) return SearchByAreaCodeCurrent(ctx, key, display);
  const int count = MEKLAN_GetNumOfAddress();
  const MKADDRESS* table = MEKLAN_GetAddress();
  SearchView& view = ctx.view;

  const std::string key_text(CutKey(key));
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
