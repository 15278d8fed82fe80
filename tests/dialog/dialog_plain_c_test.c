/*
 * MEKLAN_GetDistanceWithDialog from a C program that has no Qt application of its own.
 *
 *   dialog_plain_c_test                 the dialog opens (offscreen), computes, cancels;
 *                                       twice, so the module's own application comes and goes
 *   dialog_plain_c_test no-display      run without any display: the export returns -1
 *   dialog_plain_c_test missing-module  a copy of the library without the module beside it
 *                                       returns -1
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "dialog/dialog_module.h"
#include "meklan.h"

static int failures = 0;

#define CHECK(cond)                                                   \
  do {                                                                \
    if (!(cond)) {                                                    \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                     \
    }                                                                 \
  } while (0)

static char last_box[512];
static int box_count = 0;

static void record_box(const char *text, const char *caption, void *context) {
  (void)context;
  snprintf(last_box, sizeof last_box, "%s|%s", caption, text);
  ++box_count;
}

/* What the dialog is made to do once it runs; set before each call. */
static const char *script_from;
static const char *script_to;
static int script_button;
static int nested_result;

static int (*set_item_text)(void *, int, const char *);
static int (*click_item)(void *, int);
static void (*post_cancel)(void *);

static void run_script(void *dialog, void *context) {
  (void)context;
  MKDISTANCE other;
  memset(&other, 0, sizeof other);
  nested_result = MEKLAN_GetDistanceWithDialog(NULL, &other, 1); /* one dialog at a time */
  CHECK(set_item_text(dialog, 1036, script_from) == 1);
  CHECK(set_item_text(dialog, 1037, script_to) == 1);
  CHECK(set_item_text(dialog, 4711, "x") == 0);
  CHECK(click_item(dialog, script_button) == 1);
  post_cancel(dialog); /* a computation that failed must not leave the dialog open */
}

static void *load_module(void) {
  void *module = dlopen(MEKLAN_DIALOG_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  if (module == NULL) {
    fprintf(stderr, "cannot load the dialog module: %s\n", dlerror());
    exit(1);
  }
  return module;
}

static int test_dialog(void) {
  void *module = load_module();
  void (*set_message_hook)(MeklanDialogMessageHook, void *) =
      (void (*)(MeklanDialogMessageHook, void *))dlsym(module, "MeklanDialog_SetMessageHook");
  void (*set_open_hook)(MeklanDialogOpenHook, void *) =
      (void (*)(MeklanDialogOpenHook, void *))dlsym(module, "MeklanDialog_SetOpenHook");
  set_item_text = (int (*)(void *, int, const char *))dlsym(module, "MeklanDialog_SetItemText");
  click_item = (int (*)(void *, int))dlsym(module, "MeklanDialog_ClickItem");
  post_cancel = (void (*)(void *))dlsym(module, "MeklanDialog_PostCancel");
  CHECK(set_message_hook && set_open_hook && set_item_text && click_item && post_cancel);
  if (failures) return 1;
  set_message_hook(record_box, NULL);
  set_open_hook(run_script, NULL);

  setlocale(LC_ALL, "C");
  MKDISTANCE rec;
  memset(&rec, 0, sizeof rec);

  /* 0166 and 011 from the edits: 旭川 to 札幌. */
  script_from = "0166";
  script_to = "011";
  script_button = 1038;
  int result = MEKLAN_GetDistanceWithDialog(NULL, &rec, 1);
  CHECK(nested_result == -1);
  CHECK(result > 0 && result == rec.distance);
  CHECK(strcmp(rec.fromName, "\x88\xae\x90\xec") == 0); /* 旭川 */
  CHECK(strcmp(rec.toName, "\x8e\x44\x96\x79") == 0);   /* 札幌 */
  CHECK(strcmp(rec.fromAreaCode, "0166") == 0 && strcmp(rec.toAreaCode, "011") == 0);
  char expected[512];
  snprintf(expected, sizeof expected, "MEKLAN|旭川(0166) から 札幌(011) までは %dkmです", rec.distance);
  CHECK(box_count == 1 && strcmp(last_box, expected) == 0);
  /* The process locale is the caller's business, whatever Qt set while it ran. */
  CHECK(strcmp(setlocale(LC_ALL, NULL), "C") == 0);

  /* Again, with a new application of the module's: a failure, then cancel. */
  box_count = 0;
  script_from = "nowhere";
  script_to = "011";
  script_button = 2;
  result = MEKLAN_GetDistanceWithDialog(NULL, &rec, 0);
  CHECK(result == -1);
  CHECK(box_count == 0); /* nothing was computed before the cancel */

  /* A caller without an application cannot name an owner widget. */
  int not_a_widget = 0;
  CHECK(MEKLAN_GetDistanceWithDialog(&not_a_widget, &rec, 1) == -1);
  return failures ? 1 : 0;
}

static int test_no_display(void) {
  MKDISTANCE rec;
  memset(&rec, 0, sizeof rec);
  CHECK(MEKLAN_GetDistanceWithDialog(NULL, &rec, 1) == -1);
  return failures ? 1 : 0;
}

/* A copy of the library in a directory of its own: the module is not beside it. */
static int test_missing_module(void) {
  char dir[] = "/tmp/meklan-no-module-XXXXXX";
  if (mkdtemp(dir) == NULL) return 1;
  char target[512];
  snprintf(target, sizeof target, "%s/libmeklan.so.3", dir);
  char command[1200];
  snprintf(command, sizeof command, "cp '%s' '%s'", MEKLAN_CORE_LIBRARY_PATH, target);
  if (system(command) != 0) return 1;

  void *copy = dlopen(target, RTLD_NOW | RTLD_LOCAL);
  CHECK(copy != NULL);
  if (copy != NULL) {
    int (*with_dialog)(void *, MKDISTANCE *, int) =
        (int (*)(void *, MKDISTANCE *, int))dlsym(copy, "MEKLAN_GetDistanceWithDialog");
    CHECK(with_dialog != NULL);
    MKDISTANCE rec;
    memset(&rec, 0, sizeof rec);
    if (with_dialog != NULL) CHECK(with_dialog(NULL, &rec, 1) == -1);
  }
  unlink(target);
  rmdir(dir);
  return failures ? 1 : 0;
}

int main(int argc, char **argv) {
  if (argc > 1 && strcmp(argv[1], "no-display") == 0) return test_no_display();
  if (argc > 1 && strcmp(argv[1], "missing-module") == 0) return test_missing_module();
  return test_dialog();
}
