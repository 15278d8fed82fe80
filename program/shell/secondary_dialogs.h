// The dialogs the main dialog opens: settings 108, About 105, special numbers 111, and the
// index-building notice 107.
#pragma once

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

#include "settings.h"

class QDialog;
class QWidget;

namespace tovra {

// The file chooser behind 参照: owner, title, initial file name, filter texts (first active).
// Returns the chosen file, or an empty text when the user cancels. Tests replace it.
struct FileChoice {
  QWidget* owner;
  QString title;
  QString initial;
  QStringList filters;
};
using FileChooser = std::function<QString(const FileChoice&)>;
void SetFileChooserHook(FileChooser hook);  // nullptr restores the real chooser

// Title and filters of the data-file chooser.
QString DataFileChooserTitle();
QStringList DataFileFilters();

// Modal settings dialog: 1 after OK (the record changed), 0 after cancel (nothing changed).
// `onOpen` (optional) runs once the dialog is built, before it is shown (tests drive it from there).
int RunSettingsDialog(QWidget* owner, Settings& settings,
                      const std::function<void(QDialog*)>& onOpen = {});
// Modal About box and special-number list; `onOpen` as above.
int RunAboutDialog(QWidget* owner, const std::function<void(QDialog*)>& onOpen = {});
int RunSpecialNumbersDialog(QWidget* owner, const std::function<void(QDialog*)>& onOpen = {});

// The index-building notice: shown and painted at once, takes no input, cannot be closed by
// the user; destroyed with the object.
class IndexNotice {
 public:
  explicit IndexNotice(QWidget* owner);
  ~IndexNotice();
  QDialog* dialog() const { return dialog_.get(); }

 private:
  std::unique_ptr<QDialog> dialog_;
};

}  // namespace tovra
