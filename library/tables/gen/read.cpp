// Reading the TSV files: columns are found by their header names, so that reviewers may add
// columns of their own (provenance, note, km) without touching the generator.
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "cp932.h"
#include "generator.h"
#include "tsv.h"

namespace meklan::gen {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

const std::vector<std::string> kMaColumns = {"index",  "maName",     "branch",   "maKana",
                                             "posNS",  "posEW",      "areaCode", "prefixList",
                                             "prefNo", "regionCode"};

namespace {

// areaCode is written as dialled ("0166"); the record keeps the number after the trunk 0.
int AreaCodeValue(const Row& row, const std::string& file, Diagnostics& diag) {
  std::string text = row.Text("areaCode");
  bool digits = text.size() >= 2 && text[0] == '0' &&
                text.find_first_not_of("0123456789") == std::string::npos;
  if (!digits) {
    diag.Add(file, row.Line(), "areaCode is not a trunk 0 followed by digits");
    return 0;
  }
  return row.Int("areaCode");
}

}  // namespace

MaRow ReadMaRow(const Row& row, const std::string& file, int position, Diagnostics& diag) {
  row.ExpectPosition("index", position);
  // Braced initialisers run in order, so problems are reported in column order.
  return MaRow{.line = row.Line(),
               .name = row.Text("maName"),
               .branch = row.Int("branch"),
               .kana = row.Text("maKana"),
               .posNS = row.Int("posNS"),
               .posEW = row.Int("posEW"),
               .areaCode = AreaCodeValue(row, file, diag),
               .prefixList = row.Text("prefixList"),
               .prefNo = row.Int("prefNo"),
               .regionCode = row.Int("regionCode"),
               .baseMa = {}};  // the special-area table reads it on top
}

namespace {

void ReadPairs(const std::string& dir, PairTable& table, Diagnostics& diag) {
  ForEachRow(dir, table.file, {"row", "nameA", "nameB"}, diag, [&](const Row& row) {
    row.ExpectPosition("row", static_cast<int>(table.rows.size()) + 1);
    table.rows.push_back({row.Line(), row.Text("nameA"), row.Text("nameB")});
  });
}

}  // namespace

void Diagnostics::Add(const std::string& file, int line, const std::string& rule) {
  messages_.push_back(file + ":" + std::to_string(line) + ": " + rule);
}

Tables ReadTables(const std::string& dir, Diagnostics& diag) {
  Tables t;
  ForEachRow(dir, "ma.tsv", kMaColumns, diag, [&](const Row& row) {
    t.ma.push_back(ReadMaRow(row, "ma.tsv", static_cast<int>(t.ma.size()), diag));
  });
  std::vector<std::string> special_columns = kMaColumns;
  special_columns.push_back("baseMA");
  ForEachRow(dir, "tokurei_areas.tsv", special_columns, diag, [&](const Row& row) {
    MaRow r = ReadMaRow(row, "tokurei_areas.tsv", static_cast<int>(t.special.size()), diag);
    r.baseMa = row.Text("baseMA");
    t.special.push_back(std::move(r));
  });
  ForEachRow(dir, "prefectures.tsv", {"prefNo", "name", "jisCode"}, diag, [&](const Row& row) {
    row.ExpectPosition("prefNo", static_cast<int>(t.prefectures.size()) + 1);
    t.prefectures.push_back({row.Line(), row.Text("name"), row.Int("jisCode")});
  });
  ForEachRow(dir, "address.tsv",
             {"dantaiCode", "maName", "branch", "prefName", "cityName", "townName", "chomeNote"},
             diag, [&](const Row& row) {
               t.address.push_back({row.Line(), row.Text("dantaiCode"), row.Text("maName"),
                                    row.Int("branch"), row.Text("prefName"), row.Text("cityName"),
                                    row.Text("townName"), row.Text("chomeNote")});
             });
  ReadPairs(dir, t.adjacent, diag);
  ReadPairs(dir, t.near, diag);
  ReadPairs(dir, t.island, diag);
  return t;
}

std::vector<TextRow> ReadTexts(const std::string& path, Diagnostics& diag) {
  const std::filesystem::path p(path);
  const std::string file = p.filename().string();
  std::vector<TextRow> texts;
  std::set<std::string> names;
  ForEachRow(p.parent_path().string(), file, {"name", "text"}, diag, [&](const Row& row) {
    TextRow r{row.Line(), row.Raw("name"), row.EscapedText("text"), row.Raw("text")};
    const bool identifier = !r.name.empty() && !(r.name[0] >= '0' && r.name[0] <= '9') &&
                            r.name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                     "0123456789_") == std::string::npos;
    if (!identifier) diag.Add(file, r.line, "name is not a C++ identifier: " + r.name);
    if (!names.insert(r.name).second) diag.Add(file, r.line, "name occurs twice: " + r.name);
    texts.push_back(std::move(r));
  });
  return texts;
}

}  // namespace meklan::gen
