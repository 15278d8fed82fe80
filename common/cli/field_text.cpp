#include "field_text.h"

#include <cstdio>
#include <vector>

#include "cp932.h"

namespace clitext {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The fields are converted on their own (in one call for all of them): joined first, a TAB or
// comma inside a field could no longer be told from the separator.
template <typename Field>
std::string Lines(std::span<const std::span<const std::string>> rows, char separator, std::string_view eol,
                  Field field) {
  std::vector<std::string_view> texts;
  for (std::span<const std::string> row : rows) texts.insert(texts.end(), row.begin(), row.end());
  const std::vector<std::string> utf8 = cp932::ToUtf8Each(texts);
  std::string lines;
  std::size_t k = 0;
  for (std::span<const std::string> row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i, ++k) {
      if (i > 0) lines += separator;
      lines += field(utf8[k]);
    }
    lines += eol;
  }
  return cp932::Utf8ToLocale(lines);
}

}  // namespace

std::string TsvField(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\\': out += "\\\\"; break;
      default:
        if (IsControl(static_cast<unsigned char>(c))) {
          out += kReplacement;
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string CsvField(std::string_view utf8) {
  const bool quoted = utf8.find_first_of(",\"\r\n") != std::string_view::npos;
  std::string out = quoted ? "\"" : "";
  for (char c : utf8) {
    if (c == '"') {
      out += "\"\"";
    } else if (IsControl(static_cast<unsigned char>(c)) && c != '\r' && c != '\n') {
      out += kReplacement;
    } else {
      out += c;
    }
  }
  if (quoted) out += '"';
  return out;
}

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (IsControl(c)) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string TsvLine(std::span<const std::string> cp932_fields) { return Lines({&cp932_fields, 1}, '\t', "", TsvField); }

std::string CsvLine(std::span<const std::string> cp932_fields) { return Lines({&cp932_fields, 1}, ',', "", CsvField); }

std::string TsvLines(std::span<const std::span<const std::string>> rows, std::string_view eol) {
  return Lines(rows, '\t', eol, TsvField);
}

std::string CsvLines(std::span<const std::span<const std::string>> rows, std::string_view eol) {
  return Lines(rows, ',', eol, CsvField);
}

}  // namespace clitext
