// The key form of an address text: the one spelling that the town tables and a written address
// are both brought to before they are compared.
//
// People write the same address in many ways that KEN_ALL.CSV does not: digits in full width or
// kanji, ヶ/ケ/が, ノ/の, 大字 and 字 present or absent, blanks anywhere, dashes of every kind.
// Folding both sides the same way lets one byte comparison stand for all of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovra::resolve {

// The key form of a CP932 text:
// - blanks (ASCII, full width) and control characters are dropped, and so are bytes that are
//   not CP932 characters;
// - full-width digits and letters become ASCII, letters upper case;
// - runs of kanji numerals become decimal digits (二十三 -> 23, 二〇二 -> 202);
// - every dash (－ ‐ ― ─, and ー after a digit) becomes '-';
// - ヶ ヵ が ガ become ケ; の 之 become ノ; 髙 and 﨑 become 高 and 崎;
// - 大字 and 字 are dropped;
// - the street directions of Kyoto are written one way: 上ル -> 上る, 入ル / 入る -> 入.
// With `offsets`, each byte of the result gets the offset in `text` of the character it came
// from, and one more entry holds text.size(): the written text behind any part of the key form.
std::string FoldAddress(std::string_view text, std::vector<std::uint32_t>* offsets = nullptr);

// Decimal value of a run of ASCII digits at the start of `text` (at most 9 of them); the
// digits are taken off `text`. -1 when it does not start with a digit.
int TakeNumber(std::string_view& text);

// True when `text` starts with `word`; the word is then taken off.
bool TakeWord(std::string_view& text, std::string_view word);

}  // namespace tovra::resolve
