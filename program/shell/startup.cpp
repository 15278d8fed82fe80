#include "startup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "meklan.h"
#include "display_probe.h"
#include "message_box.h"

namespace tovra {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// A directory that is ours alone: not a link, owned by this user, no access for others.
bool IsPrivateDirectory(const std::string& dir) {
  struct stat st {};
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

}  // namespace

bool HasDisplay() { return ui::DisplayAvailable(); }

const char* NoDisplayMessage() {
  return "tovra: no display can be reached (DISPLAY and WAYLAND_DISPLAY are unset, or their "
         "server does not answer).\n"
         "tovra is a desktop program: start it in a graphical session, or use tovra-search "
         "for searches from the command line.\n";
}

std::string InstanceLockDirectory() {
  if (IsSet("XDG_RUNTIME_DIR")) return std::getenv("XDG_RUNTIME_DIR");
  const std::string dir = "/tmp/tovra-" + std::to_string(getuid());
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return IsPrivateDirectory(dir) ? dir : std::string();
}

bool AcquireInstanceLock(const std::string& dir) {
  if (dir.empty()) return true;
  const std::string path = dir + "/TOVRA.exe";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    return !held;
  }
  // The descriptor stays open, and the lock held, until the process ends.
  return true;
}

int LibraryCompatibility() { return MEKLAN_GetVersionCompati(); }

bool RunStartup(const StartupSteps& steps) {
  if (!steps.acquireInstance()) return false;
  if (steps.libraryCompatibility() > kHighestAcceptedCompati) {
    ui::ShowMessageBox({nullptr,
                        QStringLiteral("MEKLAN.DLLのバージョンが新しく動作保証出来ません。\n"
                                       "TOVRAの最新版を入手してください。"),
                        QStringLiteral("TOVRA"), ui::MessageIcon::kNone});
    return false;
  }
  steps.loadSettings();
  if (!steps.openMainWindow()) {
    ui::ShowMessageBox({nullptr, QStringLiteral("ウインドウが作成できませんでした"),
                        QStringLiteral("TOVRA"), ui::MessageIcon::kError});
    return false;
  }
  return true;
}

}  // namespace tovra
