#include "post_index.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <vector>

#include "post_fields.h"
#include "line_stream.h"
#include "post_line.h"
#include "progress.h"
#include "tables/tables.h"

namespace tovra {
namespace {

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
  // Size and modification time alone do not tell a file from its copy made with `cp -p`,
  // `rsync -t` or `touch -r`: the inode and the change time do.
  char buf[128];
  std::snprintf(buf, sizeof buf, "%lld %lld.%09ld %llu %lld.%09ld", static_cast<long long>(st.st_size),
                static_cast<long long>(st.st_mtim.tv_sec), static_cast<long>(st.st_mtim.tv_nsec),
                static_cast<unsigned long long>(st.st_ino), static_cast<long long>(st.st_ctim.tv_sec),
                static_cast<long>(st.st_ctim.tv_nsec));
  text = buf;
  return true;
}

namespace {

// The index of a file, made line by line: an entry starts where the prefecture or the first
// digit of the postal code changes, and each ends one byte before the next one starts.
class IndexBuilder {
 public:
  explicit IndexBuilder(PostIndex& index) : index_(index) {
    ResetPostIndex(index_);
    index_.pref[0].start = 0;
    index_.run[0] = DigitRun{'0', 0, 0};
  }

  // Takes note of a line's prefecture and postal code; false when the tables are full.
  bool AddLine(std::int32_t line_start, std::string_view pref, std::string_view code) {
    if (pref != previous_pref_) {
      if (p_ + 1 >= kPrefectureCount) return false;
      index_.pref[Slot(p_ + 1)].start = line_start;
      index_.pref[Slot(p_)].size = line_start - index_.pref[Slot(p_)].start - 1;
      previous_pref_.assign(pref);
      blocks_.push_back(previous_pref_);
      ++p_;
    }
    const char digit = code.size() >= 2 ? code[1] : '\0';
    if (digit != previous_digit_) {
      if (r_ + 1 >= kDigitRunCount) return false;
      index_.run[Slot(r_ + 1)] = DigitRun{static_cast<signed char>(digit), line_start, 0};
      index_.run[Slot(r_)].size = line_start - index_.run[Slot(r_)].start - 1;
      previous_digit_ = digit;
      ++r_;
    }
    return true;
  }

  // Measures the last entries to the end of the file.
  void Finish(std::int32_t length) {
    // Entry i stands for prefecture i of the table; a file whose blocks come in another order
    // (or with prefectures missing) would send a search to the wrong stretch: it gets no
    // prefecture index and is searched whole.
    if (!BlocksInTableOrder(blocks_)) index_.pref.fill(PrefRange{0, -1});
    index_.pref[Slot(p_)].size = length - index_.pref[Slot(p_)].start;
    index_.run[Slot(r_)].size = length - index_.run[Slot(r_)].start;
  }

 private:
  static std::size_t Slot(int i) { return static_cast<std::size_t>(i); }

  PostIndex& index_;
  // The prefecture field of the first line of a file in published order, quotes included.
  std::string previous_pref_ = '"' + std::string(PrefectureNames()[0]) + '"';
  std::vector<std::string> blocks_{previous_pref_};
  char previous_digit_ = '0';
  int p_ = 0;
  int r_ = 0;
};

}  // namespace

BuildResult BuildPostIndexFile(const std::string& path, bool is_jigyosyo, PostIndex& index,
                               SearchView& view) {
  LineStream file;
  if (!file.Open(path)) {
    return file.LastOpenFailure() == PostFileBytes::OpenFailure::kNotRegularFile ? BuildResult::kNotRegularFile
                                                                                   : BuildResult::kNotFound;
  }
  const std::int64_t length = file.Length();
  ResetPostIndex(index);
  // Offsets are stored as 32-bit numbers; a larger file cannot be indexed.
  if (length > std::numeric_limits<std::int32_t>::max()) return BuildResult::kOverflow;
  const int pref_field = is_jigyosyo ? jig_field::kPrefecture : ken_field::kPrefecture;
  const int code_field = is_jigyosyo ? jig_field::kPostCode : ken_field::kPostCode;
  // The split runs left to right, so stopping after the last field needed changes nothing.
  const int first_field = std::min(pref_field, code_field);
  const int last_field = std::max(pref_field, code_field);

  ProgressPacer progress(view, length, kBuildProgressSteps);
  IndexBuilder builder(index);
  BuildResult result = BuildResult::kBuilt;
  std::string_view line, first_text, last_text;
  std::int64_t start = 0;
  while (file.Next(line, start)) {
    progress.Add(static_cast<std::size_t>(file.Position() - start));
    const SplitResult split = SplitTwoFields(line, first_field, last_field, first_text, last_text);
    if (split == SplitResult::kLeadingComma) {
      result = BuildResult::kLeadingComma;
      break;
    }
    if (split == SplitResult::kFields &&
        !builder.AddLine(static_cast<std::int32_t>(start), pref_field == first_field ? first_text : last_text,
                         code_field == first_field ? first_text : last_text)) {
      result = BuildResult::kOverflow;
      break;
    }
  }
  view.SetProgressPos(0);
  if (result != BuildResult::kBuilt) {
    ResetPostIndex(index);
    return result;
  }
  builder.Finish(static_cast<std::int32_t>(length));
  return result;
}

}  // namespace tovra
