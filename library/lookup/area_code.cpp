// MEKLAN_GetAreaCode and the range text of prefix lists.
#include <cstring>

#include "bounded_text.h"
#include "lookup.h"
#include "tables/tables.h"
#include "tables/texts_data.h"

namespace meklan {
namespace {

constexpr std::size_t kTextSize = 256;

// Reads a decimal integer at p (an optional sign, then digits); false when there is none.
bool ReadInteger(const char* p, long long& value, const char*& after) {
  const char* q = p;
  bool negative = *q == '-';
  if (*q == '+' || *q == '-') ++q;
  if (*q < '0' || *q > '9') return false;
  value = 0;
  for (; *q >= '0' && *q <= '9'; ++q) {
    if (value < 1000000000000LL) value = value * 10 + (*q - '0');
  }
  if (negative) value = -value;
  after = q;
  return true;
}

}  // namespace

// Runs are found on the values in list order, without sorting, so a repeated entry (広島's
// 90) is written again where it stands.
const char* FormatPrefixRanges(const char* prefixList) {
  // One buffer per thread: concurrent callers (area codes, area plus) cannot mix texts.
  thread_local char result[kTextSize];
  BoundedText text(result, sizeof result);
  if (prefixList == nullptr) return result;
  const char* p = *prefixList != '\0' ? prefixList + 1 : prefixList;
  long long previous = 0;
  int run = 0;
  bool first = true;
  auto close_run = [&] {
    if (run > 0) {
      text.Append(run > 1 ? std::string_view(text::kAreaCodeRangeMark) : ",");
      text.AppendNumber(previous);
      run = 0;
    }
  };
  long long value = 0;
  const char* after = nullptr;
  while (ReadInteger(p, value, after)) {
    if (first) previous = value;
    if (value == previous + 1) {
      ++run;
    } else {
      close_run();
      if (!first) text.Append(",");
      text.AppendNumber(value);
    }
    previous = value;
    first = false;
    const char* slash = std::strchr(after, '/');
    p = slash != nullptr ? slash + 1 : after + std::strlen(after);
  }
  close_run();
  if (!first) text.Append(",");
  text.Append(p);  // empty for a well-formed list
  if (!text.Full()) text.RemoveLast();
  return result;
}

bool WriteAreaCodes(const MaTable& table, const char* key, int branch, BoundedText& text) {
  int found = FindMaIndex(table, key);
  if (found < 0) return false;
  const char* name = table.records[found].maName;
  for (int i = 0; i < table.count; ++i) {
    const MKMA& r = table.records[i];
    if (std::strcmp(r.maName, name) != 0 || (branch != -1 && r.branch != branch)) continue;
    // Each entry goes in whole or not at all, so the text never ends inside an entry.
    char entry_buffer[kTextSize];
    BoundedText entry(entry_buffer, sizeof entry_buffer);
    if (!text.Empty()) entry.Append(text::kAreaCodeSeparator);
    entry.Append("0");
    entry.AppendNumber(r.areaCode);
    if (r.prefixList[0] != '\0' && r.prefixList[1] != '*') {
      entry.Append({"-[", FormatPrefixRanges(r.prefixList), "]"});
    }
    if (entry.Full() || !text.Append(entry.View())) break;
  }
  return true;
}

}  // namespace meklan

using namespace meklan;

extern "C" int MEKLAN_CALL MEKLAN_GetAreaCode(const char* key, char* out, int branch) {
  char work[kTextSize];
  BoundedText text(work, sizeof work);
  if (!WriteAreaCodes(Table2003(), key, branch, text)) return 0;
  if (out != nullptr) std::memcpy(out, work, text.Length() + 1);
  return 1;
}
