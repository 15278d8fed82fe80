// The searches of the program, toolkit-free. Every search reads its data file afresh and
// reports rows, progress and messages through the SearchView port only.
//
// Keys are CP932 bytes, at most 255 (longer keys are cut on a character boundary).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "search_view.h"
#include "settings.h"

namespace tovra {

enum class PostFile { kKenAll, kJigyosyo };

// What a search works with: the screen, and the settings record holding the file paths, the
// hyphen option and both indexes.
struct SearchContext {
  SearchView& view;
  Settings& settings;
  // Bytes read from the data files by the searches of this context (grows, never reset).
  std::int64_t bytes_read = 0;
};

const std::string& PostFilePath(const Settings& settings, PostFile file);
PostIndex& PostFileIndex(Settings& settings, PostFile file);
std::string& PostFileTime(Settings& settings, PostFile file);
std::string& PostFileStamp(Settings& settings, PostFile file);

// Titles of the twelve result columns, CP932.
const std::array<std::string_view, kColumnCount>& ColumnTitles();

// --- Outcome of a search ----------------------------------------------------------------------

// What became of a search. Every failure is also reported through the view as before (the
// texts the desktop program shows); front ends without a screen derive their exit status
// from this value instead.
enum class SearchStatus {
  kOk,              // the file was read; `rows` tells how many rows (cities) were added
  kFileMissing,     // the data file cannot be opened
  kNotRegularFile,  // the data file is a FIFO, device or socket (a directory counts as missing)
  kIndexOverflow,   // the file does not fit the index tables
  kMalformedLine,   // a line begins with a comma: the file is broken, the search stopped
};

struct SearchResult {
  SearchStatus status = SearchStatus::kOk;
  int rows = 0;  // added to the view; 0 unless status is kOk
  bool ok() const { return status == SearchStatus::kOk; }
};

// --- Index --------------------------------------------------------------------------------

// Rebuilds the file's index. A missing KEN_ALL.CSV and an index that does not fit its tables
// are reported through the view; on failure the file is left without an index.
SearchStatus BuildPostIndex(SearchContext& ctx, PostFile file);

// Rebuilds the index when the file's modification time differs from the recorded one (behind
// the index notice). Returns whether the time could be read, that is, whether the file exists.
// A failed build records no time, so the next check tries again. `rebuilt` (optional) tells
// whether a build ran, `built` (optional) how that build ended.
bool CheckPostIndex(SearchContext& ctx, PostFile file, bool* rebuilt = nullptr,
                    SearchStatus* built = nullptr);

// --- Search by postal code ------------------------------------------------------------------

// The numbers are the ones the main dialog's radio buttons stand for.
enum class PostCodeMatch { kExact = 0, kContains = 1, kPrefix = 2 };

// The postal-code text as the main dialog passes it on: when it holds "-", the digits before
// and after the hyphen are joined (" 060 - 0001" -> "0600001"; each part at most 127 digits);
// otherwise the text is unchanged (also with a full-width hyphen).
std::string NormalisePostCodeKey(std::string_view text);

// Rows of every line whose postal code matches `key` in `mode`.
SearchResult SearchPostCode(SearchContext& ctx, std::string_view key, PostCodeMatch mode);
SearchResult SearchJigPostCode(SearchContext& ctx, std::string_view key, PostCodeMatch mode);

// --- Search by address, business name, city or local-government code --------------------------

// What a scan looks for. The numbers are the modes of the original program (cities of a
// prefecture, rows of a city, local-government code, address words).
enum class ScanMode { kCityList = 0, kCity = 1, kDantai = 98, kWords = 99 };
enum class WordMatch { kExact = 0, kContains = 1 };

// The two terms of a key with "+" (" %[^+] + %[^+]"). A side left empty leaves one term: the
// other side is searched alone. `has_second` is false for a key without "+".
struct SearchTerms {
  std::string first;
  std::string second;
  bool has_second = false;
};
SearchTerms SplitSearchTerms(std::string_view key);

// kCityList (KEN_ALL.CSV only) fills the view's city list with the cities of the prefecture
// named by the key. kCity reads the stretch of `prefecture` (CP932 name), kCityList that of
// its key; the whole file when it names no prefecture or the file has no prefecture index.
// `match` is read in kWords only.
// `rows` counts the rows (kCityList: cities) added.
SearchResult ScanKenAll(SearchContext& ctx, std::string_view key, ScanMode mode,
                        WordMatch match = WordMatch::kExact, std::string_view prefecture = {});
SearchResult ScanJigyosyo(SearchContext& ctx, std::string_view key, ScanMode mode,
                          WordMatch match = WordMatch::kExact, std::string_view prefecture = {});

// --- Search by telephone area code ----------------------------------------------------------

// The numbers are the ones the main dialog's radio buttons stand for.
enum class AreaDisplay { kPostal = 0, kDistricts = 1 };

// The MAs the key names (through libmeklan), their local-government areas: as rows of their
// own (kDistricts) or as the postal rows of those areas (kPostal, which also reads
// JIGYOSYO.CSV when `with_business` is set). The view is told the set of MA names once (its
// work list) and, in kPostal, the prefecture of the last area read. `status` is that of
// KEN_ALL.CSV (the business file is optional); `rows` counts every row added.
SearchResult SearchByAreaCode(SearchContext& ctx, std::string_view key, AreaDisplay display,
                              bool with_business);

}  // namespace tovra
