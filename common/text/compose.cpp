#include "compose.h"

#include <cstdint>

namespace cp932 {
namespace {

constexpr char32_t kVoicedMark = 0x3099;
constexpr char32_t kSemiVoicedMark = 0x309A;

// The code point starting at `i` (advanced past it); a byte that starts no valid sequence is
// returned as itself with the high bit marking it, so that it passes through unchanged.
char32_t Next(std::string_view s, std::size_t& i, std::size_t& width) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char lead = b(0);
  width = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (width == 0 || i + width > s.size()) {
    width = 1;
    return 0x80000000u | lead;
  }
  char32_t c = width == 1 ? lead : width == 2 ? (lead & 0x1Fu) : width == 3 ? (lead & 0x0Fu) : (lead & 0x07u);
  for (std::size_t k = 1; k < width; ++k) {
    if ((b(k) & 0xC0) != 0x80) {
      width = 1;
      return 0x80000000u | lead;
    }
    c = (c << 6) | (b(k) & 0x3Fu);
  }
  return c;
}

void Put(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHalfWidthKana(char32_t c) { return c >= 0xFF66 && c <= 0xFF9D; }

// The voiced form of a full-width kana (hiragana or katakana), or 0.
char32_t Voiced(char32_t c) {
  const char32_t hira = (c >= 0x30A1 && c <= 0x30FA) ? c - 0x60 : c;
  const bool katakana = hira != c;
  const bool ka_to_to = (hira >= 0x304B && hira <= 0x3062 && (hira - 0x304B) % 2 == 0) ||
                        hira == 0x3064 || hira == 0x3066 || hira == 0x3068;
  const bool ha_to_ho = hira >= 0x306F && hira <= 0x307B && (hira - 0x306F) % 3 == 0;
  if (ka_to_to || ha_to_ho) return c + 1;
  if (c == 0x3046) return 0x3094;                    // う
  if (c == 0x309D || c == 0x30FD) return c + 1;      // ゝ ヽ
  if (katakana && c == 0x30A6) return 0x30F4;        // ウ
  if (c >= 0x30EF && c <= 0x30F2) return c + 8;      // ワ ヰ ヱ ヲ
  return 0;
}

// The semi-voiced form of は…ほ / ハ…ホ, or 0.
char32_t SemiVoiced(char32_t c) {
  const char32_t hira = (c >= 0x30A1 && c <= 0x30FA) ? c - 0x60 : c;
  if (hira >= 0x306F && hira <= 0x307B && (hira - 0x306F) % 3 == 0) return c + 2;
  return 0;
}

// A character CP932 lacks, as the one users mean by it (0: as it is).
char32_t Cp932StandIn(char32_t c) {
  switch (c) {
    case 0x3094: return 0x30F4;  // ゔ as ヴ
    case 0x2013: return U'-';    // en dash as the ASCII hyphen, as FromUtf8Lenient reads it
    default: return 0;
  }
}

}  // namespace

std::string ComposeForCp932(std::string_view utf8_text) {
  std::string out;
  out.reserve(utf8_text.size());
  char32_t pending = 0;
  bool has_pending = false;
  auto flush = [&] {
    if (!has_pending) return;
    const char32_t stand_in = Cp932StandIn(pending);
    if ((pending & 0x80000000u) != 0) {
      out += static_cast<char>(pending & 0xFF);
    } else {
      Put(out, stand_in != 0 ? stand_in : pending);
    }
    has_pending = false;
  };
  for (std::size_t i = 0; i < utf8_text.size();) {
    std::size_t width = 0;
    const char32_t c = Next(utf8_text, i, width);
    i += width;
    if (has_pending && (c == kVoicedMark || c == kSemiVoicedMark)) {
      const char32_t composed = c == kVoicedMark ? Voiced(pending) : SemiVoiced(pending);
      if (composed != 0) {
        pending = composed;
        continue;
      }
      if (IsHalfWidthKana(pending)) {
        // Half-width kana take the half-width marks after them, as the files write them.
        flush();
        Put(out, c == kVoicedMark ? 0xFF9E : 0xFF9F);
        continue;
      }
    }
    flush();
    pending = c;
    has_pending = true;
  }
  flush();
  return out;
}

}  // namespace cp932
