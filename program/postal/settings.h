// The settings record of the program and its INI file (ini/tovra.ini beside the program).
//
// The file is CP932 with CR LF line ends, laid out so that the Windows profile functions read
// it: sections in the order the program has always written them, 594 keys. Paths are kept in
// the record as file-system names (UTF-8 on this platform) and stored in CP932 with "/".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "post_index.h"

namespace tovra {

constexpr std::size_t kPathMax = 259;
constexpr std::size_t kFileTimeMax = 31;
constexpr int kIniWriteVersion = 520;

struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 560;
  std::int32_t bottom = 500;
};

struct Settings {
  WindowRect window;
  std::string ken_all_path;   // PostAllFile
  std::string ken_all_time;   // PostAllFileDate: recorded modification time, "" when none
  std::string jigyosyo_path;  // PostJigFile
  std::string jigyosyo_time;  // PostJigFileDate
  std::int32_t add_hyphen = 1;  // AddPostCodeH: postal codes shown as 060-0001
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

// The path a stored data path stands for in this program folder. A stored path to the default
// file of another program folder ("<other>/data/ken_all.csv" where <other> holds tovra,
// tovra-search or ini/, or where that file is gone) is a leftover of a copied settings file or a
// moved folder: this folder's own default is used instead. Anything else is kept as it is.
std::string DataPathInThisFolder(const std::string& stored, const std::string& program_dir,
                                 const std::string& default_tail);

// Defaults: data/ken_all.csv and data/jigyosyo.csv under the program directory, both indexes
// empty, no recorded times.
Settings DefaultSettings(const std::string& program_dir);

// Fills `settings` from the file; keys that are missing keep the documented defaults
// (the index entries read as 0). A missing or unreadable file gives all defaults.
void LoadSettings(const std::string& ini_path, const std::string& program_dir, Settings& settings);

// Replaces the file atomically (temporary file beside it, then rename). A path that cannot be
// written in CP932 is left out (its key keeps the empty value, which reads as the default) and
// `message` gets a CP932 text for the user. Returns false when the file could not be written
// (for example when the directory does not exist); the old file is then untouched.
bool SaveSettings(const std::string& ini_path, const Settings& settings, std::string* message);

// Seams for tests only: nothing in the program calls these.
namespace test_seams {
// The write(2) through which SaveSettings writes the file; nullptr restores the real one.
// Lets a test make a save fail half-way through.
using WriteFunction = long (*)(int fd, const void* data, std::size_t size);
void SetSettingsWriteFunction(WriteFunction write);
}  // namespace test_seams

}  // namespace tovra
