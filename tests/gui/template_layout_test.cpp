// Every dialog template of both deliverables, built at the default font: no text is clipped,
// drop-down lists keep the template's height, group-box frames stay where the template puts
// them, and a list box shows its scroll bar only when its items do not fit.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include "distance_dialog_template.h"
#include "message_box.h"
#include "qt_translations.h"
#include "resources.h"
#include "template_builder.h"

namespace {

std::vector<const ui::DialogTemplate*> AllTemplates() {
  std::vector<const ui::DialogTemplate*> all;
  for (int id : {tovra::res::kMainDialogId, tovra::res::kAboutDialogId, tovra::res::kNoticeDialogId,
                 tovra::res::kSettingsDialogId, tovra::res::kSpecialNumbersDialogId}) {
    all.push_back(tovra::res::FindDialogTemplate(id));
  }
  all.push_back(&meklan_dialog::kDistanceDialogTemplate);
  return all;
}

int WidestLine(const QFontMetrics& fm, const QString& text) {
  int widest = 0;
  for (const QString& line : ui::StripMnemonic(text).split('\n')) {
    widest = std::max(widest, fm.horizontalAdvance(line));
  }
  return widest;
}

// The width the style leaves for a control's text (its contents rectangle).
int TextRoom(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) return label->contentsRect().width();
  auto* button = qobject_cast<QAbstractButton*>(w);
  QStyleOptionButton opt;
  opt.initFrom(button);
  opt.text = button->text();
  QStyle::SubElement element = QStyle::SE_PushButtonContents;
  if (qobject_cast<QRadioButton*>(w)) element = QStyle::SE_RadioButtonContents;
  if (qobject_cast<QCheckBox*>(w)) element = QStyle::SE_CheckBoxContents;
  return button->style()->subElementRect(element, &opt, button).width();
}

class TemplateLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setFont(ui::DialogFont(tovra::res::kMainDialog)); }

  void noLabelOrButtonIsClipped() {
    int checked = 0;
    for (const ui::DialogTemplate* t : AllTemplates()) {
      std::unique_ptr<QDialog> d(ui::BuildDialog(*t, nullptr));
      QList<QWidget*> texts;
      for (QLabel* l : d->findChildren<QLabel*>()) texts << l;
      for (QAbstractButton* b : d->findChildren<QAbstractButton*>()) texts << b;
      for (QWidget* w : texts) {
        auto* label = qobject_cast<QLabel*>(w);
        const QString text = label ? label->text() : qobject_cast<QAbstractButton*>(w)->text();
        if (text.isEmpty()) continue;
        const int needed = WidestLine(w->fontMetrics(), text);
        QVERIFY2(needed <= TextRoom(w),
                 qPrintable(QString("%1 in %2: \"%3\" needs %4 px, has %5")
                                .arg(w->objectName()).arg(t->id).arg(text).arg(needed)
                                .arg(TextRoom(w))));
        ++checked;
      }
    }
    QVERIFY2(checked > 35, qPrintable(QString::number(checked)));
  }

  void dropDownListsKeepTheTemplatesHeight() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(tovra::res::kMainDialog, nullptr));
    auto* combo = ui::ControlAs<QComboBox>(d.get(), tovra::res::kPrefectureList);
    for (int i = 0; i < 47; ++i) combo->addItem(QString("県%1").arg(i));
    d->show();
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const int dropped = ui::DialogUnitsToPixels(d->font(), QRect(0, 0, 50, 245)).height();
    QVERIFY2(view->window()->height() <= dropped,
             qPrintable(QString("%1 > %2").arg(view->window()->height()).arg(dropped)));
    QVERIFY(view->verticalScrollBar()->isVisible());
    QVERIFY(combo->maxVisibleItems() < combo->count());
    combo->hidePopup();
  }

  void groupBoxFramesStayAtTheTemplatesPlace() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(tovra::res::kSettingsDialog, nullptr));
    const QList<QGroupBox*> boxes = d->findChildren<QGroupBox*>();
    QCOMPARE(boxes.size(), 2);
    for (QGroupBox* box : boxes) {
      // The first control inside sits below the frame's top line, which runs through the
      // title's middle: the title's top is the template's y.
      const int frameTop = box->y() + box->fontMetrics().height() / 2;
      for (QWidget* w : d->findChildren<QWidget*>()) {
        if (w == box || w->parentWidget() != box->parentWidget()) continue;
        if (!box->geometry().contains(w->geometry())) continue;
        QVERIFY2(w->y() > frameTop + 2, qPrintable(w->objectName()));
      }
    }
    const auto data = std::find_if(boxes.begin(), boxes.end(),
                                   [](QGroupBox* b) { return b->title() == "データファイル設定"; });
    QVERIFY(data != boxes.end());
    QCOMPARE((*data)->y(), ui::DialogUnitsToPixels(d->font(), QRect(5, 5, 235, 85)).y());
  }

  void qtsOwnDialogsSpeakJapanese() {
    QVERIFY(ui::InstallJapaneseQtTranslations());
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    QVERIFY2(lookIn != "Look in:", qPrintable(lookIn));
    QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != "Cancel");
  }

  void messageBoxesLeaveRoomForTheirCaption() {
    int width = 0;
    QTimer::singleShot(0, [&width] {
      QWidget* box = QApplication::activeModalWidget();
      if (box == nullptr) return;
      width = box->width();
      box->close();
    });
    ui::ShowMessageBox({nullptr, QStringLiteral("短い"), QStringLiteral("MEKLAN"),
                        ui::MessageIcon::kNone});
    QVERIFY2(width >= 320, qPrintable(QString::number(width)));
  }

  void aListBoxScrollsOnlyWhenItsItemsDoNotFit() {
    std::unique_ptr<QDialog> d(ui::BuildDialog(tovra::res::kSpecialNumbersDialog, nullptr));
    auto* list = ui::ControlAs<QListWidget>(d.get(), tovra::res::kSpecialNumberList);
    for (const char* e : tovra::res::SpecialNumbers()) list->addItem(QString::fromUtf8(e));
    d->show();
    QTest::qWait(1);
    const bool fits = list->sizeHintForRow(0) * list->count() <= list->viewport()->height();
    QCOMPARE(list->verticalScrollBar()->isVisible(), !fits);
    for (int i = 0; i < 30; ++i) list->addItem(QString("9%1").arg(i));
    QTest::qWait(1);
    QVERIFY(list->verticalScrollBar()->isVisible());
  }
};

}  // namespace

QTEST_MAIN(TemplateLayoutTest)
#include "template_layout_test.moc"
