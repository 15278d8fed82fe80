#include "output.h"

#include "cp932.h"
#include "json_text.h"
#include "searches.h"

namespace tovra::cli {
namespace {

constexpr const char* kJsonKeys[kColumnCount] = {
    "postcode", "dantaiCode", "areaCodes",  "maName",   "prefecture", "city",
    "town",     "prefectureKana", "cityKana", "townKana", "business",   "businessKana",
};

// One conversion per printed line: the fields are joined in CP932 first.
std::string Shown(const std::string& cp932_text, Format format) {
  return format == Format::kJson ? cp932::ToUtf8(cp932_text) : cp932::ToLocale(cp932_text);
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

void PrintRows(std::FILE* out, Format format, const std::vector<ResultRow>& rows) {
  switch (format) {
    case Format::kTsv:
      for (const ResultRow& row : rows) {
        std::string line;
        for (int c = 0; c < kColumnCount; ++c) {
          if (c > 0) line += '\t';
          line += row.columns[static_cast<std::size_t>(c)];
        }
        std::fprintf(out, "%s\n", Shown(line, format).c_str());
      }
      break;
    case Format::kCsv: {
      std::string header;
      for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0) header += ',';
        header += CsvField(std::string(ColumnTitles()[static_cast<std::size_t>(c)]));
      }
      std::fprintf(out, "%s\r\n", Shown(header, format).c_str());
      for (const ResultRow& row : rows) {
        std::string line;
        for (int c = 0; c < kColumnCount; ++c) {
          if (c > 0) line += ',';
          line += CsvField(row.columns[static_cast<std::size_t>(c)]);
        }
        std::fprintf(out, "%s\r\n", Shown(line, format).c_str());
      }
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
    for (const std::string& line : lines) std::fprintf(out, "%s\n", Shown(line, format).c_str());
    return;
  }
  std::fputs("[", out);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::fprintf(out, "%s\n  %s", i == 0 ? "" : ",", clitext::JsonString(cp932::ToUtf8(lines[i])).c_str());
  }
  std::fputs(lines.empty() ? "]\n" : "\n]\n", out);
}

}  // namespace tovra::cli
