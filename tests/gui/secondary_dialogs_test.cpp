// Settings 108, About 105, special numbers 111, the notice 107 and the help pages.
#include <QCheckBox>
#include <QDialog>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QRegularExpression>
#include <QScreen>

#include "gui_test_support.h"
#include "help_window.h"
#include "resources.h"
#include "secondary_dialogs.h"
#include "template_builder.h"

using namespace tovra;
using namespace tovra::res;

namespace {

// Runs `act` on the dialog once its modal loop runs.
std::function<void(QDialog*)> Then(std::function<void(QDialog*)> act) {
  return [act](QDialog* d) { QTimer::singleShot(0, d, [d, act] { act(d); }); };
}

Settings SampleSettings() {
  Settings s = DefaultSettings("/opt/tovra/");
  s.ken_all_path = "/data/KEN_ALL.CSV";
  s.jigyosyo_path = "/data/JIGYOSYO.CSV";
  s.add_hyphen = 1;
  return s;
}

class SecondaryDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { SetFileChooserHook(nullptr); }

  void settingsCancelAfterBrowsingChangesNothing() {
    Settings s = SampleSettings();
    std::vector<FileChoice> asked;
    SetFileChooserHook([&](const FileChoice& c) {
      asked.push_back(c);
      return QStringLiteral("/elsewhere/ken_all.csv");
    });
    const int result = RunSettingsDialog(nullptr, s, Then([](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("動作設定"));
      QCOMPARE(ui::ControlAs<QLineEdit>(d, kKenAllPath)->text(), QString("/data/KEN_ALL.CSV"));
      QVERIFY(ui::ControlAs<QCheckBox>(d, kHyphenOption)->isChecked());
      ui::ControlAs<QPushButton>(d, kKenAllBrowse)->click();
      QCOMPARE(ui::ControlAs<QLineEdit>(d, kKenAllPath)->text(), QString("/elsewhere/ken_all.csv"));
      ui::ControlAs<QCheckBox>(d, kHyphenOption)->setChecked(false);
      ui::ControlAs<QPushButton>(d, kIdCancel)->click();
    }));
    QCOMPARE(result, 0);
    QCOMPARE(s.ken_all_path, std::string("/data/KEN_ALL.CSV"));
    QCOMPARE(s.jigyosyo_path, std::string("/data/JIGYOSYO.CSV"));
    QCOMPARE(s.add_hyphen, 1);
    // The chooser was asked with the exact title, filters and the field's text.
    QCOMPARE(asked.size(), size_t{1});
    QCOMPARE(asked[0].title, QString("ファイル名の参照"));
    QCOMPARE(asked[0].filters, (QStringList{"CSVファイル(*.CSV)", "すべてのファイル(*.*)"}));
    QCOMPARE(asked[0].initial, QString("/data/KEN_ALL.CSV"));
  }

  void settingsOkTakesTheFieldsAndTheCheckBox() {
    Settings s = SampleSettings();
    SetFileChooserHook([](const FileChoice&) { return QString(); });  // the user cancels
    const int result = RunSettingsDialog(nullptr, s, Then([](QDialog* d) {
      ui::ControlAs<QPushButton>(d, kJigyosyoBrowse)->click();
      QCOMPARE(ui::ControlAs<QLineEdit>(d, kJigyosyoPath)->text(), QString("/data/JIGYOSYO.CSV"));
      ui::ControlAs<QLineEdit>(d, kKenAllPath)->setText(QString(300, QChar(0x3042)) + "/x.csv");
      ui::ControlAs<QLineEdit>(d, kJigyosyoPath)->clear();
      ui::ControlAs<QCheckBox>(d, kHyphenOption)->setChecked(false);
      QVERIFY(ui::ControlAs<QCheckBox>(d, kEditionOption)->isChecked());  // the current edition
      ui::ControlAs<QCheckBox>(d, kEditionOption)->setChecked(false);
      ui::ControlAs<QPushButton>(d, kIdOk)->click();
    }));
    QCOMPARE(result, 1);
    QCOMPARE(s.add_hyphen, 0);
    QCOMPARE(s.ma_edition, 0);  // the tables of 2003
    QCOMPARE(s.jigyosyo_path, std::string());  // stored empty; the next start uses the default
    // A path too long for its field is cut, and not inside a character.
    QVERIFY(s.ken_all_path.size() <= kPathMax);
    QVERIFY(QString::fromStdString(s.ken_all_path).toStdString() == s.ken_all_path);
    QVERIFY(!QString::fromStdString(s.ken_all_path).contains(QChar(0xFFFD)));
  }

  void theRealChooserListsCsvFilesOfEitherCase() {
    QTemporaryDir dir;
    for (const char* name : {"KEN_ALL.CSV", "jigyosyo.csv", "notes.txt"}) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QStringList shown;
    QString title;
    QString filter;
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
      auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!chooser) return;
      auto* list = chooser->findChild<QListView*>("listView");
      if (!list || list->model()->rowCount(list->rootIndex()) < 2) return;
      poll->stop();
      title = chooser->windowTitle();
      filter = chooser->selectedNameFilter();
      for (int r = 0; r < list->model()->rowCount(list->rootIndex()); ++r) {
        shown << list->model()->index(r, 0, list->rootIndex()).data().toString();
      }
      chooser->reject();
    });
    poll->start(20);
    QTimer::singleShot(10000, [] {  // never hang: give up on the chooser
      if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) w->reject();
    });
    Settings s = SampleSettings();
    s.ken_all_path = dir.filePath("KEN_ALL.CSV").toStdString();
    RunSettingsDialog(nullptr, s, Then([](QDialog* d) {
      ui::ControlAs<QPushButton>(d, kKenAllBrowse)->click();
      d->reject();
    }));
    delete poll;
    shown.sort();
    QCOMPARE(title, QString("ファイル名の参照"));
    QCOMPARE(filter, QString("CSVファイル(*.CSV)"));
    QCOMPARE(shown, (QStringList{"KEN_ALL.CSV", "jigyosyo.csv"}));
  }

  void aboutShowsTheVersionWithFocusOnOk() {
    QString version;
    QString dates;
    bool okHasFocus = false;
    RunAboutDialog(nullptr, Then([&](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("バージョン情報"));
      version = ui::ControlAs<QLabel>(d, kVersionText)->text();
      dates = ui::ControlAs<QLabel>(d, kTableDatesText)->text();
      okHasFocus = d->focusWidget() == ui::Control(d, kIdCancel);
      QTest::keyClick(d, Qt::Key_Escape);
    }));
    QCOMPARE(version, QString("0.52(2003/12/17)"));
    QCOMPARE(dates, QString("2003/12/01（2003年版）\n2026/02/10（現行版）"));
    QVERIFY(okHasFocus);
  }

  void specialNumbersListsThirtyEntriesInOrder() {
    QStringList entries;
    RunSpecialNumbersDialog(nullptr, Then([&](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("3桁特番一覧"));
      auto* list = ui::ControlAs<QListWidget>(d, kSpecialNumberList);
      for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
      ui::ControlAs<QPushButton>(d, kIdCancel)->click();
    }));
    QCOMPARE(entries.size(), 30);
    QCOMPARE(entries.front(), QString("100　オペレータ通話"));
    QCOMPARE(entries.back(), QString("186　発信者番号通知"));
    QStringList byTable;
    for (const char* e : SpecialNumbers()) byTable << QString::fromUtf8(e);
    QCOMPARE(entries, byTable);  // sorting keeps the table order
    QCOMPARE(entries.filter("第二種パケット通信").size(), 3);
  }

  void dialogsOpenCentredOnTheScreenNotOnTheirOwner() {
    QDialog owner;
    owner.setGeometry(10, 10, 200, 150);  // far from the screen's middle
    owner.show();
    const QPoint middle = owner.screen()->availableGeometry().center();
    std::vector<QPoint> centres;
    auto record = Then([&centres](QDialog* d) {
      centres.push_back(d->geometry().center());
      d->reject();
    });
    Settings s = SampleSettings();
    RunSettingsDialog(&owner, s, record);
    RunAboutDialog(&owner, record);
    RunSpecialNumbersDialog(&owner, record);
    {
      IndexNotice notice(&owner);
      centres.push_back(notice.dialog()->geometry().center());
    }
    QCOMPARE(centres.size(), 4u);
    for (const QPoint& c : centres) {
      QVERIFY2((c - middle).manhattanLength() <= 4,
               qPrintable(QString("%1,%2 vs %3,%4").arg(c.x()).arg(c.y()).arg(middle.x()).arg(middle.y())));
    }
  }

  void theNoticeCannotBeClosedByTheUser() {
    QDialog owner;
    IndexNotice notice(&owner);
    QDialog* d = notice.dialog();
    QVERIFY(d->isVisible());
    QCOMPARE(d->findChildren<QPushButton*>().size(), 0);
    QVERIFY(!d->close());
    QTest::keyClick(d, Qt::Key_Escape);
    QVERIFY(d->isVisible());
    QVERIFY(d->findChild<QLabel*>() != nullptr);
  }

  void everyHelpPageOpensAndLinksResolve() {
    QDirIterator pages(QStringLiteral(TOVRA_HELP_DIR), {"*.html"});
    int count = 0;
    HelpWindow help;
    while (pages.hasNext()) {
      const QString page = pages.next();
      help.ShowPage(page);
      QVERIFY2(help.PageFound(), qPrintable(page));
      const QString text = help.browser()->toPlainText();
      QVERIFY2(text.contains("TOVRA") || text.size() > 200, qPrintable(page));
      // Every local link names a page that exists.
      const QString html = help.browser()->document()->toHtml();
      QRegularExpression link(R"re(href="([a-z]+\.html)")re");
      for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        QVERIFY2(QFile::exists(QStringLiteral(TOVRA_HELP_DIR) + "/" + target),
                 qPrintable(page + " -> " + target));
      }
      ++count;
    }
    QVERIFY(count >= 9);
  }

  void aMissingHelpPageIsReportedInTheWindow() {
    HelpWindow help;
    help.ShowPage("/nonexistent/help/index.html");
    QVERIFY(!help.PageFound());
    QVERIFY(help.browser()->toPlainText().contains("ヘルプファイルが見つかりません"));
    QVERIFY(help.browser()->toPlainText().contains("/nonexistent/help/index.html"));
  }
};

}  // namespace

QTEST_MAIN(SecondaryDialogsTest)
#include "secondary_dialogs_test.moc"
