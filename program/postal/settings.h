// The settings record of the program and its INI file (ini/tovra.ini beside the program).
//
// The file is CP932 with CR LF line ends, laid out so that the Windows profile functions read
// it: sections in the order the program has always written them, 594 keys and three added ones
// (the two file stamps, and MaEdition in [RUN] for the edition of the telephone tables). Paths are kept in
// the record as file-system names (UTF-8 on this platform) and stored in CP932 with "/".
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <string>

#include "post_index.h"

namespace tovra {

constexpr std::size_t kPathMax = 259;
constexpr std::size_t kFileTimeMax = 31;
constexpr std::size_t kFileStampMax = 127;
constexpr int kIniWriteVersion = 520;

struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 560;
  std::int32_t bottom = 500;
  bool operator==(const WindowRect&) const = default;
};

struct Settings {
  WindowRect window;
  std::string ken_all_path;   // PostAllFile
  std::string ken_all_time;   // PostAllFileDate: recorded modification time, "" when none
  std::string jigyosyo_path;  // PostJigFile
  std::string jigyosyo_time;  // PostJigFileDate
  // Size, modification time to the nanosecond, inode and change time (GetFileStampText) at
  // the last index build, "" when none: the time above has whole seconds only, so a file
  // rewritten within the second, or replaced by a copy with the same time, would keep an index
  // that is not its own. Keys PostAllFileStamp and
  // PostJigFileStamp, which the Windows profile reader passes over.
  std::string ken_all_stamp;
  std::string jigyosyo_stamp;
  std::int32_t add_hyphen = 1;  // AddPostCodeH: postal codes shown as 060-0001
  std::int32_t ma_edition = 1;  // MaEdition: telephone tables, 1 current, 0 those of 2003 (MEKLAN_EDITION_*)
  std::array<std::int32_t, 12> column_width{60, 44, 0, 0, 60, 100, 120, 0, 0, 0, 120, 0};
  PostIndex ken_all_index;    // pfu*, pfc*
  PostIndex jigyosyo_index;   // pfuj*, pfcj*
  // The program folder whose data/ holds the default files. A path equal to its default is
  // stored empty (which reads back as the default of whichever folder reads the file), so a
  // copied or installed folder uses its own data/.
  std::string program_dir;
};

// The program directory of the running executable, with a trailing "/".
std::string ProgramDirectory();
// The settings file: "<dir>ini/tovra.ini" in a portable folder. When that ini/ exists but this
// user cannot write it (a program installed by the system), the user's own file
// "$XDG_CONFIG_HOME/tovra/tovra.ini" (default ~/.config), whose directory is created 0700.
std::string SettingsPath(const std::string& program_dir);

// The program's folder in one of the user's base directories: "$<variable>/tovra", or
// "$HOME/<home_fallback>/tovra" when the variable holds no absolute path; empty when neither
// names one. Nothing is created.
std::string UserFolder(const char* variable, const char* home_fallback);

// The file a path finally names, following its links (the last one may point at nothing yet);
// empty when they loop. A save replaces that file, so that a link stays a link.
std::string LinkTarget(std::string path);

// The path a stored data path stands for in this program folder. A stored path to the default
// file of another program folder ("<other>/data/ken_all.csv" where <other> holds tovra,
// tovra-search or ini/, or where that file is gone) is a leftover of a copied settings file or a
// moved folder: this folder's own default is used instead. Anything else is kept as it is.
std::string DataPathInThisFolder(const std::string& stored, const std::string& program_dir,
                                 const std::string& default_tail);

// Defaults: data/ken_all.csv and data/jigyosyo.csv under the program directory, both indexes
// empty, no recorded times.
Settings DefaultSettings(const std::string& program_dir);

// What reading the settings file found. Only a file that was read is ever replaced by a save:
// anything else is left as it is, and the program runs with the defaults.
enum class SettingsFileStatus {
  kRead,
  kMissing,
  kNotRegularFile,  // a pipe, device, socket or directory (links are followed)
  kTooLarge,        // over kSettingsFileMax bytes: no settings file of this program
  kUnreadable,      // there, but cannot be read (permissions, a link loop, an I/O error)
};

// The real file is about 10 KB.
constexpr std::size_t kSettingsFileMax = std::size_t{1} << 20;

// Reads a small INI file whole, as the settings file is read: a regular file of at most `max`
// bytes only, never waiting on a pipe; `text` is left empty unless the result is kRead.
// `mode` (optional) gets its permission bits, 0644 when it was not read.
SettingsFileStatus ReadIniFile(const std::string& path, std::size_t max, std::string& text, mode_t* mode = nullptr);

// Fills `settings` from the file; keys that are missing keep the documented defaults
// (the index entries read as 0). A file that is missing or cannot be read gives all defaults.
// Never waits on a pipe.
SettingsFileStatus LoadSettings(const std::string& ini_path, const std::string& program_dir, Settings& settings);

// The warning for a settings file that was there but not read (English, one line, no end);
// empty for kRead and kMissing.
std::string SettingsFileWarning(const std::string& ini_path, SettingsFileStatus status);

// The groups of keys a save can change. Each process saves only the groups it owns (the
// command line: the index of a file it rebuilt; the desktop program: what it changed), so that
// two programs saving one after the other do not undo each other's changes.
enum SettingsPart : unsigned {
  kWindowPart = 1u << 0,
  kKenAllPathPart = 1u << 1,
  kJigyosyoPathPart = 1u << 2,
  kHyphenPart = 1u << 3,
  kColumnsPart = 1u << 4,
  kKenAllIndexPart = 1u << 5,    // the index tables, recorded time and stamp of KEN_ALL.CSV
  kJigyosyoIndexPart = 1u << 6,  // the same of JIGYOSYO.CSV
  kEditionPart = 1u << 7,        // the edition of the telephone tables
  kAllSettingsParts = (1u << 8) - 1,
};

// The parts in which `after` differs from `before`.
unsigned ChangedSettingsParts(const Settings& before, const Settings& after);

// Replaces the file atomically (temporary file beside it, then rename; the file keeps its
// mode, a new one gets 0644; a link is followed and its final target replaced in the target's
// directory), under an advisory lock
// on "<file>.lock" beside it: the file is read again under the lock and only the keys of
// `parts` take the values of `settings`; every other key keeps what the file holds now. A path
// that cannot be written in CP932, or that names a descriptor of one process (/dev/fd/...,
// /proc/...), is not stored (its key keeps what the file holds) and `message` gets a CP932
// text for the user. Returns false when the file could not be written
// (for example when the directory does not exist); the old file is then untouched.
bool SaveSettings(const std::string& ini_path, const Settings& settings, std::string* message,
                  unsigned parts = kAllSettingsParts);

// Seams for tests only: nothing in the program calls these.
namespace test_seams {
// The write(2) through which SaveSettings writes the file; nullptr restores the real one.
// Lets a test make a save fail half-way through.
using WriteFunction = long (*)(int fd, const void* data, std::size_t size);
void SetSettingsWriteFunction(WriteFunction write);
}  // namespace test_seams

}  // namespace tovra
