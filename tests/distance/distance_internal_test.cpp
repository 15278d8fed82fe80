// The internal pieces of the distance and area-plus code, linked from meklan_core.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "distance/distance.h"
#include "lookup/lookup.h"
#include "sjis.h"
#include "tables/tables.h"

namespace meklan {
namespace {

TEST(CalcMaDistance, TwoKmPerGridUnitWithTenthsCutOff) {
  EXPECT_EQ(CalcMaDistance(0, 0), 0);
  EXPECT_EQ(CalcMaDistance(1, 0), 2);
  EXPECT_EQ(CalcMaDistance(0, -1), 2);
  EXPECT_EQ(CalcMaDistance(1, 1), 2);    // 2.83
  EXPECT_EQ(CalcMaDistance(3, 4), 10);
  EXPECT_EQ(CalcMaDistance(-3, -4), 10);
  EXPECT_EQ(CalcMaDistance(5, 8), 18);   // 18.87
  EXPECT_EQ(CalcMaDistance(6, 8), 20);
  EXPECT_EQ(CalcMaDistance(7, 7), 19);   // 19.80
  // Differences of two table points, as the generator checks the adjacent pairs with them.
  EXPECT_EQ(CalcMaDistance(861 - 865, 622 - 630), 17);  // 17.89
  EXPECT_EQ(CalcMaDistance(-73 - -52, -46 - -32), 50);   // negative points
  EXPECT_EQ(CalcMaDistance(0 - 6, 0 - 8), 20);
  EXPECT_EQ(CalcMaDistance(1 - 1, 1 - 1), 0);
  // Arguments far outside the grid neither overflow nor wrap.
  EXPECT_EQ(CalcMaDistance(INT_MIN, INT_MIN), INT_MAX);
}

TEST(ReadLeadingNumber, ReadsLikeASigned32BitConversion) {
  EXPECT_EQ(ReadLeadingNumber("0166-23"), 166);  // a hyphen ends the number
  EXPECT_EQ(ReadLeadingNumber(" \t+0166x"), 166);
  EXPECT_EQ(ReadLeadingNumber("-5"), -5);
  EXPECT_EQ(ReadLeadingNumber(""), 0);
  EXPECT_EQ(ReadLeadingNumber("abc"), 0);
  EXPECT_EQ(ReadLeadingNumber("2147483647"), 2147483647);
  EXPECT_EQ(ReadLeadingNumber("-2147483648"), INT32_MIN);
  EXPECT_EQ(ReadLeadingNumber("2147483648"), std::nullopt);
  EXPECT_EQ(ReadLeadingNumber("09012345678"), std::nullopt);
  EXPECT_EQ(ReadLeadingNumber(std::string(300, '9').c_str()), std::nullopt);
}

std::vector<std::string> g_tries;
int RecordingMatcher(const char* text) {
  g_tries.emplace_back(text);
  return std::string(text) == "0166" ? 7 : -1;
}

std::vector<std::string> Tries(const char* text, int* result = nullptr) {
  g_tries.clear();
  const int found = ResolveByShortening(RecordingMatcher, text);
  if (result != nullptr) *result = found;
  return g_tries;
}

TEST(ResolveByShortening, TriesShorterBeginningsDownToTwoCharacters) {
  int found = 0;
  EXPECT_EQ(Tries("0166234567", &found),
            (std::vector<std::string>{"016623456", "01662345", "0166234", "016623", "01662",
                                      "0166"}));
  EXPECT_EQ(found, 7);
  // One leading 0, whatever the caller typed before the digits; the formatted text itself
  // is not tried.
  EXPECT_EQ(Tries("00166"), (std::vector<std::string>{"016", "01"}));
  EXPECT_EQ(Tries("166"), (std::vector<std::string>{"016", "01"}));
  EXPECT_EQ(Tries("0998"), (std::vector<std::string>{"099", "09"}));
  EXPECT_EQ(Tries("-12"), (std::vector<std::string>{"0-1", "0-"}));
}

TEST(ResolveByShortening, NoNumberNoTries) {
  int found = 0;
  for (const char* text : {"", "0", "000", "abc", "09012345678", "-99999999999"}) {
    EXPECT_TRUE(Tries(text, &found).empty()) << text;
    EXPECT_EQ(found, -1) << text;
  }
}

// Shortening skips the table scan for beginnings longer than any number a record answers
// to; every number built on a candidate or area code of the table resolves as without it.
TEST(ResolveByShortening, LongestNumberKeyIsTheLongestCandidateOrAreaCode) {
  std::size_t longest = 0;
  for (int i = 0; i < kMaCount; ++i) {
    for (NumberCandidates c(kMaTable[i]); c.Next();) longest = std::max(longest, c.Length());
    longest = std::max(longest, 1 + std::to_string(kMaTable[i].areaCode).size());
  }
  EXPECT_EQ(static_cast<std::size_t>(kLongestNumberKey), longest);
  EXPECT_EQ(kLongestNumberKey, 6);  // 013379 and the other six-character codes
}

TEST(ResolveByShortening, SkippingLongBeginningsChangesNoResult) {
  std::vector<std::string> numbers = {"-1661234", "0-166-12", "09012345678"};
  for (int i = 0; i < kMaCount; ++i) {
    for (NumberCandidates c(kMaTable[i]); c.Next();) {
      numbers.push_back(std::string(c.Text()) + "98765");
      numbers.push_back(std::string(c.Text()).substr(1) + "0");
    }
  }
  for (const std::string& number : numbers) {
    EXPECT_EQ(FindMaIndexForShortening(number.c_str()), FindMaIndex(number.c_str())) << number;
    EXPECT_EQ(ResolveByShortening(FindMaIndexForShortening, number.c_str()),
              ResolveByShortening(FindMaIndex, number.c_str()))
        << number;
  }
}

TEST(FindSpecialArea, PrefixCandidatesOnly) {
  EXPECT_EQ(FindSpecialArea("08390"), 0);
  EXPECT_EQ(FindSpecialArea("083-90"), 0);
  EXPECT_EQ(FindSpecialArea("08399"), 0);
  EXPECT_EQ(FindSpecialArea("083980"), 1);
  EXPECT_EQ(FindSpecialArea("08492"), 2);
  EXPECT_EQ(FindSpecialArea("084999"), 2);
  EXPECT_EQ(FindSpecialArea("084930"), 3);
  EXPECT_EQ(FindSpecialArea("0-8-4-9-3-9"), 3);
  // Not candidates: bare area codes, a full number, a shorter or longer prefix.
  for (const char* text : {"083", "83", "084", "0839012345", "0839", "08398", "0849300", "",
                           "90", "0", "+083980", " 083980"}) {
    EXPECT_EQ(FindSpecialArea(text), -1) << text;
  }
  EXPECT_EQ(FindSpecialArea(nullptr), -1);
}

TEST(FindSpecialArea, ReachedByShorteningBeforeAnyShorterCandidate) {
  EXPECT_EQ(ResolveByShortening(FindSpecialArea, "0839012345"), 0);
  EXPECT_EQ(ResolveByShortening(FindSpecialArea, "0839801234"), 1);
  EXPECT_EQ(ResolveByShortening(FindSpecialArea, "0849301234"), 3);
  EXPECT_EQ(ResolveByShortening(FindSpecialArea, "0832123456"), -1);  // 下関, no special area
}

TEST(PairTables, UnorderedExactLookups) {
  const std::string naha = Sjis("那覇"), nago = Sjis("名護");
  EXPECT_EQ(IsAdjacentPair(naha.c_str(), nago.c_str()), 1);
  EXPECT_EQ(IsAdjacentPair(nago.c_str(), naha.c_str()), 1);
  EXPECT_EQ(IsNearException(Sjis("三春").c_str(), Sjis("須賀川").c_str()), 1);
  EXPECT_EQ(IsIslandPair(Sjis("奥尻").c_str(), Sjis("江差").c_str()), 1);
  // 福江/有川 is an adjacent pair, not an island pair: a pair is in one table only.
  const std::string fukue = Sjis("福江"), arikawa = Sjis("有川");
  EXPECT_EQ(IsIslandPair(fukue.c_str(), arikawa.c_str()), 0);
  EXPECT_EQ(IsAdjacentPair(fukue.c_str(), arikawa.c_str()), 1);
  EXPECT_EQ(IsNearException(fukue.c_str(), arikawa.c_str()), 0);
  // Names outside the MA table, a name with itself, and a name beginning match nothing.
  for (const auto& [a, b] : std::vector<std::pair<std::string, std::string>>{
           {Sjis("東京都"), Sjis("大阪")}, {naha, naha}, {Sjis("那"), nago}, {"", ""}}) {
    EXPECT_EQ(IsAdjacentPair(a.c_str(), b.c_str()), 0);
    EXPECT_EQ(IsNearException(a.c_str(), b.c_str()), 0);
    EXPECT_EQ(IsIslandPair(a.c_str(), b.c_str()), 0);
  }
}

TEST(PairTables, RowFieldsAreReadWithinTheirElevenBytes) {
  MKPAIR row;
  std::memcpy(row.nameA, "ABCDEFGHIJK", 11);  // no NUL left in the field
  std::memset(row.nameB, 0, sizeof row.nameB);
  std::memcpy(row.nameB, "XY", 2);
  char partner[12];
  ASSERT_TRUE(PairPartner(row, "XY", partner));
  EXPECT_STREQ(partner, "ABCDEFGHIJK");
  ASSERT_TRUE(PairPartner(row, "ABCDEFGHIJK", partner));
  EXPECT_STREQ(partner, "XY");
  EXPECT_FALSE(PairPartner(row, "ABCDEFGHIJKXY", partner));
  EXPECT_FALSE(PairPartner(row, "ABCDEFGHIJ", partner));
  EXPECT_FALSE(PairPartner(row, "X", partner));
}

TEST(CopyField, NulPaddedAndCutOnACharacterBoundary) {
  char field[8];
  std::memset(field, 'x', sizeof field);
  CopyField(field, sizeof field, "abc");
  EXPECT_EQ(std::string(field, sizeof field), std::string("abc\0\0\0\0\0", 8));
  CopyField(field, sizeof field, "abcdefgh");
  EXPECT_EQ(std::string(field, sizeof field), std::string("abcdefg\0", 8));
  // 東京都 is six bytes: "a" + 東京都 fits in seven, one more would split a character.
  const std::string tokyo = Sjis("東京都");
  CopyField(field, sizeof field, ("a" + tokyo).c_str());
  EXPECT_EQ(std::string(field), "a" + tokyo);
  CopyField(field, sizeof field, ("ab" + tokyo).c_str());
  EXPECT_EQ(std::string(field), "ab" + tokyo.substr(0, 4));
}

// The listing's size bound holds for any size: it ends after its last whole line and the
// bytes past the size are never touched.
TEST(BuildAreaPlus, EndsAfterTheLastWholeLineThatFits) {
  const int index = FindMaIndex(Sjis("江差").c_str());
  ASSERT_GE(index, 0);
  std::vector<char> full(MEKLAN_AREAPLUS_SIZE);
  BuildAreaPlus(index, full.data(), full.size());
  const std::string text(full.data());

  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{10}, std::size_t{60},
                           text.size(), text.size() + 1}) {
    std::vector<char> out(size + 16, '#');
    BuildAreaPlus(index, out.data(), size);
    for (std::size_t i = size; i < out.size(); ++i) ASSERT_EQ(out[i], '#') << size;
    if (size == 0) continue;
    const std::string part(out.data());
    EXPECT_LT(part.size(), size);
    EXPECT_EQ(text.compare(0, part.size(), part), 0) << size;
    EXPECT_TRUE(part.empty() || part.substr(part.size() - 2) == "\r\n") << size;
  }
  std::vector<char> exact(text.size() + 1);
  BuildAreaPlus(index, exact.data(), exact.size());
  EXPECT_EQ(std::string(exact.data()), text);
}

}  // namespace
}  // namespace meklan
