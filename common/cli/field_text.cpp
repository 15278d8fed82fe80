#include "field_text.h"

#include <cstdio>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <vector>

#include "cp932.h"

namespace clitext {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The first position from `i` on of a block of 16 bytes that holds a control character, DEL or
// `extra`; most fields hold none, and are passed over whole.
std::size_t SkipPlainBlocks(std::string_view s, std::size_t i, char extra) {
#if defined(__SSE2__)
  const __m128i control = _mm_set1_epi8(0x1F), del = _mm_set1_epi8(0x7F), other = _mm_set1_epi8(extra);
  for (; i + 16 <= s.size(); i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(v, control), v),
                                     _mm_or_si128(_mm_cmpeq_epi8(v, del), _mm_cmpeq_epi8(v, other)));
    if (_mm_movemask_epi8(hit) != 0) break;
  }
#endif
  return i;
}

// Appends `utf8` with `escape` applied to each byte it asks for (`special`: control characters,
// DEL and `extra` among them); the stretches between such bytes, nearly all of a field, are
// copied whole.
template <typename Special, typename Escape>
void AppendEscaped(std::string& out, std::string_view utf8, char extra, Special special, Escape escape) {
  std::size_t from = 0;
  for (std::size_t i = SkipPlainBlocks(utf8, 0, extra); i < utf8.size(); ++i) {
    if (!special(static_cast<unsigned char>(utf8[i]))) continue;
    out.append(utf8.substr(from, i - from));
    escape(out, utf8[i]);
    from = i + 1;
  }
  out.append(utf8.substr(from));
}

void AppendTsvField(std::string& out, std::string_view utf8) {
  AppendEscaped(
      out, utf8, '\\', [](unsigned char c) { return IsControl(c) || c == '\\'; },
      [](std::string& o, char c) {
        switch (c) {
          case '\t': o += "\\t"; break;
          case '\r': o += "\\r"; break;
          case '\n': o += "\\n"; break;
          case '\\': o += "\\\\"; break;
          default: o += kReplacement;
        }
      });
}

void AppendCsvField(std::string& out, std::string_view utf8) {
  const bool quoted = utf8.find_first_of(",\"\r\n") != std::string_view::npos;
  if (quoted) out += '"';
  AppendEscaped(
      out, utf8, '"', [](unsigned char c) { return c == '"' || (IsControl(c) && c != '\r' && c != '\n'); },
      [](std::string& o, char c) { o += c == '"' ? std::string_view("\"\"") : kReplacement; });
  if (quoted) out += '"';
}

// The fields are converted on their own (in one call for all of them): joined first, a TAB or
// comma inside a field could no longer be told from the separator.
template <typename AppendField>
std::string Lines(std::span<const std::span<const std::string>> rows, char separator, std::string_view eol,
                  AppendField append_field) {
  std::vector<std::string_view> texts;
  for (std::span<const std::string> row : rows) texts.insert(texts.end(), row.begin(), row.end());
  const std::vector<std::string> utf8 = cp932::ToUtf8Each(texts);
  std::string lines;
  std::size_t size = 0;
  for (const std::string& u : utf8) size += u.size() + 1;
  lines.reserve(size + rows.size() * eol.size());
  std::size_t k = 0;
  for (std::span<const std::string> row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i, ++k) {
      if (i > 0) lines += separator;
      append_field(lines, utf8[k]);
    }
    lines += eol;
  }
  return cp932::Utf8ToLocale(lines);
}

}  // namespace

std::string TsvField(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendTsvField(out, utf8);
  return out;
}

std::string CsvField(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  AppendCsvField(out, utf8);
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

std::string TsvLine(std::span<const std::string> cp932_fields) { return TsvLines({&cp932_fields, 1}, ""); }

std::string CsvLine(std::span<const std::string> cp932_fields) { return CsvLines({&cp932_fields, 1}, ""); }

std::string TsvLines(std::span<const std::span<const std::string>> rows, std::string_view eol) {
  return Lines(rows, '\t', eol, AppendTsvField);
}

std::string CsvLines(std::span<const std::span<const std::string>> rows, std::string_view eol) {
  return Lines(rows, ',', eol, AppendCsvField);
}

}  // namespace clitext
