#include "result_list.h"

#include <algorithm>
#include <memory>

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>

#include "template_builder.h"

namespace tovra {
namespace {

// Original pixels (1.5 px per dialog unit). 局番 fits "0153-[1,5,6]", MA名 "武蔵野三鷹"; the
// longest texts (79 characters) are left to the tooltip.
constexpr ColumnWidths kFirstStartWidths{60, 64, 110, 80, 60, 100, 120, 0, 0, 0, 120, 0};
// What a column hidden at the first start gets when the user shows it.
constexpr ColumnWidths kWidthWhenShown{60, 64, 110, 80, 60, 100, 120, 100, 120, 140, 120, 140};
// Beyond any screen; keeps the scaling of a hand-edited value from overflowing.
constexpr std::int32_t kWidestColumn = 10000;

// The whole text of a cell, as a tooltip, where the column cuts it.
class CutTextTipDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip) {
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty() && sizeHint(option, index).width() > option.rect.width()) {
      QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
};

}  // namespace

ColumnWidths FirstStartColumnWidths() { return kFirstStartWidths; }

ResultList::ResultList(QTableView* list) : QObject(list), list_(list) {
  list_->setItemDelegate(new CutTextTipDelegate(list_));
  QHeaderView* header = list_->horizontalHeader();
  header->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(header, &QHeaderView::customContextMenuRequested, this,
          [this](const QPoint& at) { ShowHeaderMenu(at); });
  list_->installEventFilter(this);
}

int ResultList::FittedWidth(int column, std::int32_t original) const {
  const int scaled = ui::ScaleOriginalPixelsX(list_->font(), std::clamp(original, 1, kWidestColumn));
  if (original != kFirstStartWidths[column] && original != kWidthWhenShown[column]) return scaled;
  return std::max(scaled, list_->horizontalHeader()->sectionSizeHint(column));
}

void ResultList::RestoreWidths(const ColumnWidths& stored) {
  QHeaderView* header = list_->horizontalHeader();
  for (int c = 0; c < kColumnCount; ++c) {
    const bool shown = stored[c] > 0;
    width_when_shown_[c] = FittedWidth(c, shown ? stored[c] : kWidthWhenShown[c]);
    header->setSectionHidden(c, !shown);
    if (shown) header->resizeSection(c, width_when_shown_[c]);
  }
  // A hand-edited file may hide everything; a list without columns shows nothing at all.
  if (ShownCount() == 0) SetColumnShown(kColPostCode, true);
}

ColumnWidths ResultList::Widths() const {
  const QHeaderView* header = list_->horizontalHeader();
  ColumnWidths widths{};
  for (int c = 0; c < kColumnCount; ++c) {
    if (header->isSectionHidden(c)) continue;
    widths[c] = std::max(1, ui::OriginalPixelsX(list_->font(), header->sectionSize(c)));
  }
  return widths;
}

int ResultList::ShownCount() const {
  const QHeaderView* header = list_->horizontalHeader();
  return header->count() - header->hiddenSectionCount();
}

void ResultList::SetColumnShown(int column, bool shown) {
  QHeaderView* header = list_->horizontalHeader();
  if (column < 0 || column >= kColumnCount || header->isSectionHidden(column) == !shown) return;
  if (!shown) {
    if (ShownCount() == 1) return;
    width_when_shown_[column] = header->sectionSize(column);
    header->hideSection(column);
    return;
  }
  header->showSection(column);
  header->resizeSection(column, width_when_shown_[column]);
}

void ResultList::ResetColumns() { RestoreWidths(kFirstStartWidths); }

std::unique_ptr<QMenu> ResultList::HeaderMenu() {
  auto menu = std::make_unique<QMenu>(list_);
  const QAbstractItemModel* model = list_->model();
  const QHeaderView* header = list_->horizontalHeader();
  for (int c = 0; c < kColumnCount; ++c) {
    QAction* action = menu->addAction(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    action->setCheckable(true);
    action->setChecked(!header->isSectionHidden(c));
    // The last shown column cannot be hidden.
    action->setEnabled(header->isSectionHidden(c) || ShownCount() > 1);
    connect(action, &QAction::toggled, this, [this, c](bool on) { SetColumnShown(c, on); });
  }
  menu->addSeparator();
  connect(menu->addAction(QStringLiteral("列の幅と表示を元に戻す")), &QAction::triggered, this,
          [this] { ResetColumns(); });
  return menu;
}

void ResultList::ShowHeaderMenu(const QPoint& at) {
  HeaderMenu()->exec(list_->horizontalHeader()->mapToGlobal(at));
}

bool ResultList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Home || key->key() == Qt::Key_End) {
      return MoveToEnd(key->key() == Qt::Key_End, key->modifiers());
    }
  }
  return QObject::eventFilter(watched, event);
}

// The view's own Home/End go to the first/last column of the row, scrolling the postal code
// out of sight; here they go to the first/last row and the list keeps its sideways position.
// With Shift the rows from the current one to the target are selected.
bool ResultList::MoveToEnd(bool last, Qt::KeyboardModifiers modifiers) {
  const QAbstractItemModel* model = list_->model();
  const int rows = model->rowCount();
  if (rows == 0) return true;
  const QModelIndex current = list_->currentIndex();
  int column = current.isValid() ? current.column() : -1;
  if (column < 0 || list_->isColumnHidden(column)) column = list_->columnAt(0);
  if (column < 0) column = 0;
  const QModelIndex target = model->index(last ? rows - 1 : 0, column);

  QScrollBar* sideways = list_->horizontalScrollBar();
  const int keep = sideways->value();
  QItemSelectionModel* selection = list_->selectionModel();
  if (modifiers & Qt::ShiftModifier) {
    const int from = current.isValid() ? current.row() : target.row();
    const QItemSelection range(model->index(std::min(from, target.row()), 0),
                               model->index(std::max(from, target.row()), kColumnCount - 1));
    selection->select(range, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
  } else {
    selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  list_->scrollTo(target);
  sideways->setValue(keep);
  return true;
}

}  // namespace tovra
