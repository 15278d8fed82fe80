// tovra-serve started as a child process on a free port of 127.0.0.1, for the tests that talk
// to it over HTTP; stopped with SIGTERM when the object goes.
#pragma once

#include <httplib.h>
#include <sys/types.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace serve_test {

class RunningService {
 public:
  // Starts the service with `args` (after --listen 127.0.0.1:0 --check-interval 0) and waits
  // until it listens; port() is 0 when it did not start.
  explicit RunningService(const std::vector<std::string>& args);
  ~RunningService();

  int port() const { return port_; }
  httplib::Client Client() const;
  // Sends a signal to the service.
  void Signal(int signal) const;
  // SIGTERM, then waits; the exit status (-1 when it did not exit normally).
  int Stop();
  // What it wrote to stderr so far.
  std::string Log() const;
  // Waits up to `seconds` for `text` to appear in the log.
  bool WaitForLog(const std::string& text, double seconds) const;

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  int exit_status_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  std::string log_;
};

// Runs a command and returns its standard output.
std::string Output(const std::vector<std::string>& argv);

}  // namespace serve_test
