#include "cp932.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// 表 is 0x95 0x5C: its trail byte is the ASCII backslash, the classic Shift-JIS trap.
const std::string kHyo = "\x95\x5C";
// ソ is 0x83 0x5C.
const std::string kSo = "\x83\x5C";

TEST(Cp932Find, NeverHitsOnATrailByte) {
  EXPECT_EQ(cp932::Find(kHyo, "\\"), std::string::npos);
  EXPECT_EQ(cp932::Find("a" + kHyo + "\\", "\\"), 3u);
  // 0x95 0x5C 0x83 0x5C: the bytes 0x5C 0x83 straddle two characters.
  EXPECT_EQ(cp932::Find(kHyo + kSo, "\x5C\x83"), std::string::npos);
  EXPECT_EQ(cp932::Find(kHyo + kSo, kSo), 2u);
  EXPECT_EQ(cp932::Find("abc", ""), 0u);
  EXPECT_FALSE(cp932::Contains("ab", "abc"));
}

TEST(Cp932Boundary, CutsBeforeADoubleByteCharacter) {
  const std::string text = "a" + kHyo + "b";  // 4 bytes
  EXPECT_EQ(cp932::BoundaryAtOrBefore(text, 0), 0u);
  EXPECT_EQ(cp932::BoundaryAtOrBefore(text, 1), 1u);
  EXPECT_EQ(cp932::BoundaryAtOrBefore(text, 2), 1u);  // would split 表
  EXPECT_EQ(cp932::BoundaryAtOrBefore(text, 3), 3u);
  EXPECT_EQ(cp932::BoundaryAtOrBefore(text, 99), 4u);
  // A dangling lead byte at the end counts as one byte.
  EXPECT_EQ(cp932::BoundaryAtOrBefore("a\x95", 5), 2u);
}

TEST(Cp932Convert, RoundTripsJapaneseAndTheWaveDash) {
  const std::string utf8 = "旭川～あさひかわ ｱｻﾋｶﾜ";
  auto sjis = cp932::FromUtf8(utf8);
  ASSERT_TRUE(sjis.has_value());
  EXPECT_NE(sjis->find("\x81\x60"), std::string::npos);  // U+FF5E is 0x8160 in CP932
  EXPECT_EQ(cp932::ToUtf8(*sjis), utf8);
}

TEST(Cp932Convert, BadBytesBecomeReplacementAndUnconvertibleInputIsRefused) {
  EXPECT_EQ(cp932::ToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(cp932::ToUtf8("a\x95"), "a\xEF\xBF\xBD");  // truncated character
  EXPECT_FALSE(cp932::FromUtf8("😀").has_value());
  EXPECT_FALSE(cp932::FromUtf8("\xC3").has_value());  // not UTF-8
}

// Converting many texts at once must give exactly what converting each on its own gives, bad
// bytes included: a lead byte that ends one text never takes the next text's first byte.
TEST(Cp932Convert, ManyTextsAtOnceAreEachTextOnItsOwn) {
  const std::vector<std::string> fixed = {
      "", "0600001", "\x96\x6B\x8A\x43\x93\xB9", "\xBB\xAF\xCE\xDF\xDB", "a\x95", "\x5C" "b", "\x95",
      "\x5C", "\xFF\x80\xA0", "\x81", "\x40", kHyo + kSo, "\xFD\xFE"};
  // Random texts over the bytes that matter: lead bytes, trail bytes, bytes that never
  // convert, half-width kana, ASCII.
  const std::string alphabet = "\x81\x95\x9F\xE0\xFC\x40\x5C\x7E\x80\xA0\xB1\xDF\xFD\xFF" "aZ0,";
  std::mt19937 random(7);
  std::vector<std::string> texts = fixed;
  for (int i = 0; i < 3000; ++i) {
    std::string t(random() % 9, ' ');
    for (char& c : t) c = alphabet[random() % alphabet.size()];
    texts.push_back(t);
  }
  std::vector<std::string_view> views(texts.begin(), texts.end());
  const std::vector<std::string> all = cp932::ToUtf8Each(views);
  ASSERT_EQ(all.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(all[i], cp932::ToUtf8(texts[i])) << i;

  // A text holding a NUL (which nothing in the files can) is still converted as on its own.
  const std::string with_nul("a\0\x95\x5C", 4);
  const std::vector<std::string_view> odd = {with_nul, "b"};
  EXPECT_EQ(cp932::ToUtf8Each(odd), (std::vector<std::string>{cp932::ToUtf8(with_nul), "b"}));
}

// A long text converts as its pieces do, bad bytes and all, in both directions.
TEST(Cp932Convert, LongTextsConvertWhole) {
  std::string text, expected;
  for (int i = 0; i < 5000; ++i) {
    const std::string piece = i % 7 == 0 ? std::string("\xFF") : i % 2 == 0 ? std::string("\xBB\xAF") : kHyo;
    text += piece;
    expected += cp932::ToUtf8(piece);
  }
  const std::string utf8 = cp932::ToUtf8(text);
  EXPECT_EQ(utf8, expected);
  std::string valid_utf8 = utf8;
  std::erase(valid_utf8, '\xEF');  // not a valid text any more: refused whole
  EXPECT_FALSE(cp932::FromUtf8(valid_utf8).has_value());
  std::string round;
  for (int i = 0; i < 5000; ++i) round += i % 2 == 0 ? "ｻｯ" : "表";
  EXPECT_EQ(cp932::ToUtf8(cp932::FromUtf8(round).value_or("")), round);
}

}  // namespace

// A written text with characters CP932 lacks is read with stand-ins, never refused.
TEST(Cp932, LenientConversionKeepsTheRestOfTheText) {
  const std::pair<const char*, const char*> cases[] = {
      {"芝2—10–2", "芝2―10-2"}, {"1〜3", "1～3"}, {"𠮷田", "〓田"}, {"芝", "芝"}, {"\xFF", "〓"},
  };
  for (const auto& [utf8, expected] : cases) EXPECT_EQ(cp932::ToUtf8(cp932::FromUtf8Lenient(utf8)), expected) << utf8;
}

namespace {

// Text as some systems paste it, and the composed text it stands for.
struct Decomposed {
  const char* typed;
  const char* composed;
};

TEST(Cp932Convert, DecomposedKanaConvertAsTheirComposedForm) {
  const Decomposed kCases[] = {
      {"\u30AB\u3099", "\u30AC"},                   // カ + voiced mark = ガ
      {"\u306F\u309A\u3072\u3099", "\u3071\u3073"},  // は + semi-voiced, ひ + voiced
      {"\u30C4\u3099\u30DB\u309A", "\u30C5\u30DD"},  // ヅ ポ
      {"\u30A6\u3099", "\u30F4"},                   // ヴ
      {"\u3046\u3099", "\u30F4"},                   // ゔ is not in CP932: ヴ
      {"\u3094", "\u30F4"},
      {"\u30FD\u3099", "\u30FE"},                   // ヾ
      {"\uFF76\u3099", "\uFF76\uFF9E"},             // half-width ｶ takes the half-width mark
      {"1\u20133", "1-3"},                         // en dash as "-"
      {"\u3042\u3099", nullptr},                    // あ has no voiced form: refused as before
  };
  for (const Decomposed& c : kCases) {
    SCOPED_TRACE(c.typed);
    const std::optional<std::string> got = cp932::FromUtf8(c.typed);
    if (c.composed == nullptr) {
      EXPECT_FALSE(got);
      continue;
    }
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, cp932::FromUtf8(c.composed).value());
  }
}

// Every voiced and semi-voiced kana of CP932, written decomposed, converts to itself.
TEST(Cp932Convert, EveryComposedKanaIsReachedFromItsBase) {
  int reached = 0;
  for (char32_t base = 0x3041; base <= 0x30F6; ++base) {
    for (const char* mark : {"\u3099", "\u309A"}) {
      const bool voiced = mark[2] == '\x99';
      const char32_t composed = base + (voiced ? 1 : 2);
      const bool ha_row = ((base >= 0x306F && base <= 0x307B) || (base >= 0x30CF && base <= 0x30DB)) &&
                          (base - (base < 0x30A0 ? 0x306F : 0x30CF)) % 3 == 0;
      const char32_t lo = base < 0x30A0 ? 0x304B : 0x30AB;
      const bool ka_to_to = (base >= lo && base <= lo + 0x17 && (base - lo) % 2 == 0) || base == lo + 0x19 ||
                            base == lo + 0x1B || base == lo + 0x1D;
      if (!(voiced ? (ka_to_to || ha_row) : ha_row)) continue;
      auto utf8 = [](char32_t c) {
        return std::string{static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (c & 0x3F))};
      };
      SCOPED_TRACE(utf8(composed));
      const std::optional<std::string> got = cp932::FromUtf8(utf8(base) + mark);
      ASSERT_TRUE(got);
      EXPECT_EQ(*got, cp932::FromUtf8(utf8(composed)).value());
      ++reached;
    }
  }
  // か…ち, つ, て, と (15 per script) and は…ほ (5 voiced + 5 semi-voiced per script).
  EXPECT_EQ(reached, 2 * (15 + 10));
}

}  // namespace

// Well-formed UTF-8 only: every byte sequence a terminal or a request body may send wrongly.
TEST(Cp932, Utf8CheckRefusesMalformedSequences) {
  const std::pair<std::string, bool> cases[] = {
      {"", true},
      {"札幌 abc", true},
      {"\xF0\x9F\x98\x80", true},       // U+1F600, four bytes
      {"\xF4\x8F\xBF\xBF", true},       // U+10FFFF, the last code point
      {"\x80", false},                  // a stray continuation byte
      {"\xC3", false},                  // cut after the lead byte
      {"\xE6\x9C", false},              // cut inside a character
      {"\xC0\xAF", false},              // overlong "/"
      {"\xE0\x80\xAF", false},          // overlong in three bytes
      {"\xED\xA0\x80", false},          // a surrogate
      {"\xF4\x90\x80\x80", false},      // past U+10FFFF
      {"\xFF", false},
      {"\x8E\x44\x96\x79", false},      // CP932 bytes (札幌)
  };
  for (const auto& [text, ok] : cases) EXPECT_EQ(cp932::IsUtf8(text), ok) << testing::PrintToString(text);
}

TEST(Cp932EndsWith, OnlyOnACharacterBoundary) {
  EXPECT_TRUE(cp932::EndsWith("ab" + kHyo, kHyo));
  EXPECT_TRUE(cp932::EndsWith("a\\", "\\"));
  EXPECT_TRUE(cp932::EndsWith(kSo, ""));
  EXPECT_FALSE(cp932::EndsWith(kSo, "\\"));        // the trail byte of ソ
  EXPECT_FALSE(cp932::EndsWith(kSo + kHyo, "\\"));  // the trail byte of 表
  EXPECT_FALSE(cp932::EndsWith("\\", kHyo));
}

TEST(Cp932, NameListSplitsAtEveryDollarOnly) {
  using Names = std::vector<std::string_view>;
  const std::pair<std::string, Names> cases[] = {
      {"", {}},
      {"A$", {"A"}},
      {"A$B$A$", {"A", "B", "A"}},
      {"A$$B", {"A", "", "B"}},
      {kSo + "$" + kHyo + "$", {kSo, kHyo}},  // trail bytes 0x5C are no separator
  };
  for (const auto& [list, names] : cases) EXPECT_EQ(cp932::SplitNameList(list), names) << list;
}

// The converter is the oracle: every NEC-selected kanji and its IBM form are one character.
TEST(Cp932, NecSelectedKanjiHaveTheirIbmFormsCharacter) {
  auto text = [](unsigned code) { return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; };
  int kanji = 0;
  for (unsigned code = 0xED40; code <= 0xEEFC; ++code) {
    const unsigned trail = code & 0xFF;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
    const unsigned ibm = cp932::IbmExtensionForm(code);
    if (code > 0xEEEC) {
      EXPECT_EQ(ibm, code) << std::hex << code;  // the signs after the kanji stay as they are
      continue;
    }
    ++kanji;
    EXPECT_GE(ibm, 0xFA5Cu);
    EXPECT_EQ(cp932::ToUtf8(text(ibm)), cp932::ToUtf8(text(code))) << std::hex << code << " -> " << ibm;
  }
  EXPECT_EQ(kanji, 360);
  for (unsigned code : {0x41u, 0x8140u, 0x889Fu, 0xFA5Cu, 0xFBFCu}) EXPECT_EQ(cp932::IbmExtensionForm(code), code);
}

// Walking a text by its character codes and writing them back gives the text again, a lead
// byte at the very end included.
TEST(Cp932, CharacterCodesWriteBackTheText) {
  const std::string texts[] = {"", "abc", kSo + "a" + kHyo, "\xB1\xB2" + kSo, kHyo + "\x83"};
  for (const std::string& t : texts) {
    std::string again;
    std::vector<unsigned> codes;
    cp932::ForEachChar(t, [&](unsigned code, std::string_view bytes) {
      EXPECT_EQ(bytes.size(), code > 0xFF ? 2u : 1u);
      codes.push_back(code);
      cp932::AppendChar(again, code);
    });
    EXPECT_EQ(again, t);
    if (t == kSo + "a" + kHyo) {
      EXPECT_EQ(codes, (std::vector<unsigned>{0x835C, 'a', cp932::CodeOf("\x95\x5C")}));
    }
  }
}
