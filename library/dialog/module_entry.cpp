// The entry points of libmeklan-dialog.so. A caller may come with a Qt application of its
// own (the dialog then lives in it, on its GUI thread) or with none at all (the module then
// makes one for the dialog's lifetime and leaves the process as it found it).
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QWidget>
#include <clocale>
#include <string>

#include "dialog/dialog_module.h"
#include "display_probe.h"
#include "distance_dialog.h"
#include "message_box.h"
#include "qt_translations.h"
#include "template_builder.h"

namespace {

MeklanDialogOpenHook g_open_hook = nullptr;
void* g_open_context = nullptr;

bool LibraryUsable(const MeklanDialogLibrary* library) {
  return library != nullptr && library->size >= static_cast<int>(sizeof(MeklanDialogLibrary)) &&
         library->getMa != nullptr && library->getDistance != nullptr;
}

// owner as one of the application's live widgets, so that a stale or foreign pointer is
// refused rather than followed.
QWidget* LiveWidget(void* owner) {
  for (QWidget* widget : QApplication::allWidgets()) {
    if (static_cast<void*>(widget) == owner) return widget;
  }
  return nullptr;
}

int RunInApplication(QWidget* owner, MKDISTANCE* rec, int showMessage,
                     const MeklanDialogLibrary& library) {
  const MeklanDialogOpenHook hook = g_open_hook;
  void* context = g_open_context;
  return meklan_dialog::RunDistanceDialog(owner, rec, showMessage, library,
                                          [hook, context](QDialog* dialog) {
                                            if (hook != nullptr) hook(dialog, context);
                                          });
}

// A QApplication for a caller that has none. Qt sets the process locale from the
// environment when it starts; the caller's locale is put back afterwards.
class TemporaryApplication {
 public:
  TemporaryApplication() : locale_(std::setlocale(LC_ALL, nullptr)), app_(argc_, argv_) {
    ui::InstallJapaneseQtTranslations();
  }
  ~TemporaryApplication() = default;
  TemporaryApplication(const TemporaryApplication&) = delete;
  TemporaryApplication& operator=(const TemporaryApplication&) = delete;

 private:
  struct LocaleRestorer {
    explicit LocaleRestorer(const char* saved) : saved(saved != nullptr ? saved : "C") {}
    ~LocaleRestorer() { std::setlocale(LC_ALL, saved.c_str()); }
    std::string saved;
  };
  // QApplication keeps references to argc and argv for its whole life.
  static inline char name_[] = "meklan";
  static inline char* argv_[] = {name_, nullptr};
  static inline int argc_ = 1;
  LocaleRestorer locale_;  // destroyed after app_
  QApplication app_;
};

int Run(void* owner, MKDISTANCE* rec, int showMessage, const MeklanDialogLibrary* library) {
  if (rec == nullptr || !LibraryUsable(library)) return -1;
  if (QCoreApplication* existing = QCoreApplication::instance()) {
    // Widgets need a QApplication, and only on the thread it belongs to.
    if (qobject_cast<QApplication*>(existing) == nullptr) return -1;
    if (QThread::currentThread() != existing->thread()) return -1;
    QWidget* parent = nullptr;
    if (owner != nullptr && (parent = LiveWidget(owner)) == nullptr) return -1;
    return RunInApplication(parent, rec, showMessage, *library);
  }
  if (owner != nullptr) return -1;  // without an application no widget can be alive
  if (!ui::DisplayAvailable()) return -1;
  TemporaryApplication app;
  return RunInApplication(nullptr, rec, showMessage, *library);
}

}  // namespace

extern "C" {

MEKLAN_DIALOG_ENTRY int MeklanDialog_Run(void* owner, MKDISTANCE* rec, int showMessage,
                                         const MeklanDialogLibrary* library) {
  try {
    return Run(owner, rec, showMessage, library);
  } catch (...) {
    return -1;  // nothing may cross back into a C caller
  }
}

MEKLAN_DIALOG_ENTRY void MeklanDialog_SetMessageHook(MeklanDialogMessageHook hook,
                                                     void* context) {
  if (hook == nullptr) {
    ui::SetMessageBoxHook(nullptr);
    return;
  }
  ui::SetMessageBoxHook([hook, context](const ui::MessageBoxRequest& request) {
    hook(request.text.toUtf8().constData(), request.caption.toUtf8().constData(), context);
  });
}

MEKLAN_DIALOG_ENTRY void MeklanDialog_SetOpenHook(MeklanDialogOpenHook hook, void* context) {
  g_open_hook = hook;
  g_open_context = context;
}

MEKLAN_DIALOG_ENTRY int MeklanDialog_SetItemText(void* dialog, int id, const char* textUtf8) {
  auto* edit = ui::ControlAs<QLineEdit>(static_cast<QDialog*>(dialog), id);
  if (edit == nullptr || textUtf8 == nullptr) return 0;
  edit->setText(QString::fromUtf8(textUtf8));
  return 1;
}

MEKLAN_DIALOG_ENTRY int MeklanDialog_ClickItem(void* dialog, int id) {
  auto* button = ui::ControlAs<QPushButton>(static_cast<QDialog*>(dialog), id);
  if (button == nullptr) return 0;
  button->click();
  return 1;
}

MEKLAN_DIALOG_ENTRY int MeklanDialog_ChooseItem(void* dialog, int id, int index) {
  auto* combo = ui::ControlAs<QComboBox>(static_cast<QDialog*>(dialog), id);
  if (combo == nullptr || index < 0 || index >= combo->count()) return 0;
  combo->setCurrentIndex(index);
  emit combo->activated(index);  // as a user's choice in the drop-down does
  return 1;
}

MEKLAN_DIALOG_ENTRY void MeklanDialog_PostCancel(void* dialog) {
  auto* d = static_cast<QDialog*>(dialog);
  QMetaObject::invokeMethod(d, [d] { if (d->isVisible()) d->reject(); }, Qt::QueuedConnection);
}

}  // extern "C"
