// Dialog templates as constant data: what the original resource files said, kept as tables
// (ids, kinds, texts, rectangles in dialog units, styles, tab order) and turned into Qt
// widgets by the template builder. Texts are UTF-8: templates belong to the screen edge.
#pragma once

#include <cstdint>

namespace ui {

enum class ControlKind {
  kStatic,       // static text
  kIcon,         // static icon (text = resource id as decimal, e.g. "102")
  kEdit,
  kButton,       // push button
  kDefButton,    // default push button
  kCheckBox,     // auto check box
  kRadio,        // auto radio button
  kGroupBox,
  kComboDropList,// drop-down list, no typing
  kComboDropDown,// drop-down with edit
  kListBox,
  kListView,     // report-style list view
  kProgress,     // progress bar
};

// Style flags that matter to the builder and to behaviour.
enum StyleFlag : std::uint32_t {
  kTabStop = 1u << 0,
  kGroupStart = 1u << 1,   // WS_GROUP: starts a radio group / tab group
  kDisabled = 1u << 2,
  kHidden = 1u << 3,
  kBorder = 1u << 4,
  kAutoHScroll = 1u << 5,
  kVScroll = 1u << 6,
  kSorted = 1u << 7,
  kReadOnly = 1u << 8,
  kMultiLine = 1u << 9,
  kNoIntegralHeight = 1u << 10,
  kCenterText = 1u << 11,
  kRightText = 1u << 12,
};

struct ControlTemplate {
  int id;                 // control id; -1 for IDC_STATIC
  ControlKind kind;
  const char* text;       // UTF-8, "&" marks the mnemonic as on the original platform
  int x, y, w, h;         // dialog units
  std::uint32_t style;    // StyleFlag bits
};

struct DialogTemplate {
  int id;                 // resource id (101, 105, 107, 108, 111, 135)
  const char* caption;    // UTF-8
  const char* fontFace;   // as the template names it ("ＭＳ Ｐゴシック")
  int fontPointSize;
  int w, h;               // dialog units
  bool modalFrame;        // modal frame with caption and system menu
  bool centered;
  const ControlTemplate* controls;  // in template (tab) order
  int controlCount;
  int menuId;             // 0 for none
};

struct MenuItemTemplate {
  int commandId;          // 0 for a separator; -1 opens a popup (children follow until kMenuEnd)
  const char* text;       // UTF-8
};
constexpr int kMenuEnd = -2;

}  // namespace ui
