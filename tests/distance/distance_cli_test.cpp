// meklan distance and meklan areaplus, run as a separate process (UTF-8 terminal).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"

namespace {

using test_process::Result;

Result Meklan(const std::vector<std::string>& args) {
  return test_process::Run(MEKLAN_EXECUTABLE, args, "C.UTF-8");
}

TEST(MeklanDistance, ReportsBothEndsAndTheClassInWords) {
  const Result r = Meklan({"distance", "旭川", "0165-8"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "from             旭川 (0166, 北海道)\n"
            "to               上川 (01658, 北海道)\n"
            "distance         32 km\n"
            "charge distance  1 km\n"
            "class            1 adjacent (adjacent-pair table)\n"
            "nttNo            0 within one eastern prefecture\n");
}

TEST(MeklanDistance, JsonUsesTheRecordFieldNames) {
  const Result r = Meklan({"distance", "--json", "0839012345", "0839801234"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"fromName\":\"山口\",\"toName\":\"小郡\",\"kind\":0,\"distance\":12,"
            "\"chargeDistance\":0,\"nttNo\":1,\"fromAreaCode\":\"083\",\"toAreaCode\":\"083\","
            "\"fromPrefName\":\"山口県\",\"toPrefName\":\"山口県\","
            "\"fromMa\":{\"maName\":\"山口\",\"branch\":0,\"maKana\":\"やまぐち\",\"posNS\":369,"
            "\"posEW\":175,\"areaCode\":83,\"prefixList\":\"/1/90/92/93/94/99/\",\"prefNo\":35,"
            "\"regionCode\":7700},"
            "\"toMa\":{\"maName\":\"小郡\",\"branch\":0,\"maKana\":\"おごおり\",\"posNS\":364,"
            "\"posEW\":171,\"areaCode\":83,\"prefixList\":\"/97/98/\",\"prefNo\":35,"
            "\"regionCode\":7700}}\n");
}

TEST(MeklanDistance, NamesTheEndThatResolvesToNothing) {
  Result r = Meklan({"distance", "東京", "0166-23"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "meklan distance: TO '0166-23' names no MA\n");
  r = Meklan({"distance", "xx", "yy"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "meklan distance: FROM 'xx' names no MA; TO 'yy' names no MA\n");
}

TEST(MeklanDistance, UsageErrors) {
  EXPECT_EQ(Meklan({"distance", "東京"}).code, 2);
  EXPECT_EQ(Meklan({"distance", "東京", "大阪", "京都"}).code, 2);
  EXPECT_EQ(Meklan({"distance", "東京", "大阪", "--csv"}).code, 2);
  // Eleven kanji are 22 bytes in CP932 and fit; sixteen (32 bytes) do not fit the field.
  EXPECT_EQ(Meklan({"distance", "東東東東東東東東東東東", "大阪"}).code, 1);
  const Result r = Meklan({"distance", "東東東東東東東東東東東東東東東東", "大阪"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("longer than 31 bytes"), std::string::npos) << r.err;
  EXPECT_EQ(Meklan({"distance", "\xff", "大阪"}).code, 2);  // not text in the terminal's charset
  const Result help = Meklan({"distance", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("usage: meklan distance FROM TO [--json]\n", 0), 0u);
}

TEST(MeklanAreaPlus, ListingWithLineFeeds) {
  const Result r = Meklan({"areaplus", "江差"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "　　　隣接ＭＡ\n"
            "函館      （0138）\n"
            "松前      （01394）\n"
            "八雲      （01376・01377）\n"
            "木古内    （01392）\n"
            "熊石      （01398）\n"
            "森        （01374）\n"
            "\n"
            "　　　離島特例対象ＭＡ\n"
            "奥尻      （01397）\n");
}

TEST(MeklanAreaPlus, KeyNamingNoMa) {
  const Result r = Meklan({"areaplus", "0166-22-1234"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "meklan areaplus: '0166-22-1234' names no MA\n");
  EXPECT_EQ(Meklan({"areaplus"}).code, 2);
}

}  // namespace
