#include "field_text.h"

#include <cstdio>

#include "cp932.h"

namespace clitext {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Each field converted on its own: joined first, a TAB or comma inside a field could no
// longer be told from the separator.
template <typename Field>
std::string Line(std::span<const std::string> cp932_fields, char separator, Field field) {
  std::string line;
  for (std::size_t i = 0; i < cp932_fields.size(); ++i) {
    if (i > 0) line += separator;
    line += field(cp932::ToUtf8(cp932_fields[i]));
  }
  return cp932::Utf8ToLocale(line);
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

std::string TsvLine(std::span<const std::string> cp932_fields) { return Line(cp932_fields, '\t', TsvField); }

std::string CsvLine(std::span<const std::string> cp932_fields) { return Line(cp932_fields, ',', CsvField); }

}  // namespace clitext
