// The result list's columns, keys, tooltips and status line in the main dialog: what a first
// start shows, hiding and showing columns through the header menu and keeping them in the
// settings file, Home/End, the tooltip of a cut cell and the row count.
#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "gui_test_support.h"
#include "resources.h"
#include "result_list.h"
#include "result_model.h"
#include "result_status.h"
#include "template_builder.h"

using namespace tovra;
using namespace tovra::res;
using tovra::test::Row;

namespace {

// A main dialog over a recording engine in a program folder of its own, started with the
// widths a settings file gives (or, without one, those of a first start).
struct Fixture {
  test::ProgramFolder folder;
  test::Recorder recorder;
  Settings settings;
  std::unique_ptr<MainDialog> main;

  Fixture() {
    settings = DefaultSettings(folder.path());
    settings.column_width = FirstStartColumnWidths();
    Open();
  }
  void Open() {
    main = std::make_unique<MainDialog>(settings, folder.path(), recorder.Calls());
    main->Start();
    test::Settle();
  }
  // Quits (saving the settings) and starts again from the saved file.
  void Restart() {
    main->Command(kCmdQuit);
    main.reset();
    settings = DefaultSettings(folder.path());
    QCOMPARE(LoadSettings(SettingsPath(folder.path()), folder.path(), settings), SettingsFileStatus::kRead);
    Open();
  }
  QHeaderView* header() const { return main->resultList()->horizontalHeader(); }
  void search(std::vector<ResultRow> rows) {
    recorder.rowsPerSearch = std::move(rows);
    ui::ControlAs<QLineEdit>(main->dialog(), kSearchText)->setText("060");
    ui::ControlAs<QPushButton>(main->dialog(), kIdOk)->click();
    test::Settle();
  }
  QAction* menuItem(QMenu& menu, const QString& title) {
    for (QAction* a : menu.actions()) {
      if (a->text() == title) return a;
    }
    return nullptr;
  }
};

QString Title(int c) {
  return QString::fromUtf8(Utf8(ColumnTitles()[static_cast<std::size_t>(c)]).c_str());
}

class ResultListTest : public QObject {
  Q_OBJECT

 private slots:
  // Without a settings file every row's 局番 and MA名 are in sight, each shown column's title
  // fits it (団体コード was cut to 団体コー), the readings are hidden.
  void firstStartShowsAreaCodeAndMaNameAndWholeTitles() {
    Fixture f;
    for (int c = 0; c < kColumnCount; ++c) {
      const bool reading = c == kColPrefectureKana || c == kColCityKana || c == kColTownKana ||
                           c == kColBusinessKana;
      QVERIFY2(f.header()->isSectionHidden(c) == reading, qPrintable(Title(c)));
      if (reading) continue;
      QVERIFY2(f.header()->sectionSize(c) >= f.header()->sectionSizeHint(c), qPrintable(Title(c)));
    }
    // 局番 fits a typical area-code text.
    QVERIFY(f.header()->sectionSize(kColAreaCode) >=
            f.main->resultList()->fontMetrics().horizontalAdvance("0153-[1,5,6]"));
  }

  // The header menu hides and shows every column; what it did, and a width dragged by the
  // user, come back after a restart through the settings file (0 for a hidden column).
  void headerMenuHidesAndShowsColumnsAndTheSettingsKeepThem() {
    Fixture f;
    {
      std::unique_ptr<QMenu> menu = f.main->resultColumns()->HeaderMenu();
      QCOMPARE(menu->actions().size(), kColumnCount + 2);  // columns, separator, reset
      QVERIFY(f.menuItem(*menu, Title(kColMaName))->isChecked());
      f.menuItem(*menu, Title(kColMaName))->trigger();
      f.menuItem(*menu, Title(kColTownKana))->trigger();
    }
    QVERIFY(f.header()->isSectionHidden(kColMaName));
    QVERIFY(!f.header()->isSectionHidden(kColTownKana));
    QVERIFY(f.header()->sectionSize(kColTownKana) >= f.header()->sectionSizeHint(kColTownKana));
    // Dragging the border after 局番 widens 局番 and nothing else.
    const int before = f.header()->sectionSize(kColDantaiCode);
    const int areaWidth = f.header()->sectionSize(kColAreaCode);
    const int border = f.header()->sectionViewportPosition(kColAreaCode) + areaWidth - 1;
    const int y = f.header()->height() / 2;
    QTest::mousePress(f.header()->viewport(), Qt::LeftButton, {}, QPoint(border, y));
    QTest::mouseMove(f.header()->viewport(), QPoint(border + 40, y));
    QTest::mouseRelease(f.header()->viewport(), Qt::LeftButton, {}, QPoint(border + 40, y));
    QCOMPARE(f.header()->sectionSize(kColAreaCode), areaWidth + 40);
    QCOMPARE(f.header()->sectionSize(kColDantaiCode), before);

    const int townKana = f.header()->sectionSize(kColTownKana);
    const int area = f.header()->sectionSize(kColAreaCode);
    f.Restart();
    QCOMPARE(f.settings.column_width[kColMaName], 0);
    QVERIFY(f.settings.column_width[kColTownKana] > 0);
    QVERIFY(f.header()->isSectionHidden(kColMaName));
    QVERIFY(qAbs(f.header()->sectionSize(kColTownKana) - townKana) <= 1);
    QVERIFY(qAbs(f.header()->sectionSize(kColAreaCode) - area) <= 1);

    // Shown again, a column gets a width that fits its title; a reset restores the first start.
    f.main->resultColumns()->SetColumnShown(kColMaName, true);
    QVERIFY(f.header()->sectionSize(kColMaName) >= f.header()->sectionSizeHint(kColMaName));
    f.main->resultColumns()->ResetColumns();
    QCOMPARE(f.main->resultColumns()->Widths()[kColTownKana], 0);
    QVERIFY(!f.header()->isSectionHidden(kColMaName));
  }

  // Hiding stops at the last shown column; a file that hides every column shows 郵便番号.
  void theListAlwaysKeepsOneColumn() {
    Fixture f;
    for (int c = 0; c < kColumnCount; ++c) f.main->resultColumns()->SetColumnShown(c, false);
    QCOMPARE(f.header()->count() - f.header()->hiddenSectionCount(), 1);
    std::unique_ptr<QMenu> menu = f.main->resultColumns()->HeaderMenu();
    QVERIFY(!f.menuItem(*menu, Title(kColBusiness))->isEnabled());  // the last one left
    f.main->resultColumns()->RestoreWidths(ColumnWidths{});
    QVERIFY(!f.header()->isSectionHidden(kColPostCode));
    QCOMPARE(f.header()->hiddenSectionCount(), kColumnCount - 1);
  }

  // Home/End go to the first/last row (Shift: and select the rows on the way) and leave the
  // list where it was sideways, whether at its left edge or scrolled.
  void homeAndEndMoveByRowsAndKeepTheSidewaysPosition() {
    Fixture f;
    for (int c = 0; c < kColumnCount; ++c) f.main->resultColumns()->SetColumnShown(c, true);
    std::vector<ResultRow> rows;
    for (int i = 0; i < 80; ++i) rows.push_back(Row({{0, "060-0001"}, {4, "北海道"}}));
    f.search(rows);
    QTableView* list = f.main->resultList();
    QScrollBar* sideways = list->horizontalScrollBar();
    QVERIFY2(sideways->maximum() > 0, "the columns must be wider than the list for this test");
    list->setFocus();
    list->setCurrentIndex(f.main->results()->index(5, 0));
    struct Step {
      int sidewaysAt;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int row;
      int selected;
    };
    const Step steps[] = {{0, Qt::Key_End, {}, 79, 1},
                          {sideways->maximum() / 2, Qt::Key_Home, {}, 0, 1},
                          {sideways->maximum(), Qt::Key_End, Qt::ShiftModifier, 79, 80},
                          {0, Qt::Key_Home, Qt::ControlModifier, 0, 1}};
    for (const Step& step : steps) {
      sideways->setValue(step.sidewaysAt);
      QTest::keyClick(list, step.key, step.modifiers);
      QCOMPARE(list->currentIndex().row(), step.row);
      QCOMPARE(list->selectionModel()->selectedRows().size(), step.selected);
      QCOMPARE(sideways->value(), step.sidewaysAt);
      const QRect rowRect = list->visualRect(f.main->results()->index(step.row, 0));
      QVERIFY(list->viewport()->rect().intersects(rowRect.adjusted(-100000, 0, 100000, 0)));
    }
    QCOMPARE(list->columnViewportPosition(kColPostCode), 0);
  }

  // A cell cut by its column tells its whole text in a tooltip; one that fits tells nothing.
  void aCutCellShowsItsWholeTextAsTooltip() {
    Fixture f;
    const char* longName = "武蔵野三鷹/川口/浦和/大宮/上尾/春日部/越谷/草加/所沢/飯能/川越/東松山/熊谷/本庄/秩父";
    f.search({Row({{0, "060-0001"}, {3, longName}, {4, "北海道"}})});
    QTableView* list = f.main->resultList();
    for (const auto& [column, whole] : {std::pair{kColPrefecture, false}, std::pair{kColMaName, true}}) {
      const QPoint at = list->visualRect(f.main->results()->index(0, column)).center();
      QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
      QApplication::sendEvent(list->viewport(), &help);
      QCOMPARE(QToolTip::isVisible(), whole);
      if (whole) QCOMPARE(QToolTip::text(), QString::fromUtf8(longName));
    }
  }

  // The status line counts the rows by the file (or table) they come from.
  void statusLineCountsRowsByTheirSource() {
    struct Case {
      RowSources rows;
      const char* text;
    };
    const Case cases[] = {
        {{0, 0, 0}, "該当するデータはありません"},
        {{1234, 0, 0}, "1,234件（ken_all.csv）"},
        {{0, 0, 7}, "7件（該当地区）"},
        {{1200, 34, 0}, "1,234件（ken_all.csv 1,200件、jigyosyo.csv 34件）"},
    };
    for (const Case& c : cases) {
      QCOMPARE(ResultStatusText(c.rows, "/d/data/ken_all.csv", "/d/data/jigyosyo.csv"), QString::fromUtf8(c.text));
    }
    Fixture f;
    f.search({Row({{0, "060-0001"}}), Row({{0, "060-8588"}, {10, "北海道庁"}}), Row({{3, "札幌"}})});
    QCOMPARE(f.main->statusLine()->text(),
             QString::fromUtf8("3件（ken_all.csv 1件、jigyosyo.csv 1件、該当地区 1件）"));
    QVERIFY(f.main->statusLine()->isVisible());
    QVERIFY(f.main->statusLine()->geometry().top() >= f.main->resultList()->geometry().bottom());
  }
};

}  // namespace

QTEST_MAIN(ResultListTest)
#include "result_list_test.moc"
