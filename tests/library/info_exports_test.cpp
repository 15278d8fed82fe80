// The information, table and address exports of libmeklan.so, and its export list.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "sjis.h"
#include "meklan.h"


namespace {

TEST(Information, VersionsAndDataDate) {
  char version[MEKLAN_VERSION_SIZE + 8];
  std::memset(version, '#', sizeof version);
  EXPECT_EQ(MEKLAN_GetVersion(version), version);
  EXPECT_STREQ(version, "3.19(2003/12/17)");
  EXPECT_EQ(version[MEKLAN_VERSION_SIZE], '#');
  char date[MEKLAN_DAYDATA_SIZE + 8];
  std::memset(date, '#', sizeof date);
  EXPECT_EQ(MEKLAN_GetDayData(date), date);
  EXPECT_STREQ(date, "2003/12/01");
  EXPECT_EQ(date[MEKLAN_DAYDATA_SIZE], '#');
  EXPECT_EQ(MEKLAN_GetVersionX(), 3190);
  EXPECT_EQ(MEKLAN_GetVersionCompati(), 3000);
}

// The address table is as long as the data the library was built from, whatever figure
// other documents give.
TEST(Tables, CountsMatchTheBuiltInData) {
  std::ifstream tsv(MEKLAN_TABLE_DIR "/address.tsv");
  ASSERT_TRUE(tsv);
  int lines = 0;
  for (std::string line; std::getline(tsv, line);) ++lines;
  EXPECT_EQ(MEKLAN_GetNumOfAddress(), lines - 1);
  EXPECT_EQ(MEKLAN_GetNumOfMKMA(), 649);
  ASSERT_NE(MEKLAN_GetMKMA(), nullptr);
  ASSERT_NE(MEKLAN_GetAddress(), nullptr);
  EXPECT_EQ(Utf8(MEKLAN_GetMKMA()[0].maName), "旭川");
  EXPECT_EQ(Utf8(MEKLAN_GetMKMA()[648].maName), "八重山");
  EXPECT_EQ(std::string(MEKLAN_GetAddress()[0].dantaiCode), "01101");
}

TEST(AddressAreaList, CityDividedBetweenMas) {
  MKADDRESS* list = nullptr;
  ASSERT_EQ(MEKLAN_GetAddressAreaList(Sjis("北海道").c_str(), Sjis("夕張市").c_str(), 0, &list), 2);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Utf8(list[0].maName), "栗山");
  EXPECT_EQ(Utf8(list[0].townName), "富野");
  EXPECT_EQ(Utf8(list[1].maName), "夕張");
  EXPECT_EQ(Utf8(list[1].townName), "");
  MEKLAN_MemFree(list);
}

TEST(AddressAreaList, WholePrefectureCopiesTheTableRecordsInOrder) {
  std::string hokkaido = Sjis("北海道");
  const MKADDRESS* table = MEKLAN_GetAddress();
  std::vector<const MKADDRESS*> expected;
  for (int i = 0; i < MEKLAN_GetNumOfAddress(); ++i) {
    if (hokkaido == table[i].prefName) expected.push_back(&table[i]);
  }
  MKADDRESS* list = nullptr;
  int count = MEKLAN_GetAddressAreaList(hokkaido.c_str(), nullptr, 12345, &list);
  ASSERT_EQ(count, static_cast<int>(expected.size()));
  ASSERT_GT(count, 200);
  for (int i = 0; i < count; ++i) {
    // Whole copies whose texts still point into the library's constant data.
    EXPECT_EQ(list[i].dantaiCode, expected[i]->dantaiCode);
    EXPECT_EQ(list[i].cityName, expected[i]->cityName);
    EXPECT_EQ(list[i].branch, expected[i]->branch);
  }
  MEKLAN_MemFree(list);
  // Without a place to store the block the count alone comes back.
  EXPECT_EQ(MEKLAN_GetAddressAreaList(hokkaido.c_str(), nullptr, 0, nullptr), count);
}

TEST(AddressAreaList, NothingMatchesGivesZeroAndNull) {
  MKADDRESS sentinel{};
  MKADDRESS* list = &sentinel;
  EXPECT_EQ(MEKLAN_GetAddressAreaList(Sjis("東京").c_str(), nullptr, 0, &list), 0);
  EXPECT_EQ(list, nullptr);
  list = &sentinel;
  EXPECT_EQ(MEKLAN_GetAddressAreaList(nullptr, Sjis("夕張市").c_str(), 0, &list), 0);
  EXPECT_EQ(list, nullptr);
  list = &sentinel;
  EXPECT_EQ(MEKLAN_GetAddressAreaList(Sjis("北海道").c_str(), Sjis("夕張").c_str(), 0, &list), 0);
  EXPECT_EQ(list, nullptr);
  MEKLAN_MemFree(nullptr);
}

TEST(NumOfNTT, EasternWesternAndAcross) {
  EXPECT_EQ(MEKLAN_GetNumOfNTT(14, 14), 0);
  EXPECT_EQ(MEKLAN_GetNumOfNTT(51, 55), 0);
  EXPECT_EQ(MEKLAN_GetNumOfNTT(17, 17), 0);
  EXPECT_EQ(MEKLAN_GetNumOfNTT(18, 18), 1);
  EXPECT_EQ(MEKLAN_GetNumOfNTT(27, 27), 1);
  EXPECT_EQ(MEKLAN_GetNumOfNTT(47, 47), 1);
  EXPECT_EQ(MEKLAN_GetNumOfNTT(14, 15), 2);
  EXPECT_EQ(MEKLAN_GetNumOfNTT(1, 51), 2);
}

std::set<std::string> DefinedDynamicSymbols(const char* library) {
  std::string command = std::string("nm -D --defined-only '") + library + "'";
  FILE* pipe = popen(command.c_str(), "r");
  std::set<std::string> symbols;
  if (pipe == nullptr) return symbols;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    std::size_t space = s.rfind(' ');
    symbols.insert(space == std::string::npos ? s : s.substr(space + 1));
  }
  EXPECT_EQ(pclose(pipe), 0) << command;
  return symbols;
}

// Every defined symbol as "name@@node"; the version nodes themselves stand as "node@@node".
TEST(ExportList, TheSixteenExportsAndTheEditionInterfaceEachUnderItsNode) {
  std::set<std::string> expected = {"MEKLAN_3@@MEKLAN_3", "MEKLAN_EDITION_1@@MEKLAN_EDITION_1"};
  for (const char* name :
       {"MEKLAN_GetVersion", "MEKLAN_GetVersionX", "MEKLAN_GetVersionCompati", "MEKLAN_GetDayData",
        "MEKLAN_GetNumOfMKMA", "MEKLAN_GetMKMA", "MEKLAN_GetNumOfAddress", "MEKLAN_GetAddress",
        "MEKLAN_GetAddressAreaList", "MEKLAN_MemFree", "MEKLAN_GetNumOfNTT", "MEKLAN_GetMA",
        "MEKLAN_GetAreaCode", "MEKLAN_GetDistance", "MEKLAN_GetAreaPlus", "MEKLAN_GetDistanceWithDialog"}) {
    expected.insert(std::string(name) + "@@MEKLAN_3");
  }
  for (const char* name :
       {"MEKLAN_EditionGetDayData", "MEKLAN_EditionGetNumOfMKMA", "MEKLAN_EditionGetMKMA",
        "MEKLAN_EditionGetNumOfAddress", "MEKLAN_EditionGetAddress", "MEKLAN_EditionGetMA",
        "MEKLAN_EditionGetAreaCode", "MEKLAN_EditionJoin"}) {
    expected.insert(std::string(name) + "@@MEKLAN_EDITION_1");
  }
  std::set<std::string> found;
  for (const std::string& s : DefinedDynamicSymbols(MEKLAN_LIBRARY_FILE)) {
    found.insert(s.find("@@") == std::string::npos ? s + "@@" + s : s);
  }
  EXPECT_EQ(found, expected);
}

}  // namespace
