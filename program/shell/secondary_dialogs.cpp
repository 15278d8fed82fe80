#include "secondary_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QHeaderView>
#include <QDateTime>
#include <QLocale>

#include "meklan.h"
#include "resources.h"
#include "template_builder.h"

namespace tovra {
namespace {

FileChooser& ChooserHook() {
  static FileChooser hook;
  return hook;
}

// Qt's dialog opens at its size hint, too narrow for the size, type and date columns of its
// detail view, which it cuts to "11.…MiB": it opens here wide enough for each of them and a
// name of 40 characters, within the screen.
void FitFileDialog(QFileDialog& dialog) {
  const QFontMetrics metrics = dialog.fontMetrics();
  const int room = metrics.horizontalAdvance(QStringLiteral("MM"));
  const int widths[] = {
      metrics.averageCharWidth() * 40,
      metrics.horizontalAdvance(QStringLiteral("999.99 MiB")) + room,
      metrics.horizontalAdvance(QStringLiteral("CSV document")) + room,
      metrics.horizontalAdvance(QLocale().toString(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)),
                                                   QLocale::ShortFormat)) + room,
  };
  int columns = 0;
  if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    for (int c = 0; c < 4; ++c) {
      view->header()->resizeSection(c, widths[c]);
      columns += widths[c];
    }
  }
  // The places list on the left, the scroll bar and the margins.
  QSize size(columns + metrics.averageCharWidth() * 30, metrics.lineSpacing() * 28);
  if (const QScreen* screen = dialog.screen()) {
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  }
  dialog.resize(size.expandedTo(dialog.sizeHint()));
}

QString RunFileDialog(const FileChoice& choice) {
  // Qt's own dialog: its name filters match without regard to case, so "*.CSV" also lists
  // ken_all.csv, and it looks the same on every desktop.
  QFileDialog dialog(choice.owner, choice.title, choice.initial);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ReadOnly);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(choice.filters);
  if (!choice.filters.isEmpty()) dialog.selectNameFilter(choice.filters.front());
  if (!choice.initial.isEmpty()) dialog.selectFile(choice.initial);
  dialog.setViewMode(QFileDialog::Detail);
  FitFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

QString ChooseFile(const FileChoice& choice) {
  return ChooserHook() ? ChooserHook()(choice) : RunFileDialog(choice);
}

// Paths are held in 260-byte buffers; a longer one is cut on a character boundary.
std::string CutPath(const QString& text) {
  std::string bytes = text.toStdString();
  if (bytes.size() <= kPathMax) return bytes;
  std::size_t cut = kPathMax;
  while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
  bytes.resize(cut);
  return bytes;
}

void BindBrowse(QDialog* dialog, int buttonId, int editId) {
  auto* edit = ui::ControlAs<QLineEdit>(dialog, editId);
  QObject::connect(ui::ControlAs<QPushButton>(dialog, buttonId), &QPushButton::clicked, dialog,
                   [dialog, edit] {
                     const QString chosen = ChooseFile(
                         {dialog, DataFileChooserTitle(), edit->text(), DataFileFilters()});
                     if (!chosen.isEmpty()) edit->setText(chosen);
                   });
}

void BindClose(QDialog* dialog, int buttonId, bool accept) {
  QObject::connect(ui::ControlAs<QPushButton>(dialog, buttonId), &QPushButton::clicked, dialog,
                   accept ? &QDialog::accept : &QDialog::reject);
}

std::unique_ptr<QDialog> Build(const ui::DialogTemplate& t, QWidget* owner) {
  std::unique_ptr<QDialog> dialog(ui::BuildDialog(t, owner));
  dialog->setWindowIcon(res::ProgramIcon());
  dialog->setModal(true);
  return dialog;
}

// Keeps the notice open against the close box and Esc.
class IgnoreClose : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) {
      event->ignore();
      return true;
    }
    return event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress;
  }
};

// "2003/12/01（2003年版）" and the current edition's date on a second line.
QString TableDatesText() {
  char old_date[MEKLAN_DAYDATA_SIZE] = {};
  char current_date[MEKLAN_DAYDATA_SIZE] = {};
  MEKLAN_EditionGetDayData(MEKLAN_EDITION_2003, old_date);
  MEKLAN_EditionGetDayData(MEKLAN_EDITION_CURRENT, current_date);
  return QString::fromLatin1(old_date) + QStringLiteral("（2003年版）\n") + QString::fromLatin1(current_date) +
         QStringLiteral("（現行版）");
}

}  // namespace

void SetFileChooserHook(FileChooser hook) { ChooserHook() = std::move(hook); }

QString DataFileChooserTitle() { return QStringLiteral("ファイル名の参照"); }

QStringList DataFileFilters() {
  return {QStringLiteral("CSVファイル(*.CSV)"), QStringLiteral("すべてのファイル(*.*)")};
}

int RunSettingsDialog(QWidget* owner, Settings& settings,
                      const std::function<void(QDialog*)>& onOpen) {
  std::unique_ptr<QDialog> dialog = Build(res::kSettingsDialog, owner);
  QDialog* d = dialog.get();
  auto* kenAll = ui::ControlAs<QLineEdit>(d, res::kKenAllPath);
  auto* jigyosyo = ui::ControlAs<QLineEdit>(d, res::kJigyosyoPath);
  auto* hyphen = ui::ControlAs<QCheckBox>(d, res::kHyphenOption);
  kenAll->setText(QString::fromStdString(settings.ken_all_path));
  jigyosyo->setText(QString::fromStdString(settings.jigyosyo_path));
  hyphen->setChecked(settings.add_hyphen != 0);
  auto* edition = ui::ControlAs<QCheckBox>(d, res::kEditionOption);
  edition->setChecked(settings.ma_edition == MEKLAN_EDITION_CURRENT);
  BindBrowse(d, res::kKenAllBrowse, res::kKenAllPath);
  BindBrowse(d, res::kJigyosyoBrowse, res::kJigyosyoPath);
  BindClose(d, res::kIdOk, true);
  BindClose(d, res::kIdCancel, false);
  if (onOpen) onOpen(d);
  if (d->exec() != QDialog::Accepted) return 0;
  settings.ken_all_path = CutPath(kenAll->text());
  settings.jigyosyo_path = CutPath(jigyosyo->text());
  settings.add_hyphen = hyphen->isChecked() ? 1 : 0;
  settings.ma_edition = edition->isChecked() ? MEKLAN_EDITION_CURRENT : MEKLAN_EDITION_2003;
  return 1;
}

int RunAboutDialog(QWidget* owner, const std::function<void(QDialog*)>& onOpen) {
  std::unique_ptr<QDialog> dialog = Build(res::kAboutDialog, owner);
  QDialog* d = dialog.get();
  ui::ControlAs<QLabel>(d, res::kVersionText)->setText(QString::fromUtf8(res::kProgramVersionText));
  ui::ControlAs<QLabel>(d, res::kTableDatesText)->setText(TableDatesText());
  BindClose(d, res::kIdCancel, false);
  ui::Control(d, res::kIdCancel)->setFocus();
  if (onOpen) onOpen(d);
  d->exec();
  return 0;
}

int RunSpecialNumbersDialog(QWidget* owner, const std::function<void(QDialog*)>& onOpen) {
  std::unique_ptr<QDialog> dialog = Build(res::kSpecialNumbersDialog, owner);
  QDialog* d = dialog.get();
  auto* list = ui::ControlAs<QListWidget>(d, res::kSpecialNumberList);
  for (const char* entry : res::SpecialNumbers()) list->addItem(QString::fromUtf8(entry));
  BindClose(d, res::kIdCancel, false);
  if (onOpen) onOpen(d);
  d->exec();
  return 0;
}

IndexNotice::IndexNotice(QWidget* owner) : dialog_(ui::BuildDialog(res::kNoticeDialog, owner)) {
  dialog_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::FramelessWindowHint);
  dialog_->setWindowIcon(res::ProgramIcon());
  dialog_->setFocusPolicy(Qt::NoFocus);
  dialog_->installEventFilter(new IgnoreClose(dialog_.get()));
  // Without a caption the window manager draws no frame: the notice draws its own.
  QWidget* client = ui::ClientArea(dialog_.get());
  auto* frame = new QFrame(client);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  frame->setLineWidth(2);
  frame->setGeometry(QRect(QPoint(0, 0), dialog_->size()));
  frame->lower();
  dialog_->show();
  // The build that follows runs without serving the event loop: paint the notice now.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  dialog_->repaint();
}

IndexNotice::~IndexNotice() = default;

}  // namespace tovra
