// What the result list does beyond showing rows: its columns (widths kept in the settings in
// the original's pixels, 0 for a hidden column; a header menu that hides and shows each one),
// a tooltip with the whole text of a cell that is cut, and Home/End that move to the first or
// last row without scrolling the list sideways.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <QObject>

#include "search_view.h"

class QMenu;
class QTableView;
class QPoint;

namespace tovra {

using ColumnWidths = std::array<std::int32_t, kColumnCount>;

// The widths of a first start (no settings file), in the original's pixels: 局番 and MA名 are
// shown, since with the current edition every row has them; the readings stay hidden.
ColumnWidths FirstStartColumnWidths();

class ResultList : public QObject {
 public:
  explicit ResultList(QTableView* list);

  // Sizes the columns from stored widths; 0 hides a column. A width that is still the
  // first-start default is widened, where needed, to fit its title in this font.
  void RestoreWidths(const ColumnWidths& stored);
  // The widths to store: the original's pixels, 0 for a hidden column.
  ColumnWidths Widths() const;

  // Shows or hides a column as the header menu does; the last shown column stays.
  void SetColumnShown(int column, bool shown);
  // The header's context menu: a check item per column, then a reset of all columns.
  std::unique_ptr<QMenu> HeaderMenu();
  // Every column back to its first-start width and visibility.
  void ResetColumns();

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void ShowHeaderMenu(const QPoint& at);
  bool MoveToEnd(bool last, Qt::KeyboardModifiers modifiers);
  int FittedWidth(int column, std::int32_t original) const;
  int ShownCount() const;

  QTableView* list_;
  // The width a hidden column gets back when shown again (this screen's pixels).
  std::array<int, kColumnCount> width_when_shown_{};
};

}  // namespace tovra
