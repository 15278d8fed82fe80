// The one port through which the postal searches reach the screen.
//
// The searches never see a widget: they add rows, move the progress indicator, say which
// prefecture they read, fill the city list and the hidden work list, and report messages
// through this interface; what a search needs to know comes in as its arguments. The main dialog
// implements it with Qt, tovra-search by printing, the tests by recording.
// All texts are CP932 bytes.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace tovra {

constexpr int kColumnCount = 12;

// Column order of the result list: 郵便番号, 団体コード, 局番, MA名, 都道府県, 市区町村, 町域,
// 都道府県(カナ), 市区町村(カナ), 町域(カナ), 事業者名, 事業者名(カナ).
enum Column {
  kColPostCode = 0,
  kColDantaiCode,
  kColAreaCode,
  kColMaName,
  kColPrefecture,
  kColCity,
  kColTown,
  kColPrefectureKana,
  kColCityKana,
  kColTownKana,
  kColBusiness,
  kColBusinessKana,
};

struct ResultRow {
  std::array<std::string, kColumnCount> columns;
};

// The hidden work list's rule, for the views that keep it: sorted, each item once. Returns
// the position the item was inserted at, or -1 when the list holds it already.
inline int InsertWorkItem(std::vector<std::string>& list, const std::string& item) {
  const auto at = std::lower_bound(list.begin(), list.end(), item);
  if (at != list.end() && *at == item) return -1;
  const int position = static_cast<int>(at - list.begin());
  list.insert(at, item);
  return position;
}

// Every method has a body that does nothing, so that a front end overrides only what it
// shows: a benchmark keeps rows, a command-line tool has no city list.
class SearchView {
 public:
  virtual ~SearchView() = default;

  // Result list. The list keeps its rows sorted by column 0 (byte order); rows with equal
  // keys keep the order in which they were added. The row is the list's to keep.
  virtual void AddRow(ResultRow) {}

  // Progress indicator.
  virtual void SetProgressRange(int /*low*/, int /*high*/) {}
  virtual void SetProgressStep(int /*step*/) {}
  virtual void StepProgress() {}
  virtual void SetProgressPos(int /*pos*/) {}

  // Prefecture list: the searches say which prefecture they read last; the list selects the
  // first entry equal to the name (false when there is none; the selection is then unchanged).
  virtual bool SelectPrefecture(const std::string& /*name*/) { return false; }

  // City list.
  virtual void ClearCities() {}
  virtual void AddCity(const std::string& /*city*/) {}

  // Hidden work list: the distinct MA names of an area-code search, sorted, each once.
  virtual void SetWorkList(const std::vector<std::string>& /*sorted_names*/) {}

  // A message box owned by the main dialog: OK button only; caption "" means the default.
  virtual void ShowMessage(const std::string& /*text*/, const std::string& /*caption*/) {}

  // The index-building notice (shown while an index is built, not closable by the user).
  virtual void ShowIndexNotice() {}
  virtual void HideIndexNotice() {}
};

}  // namespace tovra
