// The rows of the result list. Rows stay sorted by the bytes of column 0 (the postal code as
// shown); rows with equal keys keep the order in which they arrived. Texts stay CP932 and are
// converted only for the cells the view paints, so that a hundred thousand rows fill quickly.
#pragma once

#include <array>
#include <vector>

#include <QAbstractTableModel>

#include "search_view.h"

namespace tovra {

class ResultModel : public QAbstractTableModel {
 public:
  explicit ResultModel(QObject* parent = nullptr);

  // Rows added between BeginBatch and EndBatch are collected and placed at EndBatch, in one
  // model reset; outside a batch each row is inserted at its sorted place.
  void BeginBatch();
  void EndBatch();
  void AddRow(ResultRow row);
  void Clear();

  const ResultRow& Row(int index) const { return rows_[static_cast<std::size_t>(index)]; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ResultRow> rows_;
  std::vector<ResultRow> pending_;
  bool batching_ = false;
  std::array<QString, kColumnCount> titles_;
};

}  // namespace tovra
