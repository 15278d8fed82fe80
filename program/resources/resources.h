// The desktop program's resources: dialog templates 101, 105, 107, 108, 111, menu 104,
// icon 102, the list of three-digit special numbers and the program's version text.
#pragma once

#include <span>

#include <QIcon>

#include "dialog_template.h"
#include "resource_ids.h"

namespace tovra::res {

extern const ui::DialogTemplate kMainDialog;             // 101
extern const ui::DialogTemplate kAboutDialog;            // 105
extern const ui::DialogTemplate kNoticeDialog;           // 107
extern const ui::DialogTemplate kSettingsDialog;         // 108
extern const ui::DialogTemplate kSpecialNumbersDialog;   // 111
extern const ui::DialogTemplate kResolveDialog;          // 112

std::span<const ui::MenuItemTemplate> MainMenu();        // 104

// The template with this resource id, or nullptr.
const ui::DialogTemplate* FindDialogTemplate(int id);

// Icon 102, drawn at every size the window system asks for.
QIcon ProgramIcon();
// The resolver the template builder uses for icon controls.
QIcon IconResource(int id);

// The 30 entries of the special-number list, UTF-8, in ascending order.
std::span<const char* const> SpecialNumbers();

// Shown in the About box.
constexpr char kProgramVersionText[] = "0.52(2003/12/17)";

}  // namespace tovra::res
