// MEKLAN_GetDistance through the C ABI of the shared library.
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "meklan.h"
#include "sjis.h"

namespace {

void SetText(char (&field)[32], const std::string& text) {
  ASSERT_LT(text.size(), sizeof field);
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), text.size());
}

// A record whose every byte is a pattern, so that any write shows.
MKDISTANCE Request(const std::string& from, const std::string& to) {
  MKDISTANCE rec;
  std::memset(&rec, 0x5A, sizeof rec);
  SetText(rec.fromName, from);
  SetText(rec.toName, to);
  return rec;
}

struct Expected {
  const char* from;  // UTF-8; converted before the call
  const char* to;
  int kind;
  int distance;
  int chargeDistance;
  int nttNo;
};

// Every class and rule of the tariff, each pair asked in both directions.
const Expected kDistanceTable[] = {
    {"旭川", "旭川", 0, 0, 0, 0},
    {"旭川", "上川", 1, 32, 1, 0},
    {"山口", "小郡", 2, 12, 1, 1},
    {"福山", "尾道", 2, 19, 1, 1},
    {"須賀川", "三春", 0, 18, 18, 0},
    {"千歳", "苫小牧", 2, 20, 1, 0},
    {"東京", "船橋", 0, 20, 20, 2},
    {"市川", "千葉", 0, 21, 21, 0},
    {"江差", "奥尻", 4, 60, 1, 0},
    {"那覇", "名護", 1, 50, 1, 1},
    {"那覇", "八重山", 0, 417, 1, 1},
    {"那覇", "大根占", 0, 658, 1, 2},
    {"那覇", "鹿屋", 0, 676, 17, 2},
    {"那覇", "東京", 0, 1599, 987, 2},
    {"東京", "大阪", 0, 407, 407, 2},
};

TEST(GetDistance, TariffTableInBothDirections) {
  for (const Expected& e : kDistanceTable) {
    for (bool swap : {false, true}) {
      const std::string from = Sjis(swap ? e.to : e.from);
      const std::string to = Sjis(swap ? e.from : e.to);
      MKDISTANCE rec = Request(from, to);
      SCOPED_TRACE(std::string(e.from) + " / " + e.to + (swap ? " (swapped)" : ""));
      ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
      EXPECT_EQ(rec.kind, e.kind);
      EXPECT_EQ(rec.distance, e.distance);
      EXPECT_EQ(rec.chargeDistance, e.chargeDistance);
      EXPECT_EQ(rec.nttNo, e.nttNo);
      EXPECT_EQ(std::string(rec.fromName), from);
      EXPECT_EQ(std::string(rec.toName), to);
    }
  }
}

TEST(GetDistance, FillsBothEndsFromTheTables) {
  MKDISTANCE rec = Request("0166221234", Sjis("とうきょう"));
  ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
  const MKMA* table = MEKLAN_GetMKMA();
  EXPECT_EQ(std::string(rec.fromName), Sjis("旭川"));
  EXPECT_EQ(std::string(rec.toName), Sjis("東京"));
  EXPECT_STREQ(rec.fromAreaCode, "0166");
  EXPECT_STREQ(rec.toAreaCode, "03");
  EXPECT_EQ(std::string(rec.fromPrefName), Sjis("北海道"));  // prefNo 51, a sub-area
  EXPECT_EQ(std::string(rec.toPrefName), Sjis("東京都"));
  EXPECT_EQ(rec.fromMa.maName, table[0].maName);  // the copy points into the library's table
  EXPECT_EQ(rec.fromMa.prefNo, 51);
  EXPECT_EQ(rec.toMa.areaCode, 3);
}

TEST(GetDistance, UnresolvedEndLeavesTheRecordExactlyAsItWas) {
  const std::vector<std::pair<std::string, std::string>> requests = {
      {"0166-23", Sjis("東京")},  // shortening starts from 166, read before the hyphen
      {"0166-22-1234", Sjis("東京")},
      {Sjis("東京"), ""},
      {Sjis("旭"), Sjis("東京")},  // a name beginning is no name
      {"0", "0"},
      {"09012345678", Sjis("東京")},  // leading number above 2147483647
      {Sjis("東京"), "99999999999999999999"},
  };
  for (const auto& [from, to] : requests) {
    MKDISTANCE rec = Request(from, to);
    const MKDISTANCE before = rec;
    EXPECT_EQ(MEKLAN_GetDistance(&rec), 0) << from << " / " << to;
    EXPECT_EQ(std::memcmp(&rec, &before, sizeof rec), 0) << from << " / " << to;
  }
  EXPECT_EQ(MEKLAN_GetDistance(nullptr), 0);
}

TEST(GetDistance, NumbersAreShortenedUntilTheyNameAnMa) {
  for (const char* number : {"016623", "0166234567", "166234567", "00166234567", " 0166234567"}) {
    MKDISTANCE rec = Request(number, "03");
    ASSERT_EQ(MEKLAN_GetDistance(&rec), 1) << number;
    EXPECT_EQ(std::string(rec.fromName), Sjis("旭川")) << number;
  }
  // 0598-2 names 松阪 branch 0 directly; the full number reaches it by shortening.
  MKDISTANCE rec = Request("0598212345", "0598-2");
  ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
  EXPECT_EQ(rec.fromMa.branch, 0);
  EXPECT_EQ(rec.toMa.branch, 0);
  EXPECT_EQ(rec.distance, 0);
}

TEST(GetDistance, SpecialAreaNumbersAreChargedByDistance) {
  // 山口特例 with 小郡特例: the base MAs, an ordinary pair with no charging distance.
  MKDISTANCE rec = Request("0839012345", "0839801234");
  ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
  EXPECT_EQ(std::string(rec.fromName), Sjis("山口"));
  EXPECT_EQ(std::string(rec.toName), Sjis("小郡"));
  EXPECT_EQ(rec.kind, 0);
  EXPECT_EQ(rec.distance, 12);
  EXPECT_EQ(rec.chargeDistance, 0);
  EXPECT_EQ(rec.nttNo, 1);

  // The names written back carry no number: asked again, the pair is adjacent by distance.
  ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
  EXPECT_EQ(rec.kind, 2);
  EXPECT_EQ(rec.distance, 12);
  EXPECT_EQ(rec.chargeDistance, 1);

  // 福山特例 with 尾道松永特例: the ends become the first records of 福山 and 尾道.
  rec = Request("084-92", "0849301234");
  ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
  EXPECT_EQ(std::string(rec.fromName), Sjis("福山"));
  EXPECT_EQ(std::string(rec.toName), Sjis("尾道"));
  EXPECT_STREQ(rec.toAreaCode, "0848");
  EXPECT_EQ(rec.toMa.branch, 0);
  EXPECT_EQ(rec.kind, 0);
  EXPECT_EQ(rec.distance, 19);
  EXPECT_EQ(rec.chargeDistance, 0);
  EXPECT_EQ(rec.nttNo, 1);
}

TEST(GetDistance, SpecialAreaRuleNeedsBothRangesOfOnePair) {
  // A bare area code is no special-area number: 083 is simply the first MA on 083 (小郡).
  MKDISTANCE rec = Request("083", "0839801234");
  ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
  EXPECT_EQ(std::string(rec.fromName), Sjis("小郡"));
  EXPECT_EQ(rec.distance, 0);

  // Two numbers of one special area, or of areas of different pairs, get the usual rules.
  rec = Request("0839012345", "0839912345");
  ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
  EXPECT_EQ(rec.distance, 0);
  rec = Request("0839012345", "0849201234");
  ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
  EXPECT_EQ(std::string(rec.toName), Sjis("福山"));
  EXPECT_EQ(rec.chargeDistance, rec.distance);
}

TEST(GetDistance, ReadsEachNameNoFurtherThanItsField) {
  // The whole record, exactly sized on the heap, is a run of digits except the calling
  // end: a reader that went past the 32 bytes of toName would see a different number (or
  // run off the block, which the sanitizer build reports).
  auto* rec = static_cast<MKDISTANCE*>(std::malloc(sizeof(MKDISTANCE)));
  ASSERT_NE(rec, nullptr);
  std::memset(rec, '5', sizeof *rec);
  SetText(rec->fromName, Sjis("旭川"));
  std::memset(rec->toName, ' ', sizeof rec->toName);
  std::memcpy(rec->toName + sizeof rec->toName - 4, "0166", 4);  // no NUL in the field
  EXPECT_EQ(MEKLAN_GetDistance(rec), 1);
  EXPECT_EQ(std::string(rec->toName), Sjis("旭川"));
  std::free(rec);
}

TEST(GetDistance, EveryMaFitsTheFixedFields) {
  const MKMA* table = MEKLAN_GetMKMA();
  const int count = MEKLAN_GetNumOfMKMA();
  for (int i = 0; i < count; ++i) {
    if (i > 0 && std::strcmp(table[i].maName, table[i - 1].maName) == 0) continue;
    MKDISTANCE rec = Request(table[i].maName, table[i].maName);
    ASSERT_EQ(MEKLAN_GetDistance(&rec), 1) << i;
    EXPECT_STREQ(rec.fromName, table[i].maName);
    EXPECT_EQ(std::string(rec.fromAreaCode), "0" + std::to_string(table[i].areaCode));
    EXPECT_GT(std::strlen(rec.fromPrefName), 0u);
    EXPECT_EQ(rec.distance, 0);
    EXPECT_EQ(rec.kind, 0);
    EXPECT_EQ(rec.nttNo, table[i].prefNo <= 17 || table[i].prefNo >= 51 ? 0 : 1);
  }
}

// Over every pair of distinct MA names the classes add up to the sizes of the tables that
// decide them, plus the pairs 1 to 20 km apart that are no near exception.
TEST(GetDistance, ClassesOverAllPairsOfNames) {
  const MKMA* table = MEKLAN_GetMKMA();
  const int count = MEKLAN_GetNumOfMKMA();
  std::vector<const char*> names;
  for (int i = 0; i < count; ++i) {
    if (i == 0 || std::strcmp(table[i].maName, table[i - 1].maName) != 0) {
      names.push_back(table[i].maName);
    }
  }
  ASSERT_EQ(names.size(), 567u);

  std::map<int, int> kinds;
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (std::size_t j = i + 1; j < names.size(); ++j) {
      MKDISTANCE rec = Request(names[i], names[j]);
      ASSERT_EQ(MEKLAN_GetDistance(&rec), 1);
      ++kinds[rec.kind];
      ASSERT_GT(rec.distance, 0) << names[i] << " " << names[j];
      ASSERT_GE(rec.chargeDistance, 1);
      ASSERT_LE(rec.chargeDistance, rec.distance);
    }
  }
  EXPECT_EQ(kinds[1], 973);
  EXPECT_EQ(kinds[4], 70);
  EXPECT_EQ(kinds[2], 377);
  EXPECT_EQ(kinds.count(3), 0u);
}

}  // namespace
