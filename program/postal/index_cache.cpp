#include "index_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "atomic_write.h"
#include "fnv_hash.h"
#include "index_keys.h"
#include "ini_file.h"
#include "settings.h"

namespace tovra {
namespace {

// [FILE] Path, Date and Stamp of the data file, then the index keys of the settings file.
constexpr const char* kFileSection = "FILE";
constexpr std::string_view kEntryTail = ".ini";
// An entry is about 5 KB; anything much larger is not one.
constexpr std::size_t kEntryMax = 64 * 1024;

// The full path of an existing file, links resolved; empty when it has none.
std::string FullPath(const std::string& path) {
  char* full = ::realpath(path.c_str(), nullptr);
  if (full == nullptr) return {};
  std::string text = full;
  std::free(full);
  return text;
}

// The hash of the path, as 16 hex digits: the entry's file name.
std::string EntryName(const std::string& full_path) {
  std::uint64_t hash = kFnvOffset;
  for (unsigned char c : full_path) hash = FnvStep(hash, c);
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
  return name + std::string(kEntryTail);
}

// Removes the entries beyond the `keep` modified last.
void DropOldEntries(const std::string& folder, std::size_t keep) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return;
  std::vector<std::pair<std::int64_t, std::string>> entries;  // modification time, name
  while (const dirent* e = ::readdir(listing)) {
    const std::string_view name = e->d_name;
    struct stat st {};
    if (!name.ends_with(kEntryTail) || ::fstatat(::dirfd(listing), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode))
      continue;
    entries.emplace_back(std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec, std::string(name));
  }
  if (entries.size() > keep) {
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = keep; i < entries.size(); ++i) ::unlinkat(::dirfd(listing), entries[i].second.c_str(), 0);
  }
  ::closedir(listing);
}

}  // namespace

std::string IndexCacheFolder() { return UserFolder("XDG_CACHE_HOME", ".cache"); }

std::optional<CachedIndex> LoadCachedIndex(const std::string& folder, const std::string& data_path) {
  const std::string full = FullPath(data_path);
  if (folder.empty() || full.empty()) return std::nullopt;
  const std::string entry_path = folder + "/" + EntryName(full);
  std::string text;
  ReadIniFile(entry_path, kEntryMax, text);
  const IniReader ini(text);
  if (ini.Get(kFileSection, "Path") != full) return std::nullopt;
  CachedIndex entry;
  entry.time = ini.Get(kFileSection, "Date").value_or("");
  entry.stamp = ini.Get(kFileSection, "Stamp").value_or("");
  ReadIndexKeys(ini, kKenAllIndexStems, entry.index);
  // Taken: it counts as used now, for the folder keeps the entries used last.
  ::utimensat(AT_FDCWD, entry_path.c_str(), nullptr, 0);
  return entry;
}

bool StoreCachedIndex(const std::string& folder, const std::string& data_path, const CachedIndex& entry) {
  const std::string full = FullPath(data_path);
  // A line end in the path would break the entry's lines.
  if (folder.empty() || full.empty() || full.find_first_of("\r\n") != std::string::npos) return false;
  ::mkdir(folder.substr(0, folder.rfind('/')).c_str(), 0700);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  IniWriter ini;
  ini.Set(kFileSection, "Path", full);
  ini.Set(kFileSection, "Date", entry.time);
  ini.Set(kFileSection, "Stamp", entry.stamp);
  WritePrefRangeKeys(ini, kKenAllIndexStems.pref, entry.index);
  WriteDigitRunKeys(ini, kKenAllIndexStems.run, entry.index);
  if (!WriteFileAtomically(folder + "/" + EntryName(full), ini.Text(), 0600)) return false;
  DropOldEntries(folder, kCachedIndexesMax);
  return true;
}

}  // namespace tovra
