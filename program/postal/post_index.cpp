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

namespace tovra {
namespace {

// The prefecture field of the first line of a file in published order, quotes included.
constexpr std::string_view kFirstPrefectureQuoted = "\"\x96\x6B\x8A\x43\x93\xB9\"";  // "北海道"

constexpr int kBuildProgressSteps = 36;

std::string_view WithoutQuotes(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') return field.substr(1, field.size() - 2);
  return field;
}

bool BlocksInTableOrder(const std::vector<std::string>& blocks);

}  // namespace

const std::array<std::string_view, kPrefectureCount>& PrefectureNames() {
  static constexpr std::array<std::string_view, kPrefectureCount> kNames = {
      "\x96\x6B\x8A\x43\x93\xB9",          // 北海道
      "\x90\xC2\x90\x58\x8C\xA7",          // 青森県
      "\x8A\xE2\x8E\xE8\x8C\xA7",          // 岩手県
      "\x8B\x7B\x8F\xE9\x8C\xA7",          // 宮城県
      "\x8F\x48\x93\x63\x8C\xA7",          // 秋田県
      "\x8E\x52\x8C\x60\x8C\xA7",          // 山形県
      "\x95\x9F\x93\x87\x8C\xA7",          // 福島県
      "\x88\xEF\x8F\xE9\x8C\xA7",          // 茨城県
      "\x93\xC8\x96\xD8\x8C\xA7",          // 栃木県
      "\x8C\x51\x94\x6E\x8C\xA7",          // 群馬県
      "\x8D\xE9\x8B\xCA\x8C\xA7",          // 埼玉県
      "\x90\xE7\x97\x74\x8C\xA7",          // 千葉県
      "\x93\x8C\x8B\x9E\x93\x73",          // 東京都
      "\x90\x5F\x93\xDE\x90\xEC\x8C\xA7",  // 神奈川県
      "\x90\x56\x8A\x83\x8C\xA7",          // 新潟県
      "\x95\x78\x8E\x52\x8C\xA7",          // 富山県
      "\x90\xCE\x90\xEC\x8C\xA7",          // 石川県
      "\x95\x9F\x88\xE4\x8C\xA7",          // 福井県
      "\x8E\x52\x97\x9C\x8C\xA7",          // 山梨県
      "\x92\xB7\x96\xEC\x8C\xA7",          // 長野県
      "\x8A\xF2\x95\x8C\x8C\xA7",          // 岐阜県
      "\x90\xC3\x89\xAA\x8C\xA7",          // 静岡県
      "\x88\xA4\x92\x6D\x8C\xA7",          // 愛知県
      "\x8E\x4F\x8F\x64\x8C\xA7",          // 三重県
      "\x8E\xA0\x89\xEA\x8C\xA7",          // 滋賀県
      "\x8B\x9E\x93\x73\x95\x7B",          // 京都府
      "\x91\xE5\x8D\xE3\x95\x7B",          // 大阪府
      "\x95\xBA\x8C\xC9\x8C\xA7",          // 兵庫県
      "\x93\xDE\x97\xC7\x8C\xA7",          // 奈良県
      "\x98\x61\x89\xCC\x8E\x52\x8C\xA7",  // 和歌山県
      "\x92\xB9\x8E\xE6\x8C\xA7",          // 鳥取県
      "\x93\x87\x8D\xAA\x8C\xA7",          // 島根県
      "\x89\xAA\x8E\x52\x8C\xA7",          // 岡山県
      "\x8D\x4C\x93\x87\x8C\xA7",          // 広島県
      "\x8E\x52\x8C\xFB\x8C\xA7",          // 山口県
      "\x93\xBF\x93\x87\x8C\xA7",          // 徳島県
      "\x8D\x81\x90\xEC\x8C\xA7",          // 香川県
      "\x88\xA4\x95\x51\x8C\xA7",          // 愛媛県
      "\x8D\x82\x92\x6D\x8C\xA7",          // 高知県
      "\x95\x9F\x89\xAA\x8C\xA7",          // 福岡県
      "\x8D\xB2\x89\xEA\x8C\xA7",          // 佐賀県
      "\x92\xB7\x8D\xE8\x8C\xA7",          // 長崎県
      "\x8C\x46\x96\x7B\x8C\xA7",          // 熊本県
      "\x91\xE5\x95\xAA\x8C\xA7",          // 大分県
      "\x8B\x7B\x8D\xE8\x8C\xA7",          // 宮崎県
      "\x8E\xAD\x8E\x99\x93\x87\x8C\xA7",  // 鹿児島県
      "\x89\xAB\x93\xEA\x8C\xA7",          // 沖縄県
  };
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
  std::string previous_pref(kFirstPrefectureQuoted);
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
