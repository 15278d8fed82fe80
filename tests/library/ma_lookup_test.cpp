// MEKLAN_GetMA and MEKLAN_GetAreaCode through the C interface of libmeklan.so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "sjis.h"
#include "meklan.h"


namespace {

std::string GetMA(const std::string& utf8_key, int prefIndex = -1) {
  std::vector<char> out(MEKLAN_MALIST_SIZE + 64, '#');
  EXPECT_EQ(MEKLAN_GetMA(Sjis(utf8_key).c_str(), out.data(), prefIndex), 1);
  std::string list(out.data());
  EXPECT_LT(list.size(), static_cast<std::size_t>(MEKLAN_MALIST_SIZE));
  for (std::size_t i = list.size() + 1; i < out.size(); ++i) EXPECT_EQ(out[i], '#') << "written at " << i;
  return Utf8(list);
}

std::vector<std::string> Names(const std::string& list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  for (std::size_t dollar; (dollar = list.find('$', start)) != std::string::npos; start = dollar + 1) {
    names.push_back(list.substr(start, dollar - start));
  }
  EXPECT_EQ(start, list.size()) << "list does not end with $: " << list;
  return names;
}

std::string AllNamesInTableOrder() {
  std::string list;
  const MKMA* ma = MEKLAN_GetMKMA();
  for (int i = 0; i < MEKLAN_GetNumOfMKMA(); ++i) list += Utf8(ma[i].maName) + "$";
  return list;
}

struct AreaCode {
  int result;
  std::string text;
};

AreaCode GetAreaCode(const std::string& utf8_key, int branch = -1) {
  char out[MEKLAN_AREACODE_SIZE] = "untouched";
  int result = MEKLAN_GetAreaCode(Sjis(utf8_key).c_str(), out, branch);
  return {result, Utf8(out)};
}

TEST(GetMA, KeyZeroListsEveryRecordInTableOrder) {
  std::string all = GetMA("0");
  EXPECT_EQ(all, AllNamesInTableOrder());
  EXPECT_EQ(Names(all).size(), 649u);
  EXPECT_EQ(Sjis(all).size(), 3625u);
  std::vector<std::string> names = Names(all);
  EXPECT_EQ(std::count(names.begin(), names.end(), "石狩"), 3);
  // The empty key lists the same through the name pass alone.
  EXPECT_EQ(GetMA(""), all);
}

TEST(GetMA, PrefectureFilter) {
  EXPECT_EQ(GetMA("0", 46), "沖縄宮古$名護$那覇$南大東$八重山$");
  // Index 0 is Hokkaido: every record numbered above 50, and nothing else.
  std::vector<std::string> hokkaido = Names(GetMA("0", 0));
  EXPECT_EQ(hokkaido.size(), 86u);
  EXPECT_EQ(hokkaido.front(), "旭川");
  EXPECT_EQ(hokkaido.back(), "稚内");
  EXPECT_EQ(GetMA("0", 47), "");
  EXPECT_EQ(GetMA("0", -2), "");
  // The number 0166-22-1234 belongs to Hokkaido; with 東京都 the probe shrinks to nothing.
  EXPECT_EQ(GetMA("0166-22-1234", 13), "");
  EXPECT_EQ(GetMA("0166-22-1234", 0), "旭川$");
}

TEST(GetMA, NumbersFindTheLongestMatchingBeginning) {
  EXPECT_EQ(GetMA("0166-22-1234"), "旭川$");
  EXPECT_EQ(GetMA("03-1234-5678"), "東京$");
  EXPECT_EQ(GetMA("01535"), "厚岸$");
  EXPECT_EQ(GetMA("09802"), "南大東$");
  EXPECT_EQ(GetMA("0153"), "厚岸$中標津$根室$根室標津$");
  EXPECT_EQ(GetMA("0-1-5-3"), "厚岸$中標津$根室$根室標津$");
  // No candidate begins with 0120: the nine Hokkaido records under 012 stand in.
  std::vector<std::string> toll_free = Names(GetMA("0120"));
  EXPECT_EQ(toll_free.size(), 9u);
  std::vector<std::string> hokkaido = Names(GetMA("0", 0));
  for (const std::string& n : toll_free) {
    EXPECT_NE(std::find(hokkaido.begin(), hokkaido.end(), n), hokkaido.end()) << n;
  }
  EXPECT_EQ(GetMA("00"), "");
  // 広島 lists 90 twice; the record is still listed once.
  EXPECT_EQ(GetMA("082-90"), "広島$");
}

TEST(GetMA, AreaCode098ListsMiyazakiThenOkinawa) {
  std::vector<std::string> names = Names(GetMA("098"));
  ASSERT_EQ(names.size(), 13u);
  std::vector<std::string> okinawa(names.end() - 5, names.end());
  EXPECT_EQ(okinawa, (std::vector<std::string>{"沖縄宮古", "名護", "那覇", "南大東", "八重山"}));
  std::set<std::string> miyazaki;
  for (std::string n : Names(GetMA("0", 44))) miyazaki.insert(n);
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(miyazaki.count(names[i])) << names[i];
}

TEST(GetMA, NamesAndReadings) {
  EXPECT_EQ(GetMA("旭"), "旭川$");
  EXPECT_EQ(GetMA("旭川"), "旭川$");
  // A reading is listed once per probe pass: eight bytes make seven passes.
  std::vector<std::string> names = Names(GetMA("いしかり"));
  EXPECT_EQ(names.size(), 28u);
  EXPECT_EQ(std::count(names.begin(), names.end(), "石狩"), 21);
  EXPECT_EQ(std::count(names.begin(), names.end(), "石狩深川"), 7);
  EXPECT_EQ(GetMA("あさひかわ"), "旭川$旭川$旭川$旭川$旭川$旭川$旭川$旭川$旭川$");
  // えりも is its own reading: the name pass and the reading pass both find it.
  EXPECT_EQ(GetMA("えりも"), "えりも$えりも$えりも$えりも$えりも$えりも$");
}

TEST(GetMA, OneByteKeyRunsTheNamePassOnly) {
  std::string first_byte = Sjis("旭川").substr(0, 1);
  char out[MEKLAN_MALIST_SIZE];
  MEKLAN_GetMA(first_byte.c_str(), out, -1);
  std::string expected;
  const MKMA* ma = MEKLAN_GetMKMA();
  for (int i = 0; i < MEKLAN_GetNumOfMKMA(); ++i) {
    if (ma[i].maName[0] == first_byte[0]) expected += std::string(ma[i].maName) + "$";
  }
  EXPECT_EQ(std::string(out), expected);
  EXPECT_EQ(GetMA("5"), "");
}

TEST(GetMA, KeysAreReadUpTo255Bytes) {
  // A 0166 number padded with digits beyond 255 bytes: the tail is never read.
  std::string key = "0166" + std::string(400, '9');
  char out[MEKLAN_MALIST_SIZE];
  EXPECT_EQ(MEKLAN_GetMA(key.c_str(), out, -1), 1);
  EXPECT_EQ(Utf8(out), "旭川$");
  // A name followed by junk past the limit still lists by its first 255 bytes only.
  std::string long_name(255, 'x');
  EXPECT_EQ(MEKLAN_GetMA((long_name + Sjis("旭川")).c_str(), out, -1), 1);
  EXPECT_STREQ(out, "");
}

TEST(GetMA, NeverWritesBeyondTheListBufferForAnyPrefixOfANameOrReading) {
  const MKMA* ma = MEKLAN_GetMKMA();
  for (int i = 0; i < MEKLAN_GetNumOfMKMA(); ++i) {
    for (const char* text : {ma[i].maName, ma[i].maKana}) {
      std::string s(text);
      for (std::size_t n = 1; n <= s.size(); ++n) {
        std::vector<char> out(MEKLAN_MALIST_SIZE + 32, '#');
        MEKLAN_GetMA(s.substr(0, n).c_str(), out.data(), -1);
        std::size_t len = std::strlen(out.data());
        ASSERT_LT(len, static_cast<std::size_t>(MEKLAN_MALIST_SIZE));
        ASSERT_EQ(out[MEKLAN_MALIST_SIZE], '#');
      }
    }
  }
}

TEST(GetAreaCode, DocumentedTexts) {
  EXPECT_EQ(GetAreaCode("旭川").text, "0166");
  EXPECT_EQ(GetAreaCode("東京").text, "03");
  EXPECT_EQ(GetAreaCode("厚岸").text, "0153-[1,5,6]");
  EXPECT_EQ(GetAreaCode("帯広").text, "0155-[1～6,9]");
  EXPECT_EQ(GetAreaCode("石狩").text, "0133-[1,6]、01337、013379");
  EXPECT_EQ(GetAreaCode("広島").text, "082-[1,2,5,8,90,921～929,941～943,90,96,99]");
  EXPECT_EQ(GetAreaCode("松阪").text,
            "0598-[1]、0598-[2]、0598-[3]、0598-[32]、0598-[4]、0598-[49]、0598-[56]、0598-[6]");
  EXPECT_EQ(Sjis(GetAreaCode("松阪").text).size(), 81u);
}

TEST(GetAreaCode, AnyKeyOfTheMaGivesTheSameText) {
  for (const char* key : {"厚岸", "あっけし", "0153", "0153-5", "153"}) {
    AreaCode r = GetAreaCode(key);
    EXPECT_EQ(r.result, 1) << key;
    EXPECT_EQ(r.text, "0153-[1,5,6]") << key;
  }
}

TEST(GetAreaCode, BranchFilter) {
  EXPECT_EQ(GetAreaCode("石狩", 1).text, "01337");
  EXPECT_EQ(GetAreaCode("石狩", 2).text, "013379");
  AreaCode none = GetAreaCode("石狩", 5);
  EXPECT_EQ(none.result, 1);
  EXPECT_EQ(none.text, "");
}

TEST(GetAreaCode, KeysThatNameNothingLeaveTheBufferAlone) {
  for (const char* key : {"0", "", "0166-22-1234", "0166-22", "存在しない"}) {
    AreaCode r = GetAreaCode(key);
    EXPECT_EQ(r.result, 0) << key;
    EXPECT_EQ(r.text, "untouched") << key;
  }
  char out[MEKLAN_AREACODE_SIZE] = "untouched";
  EXPECT_EQ(MEKLAN_GetAreaCode(nullptr, out, -1), 0);
  EXPECT_STREQ(out, "untouched");
}

TEST(GetAreaCode, LongestTextOfTheTableIsMatsusaka) {
  const MKMA* ma = MEKLAN_GetMKMA();
  std::size_t longest = 0;
  std::string longest_name;
  for (int i = 0; i < MEKLAN_GetNumOfMKMA(); ++i) {
    char out[MEKLAN_AREACODE_SIZE + 16];
    std::memset(out, '#', sizeof out);
    ASSERT_EQ(MEKLAN_GetAreaCode(ma[i].maName, out, -1), 1) << Utf8(ma[i].maName);
    ASSERT_EQ(out[MEKLAN_AREACODE_SIZE], '#');
    std::size_t len = std::strlen(out);
    if (len > longest) {
      longest = len;
      longest_name = Utf8(ma[i].maName);
    }
  }
  EXPECT_EQ(longest, 81u);
  EXPECT_EQ(longest_name, "松阪");
}

}  // namespace
