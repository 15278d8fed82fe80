#include "result_status.h"

#include <QFileInfo>
#include <QLocale>
#include <QStringList>

#include "result_model.h"

namespace tovra {
namespace {

QString Count(int n) { return QLocale(QLocale::Japanese).toString(n) + QStringLiteral("件"); }

QString FileName(const std::string& path) { return QFileInfo(QString::fromStdString(path)).fileName(); }

}  // namespace

RowSources CountRowSources(const ResultModel& model) {
  RowSources sources;
  for (int i = 0; i < model.rowCount(); ++i) {
    const ResultRow& row = model.Row(i);
    if (!row.columns[kColBusiness].empty()) {
      ++sources.business_file;
    } else if (row.columns[kColPostCode].empty()) {
      ++sources.districts;
    } else {
      ++sources.main_file;
    }
  }
  return sources;
}

QString ResultStatusText(const RowSources& rows, const std::string& main_path,
                         const std::string& business_path) {
  if (rows.total() == 0) return QStringLiteral("該当するデータはありません");
  struct Part {
    int rows;
    QString source;
  };
  const Part parts[] = {{rows.main_file, FileName(main_path)},
                        {rows.business_file, FileName(business_path)},
                        {rows.districts, QStringLiteral("該当地区")}};
  QStringList named;
  for (const Part& part : parts) {
    if (part.rows > 0) named << part.source + QLatin1Char(' ') + Count(part.rows);
  }
  // From one source alone, its count is the total: the name is enough.
  if (named.size() == 1) {
    for (const Part& part : parts) {
      if (part.rows > 0) return Count(part.rows) + QStringLiteral("（") + part.source + QStringLiteral("）");
    }
  }
  return Count(rows.total()) + QStringLiteral("（") + named.join(QStringLiteral("、")) + QStringLiteral("）");
}

}  // namespace tovra
