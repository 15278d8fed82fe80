// Search by postal code, the index check, and the key normalisation of the postal-code mode.
#include <sys/stat.h>

#include <cctype>

#include "cp932.h"
#include "key_fold.h"
#include "record_scan.h"
#include "messages.h"
#include "search_common.h"

namespace tovra {

using namespace detail;

namespace {

// What is read: the runs of the key's first digit one after the other.
class RunWalker {
 public:
  RunWalker(const PostIndex& index, char digit) : index_(index), digit_(digit) {}
  // Points the scanner at the next run of the digit; false when there is none.
  bool Next(RecordScanner& scanner) {
    int i = NthRunForDigit(index_, digit_, next_++);
    if (i < 0) return false;
    const DigitRun& run = index_.run[static_cast<std::size_t>(i)];
    scanner.SetWindow(run.start, static_cast<std::int64_t>(run.start) + run.size + 1);
    return true;
  }

 private:
  const PostIndex& index_;
  char digit_;
  int next_ = 0;
};

// Old codes have three or five digits and are not ordered with the current codes: 199-01
// became 252-01xx. A key that may be an old code is looked for in the whole file.
constexpr std::size_t kOldCodeMax = 5;

// The old code of KEN_ALL.CSV is padded to five with spaces: a three-digit one keeps three.
std::string_view CutOldCode(std::string_view old_code) {
  if (old_code.find(' ') != std::string_view::npos && old_code.size() > 3) return old_code.substr(0, 3);
  return old_code;
}

bool PostCodeMatches(PostFile file, std::string_view old_code, std::string_view code,
                     std::string_view key, int mode) {
  switch (mode) {
    case kMatchExact:
      return old_code == key || code == key;
    case kMatchContains:
      if (file == PostFile::kKenAll) return old_code == key || cp932::Contains(code, key);
      return code == key || cp932::Contains(old_code, key);
    case kMatchPrefix:
      return old_code.starts_with(key) || code.starts_with(key);
    default:
      return false;
  }
}

int SearchPostCodeIn(SearchContext& ctx, PostFile file, std::string_view typed, int mode) {
  const std::string folded = FoldPostCodeKey(CutKey(typed));
  const std::string_view key = folded;
  ProgressPacer progress(ctx.view, 0);
  PostFileBytes bytes;
  if (!OpenPostFile(ctx, file, bytes, true)) return 0;
  // An empty key is no search; it would match every code.
  if (key.empty()) {
    ctx.view.SetProgressPos(0);
    return 0;
  }

  RecordScanner scanner(bytes, FieldCount(file), file == PostFile::kKenAll);
  const PostIndex& index = PostFileIndex(ctx.settings, file);
  const bool by_runs = (mode == kMatchExact || mode == kMatchPrefix) && key.size() > kOldCodeMax &&
                       HasRunTable(index) && IndexFitsFile(ctx, file, bytes.Bytes().size());
  RunWalker runs(index, key[0]);
  if (by_runs) {
    if (!runs.Next(scanner)) {
      ctx.view.SetProgressPos(0);
      return 0;
    }
    progress.Set(RunLengthForDigit(index, key[0]));
  } else {
    progress.Set(static_cast<std::int64_t>(bytes.Bytes().size()));
    bytes.Prefetch(0, static_cast<std::int64_t>(bytes.Bytes().size()));
  }
  scanner.Look({std::string(key)}, false);

  const int old_field = file == PostFile::kKenAll ? 2 : 9;
  const int code_field = file == PostFile::kKenAll ? 3 : 8;
  const bool hyphen = ctx.settings.add_hyphen != 0;
  int rows = 0;
  bool stopped = false;
  PostRecord record;
  std::size_t consumed = 0;
  for (;;) {
    const RecordScanner::Step step = scanner.Next(record, consumed);
    progress.Add(consumed);
    if (step == RecordScanner::Step::kEnd) {
      if (by_runs && runs.Next(scanner)) {
        scanner.Look({std::string(key)}, false);
        continue;
      }
      break;
    }
    if (step == RecordScanner::Step::kLeadingComma) {
      stopped = true;
      break;
    }
    if (PostCodeMatches(file, CutOldCode(record[old_field]), record[code_field], key, mode)) {
      ++rows;
      ctx.view.AddRow(FileRow(file, record, hyphen));
    }
  }
  ctx.bytes_read += scanner.BytesRead();
  ctx.view.SetProgressPos(0);
  return stopped ? 0 : rows;
}

}  // namespace

int SearchPostCode(SearchContext& ctx, std::string_view key, int mode) {
  return SearchPostCodeIn(ctx, PostFile::kKenAll, key, mode);
}

int SearchJigPostCode(SearchContext& ctx, std::string_view key, int mode) {
  return SearchPostCodeIn(ctx, PostFile::kJigyosyo, key, mode);
}

std::string NormalisePostCodeKey(std::string_view typed) {
  const std::string text = FoldPostCodeKey(typed);
  if (text.find('-') == std::string::npos) return text;
  // Like scanning " %127[0-9] - %127[0-9]": stop at the first mismatch, keep what was read.
  constexpr std::size_t kPartMax = 127;
  std::size_t i = 0;
  auto skip_space = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  };
  auto digits = [&] {
    std::size_t from = i;
    while (i < text.size() && i - from < kPartMax && text[i] >= '0' && text[i] <= '9') ++i;
    return std::string(text.substr(from, i - from));
  };
  skip_space();
  std::string first = digits();
  if (first.empty()) return {};
  skip_space();
  if (i >= text.size() || text[i] != '-') return first;
  ++i;
  skip_space();
  return first + digits();
}

bool BuildPostIndex(SearchContext& ctx, PostFile file) {
  const std::string& path = PostFilePath(ctx.settings, file);
  PostIndex& index = PostFileIndex(ctx.settings, file);
  BuildResult result = BuildPostIndexFile(path, file == PostFile::kJigyosyo, index, ctx.view);
  switch (result) {
    case BuildResult::kBuilt:
      return true;
    case BuildResult::kNotFound: {
      PostFileBytes bytes;
      OpenPostFile(ctx, file, bytes, true);  // reports the missing KEN_ALL.CSV
      return false;
    }
    case BuildResult::kOverflow:
      ctx.view.ShowMessage(msg::kIndexOverflow, "");
      return false;
    case BuildResult::kLeadingComma:
      return false;
  }
  return false;
}

bool CheckPostIndex(SearchContext& ctx, PostFile file, bool* rebuilt) {
  if (rebuilt != nullptr) *rebuilt = false;
  std::string time_text;
  const std::string& path = PostFilePath(ctx.settings, file);
  // A directory in place of the file is no data file: it is treated as a missing one.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
  if (!GetFileDateText(path, time_text)) return false;
  std::string& recorded = PostFileTime(ctx.settings, file);
  if (time_text == recorded) return true;
  ctx.view.ShowIndexNotice();
  bool built = BuildPostIndex(ctx, file);
  ctx.view.HideIndexNotice();
  // Without a usable index the time stays unrecorded, so the next check builds again.
  recorded = built ? time_text : std::string();
  if (rebuilt != nullptr) *rebuilt = true;
  return true;
}

}  // namespace tovra
