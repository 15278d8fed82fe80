// Whether a Qt GUI application can be created in this process without the toolkit
// aborting it: Qt ends the process when its platform cannot reach a display. Both Qt front
// ends ask this first, so that a missing display fails clearly instead.
#pragma once

namespace ui {

bool DisplayAvailable();

}  // namespace ui
