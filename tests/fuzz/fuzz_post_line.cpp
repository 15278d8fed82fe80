// The field splitter and the unquoting on any line: fields stay inside the line, never hold a
// comma, and never exceed their 255 bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "post_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  for (int count : {tovra::kKenAllFieldCount, tovra::kJigyosyoFieldCount}) {
    tovra::PostRecord record;
    tovra::SplitResult r = tovra::SplitPostLine(line, count, record);
    if (r != tovra::SplitResult::kFields) continue;
    for (int i = 1; i <= count; ++i) {
      std::string_view f = record[i];
      if (f.size() > tovra::kFieldMax) __builtin_trap();
      if (f.find(',') != std::string_view::npos) __builtin_trap();
    }
    tovra::UnquoteFields(record, count);
    for (int i = 1; i <= count; ++i)
      if (record[i].size() > tovra::kFieldMax) __builtin_trap();
  }
  int start = size > 0 ? static_cast<int>(data[0]) - 128 : 0;
  int count = size > 1 ? static_cast<int>(data[1]) - 128 : 0;
  std::string_view sub = tovra::CopySubstring(line, start, count);
  if (sub.size() > line.size()) __builtin_trap();
  return 0;
}
