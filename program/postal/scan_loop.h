// The one loop over the records of a data file. A search says where to read (a stretch of
// windows), which bytes a record must hold to be worth testing, and what it keeps of each
// record the scanner hands out; the loop owns the reading, the progress indicator, the I/O
// accounting and the line that ends a search (one beginning with a comma).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "record_scan.h"
#include "searches.h"

namespace tovra::detail {

// Byte windows of a file read one after the other (records whose first line starts in each),
// and their length for the progress indicator.
struct Stretch {
  struct Window {
    std::int64_t start, end;
  };
  std::vector<Window> windows;
  std::int64_t bytes = 0;
};

// The whole file (brought in ahead of the scan).
Stretch WholeFile(const PostFileBytes& bytes);
// The stretch of `prefecture` (CP932 name) when it names one and the file's index fits the
// file, otherwise the whole file.
Stretch PrefectureStretch(const SearchContext& ctx, PostFile file, const PostFileBytes& bytes,
                          std::string_view prefecture);
// The runs of postal codes that begin with `digit`, as the index lists them.
Stretch DigitRuns(const PostIndex& index, char digit);

// What a search keeps of a record: true when it added a row (or a city) for it.
using RecordSink = std::function<bool(const PostRecord&)>;

// What a scan looks for: the records holding any of `needles` (every record when there is
// none) and, with `joined_too`, every record joined from several lines.
struct ScanQuery {
  std::vector<std::string> needles;
  bool joined_too = false;
};

// Hands every record of `stretch` worth testing to `keep`. `rows` counts the records kept;
// a line beginning with a comma ends the scan with kMalformedLine and no rows.
SearchResult ScanRecords(SearchContext& ctx, PostFile file, const PostFileBytes& bytes, const Stretch& stretch,
                         ScanQuery query, const RecordSink& keep);

}  // namespace tovra::detail
