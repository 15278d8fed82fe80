// The desktop program started over a hostile settings file: it reaches its main dialog, a search
// tells the user what is wrong, and the quit leaves a clean settings file.
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "gui_test_support.h"
#include "resources.h"
#include "result_model.h"
#include "template_builder.h"

using namespace tovra;
using namespace tovra::res;

namespace {

void WriteBytes(const QString& path, const std::string& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

const std::string kSapporo = Sjis(
    "01101,\"060  \",\"0600001\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ｷﾀ1ｼﾞｮｳﾆｼ\",\"北海道\",\"札幌市中央区\","
    "\"北一条西\",0,0,1,0,0,0\r\n");

// Garbage bytes around keys that point the data files at directories, with numbers far beyond
// what a window or a column can take.
std::string HostileIni(const std::string& ken, const std::string& jig) {
  std::string ini(1500, '\xFF');
  ini += std::string("\0\x82[", 3) + "\r\n[WINDOW]\r\nLEFT=-99999999999\r\nTOP=99999999999\r\nRIGHT=99999999999\r\n"
         "BOTTOM=-5\r\n[POSTCODE]\r\nPostAllFile=" + ken + "\r\nPostAllFileDate=" + std::string(500, 'x') +
         "\r\n[POSTJIGCODE]\r\nPostJigFile=" + jig + "\r\n[LISTVIEW]\r\niWidthPostCode=99999999999\r\n"
         "iWidthCity=-99999999999\r\n[POSTCODE]\r\npfc0num=48\r\npfc0start=-1\r\n";
  return ini + std::string(800, '\0');
}

struct Started {
  test::ProgramFolder folder;
  test::MessageCapture messages;
  Settings settings;
  std::unique_ptr<MainDialog> main;

  Started(bool ken_is_directory) {
    QDir program(folder.dir.path());
    program.mkpath("data/ken_dir");
    program.mkpath("data/jig_dir");
    WriteBytes(program.filePath("data/ken_all.csv"), kSapporo);
    const std::string ken = folder.path() + (ken_is_directory ? "data/ken_dir" : "data/ken_all.csv");
    WriteBytes(program.filePath("ini/tovra.ini"), HostileIni(ken, folder.path() + "data/jig_dir"));
    LoadSettings(SettingsPath(folder.path()), folder.path(), settings);
    main = std::make_unique<MainDialog>(settings, folder.path());
    main->Start();
    test::Settle();
  }
  QDialog* d() const { return main->dialog(); }
  void searchPostCode(const char* text) {
    ui::ControlAs<QAbstractButton>(d(), kModePostCode)->click();
    ui::ControlAs<QLineEdit>(d(), kSearchText)->setText(QString::fromUtf8(text));
    ui::ControlAs<QAbstractButton>(d(), kIdOk)->click();
    test::Settle();
  }
  void quitAndExpectACleanSettingsFile() {
    main->Command(kIdCancel);
    test::Settle();
    QVERIFY(main->quitDone());
    Settings back;
    LoadSettings(SettingsPath(folder.path()), folder.path(), back);
    QCOMPARE(back.ken_all_path, settings.ken_all_path);
    // The window opened at a place a screen has, not at the numbers of the damaged file.
    QVERIFY(std::abs(back.window.left) < 100000 && std::abs(back.window.right) < 100000);
    QFile saved(QString::fromStdString(SettingsPath(folder.path())));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith("[INI_WRITE_VERSION]\r\nVERSION=520\r\n"));
  }
};

class HostileStartTest : public QObject {
  Q_OBJECT

 private slots:
  void garbageSettingsAndADirectoryForTheDataFile() {
    Started s(true);
    QVERIFY(s.d()->isVisible());
    QVERIFY(s.messages.seen.empty());  // nothing to index at start: the file is not there
    QVERIFY(!ui::Control(s.d(), kUseBusinessData)->isEnabled());
    s.searchPostCode("060-0001");
    QCOMPARE(s.messages.seen.size(), size_t{1});
    QCOMPARE(s.messages.seen[0].text, QString::fromStdString(s.settings.ken_all_path) + "\nが見つかりません");
    QCOMPARE(s.messages.seen[0].caption, QString());
    QCOMPARE(s.main->results()->rowCount(), 0);
    s.quitAndExpectACleanSettingsFile();
  }

  void garbageSettingsWithAGoodDataFileStillFindIt() {
    Started s(false);
    QVERIFY(s.messages.seen.empty());
    QVERIFY(!ui::Control(s.d(), kUseBusinessData)->isEnabled());  // its path is a directory
    s.searchPostCode("060-0001");
    QVERIFY(s.messages.seen.empty());
    QCOMPARE(s.main->results()->rowCount(), 1);
    QCOMPARE(s.main->results()->index(0, 5).data().toString(), QString("札幌市中央区"));
    s.quitAndExpectACleanSettingsFile();
  }

  // tovra-search rebuilt and saved an index while the desktop program ran: the quit keeps it.
  void quitKeepsWhatAnotherProgramSavedMeanwhile() {
    Started s(false);
    Settings other = s.settings;
    other.jigyosyo_time = "Thu Dec 10 10:00:00 2026";
    other.jigyosyo_index.run[0] = {'1', 0, 5};
    QVERIFY(SaveSettings(SettingsPath(s.folder.path()), other, nullptr, kJigyosyoIndexPart));
    s.quitAndExpectACleanSettingsFile();
    Settings back;
    LoadSettings(SettingsPath(s.folder.path()), s.folder.path(), back);
    QCOMPARE(back.jigyosyo_time, other.jigyosyo_time);
    QCOMPARE(back.jigyosyo_index.run[0].num, '1');
    QCOMPARE(back.ken_all_time, s.settings.ken_all_time);  // what the desktop program rebuilt
  }
};

}  // namespace

QTEST_MAIN(HostileStartTest)
#include "hostile_gui_test.moc"
