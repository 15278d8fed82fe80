// The distance dialog driven through MEKLAN_GetDistanceWithDialog inside this test's own
// QApplication: controls found by id, message boxes caught by the module's hook.
#include <dlfcn.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cp932.h"
#include "dialog/dialog_module.h"
#include "meklan.h"
#include "sjis.h"

namespace {

using Script = std::function<void(QDialog*)>;

struct Box {
  QString text;
  QString caption;
};

std::vector<Box> g_boxes;
Script g_script;
bool g_opened = false;

void RecordBox(const char* text, const char* caption, void*) {
  g_boxes.push_back({QString::fromUtf8(text), QString::fromUtf8(caption)});
}

// Runs the script inside the modal loop, then makes sure the dialog cannot outlive it: a
// close that the script already posted (a success) comes first and wins.
void RunScript(void* dialog, void*) {
  auto* d = static_cast<QDialog*>(dialog);
  g_opened = true;
  if (g_script) g_script(d);
  QMetaObject::invokeMethod(d, [d] { if (d->isVisible()) d->reject(); }, Qt::QueuedConnection);
}

QLineEdit* Edit(QDialog* d, int id) { return d->findChild<QLineEdit*>(QString::number(id)); }
QComboBox* List(QDialog* d, int id) { return d->findChild<QComboBox*>(QString::number(id)); }
QPushButton* Button(QDialog* d, int id) { return d->findChild<QPushButton*>(QString::number(id)); }

QStringList Items(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

QString Utf8(const char* cp932Field) { return QString::fromStdString(cp932::ToUtf8(cp932Field)); }

MKDISTANCE Request(const char* fromUtf8, const char* toUtf8) {
  MKDISTANCE rec;
  std::memset(&rec, 0, sizeof rec);
  std::strcpy(rec.fromName, Sjis(fromUtf8).c_str());
  std::strcpy(rec.toName, Sjis(toUtf8).c_str());
  return rec;
}

int RunDialog(MKDISTANCE* rec, int showMessage, Script script, void* owner = nullptr) {
  g_boxes.clear();
  g_opened = false;
  g_script = std::move(script);
  const int result = MEKLAN_GetDistanceWithDialog(owner, rec, showMessage);
  g_script = nullptr;
  return result;
}

void Compute(QDialog* d) { Button(d, 1038)->click(); }

}  // namespace

class DistanceDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    void* module = dlopen(MEKLAN_DIALOG_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(module != nullptr, dlerror());
    auto setMessageHook =
        reinterpret_cast<decltype(&MeklanDialog_SetMessageHook)>(dlsym(module, "MeklanDialog_SetMessageHook"));
    auto setOpenHook =
        reinterpret_cast<decltype(&MeklanDialog_SetOpenHook)>(dlsym(module, "MeklanDialog_SetOpenHook"));
    QVERIFY(setMessageHook != nullptr && setOpenHook != nullptr);
    setMessageHook(&RecordBox, nullptr);
    setOpenHook(&RunScript, nullptr);
  }

  void opensWithTheRecordsTextsAndTheirCandidates() {
    MKDISTANCE rec = Request("0166", "");
    QString caption, from, to;
    QStringList fromItems;
    int fromCurrent = -2, toCount = 0, toCurrent = -2;
    QStringList ids;
    const int result = RunDialog(&rec, 1, [&](QDialog* d) {
      caption = d->windowTitle();
      for (int id : {1036, 1037, 1038, 2, 1072, 1073}) {
        if (d->findChild<QWidget*>(QString::number(id)) != nullptr) ids << QString::number(id);
      }
      from = Edit(d, 1036)->text();
      to = Edit(d, 1037)->text();
      fromItems = Items(List(d, 1072));
      fromCurrent = List(d, 1072)->currentIndex();
      toCount = List(d, 1073)->count();
      toCurrent = List(d, 1073)->currentIndex();
      Button(d, 2)->click();
    });
    QCOMPARE(result, -1);
    QCOMPARE(caption, QStringLiteral("MEKLAN"));
    QCOMPARE(ids, QStringList({"1036", "1037", "1038", "2", "1072", "1073"}));
    QCOMPARE(from, QStringLiteral("0166"));
    QCOMPARE(to, QString());
    QCOMPARE(fromItems, QStringList({"旭川"}));  // a single candidate is shown chosen
    QCOMPARE(fromCurrent, 0);
    QCOMPARE(toCount, 567);  // an empty edit offers every distinct MA name, none chosen
    QCOMPARE(toCurrent, -1);
    QVERIFY(g_boxes.empty());
  }

  void candidateListsFollowTheEdits() {
    MKDISTANCE rec = Request("", "");
    QStringList area0153, afterZero, afterChoice;
    QString chosenText;
    int fullCount = 0, fullFirstCurrent = -2;
    const int result = RunDialog(&rec, 1, [&](QDialog* d) {
      QLineEdit* edit = Edit(d, 1036);
      QComboBox* list = List(d, 1072);
      QTest::keyClicks(edit, "0153");
      area0153 = Items(list);
      fullFirstCurrent = list->currentIndex();
      edit->setText("0");  // the first keystroke of a new number leaves the list alone
      afterZero = Items(list);
      edit->clear();
      fullCount = list->count();
      edit->setText("0153");
      list->setCurrentIndex(2);
      emit list->activated(2);  // the user picks 根室
      chosenText = edit->text();
      afterChoice = Items(list);
      Button(d, 2)->click();
    });
    QCOMPARE(result, -1);
    QCOMPARE(area0153, QStringList({"厚岸", "中標津", "根室", "根室標津"}));
    QCOMPARE(fullFirstCurrent, -1);
    QCOMPARE(afterZero, area0153);
    QCOMPARE(fullCount, 567);
    QCOMPARE(chosenText, QStringLiteral("根室"));
    QCOMPARE(afterChoice, QStringList({"根室", "根室標津"}));  // refilled from the chosen name
  }

  void computesFromAreaCodesAndReturnsTheDistance() {
    MKDISTANCE rec = Request("", "");
    const int result = RunDialog(&rec, 1, [](QDialog* d) {
      Edit(d, 1036)->setText("0166");
      Edit(d, 1037)->setText("011");
      QTest::keyClick(Edit(d, 1037), Qt::Key_Return);  // 距離算出 is the default button
    });
    QCOMPARE(Utf8(rec.fromName), QStringLiteral("旭川"));  // the typed texts became MA names
    QCOMPARE(Utf8(rec.toName), QStringLiteral("札幌"));
    QCOMPARE(rec.kind, 0);
    QVERIFY(rec.distance > 20);
    QCOMPARE(result, rec.distance);
    QCOMPARE(g_boxes.size(), std::size_t{1});
    QCOMPARE(g_boxes[0].text,
             QStringLiteral("旭川(0166) から 札幌(011) までは %1kmです").arg(rec.distance));
    QCOMPARE(g_boxes[0].caption, QStringLiteral("MEKLAN"));
  }

  void resultMessagesAndValues_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("adjacent pair") << "旭川" << "上川" << 1
                                   << "旭川(0166) から 上川(01658) までは 隣接区域内です ※エリアプラス適用可";
    QTest::newRow("ordinary") << "東京" << "大阪" << 407 << "東京(03) から 大阪(06) までは 407kmです";
    QTest::newRow("same MA") << "旭川" << "旭川" << 0
                             << "旭川(0166) から 旭川(0166) までは 同一区域内です";
    QTest::newRow("island rule")
        << "江差" << "奥尻" << 1
        << "江差(01395) から 奥尻(01397) までは 60kmです ※離島特例対象 (ISDNデジタルモードは60km)";
  }
  void resultMessagesAndValues() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, result);
    QFETCH(QString, message);
    MKDISTANCE rec = Request(from.toUtf8().constData(), to.toUtf8().constData());
    QCOMPARE(RunDialog(&rec, 1, Compute), result);
    QCOMPARE(g_boxes.size(), std::size_t{1});
    QCOMPARE(g_boxes[0].text, message);
    QCOMPARE(g_boxes[0].caption, QStringLiteral("MEKLAN"));

    // Without showMessage the same result comes back silently.
    rec = Request(from.toUtf8().constData(), to.toUtf8().constData());
    QCOMPARE(RunDialog(&rec, 0, Compute), result);
    QVERIFY(g_boxes.empty());
  }

  void failureSaysSoAndKeepsTheDialogOpen() {
    for (int showMessage : {1, 0}) {
      MKDISTANCE rec = Request("どこでもない", "011");
      bool openAfterFailure = false;
      QString fromAfterFailure;
      const int result = RunDialog(&rec, showMessage, [&](QDialog* d) {
        Compute(d);
        QCoreApplication::processEvents();  // a posted close would run here
        openAfterFailure = d->isVisible();
        fromAfterFailure = Edit(d, 1036)->text();
        Edit(d, 1036)->setText("0166");
        Compute(d);
      });
      QVERIFY(openAfterFailure);
      QCOMPARE(fromAfterFailure, QStringLiteral("どこでもない"));
      QVERIFY(result > 0);
      QCOMPARE(result, rec.distance);
      // The failure box is shown whatever showMessage says; the result box only with 1.
      QCOMPARE(g_boxes.size(), std::size_t(showMessage == 1 ? 2 : 1));
      QCOMPARE(g_boxes[0].text, QStringLiteral("該当ありません"));
      QCOMPARE(g_boxes[0].caption, QStringLiteral("MEKLAN"));
    }
  }

  void cancelReturnsMinusOneAndKeepsTheLastAttempt() {
    MKDISTANCE rec = Request("旭川", "");
    const int viaButton = RunDialog(&rec, 1, [](QDialog* d) {
      Edit(d, 1037)->setText("xx");
      Compute(d);
      Button(d, 2)->click();
    });
    QCOMPARE(viaButton, -1);
    QCOMPARE(Utf8(rec.fromName), QStringLiteral("旭川"));
    QCOMPARE(QString::fromLatin1(rec.toName), QStringLiteral("xx"));
    QCOMPARE(rec.fromAreaCode[0], '\0');  // nothing was computed

    const int viaEscape = RunDialog(&rec, 1, [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
    QCOMPARE(viaEscape, -1);

    // A cancel that closes the dialog before the close posted by a success keeps its -1.
    rec = Request("東京", "大阪");
    const int cancelFirst = RunDialog(&rec, 0, [](QDialog* d) {
      Compute(d);
      Button(d, 2)->click();
    });
    QCOMPARE(cancelFirst, -1);
    QCOMPARE(rec.distance, 407);
  }

  void longTextsAreCutOnCharacterBoundaries() {
    MKDISTANCE rec = Request("", "");
    RunDialog(&rec, 1, [](QDialog* d) {
      Edit(d, 1036)->setText("0" + QString(20, QChar(0x3042)));  // 41 bytes in CP932
      Edit(d, 1037)->setText("011");
      Compute(d);
      Button(d, 2)->click();
    });
    QCOMPARE(std::strlen(rec.fromName), std::size_t{31});  // "0" and 15 whole characters
    QCOMPARE(Utf8(rec.fromName), "0" + QString(15, QChar(0x3042)));
  }

  void onlyOneDialogAtATime() {
    MKDISTANCE rec = Request("", "");
    int nested = 0;
    RunDialog(&rec, 1, [&](QDialog*) {
      MKDISTANCE other = Request("旭川", "札幌");
      nested = MEKLAN_GetDistanceWithDialog(nullptr, &other, 1);
    });
    QCOMPARE(nested, -1);
    // The slot is free again once the dialog has closed.
    QCOMPARE(RunDialog(&rec, 0, [](QDialog* d) { Button(d, 2)->click(); }), -1);
    QVERIFY(g_opened);
  }

  void ownerMustBeALiveWidget() {
    QWidget owner;
    MKDISTANCE rec = Request("", "");
    QWidget* parent = nullptr;
    RunDialog(&rec, 1, [&](QDialog* d) { parent = d->parentWidget(); }, &owner);
    QCOMPARE(parent, &owner);

    int notAWidget = 0;
    QCOMPARE(RunDialog(&rec, 1, nullptr, &notAWidget), -1);
    QVERIFY(!g_opened);
    QCOMPARE(MEKLAN_GetDistanceWithDialog(nullptr, nullptr, 1), -1);
  }
};

QTEST_MAIN(DistanceDialogTest)
#include "distance_dialog_test.moc"
