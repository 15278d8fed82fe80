// The settings file reader on any bytes, and the round trip: whatever was loaded saves and
// loads back to the same record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "settings.h"

namespace {

bool SameIndex(const tovra::PostIndex& a, const tovra::PostIndex& b) {
  for (int i = 0; i < tovra::kPrefectureCount; ++i)
    if (a.pref[i].start != b.pref[i].start || a.pref[i].size != b.pref[i].size) return false;
  for (int i = 0; i < tovra::kDigitRunCount; ++i)
    if (a.run[i].num != b.run[i].num || a.run[i].start != b.run[i].start ||
        a.run[i].size != b.run[i].size)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string dir = fuzz::ScratchDir();
  std::string path = fuzz::WriteScratch("tovra.ini", std::string_view(reinterpret_cast<const char*>(data), size));
  tovra::Settings first;
  tovra::LoadSettings(path, dir, first);
  if (first.ken_all_path.empty() || first.jigyosyo_path.empty()) __builtin_trap();
  if (first.ken_all_time.size() > tovra::kFileTimeMax) __builtin_trap();

  std::string saved = dir + "saved.ini";
  std::string message;
  if (!tovra::SaveSettings(saved, first, &message)) __builtin_trap();
  tovra::Settings second;
  tovra::LoadSettings(saved, dir, second);
  if (!message.empty()) return 0;  // a path that CP932 cannot hold was left out on purpose
  if (first.ken_all_path != second.ken_all_path || first.jigyosyo_path != second.jigyosyo_path ||
      first.ken_all_time != second.ken_all_time || first.jigyosyo_time != second.jigyosyo_time ||
      first.add_hyphen != second.add_hyphen || first.column_width != second.column_width ||
      first.window.left != second.window.left || first.window.bottom != second.window.bottom ||
      !SameIndex(first.ken_all_index, second.ken_all_index) ||
      !SameIndex(first.jigyosyo_index, second.jigyosyo_index))
    __builtin_trap();
  return 0;
}
