// Start-up of the desktop program: the display check, the single-instance guard, the library
// compatibility check, then settings and the main window, in that order.
#pragma once

#include <functional>
#include <string>

namespace tovra {

// The highest compatibility number of libmeklan this program vouches for.
constexpr int kHighestAcceptedCompati = 3030;

// Whether a window system can be reached (DISPLAY, WAYLAND_DISPLAY or an explicit Qt platform).
// Qt aborts the process when it finds none; the program says so and exits 1 instead.
bool HasDisplay();
// The message for stderr when there is none.
const char* NoDisplayMessage();

// Where the single-instance lock "TOVRA.exe" lives: $XDG_RUNTIME_DIR, else a directory of this
// user under /tmp (created 0700; refused when it belongs to someone else). Empty on failure.
std::string InstanceLockDirectory();

// Takes the lock "<dir>/TOVRA.exe" for the life of the process (the system releases it when the
// process ends). False when another process holds it. A lock that cannot be created at all
// does not keep the program from running.
bool AcquireInstanceLock(const std::string& dir);

// The steps after the display check, injectable so that tests can watch their order.
struct StartupSteps {
  std::function<bool()> acquireInstance;      // false: another instance runs
  std::function<int()> libraryCompatibility;  // the library's answer (test seam)
  std::function<void()> loadSettings;
  std::function<bool()> openMainWindow;       // false: the window could not be created
};

// The real library check: MEKLAN_GetVersionCompati.
int LibraryCompatibility();

// Runs the steps in order. False when start-up is refused (the process then exits with 0):
// silently for a second instance, with a message for a newer library or a missing window.
bool RunStartup(const StartupSteps& steps);

}  // namespace tovra
