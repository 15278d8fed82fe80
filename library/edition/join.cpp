// How a postal row meets the address records of its local government. The records of one
// code are either the whole code, or parts given as towns (and chome) that a part covers
// ("…に限る。"), excludes ("…を除く。") or, in 2003, the rest no other record covers. A postal
// row that names a town only partly covered (chome the postal file does not tell apart)
// gets every MA that serves part of it.
#include "join.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "cp932.h"
#include "lookup/bounded_text.h"
#include "lookup/lookup.h"
#include "tables/texts_data.h"

namespace meklan {
namespace {

// CP932 texts of the postal files.
constexpr std::string_view kCatchAll = text::kTownCatchAll;
constexpr std::string_view kOpen = text::kTownOpen;
constexpr std::string_view kClose = text::kTownClose;
constexpr std::string_view kChome = text::kChome;
constexpr std::string_view kRange = text::kChomeRange;
constexpr std::string_view kComma = text::kTownComma;
constexpr std::string_view kDot = text::kTownDot;
constexpr std::string_view kSlash = "/";

constexpr std::string_view kFullWidthDigits = text::kFullWidthDigits;  // ０ .. ９
constexpr std::string_view kKanjiDigits = text::kKanjiDigits;          // 一 .. 九
constexpr std::string_view kKanjiTen = text::kKanjiTen;
constexpr std::string_view kOaza = text::kOaza;
constexpr std::string_view kAza = text::kAza;
constexpr std::uint64_t kUnnamedPart = 1;                // chome bit 0, see PartTown

// True when a character starts at `offset` of `text` (or offset is its end).
bool IsCharacterBoundary(std::string_view text, std::size_t offset) {
  std::size_t i = 0;
  while (i < offset) i += cp932::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i == offset;
}

// Offset of `what` in `text` at a character boundary, or npos.
std::size_t FindCharacter(std::string_view text, std::string_view what) {
  for (std::size_t i = 0; i < text.size();) {
    if (text.substr(i, what.size()) == what) return i;
    i += cp932::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  }
  return std::string_view::npos;
}

// The place of the double-byte letter at the start of `text` in `letters`, or -1.
int LetterIndex(std::string_view text, std::string_view letters) {
  if (text.size() < 2) return -1;
  for (std::size_t i = 0; i + 2 <= letters.size(); i += 2) {
    if (text.substr(0, 2) == letters.substr(i, 2)) return static_cast<int>(i / 2);
  }
  return -1;
}

// A number written in kanji ("三", "十二", "二十", "二十三") at the start of `text`.
std::size_t KanjiNumber(std::string_view text, int& value) {
  std::size_t n = 0;
  int tens = 0;
  int ones = LetterIndex(text, kKanjiDigits) + 1;
  if (ones > 0) n += 2;
  if (text.substr(n, kKanjiTen.size()) == kKanjiTen) {
    tens = n > 0 ? ones : 1;
    n += kKanjiTen.size();
    ones = LetterIndex(text.substr(n), kKanjiDigits) + 1;
    if (ones > 0) n += 2;
  }
  value = tens * 10 + ones;
  return n;
}

// A chome number at the start of `text`: full-width digits ("１２", as the postal files
// write it), ASCII digits ("12") or kanji ("十二"); its length in bytes, 0 for none.
std::size_t ChomeNumber(std::string_view text, int& value) {
  std::size_t n = 0;
  value = 0;
  for (;;) {
    int digit = LetterIndex(text.substr(n), kFullWidthDigits);
    std::size_t width = 2;
    if (digit < 0 && n < text.size() && text[n] >= '0' && text[n] <= '9') {
      digit = text[n] - '0';
      width = 1;
    }
    if (digit < 0) break;
    value = value * 10 + digit;
    n += width;
    if (value > 63) return 0;
  }
  if (n == 0) n = KanjiNumber(text, value);
  return value <= 63 ? n : 0;
}

// "１～３丁目", "１、２丁目", "１丁目・３丁目": the whole text must be chome, else 0.
std::uint64_t ChomeList(std::string_view text) {
  std::uint64_t chome = 0;
  int range_start = -1;
  bool any = false;
  while (!text.empty()) {
    int value = 0;
    std::size_t n = ChomeNumber(text, value);
    if (n == 0 || value == 0) return 0;
    text.remove_prefix(n);
    if (range_start > 0) {
      if (value < range_start) return 0;
      for (int c = range_start; c <= value; ++c) chome |= std::uint64_t{1} << c;
      range_start = -1;
    } else {
      chome |= std::uint64_t{1} << value;
    }
    if (text.substr(0, kChome.size()) == kChome) {
      text.remove_prefix(kChome.size());
      any = true;
    }
    if (text.empty()) break;
    if (text.substr(0, kRange.size()) == kRange) {
      range_start = value;
    } else if (text.substr(0, 2) != kComma && text.substr(0, 2) != kDot) {
      return 0;
    }
    text.remove_prefix(2);
  }
  return any && range_start < 0 ? chome : 0;
}

enum Coverage { kNone = 0, kPartly = 1, kFully = 2 };

// A postal row's town: "天売（相影）" -> base 天売, placed 天売相影; "石神（１～３丁目）" ->
// base 石神, chome 1..3.
struct RowTown {
  std::string_view base;
  std::string placed;
  std::uint64_t chome = 0;
};

// The list and the postal file write some letters of one name in two ways (ヶ and ケ, 館 and
// 舘): each is compared as the letter letter_variants.tsv folds it to.
std::string_view FoldedLetter(std::string_view letter) {
  for (int i = 0; i < kLetterVariantCount; ++i) {
    if (letter == kLetterVariants[i].letter) return kLetterVariants[i].sameAs;
  }
  return letter;
}

// The texts are equal character by character (CP932), variant letters alike.
bool SameName(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size()) {
    std::size_t n = cp932::IsLeadByte(static_cast<unsigned char>(a[i])) ? 2 : 1;
    std::size_t m = cp932::IsLeadByte(static_cast<unsigned char>(b[i])) ? 2 : 1;
    if (n != m || FoldedLetter(a.substr(i, n)) != FoldedLetter(b.substr(i, m))) return false;
    i += n;
  }
  return i == a.size() && i == b.size();
}

bool EndsWithFormerMunicipality(std::string_view text) {
  if (text.size() < 2 || !IsCharacterBoundary(text, text.size() - 2)) return false;
  std::string_view last = text.substr(text.size() - 2);
  for (int i = 0; i < kFormerMunicipalityMarkCount; ++i) {
    if (last == kFormerMunicipalityMarks[i]) return true;
  }
  return false;
}

// A JIGYOSYO town field may start with 大字 or 字 ("大字上野"), which the list and KEN_ALL
// never write: the name is what follows.
std::string_view WithoutAza(std::string_view town) {
  for (std::string_view mark : {kOaza, kAza}) {
    if (town.size() > mark.size() && town.substr(0, mark.size()) == mark) return town.substr(mark.size());
  }
  return town;
}

// Whole names only ("佐原" is not "佐原下手"); a former municipality marked `under` also
// covers the towns written under it, and a town named without the former municipality the
// postal file writes before it ("秋月" for "土成町秋月") is the same town.
bool NameMatches(const PartTown& t, std::string_view name) {
  std::string_view town(t.town);
  if (name.size() < town.size()) return false;
  if (SameName(name.substr(0, town.size()), town) && IsCharacterBoundary(name, town.size())) {
    if (name.size() == town.size() || t.under != 0) return true;
  }
  std::size_t head = name.size() - town.size();
  return head > 0 && IsCharacterBoundary(name, head) && SameName(name.substr(head), town) &&
         EndsWithFormerMunicipality(name.substr(0, head));
}

// How much of the row's town the listed towns cover. The row is known by its name and, when
// the postal file writes a place in brackets ("天売（相影）"), by the name with that place.
Coverage ListCoverage(const Edition& e, const AddressPart& p, const RowTown& row) {
  std::uint64_t listed = 0;
  for (int i = 0; i < p.townCount; ++i) {
    const PartTown& t = e.towns[p.firstTown + i];
    if (!NameMatches(t, row.base) && (row.placed.empty() || !NameMatches(t, row.placed))) continue;
    if (t.chome == 0) return kFully;
    listed |= t.chome;
  }
  if (listed == 0) return kNone;
  if (row.chome == 0 || (listed & kUnnamedPart) != 0) return kPartly;
  if ((row.chome & ~listed) == 0) return kFully;
  return (row.chome & listed) == 0 ? kNone : kPartly;
}

Coverage RecordCoverage(const Edition& e, const AddressPart& p, const RowTown& row) {
  switch (p.mode) {
    case PartMode::kWhole:
      return kFully;
    case PartMode::kOnly:
      return ListCoverage(e, p, row);
    case PartMode::kExcept: {
      Coverage listed = ListCoverage(e, p, row);
      return listed == kFully ? kNone : listed == kNone ? kFully : kPartly;
    }
    case PartMode::kRest:
      break;
  }
  return kNone;  // the rest: decided from the others
}

// The records of `code`: a range of edition.byCode.
std::pair<const int*, const int*> RecordsOf(const Edition& e, const char* code) {
  const int* begin = e.byCode;
  const int* end = e.byCode + e.addressCount;
  auto less = [&](int index, const char* key) { return std::strcmp(e.address[index].dantaiCode, key) < 0; };
  const int* first = std::lower_bound(begin, end, code, less);
  const int* last = first;
  while (last != end && std::strcmp(e.address[*last].dantaiCode, code) == 0) ++last;
  return {first, last};
}

void AddRecord(const Edition& e, int address_index, MKJOIN& result) {
  int ma = e.parts[address_index].ma;
  for (int i = 0; i < result.count; ++i) {
    if (result.maIndex[i] == ma) return;
  }
  if (result.count < MEKLAN_JOIN_MAX) result.maIndex[result.count++] = ma;
}

// "浜松/天竜" and "053-[…]/0539-[…]": each piece whole or not at all.
void WriteTexts(const Edition& e, MKJOIN& result) {
  BoundedText names(result.maNames, sizeof result.maNames);
  BoundedText codes(result.areaCodes, sizeof result.areaCodes);
  for (int i = 0; i < result.count; ++i) {
    const MKMA& r = e.ma[result.maIndex[i]];
    std::string_view separator = i > 0 ? kSlash : std::string_view("");
    // One MA may serve on two codes (武蔵野三鷹 on 0422 and 042): its name stands once.
    bool named = false;
    for (int j = 0; j < i; ++j) named = named || std::strcmp(e.ma[result.maIndex[j]].maName, r.maName) == 0;
    if (!named) names.Append({names.Empty() ? std::string_view("") : kSlash, r.maName});
    char digits[24];
    std::string_view code(digits, FormatDecimal(r.areaCode, digits));
    if (r.prefixList[0] != '\0' && r.prefixList[1] != '*') {
      codes.Append({separator, "0", code, "-[", FormatPrefixRanges(r.prefixList), "]"});
    } else {
      codes.Append({separator, "0", code});
    }
  }
}

RowTown ReadRowTown(std::string_view field, const char* street) {
  RowTown row;
  std::size_t open = FindCharacter(field, kOpen);
  row.base = field.substr(0, open);
  row.chome = PostalChome(field.data());  // field is the caller's NUL-terminated town
  if (row.chome == 0) row.chome = PostalChome(street);
  if (open != std::string_view::npos && row.chome == 0) {
    std::string_view inner = field.substr(open + kOpen.size());
    std::size_t close = FindCharacter(inner, kClose);
    inner = inner.substr(0, close);
    // A single place name; lists ("（旭台、上東）") and notes ("（その他）") name no one town.
    if (close != std::string_view::npos && FindCharacter(inner, kComma) == std::string_view::npos &&
        FindCharacter(inner, kDot) == std::string_view::npos) {
      row.placed = std::string(row.base) + std::string(inner);
    }
  }
  return row;
}

}  // namespace

std::uint64_t PostalChome(const char* text) {
  if (text == nullptr) return 0;
  std::string_view t(text);
  std::size_t open = FindCharacter(t, kOpen);
  if (open != std::string_view::npos) {
    std::string_view inner = t.substr(open + kOpen.size());
    std::size_t close = FindCharacter(inner, kClose);
    return close == std::string_view::npos ? 0 : ChomeList(inner.substr(0, close));
  }
  // A street: "２丁目３－４" names its chome; "３－４" does not.
  int value = 0;
  std::size_t n = ChomeNumber(t, value);
  if (n == 0 || value == 0 || t.substr(n, kChome.size()) != kChome) return 0;
  return std::uint64_t{1} << value;
}

void JoinTown(const Edition& e, const char* code, const char* town, const char* street, MKJOIN& result) {
  std::memset(&result, 0, sizeof result);
  result.how = MEKLAN_JOIN_NONE;
  if (code == nullptr || town == nullptr) return;
  auto [first, last] = RecordsOf(e, code);
  if (first == last) return;
  std::string_view field(town);
  if (last - first == 1 && e.parts[*first].mode == PartMode::kWhole) {
    AddRecord(e, *first, result);
    result.how = MEKLAN_JOIN_WHOLE;
  } else if (field == kCatchAll) {
    // The rows of a divided municipality that the postal file does not name are those of
    // the parts written as "all but …" (or, in 2003, the rest), and of the parts naming a
    // town the postal file does not list.
    for (const int* p = first; p != last; ++p) {
      const AddressPart& part = e.parts[*p];
      if (part.mode == PartMode::kExcept || part.mode == PartMode::kRest || part.unlistedTowns != 0) AddRecord(e, *p, result);
    }
    if (result.count == 0) {
      for (const int* p = first; p != last; ++p) AddRecord(e, *p, result);
    }
    result.how = MEKLAN_JOIN_CATCH_ALL;
  } else {
    RowTown row = ReadRowTown(WithoutAza(field), street);
    Coverage others = kNone;
    for (const int* p = first; p != last; ++p) {
      Coverage c = RecordCoverage(e, e.parts[*p], row);
      others = std::max(others, c);
      if (c != kNone) AddRecord(e, *p, result);
    }
    Coverage rest = others == kFully ? kNone : others == kPartly ? kPartly : kFully;
    for (const int* p = first; p != last; ++p) {
      if (e.parts[*p].mode == PartMode::kRest && rest != kNone) AddRecord(e, *p, result);
    }
    if (result.count > 0) result.how = result.count > 1 ? MEKLAN_JOIN_STRADDLING : MEKLAN_JOIN_PART;
  }
  WriteTexts(e, result);
}

}  // namespace meklan
