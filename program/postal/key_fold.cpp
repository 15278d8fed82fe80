#include "key_fold.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "cp932.h"
#include "characters_data.h"
#include "searches.h"

namespace tovra {
namespace {

using cp932::CodeOf;

constexpr unsigned kFullSpace = CodeOf(character::kFullSpace);
constexpr unsigned kMiddleDot = CodeOf(character::kMiddleDot);
constexpr unsigned kVoicedMark = CodeOf(character::kVoicedMark);
constexpr unsigned kSemiVoiced = CodeOf(character::kSemiVoicedMark);
constexpr unsigned kLongVowel = CodeOf(character::kLongVowel);
constexpr unsigned kHorizontalBar = CodeOf(character::kHorizontalBar);
constexpr unsigned kHyphen = CodeOf(character::kHyphen);
constexpr unsigned kOpenParen = CodeOf(character::kOpenParen);
constexpr unsigned kCloseParen = CodeOf(character::kCloseParen);
constexpr unsigned kFullPlus = CodeOf(character::kFullPlus);
constexpr unsigned kFullMinus = CodeOf(character::kFullMinus);
constexpr unsigned kPostMark = CodeOf(character::kPostMark);
constexpr unsigned kIdeographicComma = CodeOf(character::kIdeographicComma);
constexpr unsigned kFullZero = CodeOf(character::kFullZero);
constexpr unsigned kHiraganaFirst = CodeOf(character::kHiraganaFirst);
constexpr unsigned kHiraganaLast = CodeOf(character::kHiraganaLast);
constexpr unsigned kKatakanaFirst = CodeOf(character::kKatakanaFirst);
constexpr unsigned kKatakanaLast = CodeOf(character::kKatakanaLast);
constexpr unsigned kSmallKe = CodeOf(character::kSmallKe);
constexpr unsigned kKe = CodeOf(character::kKe);
constexpr unsigned kGa = CodeOf(character::kGa);
constexpr unsigned kHalfLongVowel = CodeOf(character::kHalfLongVowel);
// Lead bytes from here on start kanji (JIS level 1 and 2, and the extensions after them).
constexpr unsigned char kFirstKanjiLead = 0x88;

// The katakana ァ to ヶ in their order (which is also the order of the hiragana ぁ to ん) in
// half-width form. Half-width katakana U+FF61..U+FF9F are the single bytes 0xA1..0xDF.
constexpr std::array<std::u16string_view, 86> kHalfWidthKatakana = {
    u"ｧ", u"ｱ", u"ｨ", u"ｲ", u"ｩ", u"ｳ", u"ｪ", u"ｴ", u"ｫ", u"ｵ",
    u"ｶ", u"ｶﾞ", u"ｷ", u"ｷﾞ", u"ｸ", u"ｸﾞ", u"ｹ", u"ｹﾞ", u"ｺ", u"ｺﾞ",
    u"ｻ", u"ｻﾞ", u"ｼ", u"ｼﾞ", u"ｽ", u"ｽﾞ", u"ｾ", u"ｾﾞ", u"ｿ", u"ｿﾞ",
    u"ﾀ", u"ﾀﾞ", u"ﾁ", u"ﾁﾞ", u"ｯ", u"ﾂ", u"ﾂﾞ", u"ﾃ", u"ﾃﾞ", u"ﾄ", u"ﾄﾞ",
    u"ﾅ", u"ﾆ", u"ﾇ", u"ﾈ", u"ﾉ",
    u"ﾊ", u"ﾊﾞ", u"ﾊﾟ", u"ﾋ", u"ﾋﾞ", u"ﾋﾟ", u"ﾌ", u"ﾌﾞ", u"ﾌﾟ", u"ﾍ", u"ﾍﾞ", u"ﾍﾟ", u"ﾎ", u"ﾎﾞ", u"ﾎﾟ",
    u"ﾏ", u"ﾐ", u"ﾑ", u"ﾒ", u"ﾓ", u"ｬ", u"ﾔ", u"ｭ", u"ﾕ", u"ｮ", u"ﾖ",
    u"ﾗ", u"ﾘ", u"ﾙ", u"ﾚ", u"ﾛ", u"ﾜ", u"ﾜ", u"ｲ", u"ｴ", u"ｦ", u"ﾝ", u"ｳﾞ", u"ｶ", u"ｹ",
};

// Half-width small kana ｧｨｩｪｫｬｭｮｯ (0xA7..0xAF) as the large ones JIGYOSYO.CSV writes.
constexpr std::u16string_view kLargeForSmall = u"ｱｲｳｴｵﾔﾕﾖﾂ";

char HalfWidthByte(char16_t c) { return static_cast<char>(0xA1 + (c - u'｡')); }

void AppendHalfWidth(std::string& out, std::u16string_view text) {
  for (char16_t c : text) out += HalfWidthByte(c);
}

bool IsFullDigit(unsigned code) { return code >= kFullZero && code <= kFullZero + 9; }
bool IsBlank(unsigned code) { return code == ' ' || code == '\t' || code == kFullSpace; }

// Index of a hiragana or full-width katakana into kHalfWidthKatakana, or -1.
int KanaIndex(unsigned code) {
  if (code >= kHiraganaFirst && code <= kHiraganaLast) return static_cast<int>(code - kHiraganaFirst);
  if (code >= kKatakanaFirst && code <= kKatakanaLast) {
    // Trail byte 0x7F does not exist: the katakana skip it.
    const unsigned trail = code & 0xFF;
    return static_cast<int>(trail < 0x80 ? trail - 0x40 : trail - 0x41);
  }
  return -1;
}

std::string KanjiFieldForm(std::string_view term) {
  std::string out;
  cp932::ForEachChar(term, [&](unsigned code, std::string_view bytes) {
    unsigned full = 0;
    if (code >= '0' && code <= '9') full = kFullZero + (code - '0');
    if (code == '-') full = kFullMinus;
    if (full == 0) {
      out += bytes;
    } else {
      cp932::AppendChar(out, full);
    }
  });
  return out;
}

std::string ReadingForm(std::string_view term) {
  std::string out;
  cp932::ForEachChar(term, [&](unsigned code, std::string_view bytes) {
    if (const int k = KanaIndex(code); k >= 0) {
      AppendHalfWidth(out, kHalfWidthKatakana[static_cast<std::size_t>(k)]);
    } else if (IsFullDigit(code)) {
      out += static_cast<char>('0' + (code - kFullZero));
    } else if (code == kLongVowel) {
      out += static_cast<char>(kHalfLongVowel);
    } else if (code == kMiddleDot) {
      AppendHalfWidth(out, u"･");
    } else if (code == kVoicedMark) {
      AppendHalfWidth(out, u"ﾞ");
    } else if (code == kSemiVoiced) {
      AppendHalfWidth(out, u"ﾟ");
    } else if (code == kIdeographicComma) {
      AppendHalfWidth(out, u"､");
    } else if (code == kOpenParen) {
      out += '(';
    } else if (code == kCloseParen) {
      out += ')';
    } else if (code == kFullMinus) {
      out += '-';
    } else {
      out += bytes;
    }
  });
  return out;
}

std::string LargeKanaForm(std::string_view reading) {
  std::string out(reading);
  // Half-width kana are single bytes, never the trail of a double-byte character here: the
  // walk goes character by character.
  cp932::ForEachChar(reading, [&](unsigned code, std::string_view bytes) {
    if (code >= 0xA7 && code <= 0xAF) {
      out[static_cast<std::size_t>(bytes.data() - reading.data())] = HalfWidthByte(kLargeForSmall[code - 0xA7]);
    }
  });
  return out;
}

// The text with every character `code` written as the ASCII character `with`: a reading's
// long vowels "ｰ" as "-" (as many JIGYOSYO.CSV readings write them), a key's "＋" as "+".
std::string WithCharAsAscii(std::string_view text, unsigned code, char with) {
  std::string out;
  cp932::ForEachChar(text, [&](unsigned c, std::string_view bytes) {
    if (c == code) {
      out += with;
    } else {
      out += bytes;
    }
  });
  return out;
}

// The forms of a term with its blanks inside (ASCII and full-width alike) written each way:
// business names and readings write either. The term itself comes first.
std::vector<std::string> BlankForms(std::string_view term) {
  std::string ascii, full;
  cp932::ForEachChar(term, [&](unsigned code, std::string_view bytes) {
    if (code == ' ' || code == kFullSpace) {
      ascii += ' ';
      full += character::kFullSpace;
    } else {
      ascii += bytes;
      full += bytes;
    }
  });
  return {std::string(term), ascii, full};
}

// Whether a double-byte code is a kanji (JIS level 1 and 2, and the extensions after them).
bool IsKanji(unsigned code) { return (code >> 8) >= kFirstKanjiLead; }

// The forms of a term whose ヶ, ケ or が after a kanji (霞ヶ関, 霞が関, 霞ケ関: place names
// write all three) is written each of the three ways. The term itself comes first.
std::vector<std::string> KeForms(std::string_view term) {
  std::vector<std::string> forms = {std::string(term)};
  for (unsigned ke : {kSmallKe, kKe, kGa}) {
    std::string out;
    bool after_kanji = false;
    bool changed = false;
    cp932::ForEachChar(term, [&](unsigned code, std::string_view bytes) {
      const bool variant = code == kSmallKe || code == kKe || code == kGa;
      if (variant && after_kanji) {
        cp932::AppendChar(out, ke);
        changed = changed || code != ke;
      } else {
        out += bytes;
      }
      after_kanji = bytes.size() == 2 && IsKanji(code);
    });
    if (changed) forms.push_back(std::move(out));
  }
  return forms;
}

// What a code key is: a postal code has every dash form as "-" and may start with "〒"; the
// other codes know "－" alone.
enum class CodeKind { kPostCode, kOtherCode };

// Folds the characters of a code key.
std::string FoldCode(std::string_view typed, CodeKind kind) {
  const bool post_code = kind == CodeKind::kPostCode;
  std::string out;
  cp932::ForEachChar(typed, [&](unsigned code, std::string_view bytes) {
    if (IsFullDigit(code)) {
      out += static_cast<char>('0' + (code - kFullZero));
    } else if (code == kFullMinus ||
               (post_code && (code == kHyphen || code == kHorizontalBar || code == kLongVowel || code == kHalfLongVowel))) {
      out += '-';
    } else if (code == kFullSpace) {
      out += ' ';
    } else if (post_code && code == kPostMark) {
      out += ' ';
    } else {
      out += bytes;
    }
  });
  return std::string(TrimBlanks(out));
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  std::size_t from = 0;
  std::size_t to = 0;
  bool leading = true;
  cp932::ForEachChar(text, [&](unsigned code, std::string_view bytes) {
    const std::size_t at = static_cast<std::size_t>(bytes.data() - text.data());
    if (IsBlank(code)) {
      if (leading) from = at + bytes.size();
      return;
    }
    leading = false;
    to = at + bytes.size();
  });
  return to > from ? text.substr(from, to - from) : std::string_view();
}


std::string FoldPostCodeKey(std::string_view typed) {
  // "060 0001": blanks between digits are left out, as a hyphen there is joined.
  const std::string folded = FoldCode(typed, CodeKind::kPostCode);
  std::string out;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    if (folded[i] == ' ' && !out.empty() && std::isdigit(static_cast<unsigned char>(out.back()))) {
      std::size_t next = i;
      while (next < folded.size() && folded[next] == ' ') ++next;
      if (next < folded.size() && std::isdigit(static_cast<unsigned char>(folded[next]))) {
        i = next - 1;
        continue;
      }
    }
    out += folded[i];
  }
  return out;
}

std::string FoldCodeKey(std::string_view typed) { return FoldCode(typed, CodeKind::kOtherCode); }

std::vector<std::string> TermForms(std::string_view term, Readings readings) {
  term = TrimBlanks(term);
  if (term.empty()) return {};
  std::vector<std::string> candidates;
  for (const std::string& spaced : BlankForms(term)) {
    for (const std::string& typed : KeForms(spaced)) {
      candidates.push_back(typed);
      candidates.push_back(KanjiFieldForm(typed));
    }
    const std::string reading = ReadingForm(spaced);
    candidates.push_back(reading);
    if (readings == Readings::kJigyosyo) {
      candidates.push_back(LargeKanaForm(reading));
      candidates.push_back(WithCharAsAscii(candidates.back(), kHalfLongVowel, '-'));
    }
  }
  std::vector<std::string> forms;
  // The typed form first; the others only when they differ from every form before them.
  for (std::string& form : candidates) {
    if (std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(std::move(form));
  }
  return forms;
}

FoldedWords FoldWordKey(std::string_view key, Readings readings) {
  const SearchTerms terms = SplitSearchTerms(WithCharAsAscii(key, kFullPlus, '+'));
  FoldedWords folded{TermForms(terms.first, readings), TermForms(terms.second, readings)};
  if (folded.first.empty()) std::swap(folded.first, folded.second);
  return folded;
}

bool IsSearchKey(KeyKind kind, std::string_view key) {
  switch (kind) {
    case KeyKind::kPostCode: return !NormalisePostCodeKey(key).empty();
    case KeyKind::kWords: return !FoldWordKey(key, Readings::kJigyosyo).first.empty();
    case KeyKind::kDantai:
    case KeyKind::kAreaCode: return !FoldCodeKey(key).empty();
  }
  return false;
}

}  // namespace tovra
