// Every search over any file contents with any key, with an index built from the file or one
// made of fuzzer bytes (a stored index that no longer fits the file).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "searches.h"

namespace {

void StrayIndex(tovra::PostIndex& index, const std::uint8_t*& data, std::size_t& size) {
  for (tovra::PrefRange& r : index.pref) {
    if (size < 8) return;
    std::memcpy(&r.start, data, 4);
    std::memcpy(&r.size, data + 4, 4);
    data += 8;
    size -= 8;
  }
  for (tovra::DigitRun& r : index.run) {
    if (size < 9) return;
    r.num = static_cast<std::int32_t>(data[0]) - 1;
    std::memcpy(&r.start, data + 1, 4);
    std::memcpy(&r.size, data + 5, 4);
    data += 9;
    size -= 9;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  unsigned op = fuzz::TakeByte(data, size);
  unsigned flags = fuzz::TakeByte(data, size);
  std::string key = fuzz::TakeText(data, size);
  std::string prefecture = fuzz::TakeText(data, size);

  tovra::Settings settings;
  settings.add_hyphen = flags & 1;
  settings.ken_all_path = fuzz::ScratchDir() + "search.csv";
  settings.jigyosyo_path = settings.ken_all_path;
  if (flags & 2) StrayIndex(settings.ken_all_index, data, size);
  std::string contents(reinterpret_cast<const char*>(data), size);
  fuzz::WriteScratch("search.csv", contents);

  fuzz::CheckingView view;
  const bool business = (flags & 4) != 0;
  tovra::SearchContext ctx{view, settings};
  if (!(flags & 2)) {
    tovra::BuildPostIndex(ctx, tovra::PostFile::kKenAll);
    tovra::BuildPostIndex(ctx, tovra::PostFile::kJigyosyo);
  }
  // Out-of-range numbers too: a mode that names nothing must find nothing, not crash.
  const auto postcode_match = static_cast<tovra::PostCodeMatch>(static_cast<int>(flags >> 4) % 4);
  const auto word_match = static_cast<tovra::WordMatch>((flags >> 4) & 1);
  const auto display = static_cast<tovra::AreaDisplay>((flags >> 4) & 1);
  switch (op % 8) {
    case 0: tovra::SearchPostCode(ctx, key, postcode_match); break;
    case 1: tovra::SearchJigPostCode(ctx, key, postcode_match); break;
    case 2: tovra::ScanKenAll(ctx, key, tovra::ScanMode::kWords, word_match); break;
    case 3: tovra::ScanJigyosyo(ctx, key, tovra::ScanMode::kWords, word_match); break;
    case 4: tovra::ScanKenAll(ctx, key, tovra::ScanMode::kCityList); break;
    case 5: tovra::ScanKenAll(ctx, key, tovra::ScanMode::kCity, tovra::WordMatch::kExact, prefecture); break;
    case 6: tovra::ScanJigyosyo(ctx, key, tovra::ScanMode::kDantai); break;
    case 7: tovra::FindAreaCode(ctx, key, display, business ? tovra::Business::kInclude : tovra::Business::kLeaveOut); break;
  }
  tovra::NormalisePostCodeKey(key);
  tovra::SplitSearchTerms(key);
  return 0;
}
