#include "address_fold.h"

#include <array>
#include <vector>

#include "characters_data.h"
#include "cp932.h"

namespace tovra::resolve {
namespace {

namespace ch = tovra::character;
using cp932::CodeOf;

// Characters that stand for another one: dashes, the variants of ケ and ノ in place names,
// and the kanji 髙 and 﨑 that the file writes 高 and 崎.
struct Replacement {
  unsigned from, to;
};
constexpr unsigned kKe = CodeOf(ch::kKe), kNo = CodeOf(ch::kNo);
constexpr Replacement kReplacements[] = {
    {CodeOf(ch::kFullMinus), '-'}, {CodeOf(ch::kHyphen), '-'}, {CodeOf(ch::kHorizontalBar), '-'},
    {CodeOf(ch::kBoxHorizontal), '-'}, {CodeOf(ch::kBoxHeavyHorizontal), '-'},
    {CodeOf(ch::kSmallKe), kKe}, {CodeOf(ch::kSmallKa), kKe}, {CodeOf(ch::kGa), kKe}, {CodeOf(ch::kGaKatakana), kKe},
    {CodeOf(ch::kNoHiragana), kNo}, {CodeOf(ch::kNoKanji), kNo},
    {CodeOf(ch::kTakaVariant), CodeOf(ch::kTaka)}, {CodeOf(ch::kSakiVariant), CodeOf(ch::kSaki)},
};

// Kanji numerals: a digit value 0..9, or a multiplier 10, 100, 1000 (as -10, -100, -1000).
struct Numeral {
  unsigned code;
  int value;
};
static_assert(sizeof ch::kKanjiDigits == 2 * 10 + 1 && sizeof ch::kKanjiPowers == 2 * 3 + 1, "double-byte");
constexpr auto kNumerals = [] {
  const auto code_at = [](const char* chars, std::size_t i) {
    return static_cast<unsigned char>(chars[2 * i]) * 256u + static_cast<unsigned char>(chars[2 * i + 1]);
  };
  std::array<Numeral, 13> numerals{};
  for (std::size_t i = 0; i < 10; ++i) numerals[i] = {code_at(ch::kKanjiDigits, i), static_cast<int>(i)};
  int multiplier = -10;
  for (std::size_t i = 0; i < 3; ++i, multiplier *= 10) numerals[10 + i] = {code_at(ch::kKanjiPowers, i), multiplier};
  return numerals;
}();

constexpr int kNotNumeral = 99;

int NumeralValue(unsigned code) {
  for (const Numeral& n : kNumerals)
    if (n.code == code) return n.value;
  return kNotNumeral;
}

// The NEC-selected forms of 髙 and 﨑 are replaced like the IBM forms the table names.
unsigned Replaced(unsigned code) {
  const unsigned named = cp932::IbmExtensionForm(code);
  for (const Replacement& r : kReplacements)
    if (r.from == named) return r.to;
  return code;
}

bool EndsWithDigit(const std::string& out) {
  return !out.empty() && out.back() >= '0' && out.back() <= '9';
}

// The value of a run of kanji numerals: positional when it holds 十, 百 or 千 (二十三 = 23),
// digit by digit otherwise (二〇二 = 202).
std::string NumeralRunText(const std::vector<int>& run) {
  bool positional = false;
  for (int v : run) positional = positional || v < 0;
  if (!positional) {
    std::string digits;
    for (int v : run) digits += static_cast<char>('0' + v);
    return digits;
  }
  long long total = 0, current = 0;
  for (int v : run) {
    if (v >= 0) {
      current = current * 10 + v;
    } else {
      total += (current == 0 ? 1 : current) * -v;
      current = 0;
    }
    if (total > 1000000000LL) break;  // a hostile run: nothing real is this long
  }
  return std::to_string(total + current);
}

// Folds one character (not a kanji numeral) into `out`.
void FoldChar(unsigned code, std::string& out) {
  constexpr unsigned full_zero = CodeOf(ch::kFullZero), full_upper_a = CodeOf(ch::kFullUpperA),
                 full_lower_a = CodeOf(ch::kFullLowerA), ru_katakana = CodeOf(ch::kRuKatakana),
                 ru_hiragana = CodeOf(ch::kRuHiragana);
  if (code < 0x21 || code == 0x7F || code == CodeOf(ch::kFullSpace)) return;  // blanks, control characters
  if (code >= 0x80 && code <= 0xFF && (code < 0xA1 || code > 0xDF)) return;  // no character
  if (code >= 'a' && code <= 'z') code -= 'a' - 'A';
  if (code >= full_zero && code < full_zero + 10) code = '0' + (code - full_zero);
  if (code >= full_upper_a && code < full_upper_a + 26) code = 'A' + (code - full_upper_a);
  if (code >= full_lower_a && code < full_lower_a + 26) code = 'A' + (code - full_lower_a);
  if ((code == CodeOf(ch::kLongVowel) || code == CodeOf(ch::kHalfLongVowel)) && EndsWithDigit(out)) code = '-';
  code = Replaced(code);
  if (code == CodeOf(ch::kAza)) {
    if (out.ends_with(ch::kOo)) out.resize(out.size() - 2);
    return;
  }
  if (code == ru_katakana && (out.ends_with(ch::kUp) || out.ends_with(ch::kDown))) code = ru_hiragana;
  if ((code == ru_katakana || code == ru_hiragana) && out.ends_with(ch::kEnter)) return;
  cp932::AppendChar(out, code);
}

}  // namespace

std::string FoldAddress(std::string_view text, std::vector<std::uint32_t>* offsets) {
  std::string out;
  out.reserve(text.size());
  std::vector<int> run;
  std::uint32_t run_start = 0;
  // Each byte of the key form keeps the offset of the character it came from.
  auto note = [&](std::uint32_t from) {
    if (offsets != nullptr) offsets->resize(out.size(), from);
  };
  auto flush_run = [&] {
    if (run.empty()) return;
    out += NumeralRunText(run);
    run.clear();
    note(run_start);
  };
  cp932::ForEachChar(text, [&](unsigned code, std::string_view bytes) {
    const auto at = static_cast<std::uint32_t>(bytes.data() - text.data());
    const int numeral = code > 0xFF ? NumeralValue(code) : kNotNumeral;
    if (numeral != kNotNumeral) {
      if (run.empty()) run_start = at;
      run.push_back(numeral);
      return;
    }
    flush_run();
    FoldChar(code, out);
    note(at);
  });
  flush_run();
  if (offsets != nullptr) offsets->push_back(static_cast<std::uint32_t>(text.size()));
  return out;
}

int TakeNumber(std::string_view& text) {
  std::size_t n = 0;
  int value = 0;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9') {
    if (n < 9) value = value * 10 + (text[n] - '0');
    ++n;
  }
  if (n == 0) return -1;
  text.remove_prefix(n);
  return value;
}

bool TakeWord(std::string_view& text, std::string_view word) {
  if (!text.starts_with(word)) return false;
  text.remove_prefix(word.size());
  return true;
}

}  // namespace tovra::resolve
