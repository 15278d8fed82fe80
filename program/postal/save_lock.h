// The lock every save of the settings file takes: an advisory lock on "<file>.lock" beside
// it, so that a save never works from a file that another process is replacing.
#pragma once

#include <string>

namespace tovra {

// Holds the lock for its lifetime.
class SaveLock {
 public:
  explicit SaveLock(const std::string& path);
  ~SaveLock();
  SaveLock(const SaveLock&) = delete;
  SaveLock& operator=(const SaveLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace tovra
