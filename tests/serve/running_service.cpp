#include "running_service.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

extern char** environ;

namespace serve_test {
namespace {

std::vector<char*> Pointers(std::vector<std::string>& argv) {
  std::vector<char*> out;
  for (std::string& a : argv) out.push_back(a.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

RunningService::RunningService(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {TOVRA_SERVE, "--listen", "127.0.0.1:0", "--check-interval", "0"};
  argv.insert(argv.end(), args.begin(), args.end());
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  std::vector<char*> pointers = Pointers(argv);
  const int spawned = posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[1]);
  if (spawned != 0) {
    pid_ = -1;
    ::close(pipe_fds[0]);
    return;
  }
  reader_ = std::thread([this, fd = pipe_fds[0]] {
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      log_.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
  });
  const std::string mark = "listening on http://127.0.0.1:";
  if (!WaitForLog(mark, 30)) return;
  const std::string log = Log();
  port_ = std::atoi(log.c_str() + log.find(mark) + mark.size());
}

RunningService::~RunningService() {
  Stop();
  if (reader_.joinable()) reader_.join();
}

httplib::Client RunningService::Client() const {
  httplib::Client client("127.0.0.1", port_);
  client.set_connection_timeout(5, 0);
  client.set_read_timeout(30, 0);
  return client;
}

void RunningService::Signal(int signal) const {
  if (pid_ > 0) ::kill(pid_, signal);
}

int RunningService::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status)) exit_status_ = WEXITSTATUS(status);
    pid_ = -1;
  }
  return exit_status_;
}

std::string RunningService::Log() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

bool RunningService::WaitForLog(const std::string& text, double seconds) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (Log().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

std::string Output(const std::vector<std::string>& args) {
  std::string command;
  for (const std::string& a : args) {
    command += "'";
    for (char c : a) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "' ";
  }
  std::string out;
  if (FILE* pipe = ::popen((command + "2>/dev/null").c_str(), "r")) {
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    ::pclose(pipe);
  }
  return out;
}

}  // namespace serve_test
