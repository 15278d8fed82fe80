// Where the settings file and the data files are: the program folder's policy.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "settings.h"

namespace tovra {

std::string LinkTarget(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(static_cast<std::size_t>(st.st_size) + 256, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return {};
    target.resize(static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    path = target.front() == '/' || slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
  }
  return {};
}

std::string ProgramDirectory() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string UserFolder(const char* variable, const char* home_fallback) {
  const char* base = std::getenv(variable);
  if (base != nullptr && base[0] == '/') return std::string(base) + "/tovra";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/" + home_fallback + "/tovra";
  return {};
}

std::string SettingsPath(const std::string& program_dir) {
  const std::string portable = program_dir + "ini/tovra.ini";
  const std::string ini_dir = program_dir + "ini";
  struct stat st {};
  if (::stat(ini_dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(ini_dir.c_str(), W_OK) == 0) {
    return portable;
  }
  const std::string dir = UserFolder("XDG_CONFIG_HOME", ".config");
  if (dir.empty()) return portable;
  ::mkdir(dir.substr(0, dir.rfind('/')).c_str(), 0700);
  ::mkdir(dir.c_str(), 0700);
  return dir + "/tovra.ini";
}

std::string DataPathInThisFolder(const std::string& stored, const std::string& program_dir,
                                 const std::string& default_tail) {
  const std::string own = program_dir + default_tail;
  const std::string tail = "/" + default_tail;
  if (stored.size() <= tail.size() || stored.compare(stored.size() - tail.size(), tail.size(), tail) != 0) {
    return stored;
  }
  const std::string folder = stored.substr(0, stored.size() - default_tail.size());
  if (folder == program_dir) return stored;
  auto exists = [](const std::string& path) { return ::access(path.c_str(), F_OK) == 0; };
  const bool program_folder =
      exists(folder + "tovra") || exists(folder + "tovra-search") || exists(folder + "ini");
  return (program_folder || !exists(stored)) ? own : stored;
}

}  // namespace tovra
