// The searches of the program, toolkit-free. Every search reads its data file afresh and
// reports rows, progress and messages through the SearchView port only.
//
// Front ends (the desktop program, tovra-search, a web service) call the six search modes of
// the first section: one call per mode, each reading KEN_ALL.CSV and then, when asked,
// JIGYOSYO.CSV. They parse and convert what the user typed and show what comes back; the order
// of the files, the postal code's hyphen and the key rules are the engine's. The searches of
// one file further down are the pieces those calls are made of.
//
// Keys are CP932 bytes, whole; one longer than any field can hold (kKeyMax) is refused with a
// message and kKeyTooLong.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "post_line.h"
#include "search_view.h"
#include "settings.h"

namespace tovra {

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
  kKeyTooLong,      // the key is longer than any field can hold: refused, the file not read
};

struct SearchResult {
  SearchStatus status = SearchStatus::kOk;
  int rows = 0;  // added to the view; 0 unless status is kOk
  bool ok() const { return status == SearchStatus::kOk; }
};

// --- The search modes ----------------------------------------------------------------------

// How a postal code, address words and an area code's areas are matched and shown.
enum class PostCodeMatch { kExact, kContains, kPrefix };
enum class WordMatch { kExact, kContains };
enum class AreaDisplay { kPostal, kDistricts };

// Whether a search also reads JIGYOSYO.CSV (business offices) after KEN_ALL.CSV.
enum class Business { kLeaveOut, kInclude };

// What became of the reading of each file. `jigyosyo` stays kOk with 0 rows when the business
// file was not asked for; a missing business file is no failure of the search (kFileMissing
// there only tells why it gave no rows).
struct SearchOutcome {
  SearchResult ken_all;
  SearchResult jigyosyo;
  int rows() const { return ken_all.rows + jigyosyo.rows; }
};

// The whole search of each mode of the main dialog.
//
// FindPostCode: rows whose postal code matches `typed` ("060-0001", " 060 - 0001" and
// "0600001" alike; see NormalisePostCodeKey), also old three- and five-digit codes.
// FindWords: rows whose address words (or business name) equal or contain the key; "A+B"
// needs both. FindDantai: rows of a five-digit local-government code. FindAreaCode: the areas
// of the MAs an area code, number or MA name names (see SearchByAreaCode).
// FindCityRows: the rows of one city of a prefecture (CP932 names as ListCities gives them).
SearchOutcome FindPostCode(SearchContext& ctx, std::string_view typed, PostCodeMatch match, Business business);
SearchOutcome FindWords(SearchContext& ctx, std::string_view key, WordMatch match, Business business);
SearchOutcome FindDantai(SearchContext& ctx, std::string_view code, Business business);
SearchOutcome FindAreaCode(SearchContext& ctx, std::string_view key, AreaDisplay display, Business business);
SearchOutcome FindCityRows(SearchContext& ctx, std::string_view prefecture, std::string_view city,
                           Business business);
// The cities of a prefecture, in the order of KEN_ALL.CSV, into the view's city list; `rows`
// counts them.
SearchResult ListCities(SearchContext& ctx, std::string_view prefecture);

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

// The postal-code text as the main dialog passes it on: when it holds "-", the digits before
// and after the hyphen are joined (" 060 - 0001" -> "0600001"; each part at most 127 digits);
// otherwise the text is unchanged (also with a full-width hyphen).
std::string NormalisePostCodeKey(std::string_view text);

// Rows of every line whose postal code matches `key` in `mode`.
SearchResult SearchPostCode(SearchContext& ctx, std::string_view key, PostCodeMatch mode);
SearchResult SearchJigPostCode(SearchContext& ctx, std::string_view key, PostCodeMatch mode);

// --- Search by address, business name, city or local-government code --------------------------

// What a scan looks for: the cities of a prefecture, the rows of a city, a local-government
// code, address words.
enum class ScanMode { kCityList, kCity, kDantai, kWords };

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

}  // namespace tovra
