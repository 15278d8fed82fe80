// Turns a DialogTemplate into Qt widgets, as the original platform turned a dialog resource
// into a window: dialog units -> pixels from the dialog font (average character width / 4,
// height / 8), one widget per control with its id as objectName ("1006"), one QButtonGroup
// per radio group (a group starts at a control with kGroupStart), tab order = template order.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include "dialog_template.h"

class QDialog;
class QWidget;

namespace ui {

// The font a template names, realised with the installed stand-in (IPA P Gothic for
// "ＭＳ Ｐゴシック").
QFont DialogFont(const DialogTemplate& t);

// Dialog units -> pixels for that font.
QRect DialogUnitsToPixels(const QFont& font, const QRect& dialogUnits);

// Builds the dialog and its controls. The caller owns the returned dialog.
QDialog* BuildDialog(const DialogTemplate& t, QWidget* parent);

// The control with this id (objectName = decimal id), or nullptr.
QWidget* Control(const QWidget* dialog, int id);
template <typename T>
T* ControlAs(const QWidget* dialog, int id) {
  return qobject_cast<T*>(Control(dialog, id));
}

}  // namespace ui
