#include "index_keys.h"

#include <string>

namespace tovra {
namespace {

constexpr const char* kIndexSection = "POSTCODE";

std::string Key(const char* stem, int i, const char* tail) { return std::string(stem) + std::to_string(i) + tail; }

}  // namespace

void ReadIndexKeys(const IniReader& ini, IndexKeyStems stems, PostIndex& index) {
  for (int i = 0; i < kPrefectureCount; ++i) {
    PrefRange& r = index.pref[static_cast<std::size_t>(i)];
    r.start = ini.GetInt(kIndexSection, Key(stems.pref, i, "start"), 0);
    r.size = ini.GetInt(kIndexSection, Key(stems.pref, i, "size"), 0);
  }
  for (int i = 0; i < kDigitRunCount; ++i) {
    DigitRun& r = index.run[static_cast<std::size_t>(i)];
    r.num = ini.GetInt(kIndexSection, Key(stems.run, i, "num"), 0);
    r.start = ini.GetInt(kIndexSection, Key(stems.run, i, "start"), 0);
    r.size = ini.GetInt(kIndexSection, Key(stems.run, i, "size"), 0);
  }
}

void WritePrefRangeKeys(IniWriter& ini, const char* stem, const PostIndex& index) {
  for (int i = 0; i < kPrefectureCount; ++i) {
    const PrefRange& r = index.pref[static_cast<std::size_t>(i)];
    ini.SetInt(kIndexSection, Key(stem, i, "start"), r.start);
    ini.SetInt(kIndexSection, Key(stem, i, "size"), r.size);
  }
}

void WriteDigitRunKeys(IniWriter& ini, const char* stem, const PostIndex& index) {
  for (int i = 0; i < kDigitRunCount; ++i) {
    const DigitRun& r = index.run[static_cast<std::size_t>(i)];
    ini.SetInt(kIndexSection, Key(stem, i, "num"), r.num);
    ini.SetInt(kIndexSection, Key(stem, i, "start"), r.start);
    ini.SetInt(kIndexSection, Key(stem, i, "size"), r.size);
  }
}

}  // namespace tovra
