// The index build on any file contents, as KEN_ALL.CSV and as JIGYOSYO.CSV: it succeeds or
// leaves the index empty, every range lies inside the file, and a second build agrees.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "post_index.h"

namespace {

void CheckIndex(const tovra::PostIndex& index, std::int64_t length) {
  for (const tovra::PrefRange& r : index.pref) {
    if (r.start < 0 || r.start > length) __builtin_trap();
    if (r.size < -1 || r.start + static_cast<std::int64_t>(r.size) > length) __builtin_trap();
  }
  for (const tovra::DigitRun& r : index.run) {
    if (r.num == -1) continue;
    if (r.start < 0 || r.start > length) __builtin_trap();
    if (r.size < -1 || r.start + static_cast<std::int64_t>(r.size) > length) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string path = fuzz::WriteScratch("index.csv", bytes);
  fuzz::CheckingView view;
  for (bool jig : {false, true}) {
    tovra::PostIndex a, b;
    tovra::BuildResult ra = tovra::BuildPostIndexFile(path, jig, a, view);
    tovra::BuildResult rb = tovra::BuildPostIndexFile(path, jig, b, view);
    if (ra != rb) __builtin_trap();
    if (ra == tovra::BuildResult::kBuilt) CheckIndex(a, static_cast<std::int64_t>(size));
    for (int i = 0; i < tovra::kPrefectureCount; ++i)
      if (a.pref[i].start != b.pref[i].start || a.pref[i].size != b.pref[i].size) __builtin_trap();
    for (int i = 0; i < tovra::kDigitRunCount; ++i)
      if (a.run[i].num != b.run[i].num || a.run[i].start != b.run[i].start) __builtin_trap();
  }
  return 0;
}
