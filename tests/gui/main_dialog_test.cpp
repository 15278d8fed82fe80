// The main search dialog: state at start, enabling rules, the calls each mode makes, the
// postal-code key, browsing, the output fields, keyboard, geometry and the quit path.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "gui_test_support.h"
#include "help_window.h"
#include "resources.h"
#include "result_list.h"
#include "result_model.h"
#include "template_builder.h"

using namespace tovra;
using namespace tovra::res;
using tovra::test::Row;

namespace {

constexpr int kModeDependent[] = {kSearchText,     kPrefectureList,   kCityList,
                                  kPostCodeExact,  kPostCodePrefix,   kPostCodeContains,
                                  kAreaShowPostal, kAreaShowDistricts, kAddressExact,
                                  kAddressContains};

// A started main dialog over a recording engine.
struct Fixture {
  test::ProgramFolder folder;
  test::Recorder recorder;
  test::MessageCapture messages;
  Settings settings;
  std::unique_ptr<MainDialog> main;

  explicit Fixture(bool jigyosyoExists = true) {
    recorder.jigyosyoExists = jigyosyoExists;
    settings = DefaultSettings(folder.path());
    main = std::make_unique<MainDialog>(settings, folder.path(), recorder.Calls());
    main->Start();
    test::Settle();
    recorder.calls.clear();
  }
  QDialog* d() const { return main->dialog(); }
  QWidget* c(int id) const { return ui::Control(d(), id); }
  template <typename T>
  T* as(int id) const { return ui::ControlAs<T>(d(), id); }
  void click(int id) {
    as<QAbstractButton>(id)->click();
    test::Settle();
  }
  void search(const char* text) {
    as<QLineEdit>(kSearchText)->setText(QString::fromUtf8(text));
    click(kIdOk);
  }
  QString text(int id) const { return as<QLineEdit>(id)->text(); }
  void clickRow(int row) {
    QTableView* list = main->resultList();
    const QRect cell = list->visualRect(main->results()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    test::Settle();
  }
  void clickBelowRows() {
    QTableView* list = main->resultList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(10, list->viewport()->height() - 3));
    test::Settle();
  }
  QStringList calls() const {
    QStringList out;
    for (const std::string& s : recorder.calls) out << QString::fromStdString(s);
    return out;
  }
};

class MainDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void startsInPostalCodeModeAfterBothIndexChecks() {
    test::ProgramFolder folder;
    test::Recorder recorder;
    Settings settings = DefaultSettings(folder.path());
    MainDialog main(settings, folder.path(), recorder.Calls());
    QVERIFY(recorder.calls.empty());  // the checks are posted, not run during creation
    main.Start();
    test::Settle();
    QCOMPARE(recorder.calls,
             (std::vector<std::string>{"CheckPostIndex KEN_ALL", "CheckPostIndex JIGYOSYO"}));
    QDialog* d = main.dialog();
    QCOMPARE(d->windowTitle(), QString("TOVRA"));
    QVERIFY(ui::ControlAs<QRadioButton>(d, kModePostCode)->isChecked());
    QVERIFY(ui::ControlAs<QRadioButton>(d, kPostCodeExact)->isChecked());
    QVERIFY(ui::ControlAs<QRadioButton>(d, kAddressExact)->isChecked());
    QVERIFY(ui::ControlAs<QRadioButton>(d, kAreaShowPostal)->isChecked());
    for (int id : kModeDependent) {
      const bool on = id == kSearchText || id == kPostCodeExact || id == kPostCodePrefix ||
                      id == kPostCodeContains;
      QVERIFY2(ui::Control(d, id)->isEnabled() == on, qPrintable(QString::number(id)));
    }
    QVERIFY(!ui::Control(d, kIdOk)->isEnabled());
    QVERIFY(!ui::Control(d, kAreaCodeField)->isEnabled());
    QVERIFY(ui::Control(d, kWorkList)->isHidden());
    // JIGYOSYO.CSV exists: the business data is offered and in use.
    QVERIFY(ui::Control(d, kUseBusinessData)->isEnabled());
    QVERIFY(ui::ControlAs<QCheckBox>(d, kUseBusinessData)->isChecked());
    // 47 prefectures in JIS order, none selected yet; columns with their titles.
    auto* prefectures = ui::ControlAs<QComboBox>(d, kPrefectureList);
    QCOMPARE(prefectures->count(), 47);
    QCOMPARE(prefectures->itemText(0), QString("北海道"));
    QCOMPARE(prefectures->itemText(46), QString("沖縄県"));
    QCOMPARE(main.results()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("郵便番号"));
    QCOMPARE(main.results()->headerData(11, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("事業者名(カナ)"));
    QVERIFY(ui::MenuAction(d, kCmdQuit) && ui::MenuAction(d, kCmdAbout) &&
            ui::MenuAction(d, kCmdHelp) && ui::MenuAction(d, kCmdSettings) &&
            ui::MenuAction(d, kCmdSpecialNumbers));
  }

  void missingBusinessFileLeavesItsCheckBoxOff() {
    Fixture f(false);
    QVERIFY(!f.c(kUseBusinessData)->isEnabled());
    QVERIFY(!f.as<QCheckBox>(kUseBusinessData)->isChecked());
    f.search("0600001");
    QCOMPARE(f.calls(), QStringList{"FindPostCode 0600001 0 0"});
  }

  void enablingRulesFollowTheMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("enabled");
    QTest::newRow("選択方式") << kModeBrowse << QList<int>{kPrefectureList, kCityList};
    QTest::newRow("郵便番号から") << kModePostCode
                            << QList<int>{kSearchText, kPostCodeExact, kPostCodePrefix,
                                          kPostCodeContains};
    QTest::newRow("局番から") << kModeAreaCode
                          << QList<int>{kSearchText, kAreaShowPostal, kAreaShowDistricts};
    QTest::newRow("住所(事業者)から") << kModeAddress
                                << QList<int>{kSearchText, kAddressExact, kAddressContains};
    QTest::newRow("団体コードから") << kModeDantai << QList<int>{kSearchText};
  }
  void enablingRulesFollowTheMode() {
    QFETCH(int, mode);
    QFETCH(QList<int>, enabled);
    Fixture f;
    f.recorder.rowsPerSearch = {Row({{0, "060-0001"}})};
    f.search("0600001");
    f.as<QCheckBox>(kUseBusinessData)->setChecked(false);
    f.click(kModeAreaCode);  // from another mode, so that every rule runs from a changed state
    f.click(mode);
    for (int id : kModeDependent) {
      QVERIFY2(f.c(id)->isEnabled() == enabled.contains(id), qPrintable(QString::number(id)));
    }
    // A mode change leaves the text, the rows, 検索 and the check box alone.
    QCOMPARE(f.text(kSearchText), QString("0600001"));
    QVERIFY(f.c(kIdOk)->isEnabled());
    QVERIFY(!f.as<QCheckBox>(kUseBusinessData)->isChecked());
    if (mode != kModeBrowse) QCOMPARE(f.main->results()->rowCount(), 1);
  }

  void searchButtonNeedsText() {
    Fixture f;
    auto* edit = f.as<QLineEdit>(kSearchText);
    QTest::keyClicks(edit, "0");
    QVERIFY(f.c(kIdOk)->isEnabled());
    QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(!f.c(kIdOk)->isEnabled());
    // What is left once the engine folds the key decides: blanks or "〒" alone are no key.
    edit->setText(" ");
    QVERIFY(!f.c(kIdOk)->isEnabled());
    edit->setText(QString::fromUtf8("〒　"));
    QVERIFY(!f.c(kIdOk)->isEnabled());
    edit->setText("-0001");  // the hyphen join leaves nothing before the hyphen
    QVERIFY(!f.c(kIdOk)->isEnabled());
    f.click(kModeAddress);  // a "〒" is a word like any other
    QVERIFY(f.c(kIdOk)->isEnabled());
    edit->setText(QString::fromUtf8(" ＋ "));
    QVERIFY(!f.c(kIdOk)->isEnabled());
  }

  void eachModeMakesItsCalls_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("business");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("postcode exact") << kModePostCode << kPostCodeExact << "060-0001" << false
                                    << QStringList{"FindPostCode 060-0001 0 0"};
    QTest::newRow("postcode prefix +jig")
        << kModePostCode << kPostCodePrefix << "060" << true
        << QStringList{"FindPostCode 060 2 1"};
    QTest::newRow("postcode contains +jig")
        << kModePostCode << kPostCodeContains << "0001" << true
        << QStringList{"FindPostCode 0001 1 1"};
    QTest::newRow("address exact") << kModeAddress << kAddressExact << "札幌市" << false
                                   << QStringList{"FindWords 札幌市 0 0"};
    QTest::newRow("address contains +jig")
        << kModeAddress << kAddressContains << "札幌" << true
        << QStringList{"FindWords 札幌 1 1"};
    QTest::newRow("dantai +jig") << kModeDantai << 0 << "01101" << true
                                 << QStringList{"FindDantai 01101 1"};
    QTest::newRow("dantai") << kModeDantai << 0 << "01101" << false
                            << QStringList{"FindDantai 01101 0"};
    QTest::newRow("areacode postal +jig") << kModeAreaCode << kAreaShowPostal << "0153" << true
                                          << QStringList{"FindAreaCode 0153 0 1"};
    QTest::newRow("areacode districts")
        << kModeAreaCode << kAreaShowDistricts << "0153-22" << false
        << QStringList{"FindAreaCode 0153-22 1 0"};
  }
  void eachModeMakesItsCalls() {
    QFETCH(int, mode);
    QFETCH(int, option);
    QFETCH(QString, text);
    QFETCH(bool, business);
    QFETCH(QStringList, expected);
    Fixture f;
    f.as<QCheckBox>(kUseBusinessData)->setChecked(business);
    f.click(mode);
    if (option) f.click(option);
    f.search(text.toUtf8().constData());
    QCOMPARE(f.calls(), expected);
    QVERIFY(f.main->resultList()->isVisible());
  }

  void enterSearchesAndBrowseModeOnlyEmptiesTheList() {
    Fixture f;
    f.recorder.rowsPerSearch = {Row({{0, "060-0001"}}), Row({{0, "060-0002"}})};
    f.as<QCheckBox>(kUseBusinessData)->setChecked(false);
    auto* edit = f.as<QLineEdit>(kSearchText);
    edit->setText("0600001");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    test::Settle();
    QCOMPARE(f.calls(), QStringList{"FindPostCode 0600001 0 0"});
    QCOMPARE(f.main->results()->rowCount(), 2);
    // Browsing fills the list from a city; Enter then (the text is still there) only empties it.
    f.recorder.cities = {"札幌市中央区"};
    f.click(kModeBrowse);
    QCOMPARE(f.main->results()->rowCount(), 2);
    QVERIFY(f.c(kIdOk)->isEnabled());
    f.recorder.calls.clear();
    f.as<QComboBox>(kPrefectureList)->setFocus();
    QTest::keyClick(f.as<QComboBox>(kPrefectureList), Qt::Key_Return);
    test::Settle();
    QVERIFY(f.calls().isEmpty());
    QCOMPARE(f.main->results()->rowCount(), 0);
    QVERIFY(f.main->resultList()->isVisible());
  }

  void browsingListsCitiesThenTheFirstCitysRows() {
    Fixture f;
    f.recorder.cities = {"札幌市中央区", "札幌市北区"};
    f.recorder.rowsPerSearch = {Row({{0, "060-0000"}})};
    f.click(kModeBrowse);
    QCOMPARE(f.calls(), (QStringList{"ListCities 北海道", "FindCityRows 北海道 札幌市中央区 1"}));
    QCOMPARE(f.as<QComboBox>(kPrefectureList)->currentIndex(), 0);
    QCOMPARE(f.as<QComboBox>(kCityList)->currentText(), QString("札幌市中央区"));
    QCOMPARE(f.main->results()->rowCount(), 1);
    QVERIFY(f.c(kPrefectureList)->isEnabled() && !f.c(kSearchText)->isEnabled());

    // Another prefecture by the user; the city list is refilled, rows come from its first city.
    f.recorder.calls.clear();
    f.recorder.cities = {"青森市"};
    auto* prefectures = f.as<QComboBox>(kPrefectureList);
    prefectures->setFocus();
    QTest::keyClick(prefectures, Qt::Key_Down);
    test::Settle();
    QCOMPARE(f.calls(), (QStringList{"ListCities 青森県", "FindCityRows 青森県 青森市 1"}));
    QCOMPARE(f.as<QComboBox>(kCityList)->count(), 1);
    // The city rows are read from the selected prefecture's stretch.
    QCOMPARE(f.recorder.cityScanPrefectures, (std::vector<std::string>{"北海道", "青森県"}));

    // 選択方式 again starts over from 北海道.
    f.recorder.calls.clear();
    f.recorder.cities = {"札幌市中央区"};
    f.as<QCheckBox>(kUseBusinessData)->setChecked(false);
    f.click(kModeBrowse);
    QCOMPARE(prefectures->currentIndex(), 0);
    QCOMPARE(f.calls(), (QStringList{"ListCities 北海道", "FindCityRows 北海道 札幌市中央区 0"}));
  }

  void anEmptyCityListRunsNoCitySearchAndEmptiesTheList() {
    Fixture f;
    f.recorder.rowsPerSearch = {Row({{0, "060-0001"}})};
    f.as<QCheckBox>(kUseBusinessData)->setChecked(false);
    f.search("0600001");
    QCOMPARE(f.main->results()->rowCount(), 1);
    f.recorder.calls.clear();
    f.recorder.cities.clear();
    f.click(kModeBrowse);
    QCOMPARE(f.calls(), QStringList{"ListCities 北海道"});
    QCOMPARE(f.main->results()->rowCount(), 0);
    QCOMPARE(f.as<QComboBox>(kCityList)->currentIndex(), -1);
  }

  void rowsAreSortedByTheirFirstColumnAndKeepArrivalOrderOnTies() {
    Fixture f;
    f.recorder.rowsPerSearch = {Row({{0, "100-0002"}, {6, "b"}}), Row({{0, "060-0001"}}),
                                Row({{0, "100-0002"}, {6, "a"}}), Row({{0, "100-0001"}})};
    f.search("1");
    ResultModel* m = f.main->results();
    QCOMPARE(m->rowCount(), 4);
    QCOMPARE(m->index(0, 0).data().toString(), QString("060-0001"));
    QCOMPARE(m->index(1, 0).data().toString(), QString("100-0001"));
    QCOMPARE(m->index(2, 6).data().toString(), QString("b"));
    QCOMPARE(m->index(3, 6).data().toString(), QString("a"));
    // A header click does not re-sort.
    QVERIFY(!f.main->resultList()->isSortingEnabled());
    QVERIFY(!f.main->resultList()->horizontalHeader()->sectionsClickable());
  }

  void rowsOutsideAFillFindTheirPlaceToo() {
    ResultModel model;
    model.AddRow(Row({{0, "200"}, {6, "first"}}));
    model.AddRow(Row({{0, "100"}}));
    model.AddRow(Row({{0, "200"}, {6, "second"}}));
    model.BeginBatch();
    model.AddRow(Row({{0, "200"}, {6, "third"}}));
    model.AddRow(Row({{0, "050"}}));
    model.EndBatch();
    QStringList order;
    for (int r = 0; r < model.rowCount(); ++r) {
      order << model.index(r, 0).data().toString() + model.index(r, 6).data().toString();
    }
    QCOMPARE(order, (QStringList{"050", "100", "200first", "200second", "200third"}));
  }

  void tabFollowsTheTemplateOrder() {
    Fixture f;
    f.as<QLineEdit>(kSearchText)->setText("060");
    QWidget* w = f.c(kSearchText);
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
      w = w->nextInFocusChain();
      while (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisible()) {
        w = w->nextInFocusChain();
      }
      visited << w->objectName();
    }
    // 検索, the output fields (局番 is disabled), the list, the check box, then round to the
    // checked button of each enabled radio group (the prefecture lists and the other option
    // groups are disabled in this mode) and back to the text.
    QCOMPARE(visited, (QStringList{"1", "1000", "1001", "1002", "1024", "1003", "1017", "1006"}));
  }

  void aClickCopiesTheRowIntoTheOutputFields() {
    Fixture f;
    f.recorder.rowsPerSearch = {
        Row({{0, "060-0001"}, {2, "011-[2]"}, {4, "北海道"}, {5, "札幌市中央区"}, {6, "北一条西"},
             {7, "ﾎｯｶｲﾄﾞｳ"}, {8, "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ"}, {9, "ｷﾀ1ｼﾞｮｳﾆｼ"}}),
        Row({{0, "060-8588"}, {4, "北海道"}, {5, "札幌市中央区"}, {6, "北三条西６丁目"},
             {10, "北海道庁"}, {11, "ﾎｯｶｲﾄﾞｳﾁｮｳ"}})};
    f.search("060");
    f.clickRow(0);
    QCOMPARE(f.text(kReadingField), QString("ﾎｯｶｲﾄﾞｳｻｯﾎﾟﾛｼﾁｭｳｵｳｸｷﾀ1ｼﾞｮｳﾆｼ"));
    QCOMPARE(f.text(kAddressField), QString("〒060-0001 北海道札幌市中央区北一条西"));
    QCOMPARE(f.text(kAreaCodeField), QString("011-[2]"));
    f.clickRow(1);
    QCOMPARE(f.text(kReadingField), QString("ﾎｯｶｲﾄﾞｳﾁｮｳ"));
    QCOMPARE(f.text(kAddressField), QString("〒060-8588 北海道札幌市中央区北三条西６丁目　北海道庁"));
    QCOMPARE(f.text(kAreaCodeField), QString());
    // A click where there is no row selects nothing and changes nothing.
    f.clickBelowRows();
    QVERIFY(f.main->resultList()->selectionModel()->selectedRows().isEmpty());
    QCOMPARE(f.text(kReadingField), QString("ﾎｯｶｲﾄﾞｳﾁｮｳ"));
    // The keyboard moves the selection but does not copy.
    f.clickRow(1);
    QTest::keyClick(f.main->resultList(), Qt::Key_Up);
    test::Settle();
    QCOMPARE(f.text(kReadingField), QString("ﾎｯｶｲﾄﾞｳﾁｮｳ"));
  }

  void joinedFieldsAreCutOnACharacterBoundary() {
    Fixture f;
    const std::string kanji(200, 'x');
    QString longTown;
    for (int i = 0; i < 127; ++i) longTown += QString::fromUtf8("町");  // 254 bytes in CP932
    ResultRow row = Row({{0, "060-0001"}, {4, "北"}});
    row.columns[5] = Sjis(longTown.toUtf8().constData());
    row.columns[6] = Sjis(longTown.toUtf8().constData());
    row.columns[10] = Sjis(longTown.toUtf8().constData());
    f.recorder.rowsPerSearch = {row};
    f.search("060");
    f.clickRow(0);
    const std::string shown = Sjis(f.text(kAddressField).toUtf8().constData());
    QVERIFY(shown.size() <= 511);
    QVERIFY(shown.size() >= 509);
    QVERIFY(!f.text(kAddressField).contains(QChar(0xFFFD)));
  }

  void longOutputFieldsShowTheirTextFromTheStart() {
    Fixture f;
    QString longTown;
    for (int i = 0; i < 60; ++i) longTown += QString::fromUtf8("町");
    ResultRow row = Row({{0, "060-0001"}, {4, "北海道"}, {5, "札幌市中央区"}, {7, "ﾎｯｶｲﾄﾞｳ"}});
    row.columns[6] = Sjis(longTown.toUtf8().constData());
    row.columns[9] = Sjis(QString(150, QChar(0xFF81)).toUtf8().constData());  // ﾁ
    f.recorder.rowsPerSearch = {row};
    f.search("060");
    f.clickRow(0);
    for (int id : {kReadingField, kAddressField}) {
      auto* field = f.as<QLineEdit>(id);
      QVERIFY2(field->fontMetrics().horizontalAdvance(field->text()) > field->width(),
               "the text must be longer than its field for this test");
      QCOMPARE(field->cursorPosition(), 0);
      // The first character is painted at the field's left edge, not scrolled out of view.
      QVERIFY(field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < field->width() / 4);
    }
  }

  void everyNewListOpensAtItsFirstRowAndColumn() {
    Fixture f;
    std::vector<ResultRow> rows;
    for (int i = 0; i < 300; ++i) {
      rows.push_back(Row({{0, "060-0001"}, {4, "北海道"}, {6, "北一条西"}, {10, "事業所"}}));
    }
    f.recorder.rowsPerSearch = rows;
    QHeaderView* header = f.main->resultList()->horizontalHeader();
    for (int c = 0; c < kColumnCount; ++c) header->resizeSection(c, 200);
    QTableView* list = f.main->resultList();
    for (auto next : std::initializer_list<std::function<void()>>{
             [&] { f.search("060"); },
             [&] { f.click(kModeBrowse); }}) {
      f.search("060");
      list->setFocus();
      QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
      list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
      test::Settle();
      QVERIFY(list->verticalScrollBar()->value() > 0);
      QVERIFY(list->horizontalScrollBar()->value() > 0);
      next();
      QCOMPARE(list->verticalScrollBar()->value(), 0);
      QCOMPARE(list->horizontalScrollBar()->value(), 0);
    }
  }

  void theCursorIsBusyUntilTheListIsShownButNotOverAMessage() {
    test::ProgramFolder folder;
    test::Recorder recorder;
    Settings settings = DefaultSettings(folder.path());
    SearchCalls calls = recorder.Calls();
    auto busy = [] {
      return QApplication::overrideCursor() != nullptr &&
             QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    bool busyInSearch = false;
    bool busyOverMessage = true;
    calls.findPostCode = [&](SearchContext& c, std::string_view, PostCodeMatch, Business) {
      busyInSearch = busy();
      c.view.ShowMessage("x", "TOVRA");
      return SearchOutcome{};
    };
    ui::SetMessageBoxHook([&](const ui::MessageBoxRequest&) { busyOverMessage = busy(); });
    MainDialog main(settings, folder.path(), calls);
    main.Start();
    test::Settle();
    ui::ControlAs<QLineEdit>(main.dialog(), kSearchText)->setText("060");
    ui::ControlAs<QAbstractButton>(main.dialog(), kIdOk)->click();
    test::Settle();
    ui::SetMessageBoxHook(nullptr);
    QVERIFY(busyInSearch);
    QVERIFY(!busyOverMessage);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void homeAndEndGoToTheFirstAndLastRow() {
    Fixture f;
    std::vector<ResultRow> rows;
    for (int i = 0; i < 50; ++i) rows.push_back(Row({{0, "060-0001"}, {4, "北海道"}}));
    f.recorder.rowsPerSearch = rows;
    f.search("060");
    f.clickRow(3);
    QTableView* list = f.main->resultList();
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(list->currentIndex().row(), 49);
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(list->currentIndex().row(), 0);
  }

  void escapeQuitsAndSavesTheSettings() {
    Fixture f;
    QSignalSpy quit(f.main.get(), &MainDialog::quitRequested);
    f.main->resultList()->horizontalHeader()->resizeSection(kColTown, 140);
    f.settings.add_hyphen = 0;
    QTest::keyClick(f.d(), Qt::Key_Escape);
    QCOMPARE(quit.count(), 1);
    QVERIFY(!f.d()->isVisible());
    Settings loaded = DefaultSettings(f.folder.path());
    LoadSettings(SettingsPath(f.folder.path()), f.folder.path(), loaded);
    QCOMPARE(loaded.add_hyphen, 0);
    QCOMPARE(loaded.column_width[kColTown],
             ui::OriginalPixelsX(f.d()->font(), 140));
    QCOMPARE(loaded.column_width[kColMaName], 0);  // hidden stays hidden
    QCOMPARE(loaded.column_width[kColPostCode], 60);  // unchanged widths come back unchanged
    QCOMPARE(loaded.column_width[kColCity], 100);
    QCOMPARE(loaded.window.left, f.settings.window.left);
    QCOMPARE(loaded.window.right, f.settings.window.right);
    // Nothing runs after the quit.
    f.main->Command(kIdOk);
    QCOMPARE(quit.count(), 1);
  }

  void menuQuitAndCloseBoxQuitToo() {
    {
      Fixture f;
      QSignalSpy quit(f.main.get(), &MainDialog::quitRequested);
      ui::MenuAction(f.d(), kCmdQuit)->trigger();
      QCOMPARE(quit.count(), 1);
      QVERIFY(QFile::exists(QString::fromStdString(SettingsPath(f.folder.path()))));
    }
    {
      Fixture f;
      QSignalSpy quit(f.main.get(), &MainDialog::quitRequested);
      f.d()->close();
      QCOMPARE(quit.count(), 1);
    }
  }

  void settingsSurviveARestartThroughTheQuitPath() {
    test::ProgramFolder folder;
    test::Recorder recorder;
    QRect savedFrame;
    {
      Settings settings = DefaultSettings(folder.path());
      LoadSettings(SettingsPath(folder.path()), folder.path(), settings);
      MainDialog main(settings, folder.path(), recorder.Calls());
      main.Start();
      test::Settle();
      main.dialog()->move(40, 30);
      main.dialog()->resize(main.dialog()->width() + 50, main.dialog()->height() + 20);
      main.resultColumns()->SetColumnShown(kColTown, false);
      settings.jigyosyo_path = folder.path() + "elsewhere/jig.csv";
      test::Settle();
      savedFrame = main.dialog()->frameGeometry();
      QCOMPARE(savedFrame.topLeft(), QPoint(40, 30));
      main.Command(kCmdQuit);
    }
    Settings settings = DefaultSettings(folder.path());
    LoadSettings(SettingsPath(folder.path()), folder.path(), settings);
    MainDialog main(settings, folder.path(), recorder.Calls());
    main.Start();
    test::Settle();
    QCOMPARE(main.dialog()->frameGeometry(), savedFrame);
    QVERIFY(main.resultList()->horizontalHeader()->isSectionHidden(kColTown));
    QCOMPARE(settings.column_width[kColTown], 0);
    QCOMPARE(settings.jigyosyo_path, folder.path() + "elsewhere/jig.csv");
  }

  void theListFillsTheClientAreaFromItsFixedCorner() {
    Fixture f;
    const QFont& font = f.d()->font();
    QWidget* client = ui::ClientArea(f.d());
    f.d()->resize(f.d()->width() + 100, f.d()->height() + 80);
    test::Settle();
    const QRect list = f.main->resultList()->geometry();
    QCOMPARE(list.topLeft(),
             QPoint(ui::ScaleOriginalPixelsX(font, 8), ui::ScaleOriginalPixelsY(font, 230)));
    QCOMPARE(list.width(), client->width() - ui::ScaleOriginalPixelsX(font, 15));
    // The status line under the list takes its height off the list's.
    QCOMPARE(list.height(),
             client->height() - ui::ScaleOriginalPixelsY(font, 236) - f.main->statusLine()->height());
    const QSize frameExtra = f.d()->frameGeometry().size() - f.d()->size();
    QCOMPARE(f.d()->minimumSize() + frameExtra,
             QSize(ui::ScaleOriginalPixelsX(font, 556), ui::ScaleOriginalPixelsY(font, 470)));
    // The stored rectangle follows the window, but not while it is minimised.
    const QRect frame = f.d()->frameGeometry();
    QCOMPARE(f.settings.window.right - f.settings.window.left, frame.width());
    const WindowRect before = f.settings.window;
    f.d()->showMinimized();
    f.d()->move(200, 200);
    test::Settle();
    QCOMPARE(f.settings.window.left, before.left);
    QCOMPARE(f.settings.window.top, before.top);
  }

  void theSearchTextThatCP932CannotCarryIsRefused() {
    Fixture f;
    f.search("😀");
    QVERIFY(f.calls().isEmpty());
    QCOMPARE(f.messages.seen.size(), size_t{1});
    QCOMPARE(f.messages.seen[0].text, QString("検索する文字に、郵便番号データで使えない文字が含まれています。"));
    QCOMPARE(f.messages.seen[0].caption, QString("TOVRA"));
  }

  void portKeepsTheWorkListSortedAndDistinct() {
    Fixture f;
    f.main->AddWorkItem(Sjis("根室"));
    f.main->AddWorkItem(Sjis("厚岸"));
    f.main->AddWorkItem(Sjis("根室"));
    f.main->AddWorkItem(Sjis("中標津"));
    QCOMPARE(f.main->WorkItemCount(), 3);
    QVERIFY(f.main->WorkItem(0) < f.main->WorkItem(1));
    QVERIFY(f.main->WorkItem(1) < f.main->WorkItem(2));
    QCOMPARE(f.main->WorkItem(3), std::string());
    QCOMPARE(f.as<QComboBox>(kWorkList)->count(), 3);
    f.main->ClearWorkList();
    QCOMPARE(f.main->WorkItemCount(), 0);
    // Prefecture selection by name, and no change for an unknown name.
    QVERIFY(f.main->SelectPrefecture(Sjis("沖縄県")));
    QCOMPARE(f.main->SelectedPrefecture(), Sjis("沖縄県"));
    QVERIFY(!f.main->SelectPrefecture(Sjis("東京")));
    QCOMPARE(f.main->SelectedPrefecture(), Sjis("沖縄県"));
  }

  void progressStepsWrapLikeTheOriginalControl() {
    Fixture f;
    auto* bar = f.c(kProgressBar);
    f.main->SetProgressRange(0, 20);
    f.main->SetProgressStep(8);
    f.main->StepProgress();
    f.main->StepProgress();
    QCOMPARE(bar->property("value").toInt(), 16);
    f.main->StepProgress();
    QCOMPARE(bar->property("value").toInt(), 4);
    f.main->SetProgressPos(99);
    QCOMPARE(bar->property("value").toInt(), 20);
  }

  void menuCommandsOpenTheirDialogs_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("about") << kCmdAbout << "105";
    QTest::newRow("settings") << kCmdSettings << "108";
    QTest::newRow("special numbers") << kCmdSpecialNumbers << "111";
    QTest::newRow("written addresses") << kCmdResolve << "112";
  }
  void menuCommandsOpenTheirDialogs() {
    QFETCH(int, command);
    QFETCH(QString, dialog);
    Fixture f;
    QString opened;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      opened = modal->objectName();
      QCOMPARE(modal->parentWidget(), f.d());
      static_cast<QDialog*>(modal)->reject();
    });
    ui::MenuAction(f.d(), command)->trigger();
    QCOMPARE(opened, dialog);
  }

  void helpOpensInItsWindowAndQuitClosesIt() {
    Fixture f;
    ui::MenuAction(f.d(), kCmdHelp)->trigger();
    QVERIFY(f.main->helpWindow());
    QVERIFY(f.main->helpWindow()->isVisible());
    QCOMPARE(f.main->helpWindow()->CurrentPage(),
             QString::fromStdString(f.folder.path()) + "help/index.html");
    QVERIFY(!f.main->helpWindow()->PageFound());  // this folder has no help pages
    f.main->Command(kCmdQuit);
    QVERIFY(!f.main->helpWindow());
  }
};

}  // namespace

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
