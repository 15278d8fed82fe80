#include "address_fold.h"

#include <vector>

namespace tovra::resolve {
namespace {

// Double-byte characters by their CP932 code.
constexpr unsigned kFullSpace = 0x8140;       // 　
constexpr unsigned kFullZero = 0x824F;        // ０
constexpr unsigned kFullUpperA = 0x8260;      // Ａ
constexpr unsigned kFullLowerA = 0x8281;      // ａ
constexpr unsigned kLongVowel = 0x815B;       // ー
constexpr unsigned kHalfLongVowel = 0xB0;     // ｰ
constexpr unsigned kKe = 0x8350;              // ケ
constexpr unsigned kNo = 0x836D;              // ノ
constexpr unsigned kAza = 0x8E9A;             // 字
constexpr unsigned kOo = 0x91E5;              // 大
constexpr unsigned kUp = 0x8FE3;              // 上
constexpr unsigned kDown = 0x89BA;            // 下
constexpr unsigned kEnter = 0x93FC;           // 入
constexpr unsigned kRuHiragana = 0x82E9;      // る
constexpr unsigned kRuKatakana = 0x838B;      // ル

// Characters that stand for another one.
struct Replacement {
  unsigned from, to;
};
constexpr Replacement kReplacements[] = {
    {0x817C, '-'},    // － (also what − becomes)
    {0x815D, '-'},    // ‐
    {0x815C, '-'},    // ―
    {0x849F, '-'},    // ─
    {0x84AA, '-'},    // ━
    {0x8396, kKe},    // ヶ
    {0x8395, kKe},    // ヵ
    {0x82AA, kKe},    // が
    {0x834B, kKe},    // ガ
    {0x82CC, kNo},    // の
    {0x9456, kNo},    // 之
    {0xEEE0, 0x8D82}, // 髙 (NEC selection) -> 高
    {0xFBFC, 0x8D82}, // 髙 (IBM extension) -> 高
    {0xED95, 0x8DE8}, // 﨑 (NEC selection) -> 崎
    {0xFAB1, 0x8DE8}, // 﨑 (IBM extension) -> 崎
};

// Kanji numerals: a digit value 0..9, or a multiplier 10, 100, 1000 (as -10, -100, -1000).
struct Numeral {
  unsigned code;
  int value;
};
constexpr Numeral kNumerals[] = {
    {0x815A, 0},  {0x88EA, 1},  {0x93F1, 2},  {0x8E4F, 3},   {0x8E6C, 4},    {0x8CDC, 5},   {0x985A, 6},
    {0x8EB5, 7},  {0x94AA, 8},  {0x8BE3, 9},  {0x8F5C, -10}, {0x9553, -100}, {0x90E7, -1000},
};

constexpr int kNotNumeral = 99;

int NumeralValue(unsigned code) {
  for (const Numeral& n : kNumerals)
    if (n.code == code) return n.value;
  return kNotNumeral;
}

unsigned Replaced(unsigned code) {
  for (const Replacement& r : kReplacements)
    if (r.from == code) return r.to;
  return code;
}

void Append(std::string& out, unsigned code) {
  if (code > 0xFF) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

bool EndsWith(const std::string& out, unsigned code) {
  return out.size() >= 2 && static_cast<unsigned char>(out[out.size() - 2]) * 256u +
                                     static_cast<unsigned char>(out[out.size() - 1]) ==
                                 code;
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
  if (code < 0x21 || code == 0x7F || code == kFullSpace) return;  // blanks, control characters
  if (code >= 0x80 && code <= 0xFF && (code < 0xA1 || code > 0xDF)) return;  // no character
  if (code >= 'a' && code <= 'z') code -= 'a' - 'A';
  if (code >= kFullZero && code < kFullZero + 10) code = '0' + (code - kFullZero);
  if (code >= kFullUpperA && code < kFullUpperA + 26) code = 'A' + (code - kFullUpperA);
  if (code >= kFullLowerA && code < kFullLowerA + 26) code = 'A' + (code - kFullLowerA);
  if ((code == kLongVowel || code == kHalfLongVowel) && EndsWithDigit(out)) code = '-';
  code = Replaced(code);
  if (code == kAza) {
    if (EndsWith(out, kOo)) out.resize(out.size() - 2);
    return;
  }
  if (code == kRuKatakana && (EndsWith(out, kUp) || EndsWith(out, kDown))) code = kRuHiragana;
  if ((code == kRuKatakana || code == kRuHiragana) && EndsWith(out, kEnter)) return;
  Append(out, code);
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
  ForEachCp932Char(text, [&](unsigned code, std::string_view bytes) {
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
