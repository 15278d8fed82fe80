// Dialog templates (common/ui/dialog_template.h) realised as Win32 dialog templates in memory:
// the same ids, kinds, texts, rectangles in dialog units and styles as the Qt builder reads,
// here laid out as DLGTEMPLATE and DLGITEMTEMPLATE records for DialogBoxIndirectParamW.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "dialog_template.h"

namespace ui {

// The template as the dialog manager reads it (DWORD-aligned words, texts in UTF-16).
std::vector<WORD> BuildWin32DialogTemplate(const DialogTemplate& dialog);

// UTF-8 <-> UTF-16: templates and messages are UTF-8, the window system's texts UTF-16.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace ui
