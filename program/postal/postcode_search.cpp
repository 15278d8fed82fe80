// Search by postal code, the index check, and the key normalisation of the postal-code mode.
#include <sys/stat.h>

#include <cctype>

#include "cp932.h"
#include "key_fold.h"
#include "scan_loop.h"
#include "messages.h"
#include "search_common.h"

namespace tovra {

using namespace detail;

namespace {

// Old codes have three or five digits and are not ordered with the current codes: 199-01
// became 252-01xx. A key that may be an old code is looked for in the whole file.
constexpr std::size_t kOldCodeMax = 5;

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

SearchResult SearchPostCodeIn(SearchContext& ctx, PostFile file, std::string_view typed, PostCodeMatch mode) {
  const std::string key = FoldPostCodeKey(typed);
  PostFileBytes bytes;
  if (SearchStatus opened = OpenPostFile(ctx, file, bytes, Report::kProblems); opened != SearchStatus::kOk) return {opened, 0};
  // An empty key is no search; it would match every code.
  if (key.empty()) {
    ctx.view.SetProgressPos(0);
    return {};
  }
  // A whole code is read where the index says its first digit's codes are.
  const PostIndex& index = PostFileIndex(ctx.settings, file);
  const bool by_runs = (mode == PostCodeMatch::kExact || mode == PostCodeMatch::kPrefix) &&
                       key.size() > kOldCodeMax && HasRunTable(index) &&
                       IndexFitsFile(ctx, file, bytes);
  const Stretch stretch = by_runs ? DigitRuns(index, key[0]) : WholeFile(bytes);
  const bool ken_all = file == PostFile::kKenAll;
  const int old_field = ken_all ? ken_field::kOldCode : jig_field::kOldCode;
  const int code_field = ken_all ? ken_field::kPostCode : jig_field::kPostCode;
  return ScanRecords(ctx, file, bytes, stretch, {.needles = {key}}, [&](const PostRecord& record) {
    if (!PostCodeMatches(file, CutOldCode(record[old_field]), record[code_field], key, mode)) return false;
    ctx.view.AddRow(PostalRow(ctx, file, record));
    return true;
  });
}

}  // namespace

SearchResult SearchPostCode(SearchContext& ctx, std::string_view key, PostCodeMatch mode) {
  return SearchPostCodeIn(ctx, PostFile::kKenAll, key, mode);
}

SearchResult SearchJigPostCode(SearchContext& ctx, std::string_view key, PostCodeMatch mode) {
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

SearchStatus BuildPostIndex(SearchContext& ctx, PostFile file) {
  const std::string& path = PostFilePath(ctx.settings, file);
  PostIndex& index = PostFileIndex(ctx.settings, file);
  BuildResult result = BuildPostIndexFile(path, file == PostFile::kJigyosyo, index, ctx.view);
  switch (result) {
    case BuildResult::kBuilt:
      return SearchStatus::kOk;
    case BuildResult::kNotFound:
    case BuildResult::kNotRegularFile: {
      PostFileBytes bytes;
      OpenPostFile(ctx, file, bytes, Report::kProblems);  // reports why the file cannot be read
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

namespace {

// Whether the stored index of an unchanged file can be used: a damaged settings file (a range
// past the end, out of order, or one byte off a line start) gets the index built afresh.
bool StoredIndexFits(SearchContext& ctx, PostFile file) {
  PostFileBytes bytes;
  return bytes.Open(PostFilePath(ctx.settings, file)) && IndexDescribes(PostFileIndex(ctx.settings, file), bytes);
}

}  // namespace

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
  if (time_text == recorded && stamp_text == recorded_stamp && StoredIndexFits(ctx, file)) return true;
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
