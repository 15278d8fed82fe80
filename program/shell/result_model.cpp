#include "result_model.h"

#include <algorithm>
#include <iterator>

#include "qt_text.h"
#include "row_order.h"
#include "searches.h"

namespace tovra {

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {
  const auto& titles = ColumnTitles();
  for (int c = 0; c < kColumnCount; ++c) titles_[c] = ToQString(titles[c]);
}

void ResultModel::BeginBatch() { batching_ = true; }

void ResultModel::EndBatch() {
  batching_ = false;
  if (pending_.empty()) return;
  std::stable_sort(pending_.begin(), pending_.end(), RowBefore);
  beginResetModel();
  if (rows_.empty()) {
    rows_.swap(pending_);
  } else {
    std::vector<ResultRow> merged;
    merged.reserve(rows_.size() + pending_.size());
    std::merge(std::make_move_iterator(rows_.begin()), std::make_move_iterator(rows_.end()),
               std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()),
               std::back_inserter(merged), RowBefore);
    rows_.swap(merged);
  }
  pending_.clear();
  endResetModel();
}

void ResultModel::AddRow(ResultRow row) {
  if (batching_) {
    pending_.push_back(std::move(row));
    return;
  }
  const auto at = std::upper_bound(rows_.begin(), rows_.end(), row, RowBefore);
  const int position = static_cast<int>(at - rows_.begin());
  beginInsertRows(QModelIndex(), position, position);
  rows_.insert(at, std::move(row));
  endInsertRows();
}

void ResultModel::Clear() {
  pending_.clear();
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  endResetModel();
}

int ResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
  if (role != Qt::DisplayRole) return {};
  return ToQString(rows_[static_cast<std::size_t>(index.row())].columns[index.column()]);
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= kColumnCount) return {};
  return titles_[section];
}

}  // namespace tovra
