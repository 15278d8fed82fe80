#include "atomic_write.h"

#include <dirent.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string_view>

#include "settings.h"

namespace tovra {
namespace {

long RealWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

test_seams::WriteFunction g_write = RealWrite;

// A save writes "<name>.tmp-XXXXXX" beside the file. Under the save lock no other save is
// writing one, so any such file is left over from a save that was killed.
constexpr std::string_view kTemporaryTail = ".tmp-XXXXXX";

std::string TemporaryPattern(const std::string& path) { return path + std::string(kTemporaryTail); }

}  // namespace

void RemoveLeftoverTemporaries(const std::string& path) {

  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string stem = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
  DIR* listing = ::opendir(dir.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name.size() == stem.size() + 6 && name.starts_with(stem)) {
      ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
  }
  ::closedir(listing);
}

namespace {

// While a temporary file is being written, SIGINT and SIGTERM remove it before they end the
// process. The handler only unlinks a path prepared beforehand and re-raises the signal, all
// async-signal-safe; signals whose handling the program changed are left to the program.
constexpr int kCleanedSignals[] = {SIGINT, SIGTERM};
char g_temporary[4096];
volatile std::sig_atomic_t g_temporary_armed = 0;

extern "C" void RemoveTemporaryAndEnd(int sig) {
  if (g_temporary_armed) ::unlink(g_temporary);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(sig, &fallback, nullptr);
  ::raise(sig);  // delivered with the default action once this handler returns
}

class TemporaryGuard {
 public:
  TemporaryGuard() {
    sigemptyset(&cleaned_);
    for (int sig : kCleanedSignals) sigaddset(&cleaned_, sig);
    pthread_sigmask(SIG_BLOCK, &cleaned_, &mask_);
  }
  // Arms the handlers for `path` (a path too long for the buffer arms nothing).
  void Arm(const std::string& path) {
    if (path.size() < sizeof g_temporary) {
      std::memcpy(g_temporary, path.c_str(), path.size() + 1);
      g_temporary_armed = 1;
      struct sigaction clean {};
      clean.sa_handler = RemoveTemporaryAndEnd;
      sigemptyset(&clean.sa_mask);
      for (std::size_t i = 0; i < std::size(kCleanedSignals); ++i) {
        struct sigaction current {};
        ::sigaction(kCleanedSignals[i], nullptr, &current);
        installed_[i] = current.sa_handler == SIG_DFL && ::sigaction(kCleanedSignals[i], &clean, &previous_[i]) == 0;
      }
    }
  }
  // Signals that came meanwhile are delivered now, to the armed handlers.
  void LetSignalsThrough() { pthread_sigmask(SIG_SETMASK, &mask_, nullptr); }
  ~TemporaryGuard() {
    pthread_sigmask(SIG_BLOCK, &cleaned_, nullptr);
    g_temporary_armed = 0;
    for (std::size_t i = 0; i < std::size(kCleanedSignals); ++i) {
      if (installed_[i]) ::sigaction(kCleanedSignals[i], &previous_[i], nullptr);
    }
    pthread_sigmask(SIG_SETMASK, &mask_, nullptr);
  }
  TemporaryGuard(const TemporaryGuard&) = delete;
  TemporaryGuard& operator=(const TemporaryGuard&) = delete;

 private:
  sigset_t cleaned_{};
  sigset_t mask_{};
  struct sigaction previous_[std::size(kCleanedSignals)] {};
  bool installed_[std::size(kCleanedSignals)] = {};
};

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode) {
  TemporaryGuard guard;
  std::string temp = TemporaryPattern(path);
  int fd = mkstemp(temp.data());
  if (fd >= 0) guard.Arm(temp);
  guard.LetSignalsThrough();
  if (fd < 0) return false;
  const char* p = content.data();
  std::size_t left = content.size();
  bool ok = true;
  while (left > 0) {
    long n = g_write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (ok) ok = fchmod(fd, mode) == 0 && fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}


void test_seams::SetSettingsWriteFunction(WriteFunction write) { g_write = write != nullptr ? write : RealWrite; }


}  // namespace tovra
