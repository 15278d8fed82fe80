// Pieces shared by the searches: file access with the missing-file message, the row layouts
// and the byte tests.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "meklan.h"
#include "post_fields.h"
#include "post_line.h"
#include "record_scan.h"
#include "searches.h"

namespace tovra::detail {

// Whether one of `keys` is longer than any field can hold (kKeyMax); such a key is shown the
// message "%s" of kKeyTooLongFormat once and the search refused.
bool KeyTooLong(SearchContext& ctx, std::initializer_list<std::string_view> keys);

// Whether OpenPostFile shows why a file cannot be read (a search over several stretches of
// one file shows it once).
enum class Report { kProblems, kNothing };

// Opens the search's file; with Report::kProblems, a KEN_ALL.CSV that cannot be opened shows
// "%s\nが見つかりません" and either file that is not a regular file "%s\nは通常のファイルではありません",
// with its path. Returns kOk or why the file cannot be read.
SearchStatus OpenPostFile(SearchContext& ctx, PostFile file, PostFileBytes& bytes, Report report);

// Whether the file's index still describes the file: the file has not changed since its
// index was made, and every entry lies inside it, in order, starting at a line start (a
// damaged or hand-edited settings file is not trusted). A file replaced after its index was
// made (while the program runs, or under another path from the settings dialog) is read whole
// instead of at offsets that belong to another file.
bool IndexFitsFile(const SearchContext& ctx, PostFile file, const PostFileBytes& bytes);

// Whether every entry of `index` lies inside `bytes`, in order, starting at a line start, and
// the last one ends where the file ends.
bool IndexDescribes(const PostIndex& index, const PostFileBytes& bytes);

// A quick rejection: a field can only equal or contain a non-empty term that the raw line holds.
bool LineMayHold(std::string_view line, std::string_view term);

// The result rows of a KEN_ALL.CSV and a JIGYOSYO.CSV line (split and unquoted).
ResultRow KenAllRow(const PostRecord& record, bool hyphen);
ResultRow JigyosyoRow(const PostRecord& record, bool hyphen);
inline ResultRow FileRow(PostFile file, const PostRecord& record, bool hyphen) {
  return file == PostFile::kKenAll ? KenAllRow(record, hyphen) : JigyosyoRow(record, hyphen);
}

// The row of a line as a search shows it: FileRow, and with the current edition of the
// telephone tables the MAs serving the line in columns 局番 and MA名 (several joined by "/").
// With the tables of 2003 those columns stay empty.
// `join`, when given, is the line's join already made by the caller.
ResultRow PostalRow(const SearchContext& ctx, PostFile file, const PostRecord& record,
                    const MKJOIN* join = nullptr);

// The library's join of one line (code, town; a JIGYOSYO line adds its street) in `edition`;
// returns the number of serving MAs.
int JoinPostRecord(int edition, PostFile file, const PostRecord& record, MKJOIN& join);

// The scan behind ScanKenAll and ScanJigyosyo. `missing_reported` (optional) makes a
// missing KEN_ALL.CSV reported once across several scans.
SearchResult ScanPostFile(SearchContext& ctx, PostFile file, std::string_view key, ScanMode mode,
                          WordMatch match, std::string_view prefecture, bool* missing_reported);

}  // namespace tovra::detail
