#include "save_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tovra {

SaveLock::SaveLock(const std::string& path) {
  fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd_ < 0) return;
  int r;
  do {
    r = ::flock(fd_, LOCK_EX);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

SaveLock::~SaveLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace tovra
