// Internal lookups and the generated tables, linked from the library's objects.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sjis.h"
#include "lookup/bounded_text.h"
#include "lookup/lookup.h"
#include "tables/tables.h"

using namespace meklan;

namespace {

int Find(const std::string& utf8_key) { return FindMaIndex(Sjis(utf8_key).c_str()); }

int IndexOf(const std::string& utf8_name, int branch) {
  for (int i = 0; i < kMaCount; ++i) {
    if (Utf8(kMaTable[i].maName) == utf8_name && kMaTable[i].branch == branch) return i;
  }
  return -2;
}

std::vector<std::string> Candidates(const MKMA& r) {
  std::vector<std::string> out;
  for (NumberCandidates c(r); c.Next();) out.emplace_back(c.Text(), c.Length());
  return out;
}

TEST(FindMaIndex, NamesReadingsAndAreaCodes) {
  for (const char* key : {"旭川", "あさひかわ", "0166", "166", "01-66", "0-1-6-6"}) {
    EXPECT_EQ(Find(key), 0) << key;
  }
  EXPECT_EQ(Find("0"), -1);
  EXPECT_EQ(Find(""), -1);
  EXPECT_EQ(Find("0166-22-1234"), -1);
  EXPECT_EQ(Find("0166-22"), -1);
  EXPECT_EQ(FindMaIndex(nullptr), -1);
}

TEST(FindMaIndex, CandidatesAndTheFirstRecordOfACode) {
  EXPECT_EQ(Find("0153-1"), IndexOf("厚岸", 0));
  EXPECT_EQ(Find("082-90"), IndexOf("広島", 0));
  EXPECT_EQ(Find("0598"), IndexOf("松阪", 6));
  EXPECT_EQ(Find("0598-2"), IndexOf("松阪", 0));
  // 0255 is both 新井's area code and a later record's candidate: the code wins.
  EXPECT_EQ(Find("0255"), IndexOf("新井", 0));
  EXPECT_EQ(Find("013379"), IndexOf("石狩", 2));
}

TEST(FindMaIndex, ReadingSharedByTwoMasFindsTheFirst) {
  int first = -1;
  for (int i = 0; i < kMaCount && first < 0; ++i) {
    if (Utf8(kMaTable[i].maKana) == "せんだい") first = i;
  }
  ASSERT_GE(first, 0);
  EXPECT_EQ(Find("せんだい"), first);
}

TEST(FindMaIndex, KeyIsReadUpTo255Bytes) {
  std::string key = Sjis("旭川") + std::string(300, ' ');
  EXPECT_EQ(FindMaIndex(key.c_str()), -1);
  std::string digits = "0166" + std::string(300, '0');
  EXPECT_EQ(FindMaIndex(digits.c_str()), -1);  // a huge number, no overflow, no match
}

TEST(NumberCandidates, ListsAndWholeCodes) {
  EXPECT_EQ(Candidates(kMaTable[IndexOf("厚岸", 0)]), (std::vector<std::string>{"01531", "01535", "01536"}));
  EXPECT_EQ(Candidates(kMaTable[IndexOf("旭川", 0)]), (std::vector<std::string>{"0166"}));
  EXPECT_EQ(Candidates(kSpecialAreaTable[1]).front(), "083980");
}

TEST(NumberCandidates, TableAggregates) {
  std::size_t count = 0, longest = 0;
  for (int i = 0; i < kMaCount; ++i) {
    for (const std::string& c : Candidates(kMaTable[i])) {
      ++count;
      longest = std::max(longest, c.size());
    }
  }
  EXPECT_EQ(count, 1436u);
  EXPECT_EQ(longest, 6u);
}

TEST(FormatPrefixRanges, RunsOfThreeOrMore) {
  EXPECT_EQ(Utf8(FormatPrefixRanges("/1/2/3/4/5/6/9/")), "1～6,9");
  EXPECT_EQ(Utf8(FormatPrefixRanges("/1/5/6/")), "1,5,6");
  EXPECT_EQ(Utf8(FormatPrefixRanges("/7/")), "7");
  EXPECT_EQ(Utf8(FormatPrefixRanges("/3/2/1/")), "3,2,1");  // no sorting
  EXPECT_EQ(Utf8(FormatPrefixRanges(kSpecialAreaTable[0].prefixList)),
            "90,92～94,950,959,960,963,964,966～969,99");
}

TEST(FormatPrefixRanges, LongestTextOfTheTableIsHiroshima) {
  std::size_t longest = 0;
  std::string name;
  for (int i = 0; i < kMaCount; ++i) {
    if (std::strcmp(kMaTable[i].prefixList, "/*/") == 0) continue;
    std::size_t len = std::strlen(FormatPrefixRanges(kMaTable[i].prefixList));
    if (len > longest) {
      longest = len;
      name = Utf8(kMaTable[i].maName);
    }
  }
  EXPECT_EQ(longest, 37u);
  EXPECT_EQ(name, "広島");
}

TEST(FormatPrefixRanges, StaysBoundedOnAnOverlongList) {
  std::string list = "/";
  for (int i = 0; i < 200; i += 2) list += std::to_string(100 + i) + "/";
  const char* text = FormatPrefixRanges(list.c_str());
  EXPECT_LT(std::strlen(text), 256u);
  EXPECT_EQ(std::string(text).substr(0, 12), "100,102,104,");
}

TEST(FormatPrefixRanges, ConcurrentCallersGetTheirOwnText) {
  auto worker = [](const char* list, std::string expected, bool* ok) {
    for (int i = 0; i < 20000; ++i) {
      const char* text = FormatPrefixRanges(list);
      if (expected != text) *ok = false;
    }
  };
  bool ok1 = true, ok2 = true;
  std::thread a(worker, "/1/2/3/4/5/6/9/", Sjis("1～6,9"), &ok1);
  std::thread b(worker, "/90/92/93/94/", Sjis("90,92～94"), &ok2);
  a.join();
  b.join();
  EXPECT_TRUE(ok1);
  EXPECT_TRUE(ok2);
}

// The name list and the area-code text stop after their last whole piece when the next one
// would not fit, and later shorter pieces do not slip in behind the gap.
TEST(BoundedText, EndsAfterTheLastWholePiece) {
  char buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  BoundedText text(buffer, 13);
  for (int i = 0; i < 5; ++i) text.Append({"abc", "$"});
  EXPECT_STREQ(buffer, "abc$abc$abc$");
  EXPECT_TRUE(text.Full());
  EXPECT_FALSE(text.Append({"a", "$"}));
  EXPECT_STREQ(buffer, "abc$abc$abc$");
  EXPECT_EQ(buffer[13], '#');
  BoundedText numbers(buffer, 4);
  EXPECT_TRUE(numbers.AppendNumber(-12));
  EXPECT_FALSE(numbers.AppendNumber(7));
  EXPECT_STREQ(buffer, "-12");
}

TEST(Tables, MaTableAggregates) {
  EXPECT_EQ(kMaCount, 649);
  std::set<std::string> names;
  for (int i = 0; i < kMaCount; ++i) names.insert(kMaTable[i].maName);
  EXPECT_EQ(names.size(), 567u);
  int min_ns = 0, min_ew = 0;
  for (int i = 0; i < kMaCount; ++i) {
    min_ns = std::min(min_ns, kMaTable[i].posNS);
    min_ew = std::min(min_ew, kMaTable[i].posEW);
  }
  EXPECT_EQ(min_ns, -177);
  EXPECT_EQ(min_ew, -227);
  for (const char* same : {"えりも", "むつ", "いわき"}) {
    EXPECT_EQ(std::string(kMaTable[Find(same)].maKana), Sjis(same));
  }
}

TEST(Tables, PrefecturesAndSpecialAreas) {
  EXPECT_EQ(Utf8(kPrefectureTable[0]), "北海道");
  EXPECT_EQ(Utf8(kPrefectureTable[13]), "東京都");
  EXPECT_EQ(Utf8(kPrefectureTable[46]), "沖縄県");
  EXPECT_EQ(Utf8(kSpecialAreaTable[3].maName), "尾道松永特例");
  EXPECT_EQ(Utf8(kSpecialAreaBaseMa[3]), "尾道");
}

TEST(Tables, AddressRecordsKeepTheirInvariants) {
  std::set<std::string> ma_names, prefectures;
  for (int i = 0; i < kMaCount; ++i) ma_names.insert(kMaTable[i].maName);
  for (int i = 0; i < kPrefectureCount; ++i) prefectures.insert(kPrefectureTable[i]);
  int shimonoseki_zero = 0;
  for (int i = 0; i < kAddressCount; ++i) {
    const MKADDRESS& a = kAddressTable[i];
    EXPECT_TRUE(ma_names.count(a.maName)) << i;
    EXPECT_TRUE(prefectures.count(a.prefName)) << i;
    if (*a.townName == '\0') {
      EXPECT_STREQ(a.chomeNote, "") << i;
    }
    if (Utf8(a.maName) == "下関" && a.branch == 0) ++shimonoseki_zero;
  }
  // (下関, 0) names no record: the join by name alone finds branch 1.
  EXPECT_EQ(shimonoseki_zero, 2);
  EXPECT_EQ(IndexOf("下関", 0), -2);
  EXPECT_EQ(kMaTable[Find("下関")].branch, 1);
}

TEST(Tables, PairTables) {
  EXPECT_EQ(kAdjacentPairCount, 973);
  EXPECT_EQ(kNearExceptionCount, 36);
  EXPECT_EQ(kIslandPairCount, 70);
  EXPECT_EQ(Utf8(kAdjacentPairs[0].nameA) + "/" + Utf8(kAdjacentPairs[0].nameB), "那覇/名護");
  EXPECT_EQ(Utf8(kAdjacentPairs[970].nameA) + "/" + Utf8(kAdjacentPairs[970].nameB), "有川/福江");
  EXPECT_EQ(Utf8(kNearExceptions[0].nameA) + "/" + Utf8(kNearExceptions[0].nameB), "須賀川/三春");
  EXPECT_EQ(Utf8(kIslandPairs[69].nameA) + "/" + Utf8(kIslandPairs[69].nameB), "屋久島/鹿児島");
  // The rows are contiguous 22-byte records, names NUL-padded.
  EXPECT_EQ(reinterpret_cast<const char*>(&kAdjacentPairs[1]) - reinterpret_cast<const char*>(&kAdjacentPairs[0]), 22);
  EXPECT_EQ(kAdjacentPairs[0].nameA[10], '\0');
}

}  // namespace
