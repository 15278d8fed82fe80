// Whether a Qt GUI application can be created in this process without the toolkit
// aborting it: Qt ends the process when its platform cannot reach a display.
#pragma once

namespace meklan_dialog {

bool DisplayAvailable();

}  // namespace meklan_dialog
