// Saves a picture of the distance dialog as a user sees it after typing an area code:
//   QT_QPA_PLATFORM=offscreen distance_dialog_screenshot docs/screenshots/distance_dialog.png
#include <dlfcn.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>
#include <cstring>

#include "dialog/dialog_module.h"
#include "meklan.h"

namespace {

const char* g_path = nullptr;
bool g_saved = false;

void TakePicture(void* dialog, void*) {
  auto* d = static_cast<QDialog*>(dialog);
  d->findChild<QLineEdit*>("1036")->setText(QStringLiteral("0153"));
  d->findChild<QLineEdit*>("1037")->setText(QStringLiteral("東京"));
  g_saved = d->grab().save(QString::fromLocal8Bit(g_path));
  d->reject();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: distance_dialog_screenshot FILE.png\n");
    return 2;
  }
  g_path = argv[1];
  QApplication app(argc, argv);
  void* module = dlopen(MEKLAN_DIALOG_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  auto setOpenHook = module ? reinterpret_cast<decltype(&MeklanDialog_SetOpenHook)>(
                                  dlsym(module, "MeklanDialog_SetOpenHook"))
                            : nullptr;
  if (setOpenHook == nullptr) {
    std::fprintf(stderr, "distance_dialog_screenshot: cannot load the dialog module\n");
    return 1;
  }
  setOpenHook(&TakePicture, nullptr);
  MKDISTANCE rec;
  std::memset(&rec, 0, sizeof rec);
  MEKLAN_GetDistanceWithDialog(nullptr, &rec, 1);
  if (!g_saved) {
    std::fprintf(stderr, "distance_dialog_screenshot: cannot write %s\n", g_path);
    return 1;
  }
  return 0;
}
