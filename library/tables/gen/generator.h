// meklan-gen: turns the reviewed UTF-8 TSV files of the built-in data into C++ source with
// constant CP932 arrays, after checking every invariant the lookups rely on. Data that breaks
// one is refused with "file:line: rule" messages, so a bad edit never reaches the library.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace meklan::gen {

// One record of ma.tsv or tokurei_areas.tsv; texts are CP932.
struct MaRow {
  int line = 0;
  std::string name;
  int branch = 0;
  std::string kana;
  int posNS = 0;
  int posEW = 0;
  int areaCode = 0;
  std::string prefixList;
  int prefNo = 0;
  int regionCode = 0;
  std::string baseMa;  // special areas only
};

struct AddressRow {
  int line = 0;
  std::string dantaiCode, maName;
  int branch = 0;
  std::string prefName, cityName, townName, chomeNote;
};

struct PairRow {
  int line = 0;
  std::string nameA, nameB;
};

struct PrefectureRow {
  int line = 0;
  std::string name;
  int jisCode = 0;  // the national code (01 北海道 ... 47 沖縄県), the postal data's order
};

struct PairTable {
  std::string file;   // "adjacent_pairs.tsv"
  std::string array;  // "kAdjacentPairs"
  std::vector<PairRow> rows;
};

struct Tables {
  std::vector<MaRow> ma;
  std::vector<MaRow> special;
  std::vector<PrefectureRow> prefectures;
  std::vector<AddressRow> address;
  PairTable adjacent{"adjacent_pairs.tsv", "kAdjacentPairs", {}};
  PairTable near{"near_exceptions.tsv", "kNearExceptions", {}};
  PairTable island{"island_pairs.tsv", "kIslandPairs", {}};
};

// Collects "file:line: rule" messages (UTF-8).
class Diagnostics {
 public:
  void Add(const std::string& file, int line, const std::string& rule);
  bool Empty() const { return messages_.empty(); }
  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  std::vector<std::string> messages_;
};

// Reads the seven TSV files of `dir`; syntax errors (field counts, numbers, encodings) go
// to `diag`.
Tables ReadTables(const std::string& dir, Diagnostics& diag);

// Checks the invariants across all tables.
void CheckTables(const Tables& tables, Diagnostics& diag);

// The C++ sources: every table except the prefecture names, and the prefecture names alone
// (the command-line tool compiles that one too).
std::string EmitTables(const Tables& tables);
std::string EmitPrefectures(const Tables& tables);

// Whole run: read, check, write `out_dir`/tables_data.cpp and prefectures_data.cpp.
// Messages go to `err`; returns the process exit code (0 success, 1 refused data or I/O).
int RunGenerator(const std::string& in_dir, const std::string& out_dir, std::ostream& err);

// One row of a text table: a constant's name, its text in CP932 and as written (UTF-8).
struct TextRow {
  int line = 0;
  std::string name;
  std::string text;
  std::string written;
};

// Reads a text table (columns "name" and "text"; the text in UTF-8, where \n, \r, \t and
// \\ stand for their characters); bad names, escapes and encodings go to `diag`.
std::vector<TextRow> ReadTexts(const std::string& path, Diagnostics& diag);

// A header with one `inline constexpr char` array per text, in namespace `name_space`.
std::string EmitTexts(const std::vector<TextRow>& texts, const std::string& source,
                      const std::string& name_space);

// Whole run for a text table: read `tsv`, write `header`; exit code as RunGenerator's.
int RunTextGenerator(const std::string& tsv, const std::string& header, const std::string& name_space,
                     std::ostream& err);

}  // namespace meklan::gen
