// Renders the desktop program's windows into PNG files: the main dialog after a real search in
// each of the five modes, and each secondary dialog. Run on the offscreen platform by
// tools/screenshots.sh: tovra-screenshots PROGRAM_DIR OUT_DIR
#include <cstdio>
#include <functional>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>

#include "help_window.h"
#include "main_dialog.h"
#include "resources.h"
#include "result_list.h"
#include "result_model.h"
#include "secondary_dialogs.h"
#include "settings.h"
#include "template_builder.h"

namespace {

using namespace tovra;

QString g_out;

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void SettleFor(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(QWidget* w, const char* name) {
  Settle();
  const QString path = g_out + "/" + name + ".png";
  if (!w->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  std::printf("%s\n", qPrintable(path));
}

void Click(QDialog* d, int id) {
  ui::ControlAs<QAbstractButton>(d, id)->click();
  Settle();
}

// A click on the first row, as the user would make it, so that the output fields fill.
void ClickFirstRow(MainDialog& main) {
  QTableView* list = main.resultList();
  if (main.results()->rowCount() == 0) return;
  list->selectRow(0);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), list->viewport()->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &release);
  Settle();
}

void SearchAndSave(MainDialog& main, int mode, int option, const char* text, const char* name) {
  QDialog* d = main.dialog();
  Click(d, mode);
  if (option) Click(d, option);
  ui::ControlAs<QLineEdit>(d, res::kSearchText)->setText(QString::fromUtf8(text));
  Click(d, res::kIdOk);
  ClickFirstRow(main);
  std::printf("%s: %d rows\n", name, main.results()->rowCount());
  Save(d, name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tovra-screenshots PROGRAM_DIR OUT_DIR\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setFont(ui::DialogFont(res::kMainDialog));
  ui::SetIconResolver(res::IconResource);
  std::string dir = argv[1];
  if (dir.back() != '/') dir += '/';
  g_out = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(g_out);

  // Settings of a first start: no settings file, no index yet (the notice appears during the
  // build); the window and its columns as a user first sees them.
  Settings settings = DefaultSettings(dir);
  settings.column_width = FirstStartColumnWidths();
  MainDialog main(settings, dir);
  main.Start();
  Settle();
  QDialog* d = main.dialog();

  SearchAndSave(main, res::kModePostCode, res::kPostCodePrefix, "060-00", "main-postcode");
  SearchAndSave(main, res::kModeAreaCode, res::kAreaShowDistricts, "0153", "main-areacode");
  SearchAndSave(main, res::kModeAddress, res::kAddressContains, "札幌市+大通", "main-address");
  SearchAndSave(main, res::kModeDantai, 0, "13101", "main-dantai");
  Click(d, res::kModeBrowse);
  ClickFirstRow(main);
  std::printf("main-browse: %d rows\n", main.results()->rowCount());
  Save(d, "main-browse");

  RunSettingsDialog(d, settings, [](QDialog* s) {
    QMetaObject::invokeMethod(
        s,
        [s] {
          Save(s, "settings");
          // 参照 opens the file dialog modally: it is taken from inside its own loop.
          QTimer::singleShot(0, [] {
            auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!chooser) return;
            SettleFor(500);  // the folder is listed by a thread of the file dialog
            Save(chooser, "file-dialog");
            chooser->reject();
          });
          ui::ControlAs<QAbstractButton>(s, res::kKenAllBrowse)->click();
          s->reject();
        },
        Qt::QueuedConnection);
  });
  RunAboutDialog(d, [](QDialog* s) {
    QMetaObject::invokeMethod(s, [s] { Save(s, "about"); s->reject(); }, Qt::QueuedConnection);
  });
  RunSpecialNumbersDialog(d, [](QDialog* s) {
    QMetaObject::invokeMethod(s, [s] { Save(s, "three-digit-numbers"); s->reject(); },
                              Qt::QueuedConnection);
  });
  {
    IndexNotice notice(d);
    Save(notice.dialog(), "index-notice");
  }
  HelpWindow help;
  help.ShowPage(HelpIndexPath(dir));
  help.resize(700, 640);
  Save(&help, "help");
  return 0;
}
