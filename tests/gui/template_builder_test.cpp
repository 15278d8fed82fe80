// The builder realises a template as the original platform did: ids, radio groups, dialog
// units, states, tab order, menus; and every message box can be intercepted.
#include <QAction>
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <memory>

#include "message_box.h"
#include "template_builder.h"

namespace {

using ui::ControlKind;

constexpr ui::ControlTemplate kControls[] = {
    {10, ControlKind::kRadio, "&A", 5, 5, 40, 10, ui::kGroupStart | ui::kTabStop},
    {11, ControlKind::kRadio, "B", 5, 20, 40, 10, 0},
    {-1, ControlKind::kStatic, "&Name", 50, 5, 30, 10, ui::kRightText},
    {12, ControlKind::kEdit, "", 85, 5, 60, 12, ui::kTabStop | ui::kAutoHScroll},
    {20, ControlKind::kRadio, "C", 5, 35, 40, 10, ui::kGroupStart | ui::kDisabled},
    {21, ControlKind::kRadio, "D", 50, 35, 40, 10, ui::kDisabled},
    {1, ControlKind::kDefButton, "OK", 5, 60, 50, 14, ui::kTabStop},
    {30, ControlKind::kComboDropDown, "", 60, 60, 20, 12, ui::kHidden | ui::kSorted},
    {-1, ControlKind::kGroupBox, "frame", 0, 0, 150, 80, 0},
    {40, ControlKind::kListView, "", 0, 80, 150, 40, 0},
};
constexpr ui::MenuItemTemplate kMenu[] = {
    {-1, "ファイル(&F)"}, {40001, "終了(&E)"}, {ui::kMenuEnd, nullptr},
    {-1, "ヘルプ(&H)"}, {40003, "ヘルプ(&H)"}, {0, nullptr}, {40002, "バージョン情報(&V)"},
    {ui::kMenuEnd, nullptr},
};
constexpr ui::DialogTemplate kDialog = {900, "テスト", "ＭＳ Ｐゴシック", 9, 160, 130, true, true,
                                        kControls, 10, 0};

class TemplateBuilderTest : public QObject {
  Q_OBJECT
 private slots:
  void controlsCarryTheirIdsAndKinds() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(kDialog, nullptr));
    QCOMPARE(d->objectName(), QString("900"));
    QCOMPARE(d->windowTitle(), QString("テスト"));
    QVERIFY(ui::ControlAs<QRadioButton>(d.get(), 10));
    QVERIFY(ui::ControlAs<QLineEdit>(d.get(), 12));
    QVERIFY(ui::ControlAs<QPushButton>(d.get(), 1)->isDefault());
    QVERIFY(ui::ControlAs<QTableView>(d.get(), 40));
    QVERIFY(!ui::Control(d.get(), 99));
    QVERIFY(ui::Control(d.get(), 30)->isHidden());
    QVERIFY(!ui::Control(d.get(), 20)->isEnabled());
    QCOMPARE(ui::Control(d.get(), 30)->property("sorted").toBool(), true);
  }

  void radioGroupsStartAtGroupFlags() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(kDialog, nullptr));
    QButtonGroup* first = ui::RadioGroup(d.get(), 10);
    QVERIFY(first);
    QCOMPARE(ui::RadioGroup(d.get(), 11), first);
    QButtonGroup* second = ui::RadioGroup(d.get(), 20);
    QVERIFY(second && second != first);
    QCOMPARE(first->buttons().size(), 2);
    QCOMPARE(first->id(ui::ControlAs<QRadioButton>(d.get(), 11)), 11);
    // Checking one group leaves the other alone.
    ui::ControlAs<QRadioButton>(d.get(), 10)->setChecked(true);
    ui::ControlAs<QRadioButton>(d.get(), 21)->setChecked(true);
    QVERIFY(ui::ControlAs<QRadioButton>(d.get(), 10)->isChecked());
    ui::ControlAs<QRadioButton>(d.get(), 11)->setChecked(true);
    QVERIFY(!ui::ControlAs<QRadioButton>(d.get(), 10)->isChecked());
    QVERIFY(ui::ControlAs<QRadioButton>(d.get(), 21)->isChecked());
    // Tab reaches a radio group at its checked button only.
    QCOMPARE(ui::Control(d.get(), 11)->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(ui::Control(d.get(), 10)->focusPolicy(), Qt::ClickFocus);
  }

  void dialogUnitsFollowTheFont() {
    const QFont font = ui::DialogFont(kDialog);
    QCOMPARE(font.family(), QString("IPAPGothic"));
    const ui::DialogUnit unit = ui::DialogUnitOf(font);
    QVERIFY(unit.x > 0.5 && unit.x < 4);
    QVERIFY(unit.y > 0.5 && unit.y < 4);
    const QRect px = ui::DialogUnitsToPixels(font, QRect(8, 16, 40, 8));
    QCOMPARE(px.x(), qRound(8 * unit.x));
    QCOMPARE(px.y(), qRound(16 * unit.y));
    QCOMPARE(px.width(), qRound(48 * unit.x) - qRound(8 * unit.x));
    std::unique_ptr<QDialog> d(ui::BuildDialog(kDialog, nullptr));
    QCOMPARE(ui::Control(d.get(), 12)->geometry(), ui::DialogUnitsToPixels(font, QRect(85, 5, 60, 12)));
    QCOMPARE(d->size(), ui::DialogUnitsToPixels(font, QRect(0, 0, 160, 130)).size());
  }

  void tabOrderFollowsTheTemplate() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(kDialog, nullptr));
    ui::ControlAs<QRadioButton>(d.get(), 10)->setChecked(true);
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    ui::Control(d.get(), 10)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui::Control(d.get(), 12));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui::Control(d.get(), 1));  // disabled group skipped
    // Arrows move within the group and select.
    ui::Control(d.get(), 10)->setFocus();
    QTest::keyClick(ui::Control(d.get(), 10), Qt::Key_Down);
    QVERIFY(ui::ControlAs<QRadioButton>(d.get(), 11)->isChecked());
  }

  void labelMnemonicFocusesTheNextControl() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(kDialog, nullptr));
    auto* label = d->findChild<QLabel*>();
    QVERIFY(label);
    QCOMPARE(label->buddy(), ui::Control(d.get(), 12));
    QCOMPARE(ui::StripMnemonic("キャンセル(&C) && x"), QString("キャンセル(C) & x"));
  }

  void groupBoxesStayBelowControls() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(kDialog, nullptr));
    d->show();
    QWidget* client = ui::ClientArea(d.get());
    QVERIFY(client);
    QCOMPARE(client->childAt(ui::Control(d.get(), 1)->geometry().center()), ui::Control(d.get(), 1));
  }

  void menusCarryCommandIds() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(kDialog, nullptr, kMenu, std::size(kMenu)));
    QVERIFY(d->findChild<QMenuBar*>());
    QAction* about = ui::MenuAction(d.get(), 40002);
    QVERIFY(about);
    QCOMPARE(about->data().toInt(), 40002);
    QCOMPARE(about->text(), QString("バージョン情報(&V)"));
    QCOMPARE(d->findChild<QMenuBar*>()->actions().size(), 2);
    // The client area keeps the template's size below the menu.
    const QFont font = ui::DialogFont(kDialog);
    QCOMPARE(d->height(), ui::DialogUnitsToPixels(font, QRect(0, 0, 160, 130)).height() +
                              d->findChild<QMenuBar*>()->sizeHint().height());
  }

  void messageBoxesCanBeIntercepted() {
    std::vector<ui::MessageBoxRequest> seen;
    ui::SetMessageBoxHook([&](const ui::MessageBoxRequest& r) { seen.push_back(r); });
    ui::ShowMessageBox({nullptr, "本文", "TOVRA", ui::MessageIcon::kError});
    ui::SetMessageBoxHook(nullptr);
    QCOMPARE(seen.size(), size_t{1});
    QCOMPARE(seen[0].text, QString("本文"));
    QCOMPARE(seen[0].caption, QString("TOVRA"));
    QVERIFY(seen[0].icon == ui::MessageIcon::kError);
  }
};

}  // namespace

QTEST_MAIN(TemplateBuilderTest)
#include "template_builder_test.moc"
