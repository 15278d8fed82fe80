// MEKLAN_GetDistanceWithDialog in meklan.dll: dialog 135 as a real Win32 dialog, realised
// from the same template as the Qt module's, run modally over the caller's window. Its
// procedure reacts as the Qt dialog does: candidates under each edit from MEKLAN_GetMA,
// 距離算出 computes, a failure keeps the dialog open, the first success closes it.
#include <windows.h>

#include <optional>
#include <string>

#include "cp932.h"
#include "dialog/dialog_slot.h"
#include "dialog/distance_dialog_template.h"
#include "dialog/distance_text.h"
#include "meklan.h"
#include "windows/module.h"
#include "windows/win32_template.h"

namespace meklan_dialog {
namespace {

struct DialogState {
  MKDISTANCE* rec;
  int showMessage;
  int result;      // what the dialog closes with after a success
  bool finishing;  // a success has been reached; the close is on its way
};

DialogState* StateOf(HWND dialog) {
  return reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void ShowBox(HWND dialog, const char* textUtf8) {
  MessageBoxW(dialog, ui::WideFromUtf8(textUtf8).c_str(),
              ui::WideFromUtf8(kMessageCaption).c_str(), MB_OK);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// An edit's text as CP932, cut to maxBytes on a character boundary; nullopt when it holds a
// character that CP932 cannot carry, since such a text names no MA.
std::optional<std::string> EditText(HWND dialog, int editId, std::size_t maxBytes) {
  std::optional<std::string> text =
      cp932::FromUtf8(ui::Utf8FromWide(WindowText(GetDlgItem(dialog, editId))));
  if (text) text->resize(cp932::BoundaryAtOrBefore(*text, maxBytes));
  return text;
}

// Refills the candidate list under an edit from what the edit holds.
void FillCandidates(HWND dialog, int editId) {
  const std::optional<std::string> key = EditText(dialog, editId, kKeyMaxBytes);
  // "0" alone is the first keystroke of almost every area code: it would list every MA,
  // so the list stays as it is until more is typed.
  if (key && *key == "0") return;
  const HWND combo = GetDlgItem(dialog, editId + kListIdOffset);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  if (key) {
    char list[MEKLAN_MALIST_SIZE] = "";
    MEKLAN_GetMA(key->empty() ? "0" : key->c_str(), list, -1);  // empty: every MA
    for (const std::string& name : DistinctNames(list)) {
      const std::wstring item = ui::WideFromUtf8(cp932::ToUtf8(name));
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
  }
  // A single candidate is shown chosen; otherwise nothing is, until the user picks one.
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  SendMessageW(combo, CB_SETCURSEL, count == 1 ? 0 : static_cast<WPARAM>(-1), 0);
}

void OnCandidateChosen(HWND dialog, int listId) {
  const HWND combo = GetDlgItem(dialog, listId);
  const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return;
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return;
  std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(name.data()));
  // The edit reports the change, which refills this list from the chosen name.
  SetDlgItemTextW(dialog, listId - kListIdOffset, name.c_str());
}

void Compute(HWND dialog, DialogState& s) {
  if (s.finishing) return;
  const std::optional<std::string> from = EditText(dialog, kIdFromEdit, kEndMaxBytes);
  const std::optional<std::string> to = EditText(dialog, kIdToEdit, kEndMaxBytes);
  if (!from || !to) {
    ShowBox(dialog, kNotFoundMessage);
    return;
  }
  StoreField(s.rec->fromName, *from);
  StoreField(s.rec->toName, *to);
  if (MEKLAN_GetDistance(s.rec) != 1) {
    ShowBox(dialog, kNotFoundMessage);  // whatever showMessage says: the user must learn why
    return;
  }
  const DistanceOutcome outcome = DescribeDistance(*s.rec);
  s.result = outcome.result;
  s.finishing = true;
  if (s.showMessage == 1) ShowBox(dialog, outcome.message.c_str());
  // Closed through the message loop with OK; a cancel that got there first keeps its -1.
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kIdOk, BN_CLICKED), 0);
}

void Initialise(HWND dialog, DialogState& s) {
  s.result = -1;
  // Setting a text makes the edit report a change, which fills its candidate list.
  SetDlgItemTextW(dialog, kIdFromEdit,
                  ui::WideFromUtf8(cp932::ToUtf8(FieldText(s.rec->fromName))).c_str());
  SetDlgItemTextW(dialog, kIdToEdit,
                  ui::WideFromUtf8(cp932::ToUtf8(FieldText(s.rec->toName))).c_str());
}

void OnCommand(HWND dialog, DialogState& s, int id, int code) {
  switch (id) {
    case kIdFromEdit:
    case kIdToEdit:
      if (code == EN_CHANGE) FillCandidates(dialog, id);
      return;
    case kIdFromList:
    case kIdToList:
      if (code == CBN_SELCHANGE) OnCandidateChosen(dialog, id);
      return;
    case kIdCompute:
      if (code == BN_CLICKED) Compute(dialog, s);
      return;
    case kIdOk:
      EndDialog(dialog, s.result);
      return;
    case kIdCancel:  // CANCEL, Escape and the close box
      EndDialog(dialog, -1);
      return;
    default:
      return;
  }
}

INT_PTR CALLBACK DistanceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* s = reinterpret_cast<DialogState*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    Initialise(dialog, *s);
    return TRUE;  // the focus goes to the first edit, ready for typing
  }
  DialogState* s = StateOf(dialog);
  if (message == WM_COMMAND && s != nullptr) {
    OnCommand(dialog, *s, LOWORD(wParam), HIWORD(wParam));
  }
  return FALSE;
}

}  // namespace
}  // namespace meklan_dialog

extern "C" int MEKLAN_CALL MEKLAN_GetDistanceWithDialog(void* owner, MKDISTANCE* rec,
                                                        int showMessage) {
  using namespace meklan_dialog;
  if (rec == nullptr) return -1;
  const HWND ownerWindow = static_cast<HWND>(owner);
  if (ownerWindow != nullptr && !IsWindow(ownerWindow)) return -1;
  DialogSlot slot;
  if (!slot.taken()) return -1;
  const std::vector<WORD> dialogTemplate = ui::BuildWin32DialogTemplate(kDistanceDialogTemplate);
  DialogState state{rec, showMessage, -1, false};
  // A dialog that cannot be made gives -1, or 0 for a bad owner: told apart from a result
  // of 0 (the same MA) by the state, which only a success sets to something else than -1.
  const INT_PTR result = DialogBoxIndirectParamW(
      meklan::win::ModuleHandle(), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
      ownerWindow, DistanceDialogProc, reinterpret_cast<LPARAM>(&state));
  return result == 0 && state.result == -1 ? -1 : static_cast<int>(result);
}
