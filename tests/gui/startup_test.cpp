// Start-up order and refusals: a second instance, a newer library, no display.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include "gui_test_support.h"
#include "startup.h"

using namespace tovra;

namespace {

struct Log {
  QStringList steps;
  StartupSteps Steps(bool second, int compati, bool window) {
    return {[this, second] { steps << "lock"; return !second; },
            [this, compati] { steps << "compati"; return compati; },
            [this] { steps << "settings"; },
            [this, window] { steps << "window"; return window; }};
  }
};

// A display number no X server listens on now: neither its socket in /tmp/.X11-unix, nor
// its lock file, nor the abstract socket Linux servers also listen on. A fixed number could
// be a developer's own test display.
QString DisplayOfNoServer() {
  QFile unix_sockets(QStringLiteral("/proc/net/unix"));
  const QByteArray listening = unix_sockets.open(QIODevice::ReadOnly) ? unix_sockets.readAll() : QByteArray();
  for (int n = 77; n < 1000; ++n) {
    const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
    if (QFile::exists(socket) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) continue;
    if (listening.contains(("@" + socket + "\n").toUtf8())) continue;
    return QStringLiteral(":%1").arg(n);
  }
  return QStringLiteral(":999");
}

QProcessEnvironment CleanEnvironment() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"}) {
    env.remove(name);
  }
  return env;
}

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void startsInOrder() {
    Log log;
    test::MessageCapture messages;
    QVERIFY(RunStartup(log.Steps(false, 3000, true)));
    QCOMPARE(log.steps, (QStringList{"lock", "compati", "settings", "window"}));
    QVERIFY(messages.seen.empty());
  }

  void aLibraryAnswering3030IsAccepted() {
    Log log;
    test::MessageCapture messages;
    QVERIFY(RunStartup(log.Steps(false, kHighestAcceptedCompati, true)));
    QVERIFY(messages.seen.empty());
  }

  void aNewerLibraryIsRefusedBeforeAnySettingsAreRead() {
    Log log;
    test::MessageCapture messages;
    QVERIFY(!RunStartup(log.Steps(false, 3031, true)));
    QCOMPARE(log.steps, (QStringList{"lock", "compati"}));
    QCOMPARE(messages.seen.size(), size_t{1});
    QCOMPARE(messages.seen[0].text,
             QString("MEKLAN.DLLのバージョンが新しく動作保証出来ません。\nTOVRAの最新版を入手してください。"));
    QCOMPARE(messages.seen[0].caption, QString("TOVRA"));
    QVERIFY(messages.seen[0].icon == ui::MessageIcon::kNone);
    QVERIFY(messages.seen[0].owner == nullptr);
  }

  void aSecondInstanceLeavesSilently() {
    Log log;
    test::MessageCapture messages;
    QVERIFY(!RunStartup(log.Steps(true, 3000, true)));
    QCOMPARE(log.steps, QStringList{"lock"});
    QVERIFY(messages.seen.empty());
  }

  void aWindowThatCannotBeCreatedIsReported() {
    Log log;
    test::MessageCapture messages;
    QVERIFY(!RunStartup(log.Steps(false, 3000, false)));
    QCOMPARE(messages.seen.size(), size_t{1});
    QCOMPARE(messages.seen[0].text, QString("ウインドウが作成できませんでした"));
    QVERIFY(messages.seen[0].icon == ui::MessageIcon::kError);
  }

  void theLockIsHeldOncePerDirectory() {
    QTemporaryDir dir;
    QVERIFY(AcquireInstanceLock(dir.path().toStdString()));
    QVERIFY(!AcquireInstanceLock(dir.path().toStdString()));
    QVERIFY(QFile::exists(dir.filePath("TOVRA.exe")));
    QTemporaryDir other;
    QVERIFY(AcquireInstanceLock(other.path().toStdString()));
  }

  void theProgramRefusesASecondStartWithExitCode0() {
    QTemporaryDir runtime;
    QVERIFY(AcquireInstanceLock(runtime.path().toStdString()));  // this process is "the first"
    QProcess tovra;
    QProcessEnvironment env = CleanEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    tovra.setProcessEnvironment(env);
    tovra.start(QStringLiteral(TOVRA_EXECUTABLE), {});
    QVERIFY(tovra.waitForFinished(20000));
    QCOMPARE(tovra.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tovra.exitCode(), 0);
    QCOMPARE(tovra.readAllStandardOutput(), QByteArray());
  }

  void withoutADisplayTheProgramSaysSoAndExits1_data() {
    QTest::addColumn<QString>("display");
    QTest::newRow("no DISPLAY") << QString();
    QTest::newRow("DISPLAY of no server") << DisplayOfNoServer();  // Qt itself would abort
  }

  void withoutADisplayTheProgramSaysSoAndExits1() {
    QFETCH(QString, display);
    QProcess tovra;
    QProcessEnvironment env = CleanEnvironment();
    if (!display.isEmpty()) env.insert(QStringLiteral("DISPLAY"), display);
    tovra.setProcessEnvironment(env);
    tovra.start(QStringLiteral(TOVRA_EXECUTABLE), {});
    QVERIFY(tovra.waitForFinished(20000));
    QCOMPARE(tovra.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tovra.exitCode(), 1);
    QVERIFY(tovra.readAllStandardError().contains("no display"));
  }
};

}  // namespace

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
