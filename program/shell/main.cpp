// tovra: the desktop program for postal codes and telephone charging areas.
#include <cstdio>
#include <memory>

#include <QApplication>

#include "main_dialog.h"
#include "qt_translations.h"
#include "result_list.h"
#include "resources.h"
#include "settings.h"
#include "startup.h"
#include "template_builder.h"

int main(int argc, char** argv) {
  if (!tovra::HasDisplay()) {
    std::fputs(tovra::NoDisplayMessage(), stderr);
    return 1;
  }
  const std::string programDir = tovra::ProgramDirectory();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TOVRA"));
  ui::InstallJapaneseQtTranslations();
  QApplication::setFont(ui::DialogFont(tovra::res::kMainDialog));
  QApplication::setWindowIcon(tovra::res::ProgramIcon());
  ui::SetIconResolver(tovra::res::IconResource);

  tovra::Settings settings = tovra::DefaultSettings(programDir);
  std::unique_ptr<tovra::MainDialog> mainDialog;
  const tovra::StartupSteps steps{
      [] { return tovra::AcquireInstanceLock(tovra::InstanceLockDirectory()); },
      tovra::LibraryCompatibility,
      [&] {
        const std::string path = tovra::SettingsPath(programDir);
        const tovra::SettingsFileStatus status = tovra::LoadSettings(path, programDir, settings);
        const std::string warning = tovra::SettingsFileWarning(path, status);
        if (!warning.empty()) std::fprintf(stderr, "tovra: warning: %s\n", warning.c_str());
        if (status != tovra::SettingsFileStatus::kRead) settings.column_width = tovra::FirstStartColumnWidths();
      },
      [&] {
        mainDialog = std::make_unique<tovra::MainDialog>(settings, programDir);
        QObject::connect(mainDialog.get(), &tovra::MainDialog::quitRequested, &app,
                         [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        mainDialog->Start();
        return mainDialog->dialog() != nullptr;
      }};
  if (!tovra::RunStartup(steps)) return 0;
  return QApplication::exec();
}
