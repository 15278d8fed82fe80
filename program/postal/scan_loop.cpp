#include "scan_loop.h"

#include "progress.h"
#include "search_common.h"

namespace tovra::detail {

Stretch WholeFile(const PostFileBytes& bytes) {
  const auto length = static_cast<std::int64_t>(bytes.Bytes().size());
  bytes.Prefetch(0, length);
  return {{{0, length}}, length};
}

Stretch PrefectureStretch(const SearchContext& ctx, PostFile file, const PostFileBytes& bytes,
                          std::string_view prefecture) {
  const PostIndex& index = PostFileIndex(ctx.settings, file);
  const int p = PrefectureIndex(prefecture);
  if (p < 0 || !HasPrefectureIndex(index) || !IndexFitsFile(ctx, file, bytes)) return WholeFile(bytes);
  const PrefRange& range = index.pref[static_cast<std::size_t>(p)];
  const std::int64_t end = static_cast<std::int64_t>(range.start) + range.size + 1;
  bytes.Prefetch(range.start, end);
  return {{{range.start, end}}, range.size};
}

Stretch DigitRuns(const PostIndex& index, char digit) {
  Stretch stretch;
  for (int n = 0;; ++n) {
    const int i = NthRunForDigit(index, digit, n);
    if (i < 0) break;
    const DigitRun& run = index.run[static_cast<std::size_t>(i)];
    stretch.windows.push_back({run.start, static_cast<std::int64_t>(run.start) + run.size + 1});
  }
  stretch.bytes = RunLengthForDigit(index, digit);
  return stretch;
}

SearchResult ScanRecords(SearchContext& ctx, PostFile file, const PostFileBytes& bytes, const Stretch& stretch,
                         ScanQuery query, const RecordSink& keep) {
  ProgressPacer progress(ctx.view, stretch.bytes, kSearchProgressSteps);
  RecordScanner scanner(bytes, file);
  scanner.Look(std::move(query.needles), query.joined_too);
  SearchResult result;
  PostRecord record;
  std::size_t consumed = 0;
  for (const Stretch::Window& window : stretch.windows) {
    scanner.SetWindow(window.start, window.end);
    RecordScanner::Step step;
    while ((step = scanner.Next(record, consumed)) != RecordScanner::Step::kEnd) {
      progress.Add(consumed);
      if (step == RecordScanner::Step::kLeadingComma) {
        result = {SearchStatus::kMalformedLine, 0};
        break;
      }
      if (keep(record)) ++result.rows;
    }
    if (step != RecordScanner::Step::kEnd) break;
    progress.Add(consumed);
  }
  ctx.bytes_read += scanner.BytesRead();
  ctx.view.SetProgressPos(0);
  return result;
}

}  // namespace tovra::detail
