#include "settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "atomic_write.h"
#include "cp932.h"
#include "index_keys.h"
#include "ini_file.h"
#include "messages.h"
#include "save_lock.h"

namespace tovra {
namespace {

// Every key of the settings file, each spelled here once: the section, and the key in it.
struct IniKey {
  const char* section;
  const char* name;
};
constexpr IniKey kVersionKey{"INI_WRITE_VERSION", "VERSION"};
constexpr IniKey kKenAllPathKey{"POSTCODE", "PostAllFile"};
constexpr IniKey kKenAllTimeKey{"POSTCODE", "PostAllFileDate"};
constexpr IniKey kKenAllStampKey{"POSTCODE", "PostAllFileStamp"};
constexpr IniKey kJigyosyoPathKey{"POSTJIGCODE", "PostJigFile"};
constexpr IniKey kJigyosyoTimeKey{"POSTJIGCODE", "PostJigFileDate"};
constexpr IniKey kJigyosyoStampKey{"POSTJIGCODE", "PostJigFileStamp"};
constexpr IniKey kHyphenKey{"RUN", "AddPostCodeH"};
constexpr IniKey kEditionKey{"RUN", "MaEdition"};
constexpr const char* kWidthSection = "LISTVIEW";
// The window's edges, in the order they are written.
constexpr std::pair<IniKey, std::int32_t WindowRect::*> kWindowKeys[] = {
    {{"WINDOW", "LEFT"}, &WindowRect::left},
    {{"WINDOW", "TOP"}, &WindowRect::top},
    {{"WINDOW", "RIGHT"}, &WindowRect::right},
    {{"WINDOW", "BOTTOM"}, &WindowRect::bottom},
};

std::optional<std::string> Get(const IniReader& ini, IniKey key) { return ini.Get(key.section, key.name); }
void Set(IniWriter& ini, IniKey key, const std::string& value) { ini.Set(key.section, key.name, value); }
void SetInt(IniWriter& ini, IniKey key, std::int64_t value) { ini.SetInt(key.section, key.name, value); }

constexpr const char* kWidthKeys[12] = {
    "iWidthPostCode", "iWidthGroupNumber", "iWidthMaCode", "iWidthMaName",
    "iWidthUnits",    "iWidthCity",        "iWidthArea",   "iWidthUnitsK",
    "iWidthCityK",    "iWidthAreaK",       "iWidthJig",    "iWidthJigK",
};

// A stored CP932 text cut to its field's limit, as the file-system name it stands for.
std::string StoredPath(const std::string& cp932_text) {
  std::string cut = cp932_text.substr(0, cp932::BoundaryAtOrBefore(cp932_text, kPathMax));
  return cp932::ToUtf8(cut);
}

std::string StoredTime(const std::string& text) {
  return text.substr(0, cp932::BoundaryAtOrBefore(text, kFileTimeMax));
}

// A stamp is plain ASCII digits; anything longer than one can be is no stamp.
std::string StoredStamp(const std::string& text) { return text.size() <= kFileStampMax ? text : std::string(); }

// The CP932 form of a path for the file; none, with a message, when it has no such form.
std::optional<std::string> PathToStore(const std::string& path, std::string* message) {
  // A line end inside a path would break the file's lines: such a path is not stored either.
  bool one_line = path.find_first_of("\r\n") == std::string::npos;
  // A descriptor of one process (a pipe from "<(...)") names nothing the next run could open.
  bool lasting = !path.starts_with("/dev/fd/") && !path.starts_with("/proc/");
  if (auto converted = cp932::FromUtf8(path); converted && one_line && lasting) return *converted;
  if (message != nullptr) {
    std::string shown;
    for (char c : path) shown += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
    const std::string text = msg::Fill(msg::kPathNotStorableFormat, shown);
    if (!message->empty()) *message += "\n";
    *message += text;
  }
  return std::nullopt;
}

// Every key but the two paths, from the file; a missing key keeps the value `s` holds.
void ReadRecord(const IniReader& ini, Settings& s) {
  for (const auto& [key, edge] : kWindowKeys) s.window.*edge = ini.GetInt(key.section, key.name, s.window.*edge);
  s.ken_all_time = StoredTime(Get(ini, kKenAllTimeKey).value_or(""));
  s.jigyosyo_time = StoredTime(Get(ini, kJigyosyoTimeKey).value_or(""));
  s.ken_all_stamp = StoredStamp(Get(ini, kKenAllStampKey).value_or(""));
  s.jigyosyo_stamp = StoredStamp(Get(ini, kJigyosyoStampKey).value_or(""));
  s.add_hyphen = ini.GetInt(kHyphenKey.section, kHyphenKey.name, s.add_hyphen);
  // Only the two editions there are; anything else keeps the default.
  const std::string edition = Get(ini, kEditionKey).value_or("");
  if (edition == "0" || edition == "1") s.ma_edition = edition == "1" ? 1 : 0;
  for (int i = 0; i < 12; ++i) {
    auto& w = s.column_width[static_cast<std::size_t>(i)];
    w = ini.GetInt(kWidthSection, kWidthKeys[i], w);
  }
  ReadIndexKeys(ini, kKenAllIndexStems, s.ken_all_index);
  ReadIndexKeys(ini, kJigyosyoIndexStems, s.jigyosyo_index);
}

// The stored CP932 text of a path key, cut to its field's limit; empty stands for the default.
std::string StoredPathText(const IniReader& ini, IniKey key) {
  std::string text = Get(ini, key).value_or("");
  return text.substr(0, cp932::BoundaryAtOrBefore(text, kPathMax));
}

// The whole file in the order the profile functions would have written it.
std::string RenderRecord(const Settings& s, const std::string& ken_all_path, const std::string& jigyosyo_path) {
  IniWriter ini;
  SetInt(ini, kVersionKey, kIniWriteVersion);
  for (const auto& [key, edge] : kWindowKeys) SetInt(ini, key, s.window.*edge);
  Set(ini, kKenAllPathKey, ken_all_path);
  Set(ini, kKenAllTimeKey, StoredTime(s.ken_all_time));
  Set(ini, kJigyosyoPathKey, jigyosyo_path);
  Set(ini, kJigyosyoTimeKey, StoredTime(s.jigyosyo_time));
  Set(ini, kJigyosyoStampKey, s.jigyosyo_stamp);
  SetInt(ini, kHyphenKey, s.add_hyphen);
  SetInt(ini, kEditionKey, s.ma_edition);
  for (int i = 0; i < 12; ++i) ini.SetInt(kWidthSection, kWidthKeys[i], s.column_width[static_cast<std::size_t>(i)]);
  WritePrefRangeKeys(ini, kKenAllIndexStems.pref, s.ken_all_index);
  WritePrefRangeKeys(ini, kJigyosyoIndexStems.pref, s.jigyosyo_index);
  WriteDigitRunKeys(ini, kKenAllIndexStems.run, s.ken_all_index);
  WriteDigitRunKeys(ini, kJigyosyoIndexStems.run, s.jigyosyo_index);
  Set(ini, kKenAllStampKey, s.ken_all_stamp);
  return ini.Text();
}

constexpr const char* kKenAllTail = "data/ken_all.csv";
constexpr const char* kJigyosyoTail = "data/jigyosyo.csv";

// The default file of the record's own program folder is stored empty, so that the file names no
// folder and a copied or installed folder reads its own data/.
std::string PathOrDefault(const Settings& s, const std::string& path, const char* tail) {
  return (!s.program_dir.empty() && path == s.program_dir + tail) ? std::string() : path;
}

constexpr mode_t kNewFileMode = 0644;

}  // namespace

SettingsFileStatus ReadIniFile(const std::string& path, std::size_t max, std::string& text, mode_t* mode) {
  text.clear();
  if (mode != nullptr) *mode = kNewFileMode;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer for ever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return errno == ENOENT || errno == ENOTDIR ? SettingsFileStatus::kMissing : SettingsFileStatus::kUnreadable;
  }
  struct stat st {};
  SettingsFileStatus status = SettingsFileStatus::kRead;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) status = SettingsFileStatus::kNotRegularFile;
  else if (static_cast<std::uint64_t>(st.st_size) > max) status = SettingsFileStatus::kTooLarge;
  char buf[16384];
  while (status == SettingsFileStatus::kRead) {
    const ssize_t got = ::read(fd, buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) status = SettingsFileStatus::kUnreadable;
    if (got <= 0) break;
    text.append(buf, static_cast<std::size_t>(got));
    // The bound holds also for a file that grows while it is read.
    if (text.size() > max) status = SettingsFileStatus::kTooLarge;
  }
  ::close(fd);
  if (status != SettingsFileStatus::kRead) text.clear();
  if (mode != nullptr && status == SettingsFileStatus::kRead) *mode = st.st_mode & 07777;
  return status;
}

namespace {

// The settings file's whole text into `text` (left empty unless it was read), and its
// permission bits into `mode` (kNewFileMode when there is no file).
SettingsFileStatus ReadSettingsFile(const std::string& path, std::string& text, mode_t* mode = nullptr) {
  return ReadIniFile(path, kSettingsFileMax, text, mode);
}

}  // namespace

Settings DefaultSettings(const std::string& program_dir) {
  Settings s;
  s.program_dir = program_dir;
  s.ken_all_path = program_dir + kKenAllTail;
  s.jigyosyo_path = program_dir + kJigyosyoTail;
  ResetPostIndex(s.ken_all_index);
  ResetPostIndex(s.jigyosyo_index);
  return s;
}

unsigned ChangedSettingsParts(const Settings& before, const Settings& after) {
  unsigned parts = 0;
  if (!(before.window == after.window)) parts |= kWindowPart;
  if (before.ken_all_path != after.ken_all_path) parts |= kKenAllPathPart;
  if (before.jigyosyo_path != after.jigyosyo_path) parts |= kJigyosyoPathPart;
  if (before.add_hyphen != after.add_hyphen) parts |= kHyphenPart;
  if (before.ma_edition != after.ma_edition) parts |= kEditionPart;
  if (before.column_width != after.column_width) parts |= kColumnsPart;
  if (before.ken_all_time != after.ken_all_time || before.ken_all_stamp != after.ken_all_stamp ||
      !(before.ken_all_index == after.ken_all_index)) {
    parts |= kKenAllIndexPart;
  }
  if (before.jigyosyo_time != after.jigyosyo_time || before.jigyosyo_stamp != after.jigyosyo_stamp ||
      !(before.jigyosyo_index == after.jigyosyo_index)) {
    parts |= kJigyosyoIndexPart;
  }
  return parts;
}

SettingsFileStatus LoadSettings(const std::string& ini_path, const std::string& program_dir, Settings& settings) {
  settings = DefaultSettings(program_dir);
  // Without a file every key is missing, which gives the defaults.
  std::string text;
  const SettingsFileStatus status = ReadSettingsFile(ini_path, text);
  IniReader ini(text);
  std::string path = StoredPath(StoredPathText(ini, kKenAllPathKey));
  if (!path.empty()) settings.ken_all_path = DataPathInThisFolder(path, program_dir, kKenAllTail);
  path = StoredPath(StoredPathText(ini, kJigyosyoPathKey));
  if (!path.empty()) settings.jigyosyo_path = DataPathInThisFolder(path, program_dir, kJigyosyoTail);
  ReadRecord(ini, settings);
  return status;
}

std::string SettingsFileWarning(const std::string& ini_path, SettingsFileStatus status) {
  const char* why = nullptr;
  switch (status) {
    case SettingsFileStatus::kRead:
    case SettingsFileStatus::kMissing:
      return {};
    case SettingsFileStatus::kNotRegularFile:
      why = "is not a regular file";
      break;
    case SettingsFileStatus::kTooLarge:
      why = "is larger than 1 MB";
      break;
    case SettingsFileStatus::kUnreadable:
      why = "cannot be read";
      break;
  }
  return ini_path + " " + why + "; the defaults are used and it is left as it is";
}

bool SaveSettings(const std::string& settings_path, const Settings& s, std::string* message, unsigned parts) {
  const std::string ini_path = LinkTarget(settings_path);
  if (ini_path.empty()) return false;
  // Only a regular file (or none yet) is a settings file: a device, FIFO or directory gets no
  // "<name>.lock" beside it.
  struct stat st {};
  if (::stat(ini_path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
  SaveLock lock(ini_path);
  if (!lock.Held()) return false;
  RemoveLeftoverTemporaries(ini_path);
  // What the file holds now, which may be newer than what this process read at its start. A
  // file that cannot be read is not ours to replace.
  std::string text;
  mode_t mode = kNewFileMode;
  const SettingsFileStatus status = ReadSettingsFile(ini_path, text, &mode);
  if (status != SettingsFileStatus::kRead && status != SettingsFileStatus::kMissing) return false;
  IniReader now(text);
  Settings merged;
  ReadRecord(now, merged);
  std::string ken_all_path = StoredPathText(now, kKenAllPathKey);
  std::string jigyosyo_path = StoredPathText(now, kJigyosyoPathKey);

  if (parts & kWindowPart) merged.window = s.window;
  if (parts & kHyphenPart) merged.add_hyphen = s.add_hyphen;
  if (parts & kEditionPart) merged.ma_edition = s.ma_edition;
  if (parts & kColumnsPart) merged.column_width = s.column_width;
  // A path that cannot be stored leaves the stored one as it is.
  if (parts & kKenAllPathPart) ken_all_path = PathToStore(PathOrDefault(s, s.ken_all_path, kKenAllTail), message).value_or(ken_all_path);
  if (parts & kJigyosyoPathPart) jigyosyo_path = PathToStore(PathOrDefault(s, s.jigyosyo_path, kJigyosyoTail), message).value_or(jigyosyo_path);
  if (parts & kKenAllIndexPart) {
    merged.ken_all_time = s.ken_all_time;
    merged.ken_all_stamp = s.ken_all_stamp;
    merged.ken_all_index = s.ken_all_index;
  }
  if (parts & kJigyosyoIndexPart) {
    merged.jigyosyo_time = s.jigyosyo_time;
    merged.jigyosyo_stamp = s.jigyosyo_stamp;
    merged.jigyosyo_index = s.jigyosyo_index;
  }
  return WriteFileAtomically(ini_path, RenderRecord(merged, ken_all_path, jigyosyo_path), mode);
}

}  // namespace tovra
