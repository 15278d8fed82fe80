// The written-address dialog 112 on the bundled KEN_ALL.CSV: pasted addresses become rows, a
// double click hands the row's postal code back to the main dialog.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "resolve_dialog.h"
#include "resources.h"
#include "template_builder.h"

using namespace tovra;
using namespace tovra::res;

class ResolveDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void pastedAddressesBecomeRowsAndADoubleClickPicksTheCode() {
    Settings settings = DefaultSettings("/nonexistent/");
    settings.ken_all_path = std::string(POSTAL_DATA_DIR) + "/ken_all.csv";
    QStringList seen;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(d);
      QCOMPARE(d->objectName(), QString("112"));
      ui::ControlAs<QPlainTextEdit>(d, kResolveInput)->setPlainText("港区芝2-10-2\n\n京都市中京区亀屋町\nほげ\n");
      ui::ControlAs<QPushButton>(d, kResolveRun)->click();
      auto* list = ui::ControlAs<QTableView>(d, kResolveList);
      const QAbstractItemModel* model = list->model();
      for (int r = 0; r < model->rowCount(); ++r)
        seen << model->index(r, 1).data().toString() + ":" + model->index(r, 2).data().toString();
      ui::ControlAs<QPushButton>(d, kResolveCopy)->click();
      emit list->doubleClicked(model->index(0, 0));
    });
    const QString code = RunResolveDialog(nullptr, settings);
    QCOMPARE(seen, QStringList({"4:1050014", "3:", "0:"}));  // the blank line is passed over
    QCOMPARE(code, QString("1050014"));
    QCOMPARE(QApplication::clipboard()->text().count('\n'), 3);
  }
};

QTEST_MAIN(ResolveDialogTest)
#include "resolve_dialog_test.moc"
