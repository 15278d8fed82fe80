// MEKLAN_GetAreaPlus through the C ABI of the shared library.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "meklan.h"
#include "sjis.h"

namespace {

constexpr char kGuard = '\x7e';

// The listing for key, from a buffer of exactly MEKLAN_AREAPLUS_SIZE bytes followed by guard
// bytes that must survive; nullopt-like "" with ok=false when the key names nothing.
struct Listing {
  int result;
  std::string text;
};

Listing AreaPlus(const std::string& key) {
  std::vector<char> buffer(MEKLAN_AREAPLUS_SIZE + 64, kGuard);
  const int result = MEKLAN_GetAreaPlus(key.c_str(), buffer.data());
  for (std::size_t i = MEKLAN_AREAPLUS_SIZE; i < buffer.size(); ++i) {
    EXPECT_EQ(buffer[i], kGuard) << "written past the documented size for " << key;
  }
  if (result != 1) return {result, ""};
  const void* nul = std::memchr(buffer.data(), '\0', MEKLAN_AREAPLUS_SIZE);
  EXPECT_NE(nul, nullptr);
  return {result, nul ? std::string(buffer.data()) : std::string()};
}

const std::string kAdjacentHeader = "　　　隣接ＭＡ\r\n";
const std::string kIslandHeader = "\r\n　　　離島特例対象ＭＡ\r\n";
const std::string kOkinawa =
    "沖縄宮古  （09807）\r\n"
    "名護      （0980-[1,4,5]）\r\n"
    "那覇      （098-[1,8,9]）\r\n"
    "南大東    （09802）\r\n"
    "八重山    （09808）\r\n";

TEST(GetAreaPlus, Naha) {
  EXPECT_EQ(AreaPlus(Sjis("那覇")).text,
            Sjis(kAdjacentHeader +
                 "名護      （0980-[1,4,5]）\r\n" +  // adjacent-pair table
                 kIslandHeader +
                 "大根占    （09942）\r\n"
                 "沖縄宮古  （09807）\r\n"
                 "名護      （0980-[1,4,5]）\r\n"
                 "南大東    （09802）\r\n"
                 "八重山    （09808）\r\n"
                 "指宿      （0993-[2～4]）\r\n"  // within 20 km of the Okinawa reference point
                 "鹿屋      （0994-[1,3～6]）\r\n"));
}

TEST(GetAreaPlus, Ohnejime) {
  EXPECT_EQ(AreaPlus(Sjis("大根占")).text,
            Sjis(kAdjacentHeader +
                 "指宿      （0993-[2～4]）\r\n"
                 "鹿屋      （0994-[1,3～6]）\r\n" +
                 kIslandHeader + kOkinawa));
}

TEST(GetAreaPlus, IbusukiNearTheOkinawaReferencePoint) {
  EXPECT_EQ(AreaPlus(Sjis("指宿")).text,
            Sjis(kAdjacentHeader +
                 "大根占    （09942）\r\n"  // listed although a near exception for distance
                 "加世田    （0993-[1,5～8]）\r\n"
                 "鹿児島    （099-[17,2,80～83]）\r\n" +
                 kIslandHeader + kOkinawa));
}

TEST(GetAreaPlus, EsashiWithTwoRecordNeighbourAndIsland) {
  EXPECT_EQ(AreaPlus(Sjis("江差")).text,
            Sjis(kAdjacentHeader +
                 "函館      （0138）\r\n"
                 "松前      （01394）\r\n"
                 "八雲      （01376・01377）\r\n"
                 "木古内    （01392）\r\n"
                 "熊石      （01398）\r\n"
                 "森        （01374）\r\n" +
                 kIslandHeader +
                 "奥尻      （01397）\r\n"));
}

TEST(GetAreaPlus, SukagawaListsItsNearException) {
  EXPECT_EQ(AreaPlus(Sjis("須賀川")).text,
            Sjis(kAdjacentHeader +
                 "石川      （0247-[2～5]）\r\n"
                 "郡山      （024-[9]）\r\n"
                 "三春      （0247-[6～8]）\r\n"
                 "白河      （0248-[2～5]）\r\n"
                 "会津若松  （0242）\r\n"
                 "田島      （0241-[6,9]）\r\n"));
}

TEST(GetAreaPlus, AnyKeyOfTheMaGivesItsListing) {
  const std::string byName = AreaPlus(Sjis("厚岸")).text;
  ASSERT_FALSE(byName.empty());
  for (const std::string& key : {Sjis("あっけし"), std::string("0153-5"), std::string("01535")}) {
    EXPECT_EQ(AreaPlus(key).text, byName) << key;
  }
  // 0153 is the area code of 厚岸, the first record under it.
  EXPECT_EQ(AreaPlus("0153").text, byName);
}

TEST(GetAreaPlus, KeyNamingNothingLeavesOutUntouched) {
  for (const std::string& key : {std::string(""), std::string("0"), std::string("0166-22-1234"),
                                 std::string("0166234567"), Sjis("旭")}) {
    char out[MEKLAN_AREAPLUS_SIZE];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(MEKLAN_GetAreaPlus(key.c_str(), out), 0) << key;
    EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'x')) << key;
  }
  char out[8] = "x";
  EXPECT_EQ(MEKLAN_GetAreaPlus(nullptr, out), 0);
  EXPECT_EQ(MEKLAN_GetAreaPlus("03", nullptr), 0);
}

TEST(GetAreaPlus, ReplacesEarlierContents) {
  char out[MEKLAN_AREAPLUS_SIZE];
  std::memset(out, 'x', sizeof out);
  out[sizeof out - 1] = '\0';
  ASSERT_EQ(MEKLAN_GetAreaPlus(Sjis("江差").c_str(), out), 1);
  EXPECT_EQ(std::string(out), AreaPlus(Sjis("江差")).text);
}

// Every MA of the built-in data: the listing fits the documented size with room to spare,
// the longest is 鹿児島's, and 40 names have an island section.
TEST(GetAreaPlus, EveryListingOfTheBuiltInData) {
  const MKMA* table = MEKLAN_GetMKMA();
  const int count = MEKLAN_GetNumOfMKMA();
  const std::string islandHeader = Sjis(kIslandHeader);
  const std::string adjacentHeader = Sjis(kAdjacentHeader);
  std::size_t longest = 0;
  std::string longestName;
  int withIslandSection = 0;
  int names = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0 && std::strcmp(table[i].maName, table[i - 1].maName) == 0) continue;
    ++names;
    const Listing listing = AreaPlus(table[i].maName);
    ASSERT_EQ(listing.result, 1) << i;
    ASSERT_EQ(listing.text.rfind(adjacentHeader, 0), 0u) << i;
    EXPECT_GT(listing.text.size(), adjacentHeader.size()) << "no neighbour for record " << i;
    EXPECT_EQ(listing.text.substr(listing.text.size() - 2), "\r\n");
    if (listing.text.find(islandHeader) != std::string::npos) ++withIslandSection;
    if (listing.text.size() > longest) {
      longest = listing.text.size();
      longestName = table[i].maName;
    }
  }
  EXPECT_EQ(names, 567);
  EXPECT_EQ(withIslandSection, 40);
  EXPECT_EQ(longestName, Sjis("鹿児島"));
  EXPECT_EQ(longest, 363u);
  EXPECT_LT(longest * 2, static_cast<std::size_t>(MEKLAN_AREAPLUS_SIZE));
}

}  // namespace
