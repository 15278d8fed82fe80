/*
 * dialog_module.h - the seam between libmeklan.so and its distance dialog module.
 *
 * The core library must not depend on a GUI toolkit, so the dialog lives in the module
 * libmeklan-dialog.so beside it, loaded with dlopen() on the first dialog call. The core
 * resolves one entry point, MeklanDialog_Run, and hands it the two lookups the dialog needs
 * as function pointers, so the module never links the core library itself and always works
 * with the very copy that loaded it.
 *
 * The remaining entry points exist for tests: they reach the module's own copies of the
 * message-box hook and of the dialog's controls, which a test cannot reach through Qt types
 * when it is written in C. They are not part of libmeklan.so's interface.
 *
 * Plain C so that tests in C can include it.
 */
#ifndef MEKLAN_DIALOG_MODULE_H
#define MEKLAN_DIALOG_MODULE_H

#include "meklan.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MEKLAN_DIALOG_MODULE_FILE "libmeklan-dialog.so"
#define MEKLAN_DIALOG_RUN_SYMBOL "MeklanDialog_Run"

#if defined(__GNUC__)
#define MEKLAN_DIALOG_ENTRY __attribute__((visibility("default")))
#else
#define MEKLAN_DIALOG_ENTRY
#endif

/* What the core lends the module. `size` is sizeof(MeklanDialogLibrary) of the core that
 * filled it: a module newer than its core refuses a table shorter than it needs. */
typedef struct MeklanDialogLibrary {
  int size;
  int (*getMa)(const char *key, char *out, int prefIndex);
  int (*getDistance)(MKDISTANCE *rec);
} MeklanDialogLibrary;

/* Runs the dialog modally. owner: a live QWidget * of the caller's application, or NULL.
 * Returns -1 on cancel, when no display is available, when the caller's Qt application
 * cannot host widgets (QCoreApplication only, or another thread), or when owner is not a
 * live widget; otherwise the result of the successful computation. */
typedef int (*MeklanDialogRunFn)(void *owner, MKDISTANCE *rec, int showMessage,
                                 const MeklanDialogLibrary *library);
MEKLAN_DIALOG_ENTRY int MeklanDialog_Run(void *owner, MKDISTANCE *rec, int showMessage,
                                         const MeklanDialogLibrary *library);

/* --- Test support ---------------------------------------------------------------------- */

/* Receives every message box (UTF-8 text and caption) instead of showing it; NULL removes
 * the hook. The box counts as closed with OK when the hook returns. */
typedef void (*MeklanDialogMessageHook)(const char *textUtf8, const char *captionUtf8,
                                        void *context);
MEKLAN_DIALOG_ENTRY void MeklanDialog_SetMessageHook(MeklanDialogMessageHook hook,
                                                     void *context);

/* Called once the dialog runs its modal loop, with the dialog (a QDialog *); NULL removes
 * the hook. */
typedef void (*MeklanDialogOpenHook)(void *dialog, void *context);
MEKLAN_DIALOG_ENTRY void MeklanDialog_SetOpenHook(MeklanDialogOpenHook hook, void *context);

/* Control access by id, as a user would act: set an edit's text (UTF-8), click a button,
 * choose entry `index` of a combo box. Each returns 1, or 0 when the dialog has no such
 * control of that kind (or the index is out of range). */
MEKLAN_DIALOG_ENTRY int MeklanDialog_SetItemText(void *dialog, int id, const char *textUtf8);
MEKLAN_DIALOG_ENTRY int MeklanDialog_ClickItem(void *dialog, int id);
MEKLAN_DIALOG_ENTRY int MeklanDialog_ChooseItem(void *dialog, int id, int index);

/* Posts a cancel to the dialog: it closes with -1 unless a close queued before it (the one
 * a successful computation posts) comes first. Lets a test end every run it starts. */
MEKLAN_DIALOG_ENTRY void MeklanDialog_PostCancel(void *dialog);

#ifdef __cplusplus
}
#endif

#endif /* MEKLAN_DIALOG_MODULE_H */
