// The distance dialog's behaviour: candidate lists that follow the edits, the computation,
// the result and failure boxes, and the result the dialog closes with.
#pragma once

#include <functional>

#include "dialog/dialog_module.h"

class QDialog;
class QWidget;

namespace meklan_dialog {

// Runs dialog 135 modally over `owner` (may be null) inside the caller's QApplication.
// `opened` is called once the modal loop runs. Returns -1 on cancel, else the result of
// the one successful computation.
int RunDistanceDialog(QWidget* owner, MKDISTANCE* rec, int showMessage,
                      const MeklanDialogLibrary& library,
                      const std::function<void(QDialog*)>& opened);

}  // namespace meklan_dialog
