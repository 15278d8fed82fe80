#include "resolve_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include <memory>

#include "qt_text.h"
#include "resolution_text.h"
#include "resolve.h"
#include "resources.h"
#include "template_builder.h"

namespace tovra {
namespace {

const char* const kColumnTitles[] = {"入力", "レベル", "郵便番号", "候補", "団体コード", "局番",
                                     "MA名", "都道府県", "市区町村", "町域", "残り"};

// The town tables, built at the first use and again when KEN_ALL.CSV's path changes.
const resolve::Resolver* TablesFor(const Settings& settings, QString& error) {
  static std::unique_ptr<resolve::Resolver> resolver;
  static std::string loaded_from;
  if (resolver && loaded_from == settings.ken_all_path) return resolver.get();
  auto fresh = std::make_unique<resolve::Resolver>();
  std::string message;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool loaded = fresh->Load(settings.ken_all_path, message);
  QApplication::restoreOverrideCursor();
  if (!loaded) {
    error = QString::fromStdString(message);
    return nullptr;
  }
  resolver = std::move(fresh);
  loaded_from = settings.ken_all_path;
  return resolver.get();
}

// The row of a resolution: the input and the fields tovra-search resolve prints, the note as
// the level's tool tip.
QList<QStandardItem*> RowOf(const QString& input, const resolve::Resolution& r) {
  const std::vector<std::string> fields = cli::ResolutionFields(r);
  QList<QStandardItem*> row{new QStandardItem(input)};
  for (std::size_t i = 0; i + 1 < fields.size(); ++i) row.append(new QStandardItem(QString::fromStdString(fields[i])));
  row[1]->setToolTip(QString::fromStdString(fields.back()));
  return row;
}

void Resolve(QDialog* d, const Settings& settings, QStandardItemModel& model) {
  model.removeRows(0, model.rowCount());
  auto* summary = ui::ControlAs<QLabel>(d, res::kResolveSummary);
  QString error;
  const resolve::Resolver* resolver = TablesFor(settings, error);
  if (resolver == nullptr) {
    summary->setText(error);
    return;
  }
  const resolve::ResolveOptions options{false, settings.ma_edition};
  int decided = 0;
  const QStringList lines = ui::ControlAs<QPlainTextEdit>(d, res::kResolveInput)->toPlainText().split('\n');
  for (const QString& line : lines) {
    if (line.trimmed().isEmpty()) continue;
    const resolve::Resolution r = resolver->Resolve(cp932::FromUtf8Lenient(line.toStdString()), options);
    decided += r.level == 4 ? 1 : 0;
    model.appendRow(RowOf(line, r));
  }
  summary->setText(QStringLiteral("%1 件中 %2 件で郵便番号が決まりました。").arg(model.rowCount()).arg(decided));
}

// The selected rows (all rows when none is selected) as tab-separated lines.
void Copy(const QTableView* list, const QStandardItemModel& model) {
  QModelIndexList rows = list->selectionModel()->selectedRows();
  if (rows.isEmpty())
    for (int r = 0; r < model.rowCount(); ++r) rows.append(model.index(r, 0));
  std::sort(rows.begin(), rows.end());
  QString text;
  for (const QModelIndex& index : rows) {
    QStringList fields;
    for (int c = 0; c < model.columnCount(); ++c) fields << model.item(index.row(), c)->text();
    text += fields.join('\t') + '\n';
  }
  QApplication::clipboard()->setText(text);
}

}  // namespace

QString RunResolveDialog(QWidget* owner, const Settings& settings) {
  std::unique_ptr<QDialog> dialog(ui::BuildDialog(res::kResolveDialog, owner));
  QDialog* d = dialog.get();
  d->setWindowIcon(res::ProgramIcon());
  d->setModal(true);
  QStandardItemModel model;
  QStringList titles;
  for (const char* t : kColumnTitles) titles << QString::fromUtf8(t);
  model.setHorizontalHeaderLabels(titles);
  auto* list = ui::ControlAs<QTableView>(d, res::kResolveList);
  list->setModel(&model);
  QString chosen;
  QObject::connect(ui::ControlAs<QPushButton>(d, res::kResolveRun), &QPushButton::clicked, d,
                   [&] { Resolve(d, settings, model); });
  QObject::connect(ui::ControlAs<QPushButton>(d, res::kResolveCopy), &QPushButton::clicked, d,
                   [&] { Copy(list, model); });
  QObject::connect(ui::ControlAs<QPushButton>(d, res::kIdCancel), &QPushButton::clicked, d, &QDialog::reject);
  QObject::connect(list, &QTableView::doubleClicked, d, [&](const QModelIndex& index) {
    const QString code = model.item(index.row(), 2)->text();
    const QString first_candidate = model.item(index.row(), 3)->text().section(' ', 0, 0);
    chosen = code.isEmpty() ? first_candidate : code;
    if (chosen.size() == 7) d->accept();
  });
  d->exec();
  return d->result() == QDialog::Accepted ? chosen : QString();
}

}  // namespace tovra
