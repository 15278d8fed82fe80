#include "save_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tovra {

SaveLock::SaveLock(const std::string& path) {
  const std::string lock_path = path + ".lock";
  fd_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  // A lock file this user cannot write (left behind by a run under sudo), or a directory of
  // that name, still takes the lock: flock needs no write access.
  if (fd_ < 0 && (errno == EACCES || errno == EISDIR || errno == EPERM)) {
    fd_ = ::open(lock_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  }
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
