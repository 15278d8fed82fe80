#include "cp932.h"

#include <gtest/gtest.h>

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

}  // namespace
