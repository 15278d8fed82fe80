// Turns a DialogTemplate into Qt widgets, as the original platform turned a dialog resource
// into a window: dialog units -> pixels from the dialog font (average character width / 4,
// height / 8), one widget per control with its id as objectName ("1006"), one QButtonGroup
// per radio group (a group starts at a control with kGroupStart), tab order = template order.
//
// Controls live on the dialog's client area (ClientArea), which sits below the menu bar when
// the dialog has one, so that template coordinates stay relative to the client area as they
// were on the original platform.
//
// Widgets per kind: kStatic QLabel (buddy = next control, so "&" mnemonics work), kIcon QLabel
// with the pixmap of the icon resolver, kEdit QLineEdit, kButton/kDefButton QPushButton,
// kCheckBox QCheckBox, kRadio QRadioButton, kGroupBox QGroupBox (kept below the others so it
// never takes their clicks), kComboDropList/kComboDropDown QComboBox, kListBox QListWidget,
// kListView QTableView (the owner gives it a model), kProgress QProgressBar.
#pragma once

#include <functional>

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

#include "dialog_template.h"

class QAction;
class QButtonGroup;
class QDialog;
class QMenuBar;
class QWidget;

namespace ui {

// The font a template names, realised with the installed stand-in (IPA P Gothic for
// "ＭＳ Ｐゴシック").
QFont DialogFont(const DialogTemplate& t);

// The pixel size of one dialog unit for a font: x = average character width / 4,
// y = character height / 8 (fractions kept; rounding happens per rectangle).
struct DialogUnit {
  double x;
  double y;
};
DialogUnit DialogUnitOf(const QFont& font);

// Dialog units -> pixels for that font.
QRect DialogUnitsToPixels(const QFont& font, const QRect& dialogUnits);
// A length in pixels that the original gave for 1.5 px per unit, scaled to this font's unit.
int ScaleOriginalPixelsX(const QFont& font, int pixels);
int ScaleOriginalPixelsY(const QFont& font, int pixels);
// The inverse of ScaleOriginalPixelsX: this screen's pixels back to the original's (for
// values stored in files that the original also reads). Exact for values it scaled itself.
int OriginalPixelsX(const QFont& font, int pixels);

// Resolves the icon resources that kIcon controls name (text = decimal id). Without a
// resolver (or for an unknown id) the control stays empty.
void SetIconResolver(std::function<QIcon(int id)> resolver);

// A menu as a flat template: popups open with commandId -1 and close with kMenuEnd.
// Every action carries its command id as objectName and as data.
QMenuBar* BuildMenuBar(const MenuItemTemplate* items, int count, QWidget* parent);

// Builds the dialog and its controls, with the menu bar when `menu` is given (the template's
// menuId names which one). A template with a modal frame gets a fixed size; otherwise the
// dialog opens at the template size and can be resized. The caller owns the returned dialog.
QDialog* BuildDialog(const DialogTemplate& t, QWidget* parent,
                     const MenuItemTemplate* menu = nullptr, int menuCount = 0);

// Moves a window to the middle of the available area of its owner's screen (without an owner,
// of the primary screen), as templates marked "centred" ask: Qt would centre a dialog over its
// owner instead. Called by BuildDialog for such templates, before the dialog is shown.
void CenterOnScreen(QWidget* window, const QWidget* owner);

// The width in pixels a label, push button, check box or radio button needs to show its whole
// text in its font (0 for other controls). The builder never makes such a control narrower.
int TextWidthNeeded(const QWidget* control);

// The widget that holds the controls (the dialog's client area).
QWidget* ClientArea(const QWidget* dialog);

// The control with this id (objectName = decimal id), or nullptr.
QWidget* Control(const QWidget* dialog, int id);
template <typename T>
T* ControlAs(const QWidget* dialog, int id) {
  return qobject_cast<T*>(Control(dialog, id));
}

// The radio group a radio button belongs to, or nullptr. Button ids in it are control ids.
QButtonGroup* RadioGroup(const QWidget* dialog, int radioId);

// The menu action with this command id, or nullptr.
QAction* MenuAction(const QWidget* dialog, int commandId);

// "&" mnemonics removed, "&&" kept as "&": the visible text of a template label.
QString StripMnemonic(const QString& text);

}  // namespace ui
