#include "output.h"

#include "cp932.h"
#include "field_text.h"
#include "searches.h"

namespace tovra::cli {
namespace {

constexpr const char* kJsonKeys[kColumnCount] = {
    "postcode", "dantaiCode", "areaCodes",  "maName",   "prefecture", "city",
    "town",     "prefectureKana", "cityKana", "townKana", "business",   "businessKana",
};

}  // namespace

void PrintRows(std::FILE* out, Format format, const std::vector<ResultRow>& rows) {
  switch (format) {
    case Format::kTsv:
      for (const ResultRow& row : rows) std::fprintf(out, "%s\n", clitext::TsvLine(row.columns).c_str());
      break;
    case Format::kCsv: {
      std::vector<std::string> titles(ColumnTitles().begin(), ColumnTitles().end());
      std::fprintf(out, "%s\r\n", clitext::CsvLine(titles).c_str());
      for (const ResultRow& row : rows) std::fprintf(out, "%s\r\n", clitext::CsvLine(row.columns).c_str());
      break;
    }
    case Format::kJson:
      std::fputs("[", out);
      for (std::size_t r = 0; r < rows.size(); ++r) {
        std::string obj = r == 0 ? "\n  {" : ",\n  {";
        for (int c = 0; c < kColumnCount; ++c) {
          if (c > 0) obj += ", ";
          obj += clitext::JsonString(kJsonKeys[c]);
          obj += ": ";
          obj += clitext::JsonString(cp932::ToUtf8(rows[r].columns[static_cast<std::size_t>(c)]));
        }
        obj += "}";
        std::fputs(obj.c_str(), out);
      }
      std::fputs(rows.empty() ? "]\n" : "\n]\n", out);
      break;
  }
}

void PrintLines(std::FILE* out, Format format, const std::vector<std::string>& lines) {
  if (format != Format::kJson) {
    // Each line is one field: a city name from a hostile file gets the escapes of a row.
    for (const std::string& line : lines) {
      const std::span<const std::string> field(&line, 1);
      const std::string shown = format == Format::kCsv ? clitext::CsvLine(field) : clitext::TsvLine(field);
      std::fprintf(out, "%s\n", shown.c_str());
    }
    return;
  }
  std::fputs("[", out);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::fprintf(out, "%s\n  %s", i == 0 ? "" : ",", clitext::JsonString(cp932::ToUtf8(lines[i])).c_str());
  }
  std::fputs(lines.empty() ? "]\n" : "\n]\n", out);
}

}  // namespace tovra::cli
