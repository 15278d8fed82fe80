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

namespace meklan::gen {
namespace {

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

// One data line with its fields looked up by column name; reports its own field errors.
class Row {
 public:
  Row(const std::string& file, int line, const std::map<std::string, std::size_t>& columns,
      std::vector<std::string> fields, Diagnostics& diag)
      : file_(file), line_(line), columns_(columns), fields_(std::move(fields)), diag_(diag) {}

  int Line() const { return line_; }

  // The field converted to CP932 ("" after reporting when it does not convert).
  std::string Text(const std::string& column) const {
    const std::string& utf8 = Raw(column);
    auto cp = cp932::FromUtf8(utf8);
    if (!cp) {
      diag_.Add(file_, line_, column + " does not convert to CP932");
      return std::string();
    }
    return *cp;
  }

  // The field as written in the file, UTF-8.
  const std::string& Written(const std::string& column) const { return Raw(column); }

  // A text of a text table, converted to CP932. Its escapes are resolved before the
  // conversion, because a CP932 trail byte may itself be a backslash.
  std::string EscapedText(const std::string& column) const {
    const std::string& written = Raw(column);
    std::string utf8;
    for (std::size_t i = 0; i < written.size(); ++i) {
      if (written[i] != '\\') {
        utf8 += written[i];
        continue;
      }
      const char next = i + 1 < written.size() ? written[++i] : '\0';
      switch (next) {
        case 'n': utf8 += '\n'; break;
        case 'r': utf8 += '\r'; break;
        case 't': utf8 += '\t'; break;
        case '\\': utf8 += '\\'; break;
        default:
          diag_.Add(file_, line_, column + " has a backslash that is not \\n, \\r, \\t or \\\\");
          return std::string();
      }
    }
    auto cp = cp932::FromUtf8(utf8);
    if (!cp) {
      diag_.Add(file_, line_, column + " does not convert to CP932");
      return std::string();
    }
    return *cp;
  }

  int Int(const std::string& column) const {
    const std::string& text = Raw(column);
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
      diag_.Add(file_, line_, column + " is not an integer: \"" + text + "\"");
      return 0;
    }
    return value;
  }

  // The position column must count the rows, so that the table order is the file order.
  void ExpectPosition(const std::string& column, int position) const {
    if (Int(column) != position) {
      diag_.Add(file_, line_, column + " is not the row's position " + std::to_string(position));
    }
  }

 private:
  const std::string& Raw(const std::string& column) const { return fields_[columns_.at(column)]; }

  const std::string& file_;
  int line_;
  const std::map<std::string, std::size_t>& columns_;
  std::vector<std::string> fields_;
  Diagnostics& diag_;
};

// Calls `take(row)` for every data line of `dir`/`file`. Missing files, missing columns and
// lines with the wrong number of fields are reported and skipped.
template <typename Take>
void ForEachRow(const std::string& dir, const std::string& file,
                const std::vector<std::string>& required, Diagnostics& diag, Take take) {
  std::ifstream in(dir + "/" + file, std::ios::binary);
  if (!in) {
    diag.Add(file, 0, "cannot be read");
    return;
  }
  std::string line;
  if (!std::getline(in, line)) {
    diag.Add(file, 1, "has no header line");
    return;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::vector<std::string> header = SplitTabs(line);
  std::map<std::string, std::size_t> columns;
  for (std::size_t i = 0; i < header.size(); ++i) columns.emplace(header[i], i);
  bool complete = true;
  for (const std::string& name : required) {
    if (!columns.count(name)) {
      diag.Add(file, 1, "missing column " + name);
      complete = false;
    }
  }
  if (!complete) return;
  int line_no = 1;
  while (std::getline(in, line)) {
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != header.size()) {
      diag.Add(file, line_no, "expected " + std::to_string(header.size()) + " fields, found " +
                                  std::to_string(fields.size()));
      continue;
    }
    take(Row(file, line_no, columns, std::move(fields), diag));
  }
  if (line_no == 1) diag.Add(file, 1, "has no records");
}

const std::vector<std::string> kMaColumns = {"index",  "maName",     "branch",   "maKana",
                                             "posNS",  "posEW",      "areaCode", "prefixList",
                                             "prefNo", "regionCode"};

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
    TextRow r{row.Line(), row.Written("name"), row.EscapedText("text"), row.Written("text")};
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
