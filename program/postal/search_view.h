// The one port through which the postal searches reach the screen.
//
// The searches never see a widget: they add rows, move the progress indicator, read and set
// the prefecture selection, fill the city list and the hidden work list, ask whether the
// business data is in use, and report messages through this interface. The main dialog
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

class SearchView {
 public:
  virtual ~SearchView() = default;

  // Result list. The list keeps its rows sorted by column 0 (byte order); rows with equal
  // keys keep the order in which they were added.
  virtual void AddRow(const ResultRow& row) = 0;

  // Progress indicator.
  virtual void SetProgressRange(int low, int high) = 0;
  virtual void SetProgressStep(int step) = 0;
  virtual void StepProgress() = 0;
  virtual void SetProgressPos(int pos) = 0;

  // Prefecture list: the text of the current selection ("" when none), and selecting the
  // first entry equal to a name (false when there is none; the selection is then unchanged).
  virtual std::string SelectedPrefecture() = 0;
  virtual bool SelectPrefecture(const std::string& name) = 0;

  // City list.
  virtual void ClearCities() = 0;
  virtual void AddCity(const std::string& city) = 0;

  // Hidden sorted work list (the distinct MA names of an area-code search).
  virtual void ClearWorkList() = 0;
  virtual void AddWorkItem(const std::string& item) = 0;  // kept sorted, no duplicates
  virtual int WorkItemCount() = 0;
  virtual std::string WorkItem(int index) = 0;

  // State of the 事業所データ使用 check box.
  virtual bool UseBusinessData() = 0;

  // A message box owned by the main dialog: OK button only; caption "" means the default.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

  // The index-building notice (shown while an index is built, not closable by the user).
  virtual void ShowIndexNotice() = 0;
  virtual void HideIndexNotice() = 0;
};

}  // namespace tovra
