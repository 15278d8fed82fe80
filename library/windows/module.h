// The module handle of meklan.dll, recorded when the DLL is loaded; the distance dialog is
// created as a window of this module.
#pragma once

#include <windows.h>

namespace meklan::win {

HINSTANCE ModuleHandle();

}  // namespace meklan::win
