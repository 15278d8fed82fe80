#include "win32_template.h"

#include <commctrl.h>

namespace ui {
namespace {

// Predefined window classes by atom, as a resource compiler writes them.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kListBoxAtom = 0x0083;
constexpr WORD kComboBoxAtom = 0x0085;

class TemplateWriter {
 public:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Text(std::string_view utf8) {
    for (const wchar_t c : WideFromUtf8(utf8)) Word(static_cast<WORD>(c));
    Word(0);
  }
  void Atom(WORD atom) {
    Word(0xFFFF);
    Word(atom);
  }
  void AlignDword() {
    if (words_.size() % 2 != 0) Word(0);
  }
  std::vector<WORD> Take() { return std::move(words_); }

 private:
  std::vector<WORD> words_;
};

DWORD CommonStyle(std::uint32_t flags) {
  DWORD style = WS_CHILD;
  if (!(flags & kHidden)) style |= WS_VISIBLE;
  if (flags & kDisabled) style |= WS_DISABLED;
  if (flags & kTabStop) style |= WS_TABSTOP;
  if (flags & kGroupStart) style |= WS_GROUP;
  if (flags & kBorder) style |= WS_BORDER;
  if (flags & kVScroll) style |= WS_VSCROLL;
  return style;
}

DWORD StaticStyle(std::uint32_t flags) {
  if (flags & kCenterText) return SS_CENTER;
  if (flags & kRightText) return SS_RIGHT;
  return SS_LEFT;
}

DWORD EditStyle(std::uint32_t flags) {
  DWORD style = ES_LEFT;
  if (flags & kAutoHScroll) style |= ES_AUTOHSCROLL;
  if (flags & kReadOnly) style |= ES_READONLY;
  if (flags & kMultiLine) style |= ES_MULTILINE | ES_AUTOVSCROLL;
  return style;
}

DWORD ComboStyle(ControlKind kind, std::uint32_t flags) {
  DWORD style = kind == ControlKind::kComboDropList ? CBS_DROPDOWNLIST
                                                    : CBS_DROPDOWN | CBS_AUTOHSCROLL;
  if (flags & kSorted) style |= CBS_SORT;
  if (flags & kNoIntegralHeight) style |= CBS_NOINTEGRALHEIGHT;
  return style;
}

DWORD ListBoxStyle(std::uint32_t flags) {
  DWORD style = LBS_NOTIFY;
  if (flags & kSorted) style |= LBS_SORT;
  if (flags & kNoIntegralHeight) style |= LBS_NOINTEGRALHEIGHT;
  return style;
}

// The kind's own style bits of one control.
DWORD KindStyle(const ControlTemplate& c) {
  switch (c.kind) {
    case ControlKind::kStatic: return StaticStyle(c.style);
    case ControlKind::kIcon: return SS_ICON;
    case ControlKind::kEdit: return EditStyle(c.style);
    case ControlKind::kButton: return BS_PUSHBUTTON;
    case ControlKind::kDefButton: return BS_DEFPUSHBUTTON;
    case ControlKind::kCheckBox: return BS_AUTOCHECKBOX;
    case ControlKind::kRadio: return BS_AUTORADIOBUTTON;
    case ControlKind::kGroupBox: return BS_GROUPBOX;
    case ControlKind::kComboDropList:
    case ControlKind::kComboDropDown: return ComboStyle(c.kind, c.style);
    case ControlKind::kListBox: return ListBoxStyle(c.style);
    case ControlKind::kListView: return LVS_REPORT | LVS_SHOWSELALWAYS;
    case ControlKind::kProgress: return 0;
  }
  return 0;
}

// The window class of a kind: a predefined atom, or 0 for the common controls named below.
WORD KindAtom(ControlKind kind) {
  switch (kind) {
    case ControlKind::kStatic:
    case ControlKind::kIcon: return kStaticAtom;
    case ControlKind::kEdit: return kEditAtom;
    case ControlKind::kComboDropList:
    case ControlKind::kComboDropDown: return kComboBoxAtom;
    case ControlKind::kListBox: return kListBoxAtom;
    case ControlKind::kListView:
    case ControlKind::kProgress: return 0;
    default: return kButtonAtom;  // push, default, check, radio, group box
  }
}

void WriteControl(const ControlTemplate& c, TemplateWriter* out) {
  out->AlignDword();
  out->Dword(CommonStyle(c.style) | KindStyle(c));
  out->Dword(0);  // extended style
  for (const int v : {c.x, c.y, c.w, c.h}) out->Word(static_cast<WORD>(static_cast<short>(v)));
  out->Word(static_cast<WORD>(c.id));  // -1 (IDC_STATIC) becomes 0xFFFF
  if (const WORD atom = KindAtom(c.kind); atom != 0) {
    out->Atom(atom);
  } else {
    out->Text(c.kind == ControlKind::kListView ? WC_LISTVIEWA : PROGRESS_CLASSA);
  }
  if (c.kind == ControlKind::kIcon) {
    out->Word(0xFFFF);  // an icon names its resource by number
    out->Word(static_cast<WORD>(std::stoi(c.text)));
  } else {
    out->Text(c.text);
  }
  out->Word(0);  // no creation data
}

}  // namespace

std::vector<WORD> BuildWin32DialogTemplate(const DialogTemplate& dialog) {
  TemplateWriter out;
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
  if (dialog.modalFrame) style |= DS_MODALFRAME;
  if (dialog.centered) style |= DS_CENTER;
  out.Dword(style);
  out.Dword(0);  // extended style
  out.Word(static_cast<WORD>(dialog.controlCount));
  for (const int v : {0, 0, dialog.w, dialog.h}) out.Word(static_cast<WORD>(v));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(dialog.caption);
  out.Word(static_cast<WORD>(dialog.fontPointSize));
  out.Text(dialog.fontFace);
  for (int i = 0; i < dialog.controlCount; ++i) WriteControl(dialog.controls[i], &out);
  return out.Take();
}

std::wstring WideFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

}  // namespace ui
