#include "child_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace test_process {
namespace {

std::string ReadAll(int fd) {
  std::string text;
  char buf[65536];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
  close(fd);
  return text;
}

}  // namespace

Result Run(const char* program, const std::vector<std::string>& args, const char* locale) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]);
    close(err[0]);
    unsetenv("LANG");
    unsetenv("LC_CTYPE");
    setenv("LC_ALL", locale, 1);
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program, argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  Result r;
  r.out = ReadAll(out[0]);
  r.err = ReadAll(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace test_process
