// The fast-search index of one postal data file: where each prefecture's block and each run of
// postal codes with the same first digit begin, as byte offsets, and how long they are.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovra {

constexpr int kPrefectureCount = 47;
constexpr int kDigitRunCount = 64;

struct PrefRange {
  std::int32_t start = 0;  // offset of the block's first line
  std::int32_t size = -1;  // distance to the next block's start minus one
  bool operator==(const PrefRange&) const = default;
};

struct DigitRun {
  std::int32_t num = -1;   // character code of the first digit ('0' = 48), -1 unused
  std::int32_t start = 0;
  std::int32_t size = 0;
  bool operator==(const DigitRun&) const = default;
};

struct PostIndex {
  std::array<PrefRange, kPrefectureCount> pref{};
  std::array<DigitRun, kDigitRunCount> run{};
  bool operator==(const PostIndex&) const = default;
};

// The 47 prefectures in the order of their JIS codes (index = code - 1), CP932.
const std::array<std::string_view, kPrefectureCount>& PrefectureNames();
// Index of the first entry equal to `name`, or -1.
int PrefectureIndex(std::string_view name);

// The state without an index: every range start 0 size -1, every run unused.
void ResetPostIndex(PostIndex& index);
// Entry 0 with size -1 marks a file whose searches cannot narrow to one prefecture.
inline bool HasPrefectureIndex(const PostIndex& index) { return index.pref[0].size != -1; }
// A file without any run (a failed build) is searched whole.
bool HasRunTable(const PostIndex& index);

// Sum of the sizes of the runs of digit c, and the table index of the (n+1)-th such run or -1.
std::int64_t RunLengthForDigit(const PostIndex& index, char c);
int NthRunForDigit(const PostIndex& index, char c, int n);

// The file's modification time as the 24-character ctime text in local time, without the
// newline; false (text untouched) when the file has no readable status.
bool GetFileDateText(const std::string& path, std::string& text);
// The file's size, modification time to the nanosecond, inode and change time,
// "<bytes> <seconds>.<nanoseconds> <inode> <seconds>.<nanoseconds>"; false (text untouched)
// when the file has no readable status.
bool GetFileStampText(const std::string& path, std::string& text);

class SearchView;

enum class BuildResult {
  kBuilt,
  kNotFound,     // the file cannot be opened
  kNotRegularFile,  // a pipe, device or socket
  kLeadingComma, // a line begins with a comma
  kOverflow,     // more than 47 prefecture blocks or 64 digit runs
};

// One pass over the file into `index`. Which fields are read depends on the file
// (`is_jigyosyo`). On any failure the index is left empty (ResetPostIndex). Drives the progress
// indicator of `view`; reports nothing itself.
BuildResult BuildPostIndexFile(const std::string& path, bool is_jigyosyo, PostIndex& index,
                               SearchView& view);

}  // namespace tovra
