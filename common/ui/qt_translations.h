// The programs speak Japanese whatever the user's locale: Qt's own dialogs and buttons (the
// file dialog, QMessageBox's OK) must too.
#pragma once

namespace ui {

// Installs Qt's Japanese translations into the running application. False when there is no
// application or the catalogue is not installed (the texts then stay English).
bool InstallJapaneseQtTranslations();

}  // namespace ui
