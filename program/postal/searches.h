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

// --- Index --------------------------------------------------------------------------------

// Rebuilds the file's index. A missing KEN_ALL.CSV and an index that does not fit its tables
// are reported through the view; on failure the file is left without an index.
bool BuildPostIndex(SearchContext& ctx, PostFile file);

// Rebuilds the index when the file's modification time differs from the recorded one (behind
// the index notice). Returns whether the time could be read, that is, whether the file exists.
// A failed build records no time, so the next check tries again. `rebuilt` (optional) tells
// whether a build ran.
bool CheckPostIndex(SearchContext& ctx, PostFile file, bool* rebuilt = nullptr);

// --- Search by postal code ------------------------------------------------------------------

enum PostCodeMatch { kMatchExact = 0, kMatchContains = 1, kMatchPrefix = 2 };

// The postal-code text as the main dialog passes it on: when it holds "-", the digits before
// and after the hyphen are joined (" 060 - 0001" -> "0600001"; each part at most 127 digits);
// otherwise the text is unchanged (also with a full-width hyphen).
std::string NormalisePostCodeKey(std::string_view text);

// Rows of every line whose postal code matches `key` in `mode` (PostCodeMatch). Return the
// number of rows added, 0 after an error.
int SearchPostCode(SearchContext& ctx, std::string_view key, int mode);
int SearchJigPostCode(SearchContext& ctx, std::string_view key, int mode);

// --- Search by address, business name, city or local-government code --------------------------

enum ScanMode { kScanCityList = 0, kScanCity = 1, kScanDantai = 98, kScanWords = 99 };
enum WordMatch { kWordExact = 0, kWordContains = 1 };

// The two terms of a key with "+" (" %[^+] + %[^+]"). A side left empty leaves one term: the
// other side is searched alone. `has_second` is false for a key without "+".
struct SearchTerms {
  std::string first;
  std::string second;
  bool has_second = false;
};
SearchTerms SplitSearchTerms(std::string_view key);

// Modes 0 and 1 read the stretch of the prefecture selected in the view (the whole file when
// none is selected or the file has no prefecture index). `match` is read in mode 99 only.
// Mode 0 (KEN_ALL.CSV only) fills the view's city list. Return the rows (mode 0: cities) added.
int ScanKenAll(SearchContext& ctx, std::string_view key, int mode, int match);
int ScanJigyosyo(SearchContext& ctx, std::string_view key, int mode, int match);

// --- Search by telephone area code ----------------------------------------------------------

enum AreaDisplay { kShowPostal = 0, kShowDistricts = 1 };

// The MAs the key names (through libmeklan), their local-government areas: as rows of their
// own (kShowDistricts) or as the postal rows of those areas (kShowPostal, which also reads
// JIGYOSYO.CSV when the view's business data is in use). Returns 0.
int SearchByAreaCode(SearchContext& ctx, std::string_view key, int display);

}  // namespace tovra
