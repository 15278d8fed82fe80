#include "post_index.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <vector>

#include "post_fields.h"
#include "post_line.h"
#include "search_view.h"
#include "tables/tables.h"

namespace tovra {
namespace {

constexpr int kBuildProgressSteps = 36;

std::string_view WithoutQuotes(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') return field.substr(1, field.size() - 2);
  return field;
}

bool BlocksInTableOrder(const std::vector<std::string>& blocks);

}  // namespace

const std::array<std::string_view, kPrefectureCount>& PrefectureNames() {
  // The library's prefecture table, in the order of the national codes (the order of the
  // postal data); compiled in from the generated source, so the names are written once.
  static_assert(kPrefectureCount == meklan::kPrefectureCount);
  static const std::array<std::string_view, kPrefectureCount> kNames = [] {
    std::array<std::string_view, kPrefectureCount> names;
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = meklan::kPrefectureByJisCode[i];
    return names;
  }();
  return kNames;
}

namespace {

bool BlocksInTableOrder(const std::vector<std::string>& blocks) {
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    if (WithoutQuotes(blocks[i]) != PrefectureNames()[i]) return false;
  }
  return true;
}

}  // namespace

int PrefectureIndex(std::string_view name) {
  const auto& names = PrefectureNames();
  for (int i = 0; i < kPrefectureCount; ++i) {
    if (names[static_cast<std::size_t>(i)] == name) return i;
  }
  return -1;
}

void ResetPostIndex(PostIndex& index) {
  index.pref.fill(PrefRange{0, -1});
  index.run.fill(DigitRun{-1, 0, 0});
}

bool HasRunTable(const PostIndex& index) {
  // num 0 is never a digit: it is what a settings file without index keys reads as.
  for (const DigitRun& r : index.run) {
    if (r.num > 0) return true;
  }
  return false;
}

std::int64_t RunLengthForDigit(const PostIndex& index, char c) {
  std::int64_t total = 0;
  const std::int32_t code = static_cast<signed char>(c);
  for (const DigitRun& r : index.run) {
    if (r.num == code) total += r.size;
  }
  return total;
}

int NthRunForDigit(const PostIndex& index, char c, int n) {
  const std::int32_t code = static_cast<signed char>(c);
  for (int i = 0; i < kDigitRunCount; ++i) {
    if (index.run[static_cast<std::size_t>(i)].num != code) continue;
    if (n == 0) return i;
    --n;
  }
  return -1;
}

bool GetFileDateText(const std::string& path, std::string& text) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  std::time_t t = st.st_mtime;
  char buf[64];
  if (ctime_r(&t, buf) == nullptr) return false;
  std::string s(buf);
  if (!s.empty() && s.back() == '\n') s.pop_back();
  text = s;
  return true;
}

bool GetFileStampText(const std::string& path, std::string& text) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%lld %lld.%09ld", static_cast<long long>(st.st_size),
                static_cast<long long>(st.st_mtim.tv_sec), static_cast<long>(st.st_mtim.tv_nsec));
  text = buf;
  return true;
}

BuildResult BuildPostIndexFile(const std::string& path, bool is_jigyosyo, PostIndex& index,
                               SearchView& view) {
  LineReader reader;
  if (!reader.Open(path)) {
    return reader.LastOpenFailure() == LineReader::OpenFailure::kNotRegularFile ? BuildResult::kNotRegularFile
                                                                                  : BuildResult::kNotFound;
  }
  const std::int64_t length = reader.Length();
  const int pref_field = is_jigyosyo ? jig_field::kPrefecture : ken_field::kPrefecture;
  const int code_field = is_jigyosyo ? jig_field::kPostCode : ken_field::kPostCode;
  // The split runs left to right, so stopping after the last field needed changes nothing.
  const int first_field = std::min(pref_field, code_field);
  const int last_field = std::max(pref_field, code_field);

  view.SetProgressRange(0, kBuildProgressSteps);
  view.SetProgressStep(1);
  const std::int64_t step_bytes = length / kBuildProgressSteps;
  std::int64_t counted = 0;

  ResetPostIndex(index);
  // Offsets are stored as 32-bit numbers; a larger file cannot be indexed.
  BuildResult result = length > std::numeric_limits<std::int32_t>::max() ? BuildResult::kOverflow
                                                                         : BuildResult::kBuilt;
  // The prefecture field of the first line of a file in published order, quotes included.
  std::string previous_pref = '"' + std::string(PrefectureNames()[0]) + '"';
  std::vector<std::string> blocks{previous_pref};
  char previous_digit = '0';
  int p = 0;
  int r = 0;
  index.pref[0].start = 0;
  index.run[0] = DigitRun{'0', 0, 0};
  std::int32_t line_start = 0;

  std::string_view first_text, last_text;
  std::string_view line;
  std::size_t consumed = 0;
  while (result == BuildResult::kBuilt && reader.ReadLine(line, consumed)) {
    counted += static_cast<std::int64_t>(consumed);
    if (counted > step_bytes) {
      view.StepProgress();
      counted -= step_bytes;
    }
    const SplitResult split = SplitTwoFields(line, first_field, last_field, first_text, last_text);
    if (split == SplitResult::kLeadingComma) {
      result = BuildResult::kLeadingComma;
      break;
    }
    if (split == SplitResult::kFields) {
      const std::string_view pref = pref_field == first_field ? first_text : last_text;
      if (pref != previous_pref) {
        if (p + 1 >= kPrefectureCount) {
          result = BuildResult::kOverflow;
          break;
        }
        index.pref[static_cast<std::size_t>(p + 1)].start = line_start;
        index.pref[static_cast<std::size_t>(p)].size = line_start - index.pref[static_cast<std::size_t>(p)].start - 1;
        previous_pref.assign(pref);
        blocks.push_back(previous_pref);
        ++p;
      }
      const std::string_view code = code_field == first_field ? first_text : last_text;
      char digit = code.size() >= 2 ? code[1] : '\0';
      if (digit != previous_digit) {
        if (r + 1 >= kDigitRunCount) {
          result = BuildResult::kOverflow;
          break;
        }
        auto& next = index.run[static_cast<std::size_t>(r + 1)];
        next.num = static_cast<signed char>(digit);
        next.start = line_start;
        auto& cur = index.run[static_cast<std::size_t>(r)];
        cur.size = line_start - cur.start - 1;
        previous_digit = digit;
        ++r;
      }
    }
    line_start = static_cast<std::int32_t>(reader.Position());
  }
  view.SetProgressPos(0);
  if (result != BuildResult::kBuilt) {
    ResetPostIndex(index);
    return result;
  }
  // Entry i stands for prefecture i of the table; a file whose blocks come in another order
  // (or with prefectures missing) would send a search to the wrong stretch: it gets no
  // prefecture index and is searched whole.
  if (!BlocksInTableOrder(blocks)) index.pref.fill(PrefRange{0, -1});
  const auto len32 = static_cast<std::int32_t>(length);
  index.pref[static_cast<std::size_t>(p)].size = len32 - index.pref[static_cast<std::size_t>(p)].start;
  index.run[static_cast<std::size_t>(r)].size = len32 - index.run[static_cast<std::size_t>(r)].start;
  return result;
}

}  // namespace tovra
