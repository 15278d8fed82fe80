// The written-address dialog (ツール → 住所から郵便番号・局番): addresses pasted one per line,
// their resolutions in a list to copy.
#pragma once

#include <QString>

#include "settings.h"

class QWidget;

namespace tovra {

// Runs the dialog; returns the postal code of the row double-clicked (whose rows the main
// list is to show), or an empty text when the dialog was closed.
QString RunResolveDialog(QWidget* owner, const Settings& settings);

}  // namespace tovra
