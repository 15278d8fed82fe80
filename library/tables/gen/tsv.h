// The TSV reader shared by both editions: columns found by their header names, one Row per
// data line that reports its own field errors as "file:line: rule".
#pragma once

#include <charconv>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "cp932.h"
#include "generator.h"

namespace meklan::gen {

std::vector<std::string> SplitTabs(const std::string& line);

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

  // The field as written (UTF-8).
  const std::string& Raw(const std::string& column) const { return fields_[columns_.at(column)]; }

 private:

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

extern const std::vector<std::string> kMaColumns;

// One record of an MA table; `file` names it in messages, `position` is its expected index.
MaRow ReadMaRow(const Row& row, const std::string& file, int position, Diagnostics& diag);

}  // namespace meklan::gen
