#include "settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cp932.h"
#include "ini_file.h"
#include "messages.h"

namespace tovra {
namespace {

constexpr const char* kWidthKeys[12] = {
    "iWidthPostCode", "iWidthGroupNumber", "iWidthMaCode", "iWidthMaName",
    "iWidthUnits",    "iWidthCity",        "iWidthArea",   "iWidthUnitsK",
    "iWidthCityK",    "iWidthAreaK",       "iWidthJig",    "iWidthJigK",
};

std::string Key(const char* stem, int i, const char* tail) {
  return std::string(stem) + std::to_string(i) + tail;
}

// A stored CP932 text cut to its field's limit, as the file-system name it stands for.
std::string StoredPath(const std::string& cp932_text) {
  std::string cut = cp932_text.substr(0, cp932::BoundaryAtOrBefore(cp932_text, kPathMax));
  return cp932::ToUtf8(cut);
}

std::string StoredTime(const std::string& text) {
  return text.substr(0, cp932::BoundaryAtOrBefore(text, kFileTimeMax));
}

void LoadIndex(const IniReader& ini, const char* pref_stem, const char* run_stem, PostIndex& index) {
  for (int i = 0; i < kPrefectureCount; ++i) {
    PrefRange& r = index.pref[static_cast<std::size_t>(i)];
    r.start = ini.GetInt("POSTCODE", Key(pref_stem, i, "start"), 0);
    r.size = ini.GetInt("POSTCODE", Key(pref_stem, i, "size"), 0);
  }
  for (int i = 0; i < kDigitRunCount; ++i) {
    DigitRun& r = index.run[static_cast<std::size_t>(i)];
    r.num = ini.GetInt("POSTCODE", Key(run_stem, i, "num"), 0);
    r.start = ini.GetInt("POSTCODE", Key(run_stem, i, "start"), 0);
    r.size = ini.GetInt("POSTCODE", Key(run_stem, i, "size"), 0);
  }
}

void WritePrefRanges(IniWriter& ini, const char* stem, const PostIndex& index) {
  for (int i = 0; i < kPrefectureCount; ++i) {
    const PrefRange& r = index.pref[static_cast<std::size_t>(i)];
    ini.SetInt("POSTCODE", Key(stem, i, "start"), r.start);
    ini.SetInt("POSTCODE", Key(stem, i, "size"), r.size);
  }
}

void WriteRuns(IniWriter& ini, const char* stem, const PostIndex& index) {
  for (int i = 0; i < kDigitRunCount; ++i) {
    const DigitRun& r = index.run[static_cast<std::size_t>(i)];
    ini.SetInt("POSTCODE", Key(stem, i, "num"), r.num);
    ini.SetInt("POSTCODE", Key(stem, i, "start"), r.start);
    ini.SetInt("POSTCODE", Key(stem, i, "size"), r.size);
  }
}

// The CP932 form of a path for the file; empty, with a message, when it has no such form.
std::string PathToStore(const std::string& path, std::string* message) {
  // A line end inside a path would break the file's lines: such a path is not stored either.
  bool one_line = path.find_first_of("\r\n") == std::string::npos;
  if (auto converted = cp932::FromUtf8(path); converted && one_line) return *converted;
  if (message != nullptr) {
    std::string shown;
    for (char c : path) shown += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
    std::string text = msg::kPathNotStorableFormat;
    text.replace(text.find("%s"), 2, shown);
    if (!message->empty()) *message += "\n";
    *message += text;
  }
  return {};
}

constexpr const char* kKenAllTail = "data/ken_all.csv";
constexpr const char* kJigyosyoTail = "data/jigyosyo.csv";

// The default file of the record's own program folder is stored empty, so that the file names no
// folder and a copied or installed folder reads its own data/.
std::string PathOrDefault(const Settings& s, const std::string& path, const char* tail) {
  return (!s.program_dir.empty() && path == s.program_dir + tail) ? std::string() : path;
}

long RealWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

test_seams::WriteFunction g_write = RealWrite;

bool WriteFileAtomically(const std::string& path, const std::string& content) {
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
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
  if (ok) ok = fchmod(fd, 0644) == 0 && fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

void test_seams::SetSettingsWriteFunction(WriteFunction write) { g_write = write != nullptr ? write : RealWrite; }

std::string ProgramDirectory() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string SettingsPath(const std::string& program_dir) {
  const std::string portable = program_dir + "ini/tovra.ini";
  const std::string ini_dir = program_dir + "ini";
  struct stat st {};
  if (::stat(ini_dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(ini_dir.c_str(), W_OK) == 0) {
    return portable;
  }
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string config;
  if (xdg != nullptr && xdg[0] == '/') {
    config = xdg;
  } else if (home != nullptr && home[0] == '/') {
    config = std::string(home) + "/.config";
  } else {
    return portable;
  }
  ::mkdir(config.c_str(), 0700);
  const std::string dir = config + "/tovra";
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

Settings DefaultSettings(const std::string& program_dir) {
  Settings s;
  s.program_dir = program_dir;
  s.ken_all_path = program_dir + kKenAllTail;
  s.jigyosyo_path = program_dir + kJigyosyoTail;
  ResetPostIndex(s.ken_all_index);
  ResetPostIndex(s.jigyosyo_index);
  return s;
}

void LoadSettings(const std::string& ini_path, const std::string& program_dir, Settings& settings) {
  settings = DefaultSettings(program_dir);
  std::ifstream in(ini_path, std::ios::binary);
  std::stringstream text;
  if (in) text << in.rdbuf();
  // Without a file every key is missing, which gives the defaults below.
  IniReader ini(text.str());

  const Settings defaults = settings;
  settings.window.left = ini.GetInt("WINDOW", "LEFT", defaults.window.left);
  settings.window.top = ini.GetInt("WINDOW", "TOP", defaults.window.top);
  settings.window.right = ini.GetInt("WINDOW", "RIGHT", defaults.window.right);
  settings.window.bottom = ini.GetInt("WINDOW", "BOTTOM", defaults.window.bottom);
  std::string path = StoredPath(ini.Get("POSTCODE", "PostAllFile").value_or(""));
  if (!path.empty()) settings.ken_all_path = DataPathInThisFolder(path, program_dir, kKenAllTail);
  settings.ken_all_time = StoredTime(ini.Get("POSTCODE", "PostAllFileDate").value_or(""));
  path = StoredPath(ini.Get("POSTJIGCODE", "PostJigFile").value_or(""));
  if (!path.empty()) settings.jigyosyo_path = DataPathInThisFolder(path, program_dir, kJigyosyoTail);
  settings.jigyosyo_time = StoredTime(ini.Get("POSTJIGCODE", "PostJigFileDate").value_or(""));
  settings.add_hyphen = ini.GetInt("RUN", "AddPostCodeH", defaults.add_hyphen);
  for (int i = 0; i < 12; ++i) {
    auto& w = settings.column_width[static_cast<std::size_t>(i)];
    w = ini.GetInt("LISTVIEW", kWidthKeys[i], w);
  }
  LoadIndex(ini, "pfu", "pfc", settings.ken_all_index);
  LoadIndex(ini, "pfuj", "pfcj", settings.jigyosyo_index);
}

bool SaveSettings(const std::string& ini_path, const Settings& s, std::string* message) {
  IniWriter ini;
  ini.SetInt("INI_WRITE_VERSION", "VERSION", kIniWriteVersion);
  ini.SetInt("WINDOW", "LEFT", s.window.left);
  ini.SetInt("WINDOW", "TOP", s.window.top);
  ini.SetInt("WINDOW", "RIGHT", s.window.right);
  ini.SetInt("WINDOW", "BOTTOM", s.window.bottom);
  ini.Set("POSTCODE", "PostAllFile", PathToStore(PathOrDefault(s, s.ken_all_path, kKenAllTail), message));
  ini.Set("POSTCODE", "PostAllFileDate", StoredTime(s.ken_all_time));
  ini.Set("POSTJIGCODE", "PostJigFile", PathToStore(PathOrDefault(s, s.jigyosyo_path, kJigyosyoTail), message));
  ini.Set("POSTJIGCODE", "PostJigFileDate", StoredTime(s.jigyosyo_time));
  ini.SetInt("RUN", "AddPostCodeH", s.add_hyphen);
  for (int i = 0; i < 12; ++i) ini.SetInt("LISTVIEW", kWidthKeys[i], s.column_width[static_cast<std::size_t>(i)]);
  WritePrefRanges(ini, "pfu", s.ken_all_index);
  WritePrefRanges(ini, "pfuj", s.jigyosyo_index);
  WriteRuns(ini, "pfc", s.ken_all_index);
  WriteRuns(ini, "pfcj", s.jigyosyo_index);
  return WriteFileAtomically(ini_path, ini.Text());
}

}  // namespace tovra
