// MEKLAN_GetDistanceWithDialog: finds the dialog module beside this library, loads it on
// first use and runs the dialog there. Nothing here knows a GUI toolkit; a missing module,
// a module that does not fit, or a second dialog while one is open all give -1, so a caller
// without a screen or without the module carries on.
#include <dlfcn.h>

#include <string>

#include "dialog/dialog_module.h"
#include "dialog/dialog_slot.h"
#include "meklan.h"

namespace {

// Taken before the module is asked, so that a call re-entering from the dialog's own event
// loop (or from another thread) is refused at once.
using meklan_dialog::DialogSlot;

// The address of this library's own copy of the slot, for dladdr: the address of an export
// could be that of another copy of the library loaded earlier in the process.
const void* OwnAddress() { return static_cast<const void*>(&meklan_dialog::g_dialog_open); }

// Directory of the file this code was loaded from, with a trailing '/'; empty when the
// loader cannot tell.
std::string OwnDirectory() {
  Dl_info info{};
  if (dladdr(OwnAddress(), &info) == 0 ||
      info.dli_fname == nullptr) {
    return {};
  }
  std::string path = info.dli_fname;
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash + 1);
}

// Loaded once and kept: a module that has started a GUI toolkit cannot be unloaded safely.
// A failed load is tried again on the next call, so installing the module later helps.
// Only the caller holding the dialog slot gets here, so no two threads race on this.
MeklanDialogRunFn g_run = nullptr;

MeklanDialogRunFn LoadDialogModule() {
  if (g_run != nullptr) return g_run;
  const std::string dir = OwnDirectory();
  if (dir.empty()) return nullptr;
  // Beside the library in a program folder; in meklan/ beside it where the library lives in
  // the system's library directory, which is no place for a module without a SONAME.
  void* module = nullptr;
  for (const char* subdirectory : {"", "meklan/"}) {
    const std::string path = dir + subdirectory + MEKLAN_DIALOG_MODULE_FILE;
    module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module != nullptr) break;
  }
  if (module == nullptr) return nullptr;
  void* entry = dlsym(module, MEKLAN_DIALOG_RUN_SYMBOL);
  if (entry == nullptr) {
    dlclose(module);
    return nullptr;
  }
  g_run = reinterpret_cast<MeklanDialogRunFn>(entry);
  return g_run;
}

}  // namespace

extern "C" MEKLAN_API int MEKLAN_CALL MEKLAN_GetDistanceWithDialog(void* owner, MKDISTANCE* rec,
                                                       int showMessage) {
  if (rec == nullptr) return -1;
  DialogSlot slot;
  if (!slot.taken()) return -1;
  const MeklanDialogRunFn run = LoadDialogModule();
  if (run == nullptr) return -1;
  static const MeklanDialogLibrary library = {
      static_cast<int>(sizeof(MeklanDialogLibrary)), &MEKLAN_GetMA, &MEKLAN_GetDistance};
  return run(owner, rec, showMessage, &library);
}
