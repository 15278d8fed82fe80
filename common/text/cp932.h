// CP932 (Shift-JIS) text at the edges of the system, and the character helpers that keep
// byte-wise CP932 handling honest (no hit that starts on a trail byte, no cut inside a character).
//
// Everything inside the engines is CP932 bytes. Conversion happens only where text meets a
// person: the Qt front ends (UTF-8/QString) and the command-line tools (the terminal's charset).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cp932 {

// True for a byte that starts a double-byte CP932 character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A character's code: the byte of a single-byte character, lead * 256 + trail of a
// double-byte one. CodeOf takes a generated one-character text constant.
template <std::size_t N>
constexpr unsigned CodeOf(const char (&text)[N]) {
  static_assert(N == 2 || N == 3, "one character");
  const auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(text[i])); };
  return N == 2 ? byte(0) : byte(0) * 256u + byte(1);
}

// Calls each(code, bytes) for every character of `text`, by the code above; a lead byte at
// the very end stands alone.
template <typename Each>
void ForEachChar(std::string_view text, Each each) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const bool pair = IsLeadByte(lead) && i + 1 < text.size();
    const unsigned code = pair ? lead * 256u + static_cast<unsigned char>(text[i + 1]) : lead;
    each(code, text.substr(i, pair ? 2 : 1));
    i += pair ? 2 : 1;
  }
}

// Appends the character `code` (as CodeOf gives it) to `out`.
inline void AppendChar(std::string& out, unsigned code) {
  if (code > 0xFF) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

// The IBM extension form of a kanji of the NEC-selected IBM extensions (0xED40-0xEEEC), which
// holds the same kanji in the same order; any other code as it is. Conversion from Unicode
// gives the IBM form, so a table written in UTF-8 names these kanji by it.
constexpr unsigned IbmExtensionForm(unsigned code) {
  constexpr unsigned kNecFirst = 0xED40, kNecLast = 0xEEEC, kIbmFirst = 0xFA40;
  constexpr unsigned kIbmKanjiOffset = 28;  // Roman numerals and signs come before the kanji
  if (code < kNecFirst || code > kNecLast) return code;
  // Characters of a lead byte in order: trails 0x40-0x7E and 0x80-0xFC, 188 of them.
  const auto index = [](unsigned c) { return (c >> 8) * 188 + (c & 0xFF) - ((c & 0xFF) < 0x80 ? 0x40 : 0x41); };
  const unsigned at = index(code) - index(kNecFirst) + index(kIbmFirst) + kIbmKanjiOffset;
  const unsigned trail = at % 188;
  return (at / 188) << 8 | (trail + (trail < 0x3F ? 0x40 : 0x41));
}

// Length of the longest prefix of `text` of at most `max_bytes` bytes that does not end
// inside a double-byte character.
std::size_t BoundaryAtOrBefore(std::string_view text, std::size_t max_bytes);

// Position of the first occurrence of `needle` in `haystack` that starts and ends on a
// character boundary, or npos. An empty needle is found at 0.
std::size_t Find(std::string_view haystack, std::string_view needle);
inline bool Contains(std::string_view haystack, std::string_view needle) {
  return Find(haystack, needle) != std::string_view::npos;
}
// Whether `text` ends in `tail` starting on a character boundary (ソ, 0x83 0x5C, does not end
// in a backslash).
inline bool EndsWith(std::string_view text, std::string_view tail) {
  return text.ends_with(tail) && BoundaryAtOrBefore(text, text.size() - tail.size()) == text.size() - tail.size();
}

// The names of a "$"-terminated name list ("名前$名前$") in order, as views into it; "$$"
// gives an empty name. '$' is never a trail byte of CP932, so the list splits bytewise.
std::vector<std::string_view> SplitNameList(std::string_view list);

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF).
bool IsUtf8(std::string_view text);

// CP932 -> UTF-8. Bytes that do not convert become U+FFFD; never fails.
std::string ToUtf8(std::string_view cp932_text);
// ToUtf8 of each text, in one call of the converter: a call costs more than the conversion
// of a short field, and output converts many fields at a time.
std::vector<std::string> ToUtf8Each(std::span<const std::string_view> cp932_texts);
// UTF-8 -> CP932. nullopt when some character has no CP932 form (or the input is not UTF-8).
std::optional<std::string> FromUtf8(std::string_view utf8_text);
// UTF-8 -> CP932 for text that is read rather than matched whole (a written address): a dash
// without a CP932 form (— – ‑ ⁃ …) becomes "-", a wave dash "～", any other such character or
// byte "〓", so that the rest of the text still counts.
std::string FromUtf8Lenient(std::string_view utf8_text);

// The terminal's charset (nl_langinfo(CODESET) after setlocale(LC_CTYPE, "")), UTF-8 when
// the locale is C/POSIX, CP932 when it is Shift_JIS (glibc's SHIFT_JIS lacks ～ and －, which
// a Shift_JIS terminal shows from the CP932 bytes). Call InitLocale() once at the start of a
// command-line tool.
void InitLocale();
std::string LocaleCharset();
// CP932 -> terminal charset; unconvertible characters become U+FFFD, or where the terminal
// charset cannot show U+FFFD either, their JIS form (～ U+FF5E as 〜 U+301C, － as −, ∥, ￠,
// ￡, ￢ likewise) or one '?' per character.
std::string ToLocale(std::string_view cp932_text);
// UTF-8 -> terminal charset, the same way.
std::string Utf8ToLocale(std::string_view utf8_text);
// Terminal charset -> CP932; nullopt when the text does not convert.
std::optional<std::string> FromLocale(std::string_view locale_text);

}  // namespace cp932
