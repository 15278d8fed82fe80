// Search by postal code, the index check, and the key normalisation of the postal-code mode.
#include <sys/stat.h>

#include <cctype>

#include "cp932.h"
#include "messages.h"
#include "search_common.h"

namespace tovra {

using namespace detail;

namespace {

// What is read: the whole file, or the runs of the key's first digit one after the other.
class RunWalker {
 public:
  RunWalker(const PostIndex& index, char digit) : index_(index), digit_(digit) {}
  // Points the reader at the next run of the digit; false when there is none.
  bool Next(LineReader& reader) {
    int i = NthRunForDigit(index_, digit_, next_++);
    if (i < 0) return false;
    const DigitRun& run = index_.run[static_cast<std::size_t>(i)];
    reader.SetWindow(run.start, static_cast<std::int64_t>(run.start) + run.size + 1);
    return true;
  }

 private:
  const PostIndex& index_;
  char digit_;
  int next_ = 0;
};

// The old code of KEN_ALL.CSV is padded to five with spaces: a three-digit one keeps three.
std::string_view CutOldCode(std::string_view old_code) {
  if (old_code.find(' ') != std::string_view::npos && old_code.size() > 3) return old_code.substr(0, 3);
  return old_code;
}

bool PostCodeMatches(PostFile file, std::string_view old_code, std::string_view code,
                     std::string_view key, PostCodeMatch mode) {
  switch (mode) {
    case PostCodeMatch::kExact:
      return old_code == key || code == key;
    case PostCodeMatch::kContains:
      if (file == PostFile::kKenAll) return old_code == key || cp932::Contains(code, key);
      return code == key || cp932::Contains(old_code, key);
    case PostCodeMatch::kPrefix:
      return old_code.starts_with(key) || code.starts_with(key);
  }
  return false;
}

SearchResult SearchPostCodeIn(SearchContext& ctx, PostFile file, std::string_view key, PostCodeMatch mode) {
  key = CutKey(key);
  ProgressPacer progress(ctx.view, 0);
  LineReader reader;
  if (SearchStatus opened = OpenPostFile(ctx, file, reader, true); opened != SearchStatus::kOk) return {opened, 0};

  const PostIndex& index = PostFileIndex(ctx.settings, file);
  const bool by_runs = (mode == PostCodeMatch::kExact || mode == PostCodeMatch::kPrefix) && HasRunTable(index) &&
                       IndexFitsFile(ctx, file, reader);
  RunWalker runs(index, key.empty() ? '\0' : key[0]);
  if (by_runs) {
    if (key.empty() || !runs.Next(reader)) {
      ctx.view.SetProgressPos(0);
      return {};
    }
    progress.Set(RunLengthForDigit(index, key[0]));
  } else {
    progress.Set(reader.Length());
  }

  const int field_count = FieldCount(file);
  const int old_field = file == PostFile::kKenAll ? ken_field::kOldCode : jig_field::kOldCode;
  const int code_field = file == PostFile::kKenAll ? ken_field::kPostCode : jig_field::kPostCode;
  int rows = 0;
  bool stopped = false;
  PostRecord record;
  std::string_view line;
  std::size_t consumed = 0;
  for (;;) {
    if (!reader.ReadLineHolding(key, line, consumed)) {
      progress.Add(consumed);
      if (by_runs && runs.Next(reader)) continue;
      break;
    }
    progress.Add(consumed);
    SplitResult split = SplitPostLine(line, field_count, record);
    if (split == SplitResult::kBlank) continue;
    if (split == SplitResult::kLeadingComma) {
      stopped = true;
      break;
    }
    UnquoteFields(record, field_count);
    if (PostCodeMatches(file, CutOldCode(record[old_field]), record[code_field], key, mode)) {
      ++rows;
      ctx.view.AddRow(PostalRow(ctx, file, record));
    }
  }
  ctx.bytes_read += reader.BytesRead();
  ctx.view.SetProgressPos(0);
  if (stopped) return {SearchStatus::kMalformedLine, 0};
  return {SearchStatus::kOk, rows};
}

}  // namespace

SearchResult SearchPostCode(SearchContext& ctx, std::string_view key, PostCodeMatch mode) {
  return SearchPostCodeIn(ctx, PostFile::kKenAll, key, mode);
}

SearchResult SearchJigPostCode(SearchContext& ctx, std::string_view key, PostCodeMatch mode) {
  return SearchPostCodeIn(ctx, PostFile::kJigyosyo, key, mode);
}

std::string NormalisePostCodeKey(std::string_view text) {
  if (text.find('-') == std::string_view::npos) return std::string(text);
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

SearchStatus BuildPostIndex(SearchContext& ctx, PostFile file) {
  const std::string& path = PostFilePath(ctx.settings, file);
  PostIndex& index = PostFileIndex(ctx.settings, file);
  BuildResult result = BuildPostIndexFile(path, file == PostFile::kJigyosyo, index, ctx.view);
  switch (result) {
    case BuildResult::kBuilt:
      return SearchStatus::kOk;
    case BuildResult::kNotFound:
    case BuildResult::kNotRegularFile: {
      LineReader reader;
      OpenPostFile(ctx, file, reader, true);  // reports why the file cannot be read
      return result == BuildResult::kNotRegularFile ? SearchStatus::kNotRegularFile : SearchStatus::kFileMissing;
    }
    case BuildResult::kOverflow:
      ctx.view.ShowMessage(msg::kIndexOverflow, "");
      return SearchStatus::kIndexOverflow;
    case BuildResult::kLeadingComma:
      return SearchStatus::kMalformedLine;
  }
  return SearchStatus::kMalformedLine;
}

bool CheckPostIndex(SearchContext& ctx, PostFile file, bool* rebuilt, SearchStatus* built_status) {
  if (rebuilt != nullptr) *rebuilt = false;
  if (built_status != nullptr) *built_status = SearchStatus::kOk;
  std::string time_text;
  const std::string& path = PostFilePath(ctx.settings, file);
  // Only a regular file is a data file (a directory is treated as a missing one); a pipe is
  // never opened here, where opening it would wait for a writer.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
  if (!GetFileDateText(path, time_text)) return false;
  std::string stamp_text;
  GetFileStampText(path, stamp_text);
  std::string& recorded = PostFileTime(ctx.settings, file);
  std::string& recorded_stamp = PostFileStamp(ctx.settings, file);
  // The time has whole seconds only: a file rewritten within the second keeps it, not its stamp.
  if (time_text == recorded && stamp_text == recorded_stamp) return true;
  ctx.view.ShowIndexNotice();
  const SearchStatus status = BuildPostIndex(ctx, file);
  const bool built = status == SearchStatus::kOk;
  ctx.view.HideIndexNotice();
  if (built_status != nullptr) *built_status = status;
  // Without a usable index the time stays unrecorded, so the next check builds again.
  recorded = built ? time_text : std::string();
  recorded_stamp = built ? stamp_text : std::string();
  if (rebuilt != nullptr) *rebuilt = true;
  return true;
}

}  // namespace tovra
