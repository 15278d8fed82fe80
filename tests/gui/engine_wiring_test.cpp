// The main dialog over the real engine and two small data files: index checks at start, the
// business file joining the searches, browsing, the hyphen option.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "gui_test_support.h"
#include "resources.h"
#include "result_model.h"
#include "template_builder.h"

using namespace tovra;
using namespace tovra::res;

namespace {

constexpr char kKenAll[] =
    "01101,\"060  \",\"0600000\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ\",\"北海道\","
    "\"札幌市中央区\",\"以下に掲載がない場合\",0,0,0,0,0,0\r\n"
    "01101,\"064  \",\"0640941\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ｱｻﾋｶﾞｵｶ\",\"北海道\","
    "\"札幌市中央区\",\"旭ケ丘\",0,0,1,0,0,0\r\n"
    "01202,\"040  \",\"0400000\",\"ﾎｯｶｲﾄﾞｳ\",\"ﾊｺﾀﾞﾃｼ\",\"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ\",\"北海道\","
    "\"函館市\",\"以下に掲載がない場合\",0,0,0,0,0,0\r\n"
    "02201,\"030  \",\"0300000\",\"ｱｵﾓﾘｹﾝ\",\"ｱｵﾓﾘｼ\",\"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ\",\"青森県\","
    "\"青森市\",\"以下に掲載がない場合\",0,0,0,0,0,0\r\n";
constexpr char kJigyosyo[] =
    "01101,\"ﾎｯｶｲﾄﾞｳﾁｮｳ\",\"北海道庁\",\"北海道\",\"札幌市中央区\",\"北三条西\",\"６丁目\","
    "\"0608588\",\"060  \",\"札幌中央\",0,0,0\r\n";

void WriteCp932(const QString& path, const char* utf8) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  const std::string bytes = Sjis(utf8);
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

struct RealFixture {
  test::ProgramFolder folder;
  test::MessageCapture messages;
  Settings settings;
  std::unique_ptr<MainDialog> main;

  explicit RealFixture(bool withJigyosyo) {
    QDir(folder.dir.path()).mkpath("data");
    WriteCp932(folder.dir.filePath("data/ken_all.csv"), kKenAll);
    if (withJigyosyo) WriteCp932(folder.dir.filePath("data/jigyosyo.csv"), kJigyosyo);
    settings = DefaultSettings(folder.path());
    main = std::make_unique<MainDialog>(settings, folder.path());
    main->Start();
    test::Settle();
  }
  QDialog* d() const { return main->dialog(); }
  void search(int mode, int option, const char* text) {
    ui::ControlAs<QAbstractButton>(d(), mode)->click();
    if (option) ui::ControlAs<QAbstractButton>(d(), option)->click();
    ui::ControlAs<QLineEdit>(d(), kSearchText)->setText(QString::fromUtf8(text));
    ui::ControlAs<QAbstractButton>(d(), kIdOk)->click();
    test::Settle();
  }
  QStringList column(int c) const {
    QStringList out;
    for (int r = 0; r < main->results()->rowCount(); ++r) {
      out << main->results()->index(r, c).data().toString();
    }
    return out;
  }
};

class EngineWiringTest : public QObject {
  Q_OBJECT

 private slots:
  void startIndexesBothFilesAndOffersTheBusinessData() {
    RealFixture f(true);
    QVERIFY(!f.settings.ken_all_time.empty());
    QVERIFY(!f.settings.jigyosyo_time.empty());
    QVERIFY(ui::ControlAs<QCheckBox>(f.d(), kUseBusinessData)->isChecked());
    f.search(kModePostCode, kPostCodePrefix, "060");
    QCOMPARE(f.column(0), (QStringList{"060-0000", "060-8588"}));
    QCOMPARE(f.column(10), (QStringList{"", "北海道庁"}));
    ui::ControlAs<QCheckBox>(f.d(), kUseBusinessData)->setChecked(false);
    f.search(kModePostCode, kPostCodePrefix, "060");
    QCOMPARE(f.column(0), QStringList{"060-0000"});
    QVERIFY(f.messages.seen.empty());
  }

  void withoutTheBusinessFileOnlyTheMainFileIsSearched() {
    RealFixture f(false);
    QVERIFY(!ui::Control(f.d(), kUseBusinessData)->isEnabled());
    f.search(kModeAddress, kAddressContains, "札幌");
    QCOMPARE(f.column(0), (QStringList{"060-0000", "064-0941"}));
    f.search(kModeDantai, 0, "01202");
    QCOMPARE(f.column(5), QStringList{"函館市"});
  }

  void browsingWalksPrefecturesAndCities() {
    RealFixture f(true);
    ui::ControlAs<QAbstractButton>(f.d(), kModeBrowse)->click();
    test::Settle();
    auto* cities = ui::ControlAs<QComboBox>(f.d(), kCityList);
    QCOMPARE(cities->count(), 2);
    QCOMPARE(cities->itemText(0), QString("札幌市中央区"));
    QCOMPARE(f.column(0), (QStringList{"060-0000", "060-8588", "064-0941"}));
    // 青森県 has one city; 岩手県 has none, which empties the list.
    auto* prefectures = ui::ControlAs<QComboBox>(f.d(), kPrefectureList);
    prefectures->setFocus();
    QTest::keyClick(prefectures, Qt::Key_Down);
    test::Settle();
    QCOMPARE(f.column(5), QStringList{"青森市"});
    QTest::keyClick(prefectures, Qt::Key_Down);
    test::Settle();
    QCOMPARE(cities->count(), 0);
    QCOMPARE(f.main->results()->rowCount(), 0);
  }

  void theHyphenOptionShapesThePostalCodes() {
    RealFixture f(true);
    f.settings.add_hyphen = 0;
    f.search(kModePostCode, kPostCodeExact, "040-0000");
    QCOMPARE(f.column(0), QStringList{"0400000"});
  }
};

}  // namespace

QTEST_MAIN(EngineWiringTest)
#include "engine_wiring_test.moc"
