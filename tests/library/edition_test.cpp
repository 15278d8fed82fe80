// The edition interface: the 2003 edition answers exactly as the sixteen exports, and the
// join of postal rows with MAs on real rows of divided municipalities.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "meklan.h"
#include "sjis.h"


namespace {

TEST(Edition2003, AnswersExactlyAsTheSixteenExports) {
  ASSERT_EQ(MEKLAN_EditionGetMKMA(MEKLAN_EDITION_2003), MEKLAN_GetMKMA());
  ASSERT_EQ(MEKLAN_EditionGetNumOfMKMA(MEKLAN_EDITION_2003), MEKLAN_GetNumOfMKMA());
  ASSERT_EQ(MEKLAN_EditionGetAddress(MEKLAN_EDITION_2003), MEKLAN_GetAddress());
  ASSERT_EQ(MEKLAN_EditionGetNumOfAddress(MEKLAN_EDITION_2003), MEKLAN_GetNumOfAddress());
  char date[MEKLAN_DAYDATA_SIZE];
  char old_date[MEKLAN_DAYDATA_SIZE];
  ASSERT_EQ(MEKLAN_EditionGetDayData(MEKLAN_EDITION_2003, date), 1);
  EXPECT_STREQ(date, MEKLAN_GetDayData(old_date));
  // Every name, reading, area code and number candidate's beginning of the table, with and
  // without a prefecture filter.
  std::set<std::string> keys = {"0", "01", "09", "-", "0120"};
  const MKMA* ma = MEKLAN_GetMKMA();
  for (int i = 0; i < MEKLAN_GetNumOfMKMA(); ++i) {
    keys.insert(ma[i].maName);
    keys.insert(ma[i].maKana);
    keys.insert(std::string(ma[i].maKana).substr(0, 2));
    std::string code = "0" + std::to_string(ma[i].areaCode);
    keys.insert(code);
    keys.insert(code + "1234");
  }
  for (const std::string& key : keys) {
    for (int pref : {-1, 0, 12}) {
      char expected[MEKLAN_MALIST_SIZE];
      char got[MEKLAN_MALIST_SIZE];
      MEKLAN_GetMA(key.c_str(), expected, pref);
      int needed = MEKLAN_EditionGetMA(MEKLAN_EDITION_2003, key.c_str(), pref, got, sizeof got);
      ASSERT_STREQ(got, expected) << Utf8(key);
      EXPECT_EQ(needed, static_cast<int>(std::strlen(expected)) + 1);
    }
    for (int branch : {-1, 0, 1}) {
      char expected[MEKLAN_AREACODE_SIZE] = "untouched";
      char got[MEKLAN_AREACODE_SIZE] = "untouched";
      int found = MEKLAN_GetAreaCode(key.c_str(), expected, branch);
      int needed = MEKLAN_EditionGetAreaCode(MEKLAN_EDITION_2003, key.c_str(), branch, got, sizeof got);
      EXPECT_EQ(needed != 0, found != 0) << Utf8(key);
      ASSERT_STREQ(got, expected) << Utf8(key);
    }
  }
}

TEST(EditionInterface, UnknownEditionsAndCallerSizedBuffers) {
  char text[64] = "untouched";
  EXPECT_EQ(MEKLAN_EditionGetDayData(7, text), 0);
  EXPECT_EQ(MEKLAN_EditionGetDayData(MEKLAN_EDITION_CURRENT, nullptr), 0);  // nothing copied
  for (int unknown : {-1, 2, 7}) {
    EXPECT_EQ(MEKLAN_EditionGetMKMA(unknown), nullptr);
    EXPECT_EQ(MEKLAN_EditionGetNumOfMKMA(unknown), 0);
    EXPECT_EQ(MEKLAN_EditionGetAddress(unknown), nullptr);
    EXPECT_EQ(MEKLAN_EditionGetNumOfAddress(unknown), 0);
  }
  EXPECT_EQ(MEKLAN_EditionGetMA(2, "0", -1, text, sizeof text), 0);
  MKJOIN join;
  EXPECT_EQ(MEKLAN_EditionJoin(2, "22140", "x", nullptr, &join), -1);
  EXPECT_EQ(MEKLAN_EditionJoin(MEKLAN_EDITION_CURRENT, "22140", "x", nullptr, nullptr), -1);
  EXPECT_STREQ(text, "untouched");
  ASSERT_EQ(MEKLAN_EditionGetDayData(MEKLAN_EDITION_CURRENT, text), 1);
  EXPECT_STREQ(text, "2026/02/10");

  // A list cut to the buffer keeps whole names, and the size of the whole list is reported.
  char whole[MEKLAN_MALIST_SIZE];
  int needed = MEKLAN_EditionGetMA(MEKLAN_EDITION_CURRENT, "0", 0, whole, sizeof whole);
  ASSERT_GT(needed, 64);
  EXPECT_EQ(needed, static_cast<int>(std::strlen(whole)) + 1);
  char small[64];
  EXPECT_EQ(MEKLAN_EditionGetMA(MEKLAN_EDITION_CURRENT, "0", 0, small, sizeof small), needed);
  std::string cut(small);
  ASSERT_FALSE(cut.empty());
  EXPECT_EQ(cut.back(), '$');
  EXPECT_EQ(std::string(whole).substr(0, cut.size()), cut);
  EXPECT_EQ(MEKLAN_EditionGetAreaCode(MEKLAN_EDITION_CURRENT, Sjis("天竜").c_str(), -1, nullptr, 0),
            static_cast<int>(Sjis("0539-[1,60～63,74,77,9]").size()) + 1);
}

TEST(EditionCurrent, NamesSince2003AndTheirReadings) {
  // A reading is listed once per pass of the number search, as MEKLAN_GetMA does.
  const std::pair<const char*, const char*> cases[] = {
      {"さど", "佐渡$"}, {"あまくさ", "天草$"}, {"しかべ", "鹿部$"}, {"あかいわ", "赤磐$"},
      {"りゅうがさき", "竜ケ崎$"}, {"あじがさわ", "鰺ケ沢$"}};
  for (const auto& [reading, name] : cases) {
    char out[MEKLAN_MALIST_SIZE];
    MEKLAN_EditionGetMA(MEKLAN_EDITION_CURRENT, Sjis(reading).c_str(), -1, out, sizeof out);
    std::string list = Utf8(out);
    ASSERT_FALSE(list.empty()) << reading;
    for (std::size_t at = 0; at < list.size(); at += std::string(name).size()) {
      EXPECT_EQ(list.compare(at, std::string(name).size(), name), 0) << reading << ": " << list;
    }
    char codes[MEKLAN_AREACODE_SIZE];
    EXPECT_GT(MEKLAN_EditionGetAreaCode(MEKLAN_EDITION_CURRENT, Sjis(reading).c_str(), -1, codes, sizeof codes), 1);
  }
  // A prefix of four digits stands under the longer code, as 01337 does in 2003.
  char codes[MEKLAN_AREACODE_SIZE];
  MEKLAN_EditionGetAreaCode(MEKLAN_EDITION_CURRENT, Sjis("所沢").c_str(), -1, codes, sizeof codes);
  EXPECT_EQ(Utf8(codes), "04-[200,290,292～296,299]、0429-[17]");
}

struct JoinCase {
  const char* code;
  const char* town;
  const char* street;
  int how;
  const char* names;
};

// Real rows of the bundled KEN_ALL.CSV (and JIGYOSYO streets) of divided municipalities.
TEST(EditionJoin, RowsOfDividedMunicipalities) {
  const JoinCase cases[] = {
      {"22140", "二俣町", nullptr, MEKLAN_JOIN_WHOLE, "浜松"},           // a ward of 2024
      {"22139", "細江町気賀", nullptr, MEKLAN_JOIN_WHOLE, "浜松"},
      {"11230", "栗原", nullptr, MEKLAN_JOIN_PART, "武蔵野三鷹"},
      {"11230", "あたご", nullptr, MEKLAN_JOIN_PART, "川口"},           // outside every listed town
      {"11230", "石神", nullptr, MEKLAN_JOIN_STRADDLING, "武蔵野三鷹/川口"},  // chome 1,3-5 vs the rest
      {"11230", "石神", "３丁目１－２", MEKLAN_JOIN_PART, "武蔵野三鷹"},  // kanji chome vs full-width
      {"11230", "石神", "２丁目１－２", MEKLAN_JOIN_PART, "川口"},
      {"11230", "以下に掲載がない場合", nullptr, MEKLAN_JOIN_CATCH_ALL, "川口"},
      // A street's chome in ASCII or kanji digits decides as the full-width one does.
      {"11230", "石神", "3丁目１－２", MEKLAN_JOIN_PART, "武蔵野三鷹"},
      {"11230", "石神", "三丁目１番２号", MEKLAN_JOIN_PART, "武蔵野三鷹"},
      {"11230", "石神", "二丁目", MEKLAN_JOIN_PART, "川口"},
      {"11230", "石神", "十三丁目", MEKLAN_JOIN_PART, "川口"},  // not 三
      {"12224", "くぬぎ山", "四丁目一番十二号", MEKLAN_JOIN_PART, "市川"},
      // Letters the list writes otherwise than KEN_ALL (新館, 菖蒲澤, 團子新居).
      {"02408", "新舘", nullptr, MEKLAN_JOIN_PART, "十和田"},
      {"19210", "菖蒲沢", nullptr, MEKLAN_JOIN_PART, "韮崎"},
      {"19210", "団子新居", nullptr, MEKLAN_JOIN_PART, "韮崎"},
      // 大字 and 字 before a JIGYOSYO town are not part of its name.
      {"02408", "大字上野", nullptr, MEKLAN_JOIN_PART, "十和田"},
      {"26322", "大字田井", "小字浜代１－２", MEKLAN_JOIN_PART, "宇治"},
      {"35210", "大字岩田", "２３５６－１", MEKLAN_JOIN_PART, "柳井"},
      // A part naming towns KEN_ALL does not list serves the catch-all row too.
      {"01346", "以下に掲載がない場合", nullptr, MEKLAN_JOIN_CATCH_ALL, "八雲/熊石"},
      {"08229", "以下に掲載がない場合", nullptr, MEKLAN_JOIN_CATCH_ALL, "土浦/潮来"},
      {"08230", "以下に掲載がない場合", nullptr, MEKLAN_JOIN_CATCH_ALL, "土浦/石岡"},
      {"15108", "以下に掲載がない場合", nullptr, MEKLAN_JOIN_CATCH_ALL, "新潟/巻"},
      {"15210", "以下に掲載がない場合", nullptr, MEKLAN_JOIN_CATCH_ALL, "安塚/十日町"},
      {"13210", "梶野町", nullptr, MEKLAN_JOIN_STRADDLING, "武蔵野三鷹/国分寺"},
      {"13210", "梶野町", "５丁目", MEKLAN_JOIN_PART, "国分寺"},
      {"13208", "深大寺東町", nullptr, MEKLAN_JOIN_STRADDLING, "武蔵野三鷹"},  // one MA on two codes
      {"27227", "岩田町", nullptr, MEKLAN_JOIN_STRADDLING, "大阪/八尾"},  // 岩田町（三丁目を除く。）
      {"32205", "温泉津町井田", nullptr, MEKLAN_JOIN_PART, "江津"},       // the list writes 湯泉津町
      {"28204", "生瀬東町", nullptr, MEKLAN_JOIN_PART, "西宮"},           // the list writes 生瀬町東町
      {"08229", "佐原下手", nullptr, MEKLAN_JOIN_PART, "潮来"},
      {"35215", "勝間ヶ丘", nullptr, MEKLAN_JOIN_PART, "下松"},           // ヶ in the postal file, ケ in the list
      {"36206", "土成町秋月", nullptr, MEKLAN_JOIN_PART, "徳島"},         // the list omits 土成町
      {"36206", "阿波町赤坂", nullptr, MEKLAN_JOIN_PART, "鴨島"},
      {"01484", "天売（相影）", nullptr, MEKLAN_JOIN_PART, "焼尻"},       // 天売相影 in the list
      {"01484", "焼尻", nullptr, MEKLAN_JOIN_STRADDLING, "羽幌/焼尻"},
      {"02201", "浪岡浪岡", nullptr, MEKLAN_JOIN_PART, "弘前"},           // under the former town 浪岡
      {"02201", "青葉", nullptr, MEKLAN_JOIN_PART, "青森"},
      {"26109", "醍醐三ノ切", nullptr, MEKLAN_JOIN_PART, "大津"},
      {"26109", "醍醐上端山町", nullptr, MEKLAN_JOIN_PART, "京都"},
      {"99999", "どこか", nullptr, MEKLAN_JOIN_NONE, ""},
  };
  for (const JoinCase& c : cases) {
    MKJOIN join;
    std::string street = c.street != nullptr ? Sjis(c.street) : std::string();
    int count = MEKLAN_EditionJoin(MEKLAN_EDITION_CURRENT, c.code, Sjis(c.town).c_str(),
                                   c.street != nullptr ? street.c_str() : nullptr, &join);
    EXPECT_EQ(count, join.count);
    EXPECT_EQ(join.how, c.how) << c.code << " " << c.town;
    EXPECT_EQ(Utf8(join.maNames), c.names) << c.code << " " << c.town;
  }
}

// Code and town field of every line of the bundled KEN_ALL.CSV (CP932).
std::vector<std::pair<std::string, std::string>> KenAllTowns() {
  std::ifstream in(POSTAL_DATA_DIR "/ken_all.csv", std::ios::binary);
  std::vector<std::pair<std::string, std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::stringstream s(line);
    for (std::string f; std::getline(s, f, ',');) {
      fields.push_back(f.size() >= 2 && f.front() == '"' ? f.substr(1, f.size() - 2) : f);
    }
    if (fields.size() >= 9) rows.emplace_back(fields[0], fields[8]);
  }
  return rows;
}

// Every row of the bundled KEN_ALL.CSV meets the current edition, and only MAs of its own
// local government serve it; the 2003 edition leaves today's codes of merged municipalities
// unjoined.
TEST(EditionJoin, EveryBundledRowFindsTheMasOfItsCode) {
  const auto rows = KenAllTowns();
  const MKADDRESS* address = MEKLAN_EditionGetAddress(MEKLAN_EDITION_CURRENT);
  const MKMA* ma = MEKLAN_EditionGetMKMA(MEKLAN_EDITION_CURRENT);
  std::map<std::string, std::set<std::string>> mas_of_code;
  for (int i = 0; i < MEKLAN_EditionGetNumOfAddress(MEKLAN_EDITION_CURRENT); ++i) {
    mas_of_code[address[i].dantaiCode].insert(address[i].maName);
  }
  std::map<int, int> current_ways;
  int joined_2003 = 0;
  for (const auto& [code, town] : rows) {
    MKJOIN join;
    int count = MEKLAN_EditionJoin(MEKLAN_EDITION_CURRENT, code.c_str(), town.c_str(), nullptr, &join);
    ++current_ways[join.how];
    ASSERT_GT(count, 0) << code << " " << Utf8(town);
    for (int i = 0; i < count; ++i) {
      EXPECT_TRUE(mas_of_code[code].count(ma[join.maIndex[i]].maName)) << code << " " << Utf8(town);
    }
    joined_2003 += MEKLAN_EditionJoin(MEKLAN_EDITION_2003, code.c_str(), town.c_str(), nullptr, &join) > 0;
  }
  EXPECT_GT(rows.size(), 120000u);
  EXPECT_EQ(current_ways[MEKLAN_JOIN_NONE], 0);
  EXPECT_GT(current_ways[MEKLAN_JOIN_PART], 10000);
  EXPECT_GT(current_ways[MEKLAN_JOIN_STRADDLING], 10);
  EXPECT_LT(joined_2003, static_cast<int>(rows.size()) * 9 / 10);  // the codes of 2003 miss today's merged municipalities
}

// An address in a town the postal file does not list takes the catch-all row of its
// municipality. Over the bundled KEN_ALL.CSV: every town the tables mark as unlisted is
// truly absent, and every MA of a divided municipality that no named row reaches serves
// the catch-all row (else its unlisted places would be served by nobody).
TEST(EditionJoin, TownsKenAllDoesNotListMeetTheCatchAllRow) {
  const auto rows = KenAllTowns();
  std::map<std::string, std::set<std::string>> towns_of_code;
  for (const auto& [code, town] : rows) towns_of_code[code].insert(town.substr(0, town.find(Sjis("（"))));
  std::ifstream marks(MEKLAN_TABLE_DIR "/current/town_corrections.tsv");
  int unlisted = 0;
  for (std::string line; std::getline(marks, line);) {
    std::vector<std::string> f;
    std::stringstream s(line);
    for (std::string x; std::getline(s, x, '\t');) f.push_back(x);
    if (f.size() < 3 || f[2] != "-") continue;
    ++unlisted;
    EXPECT_FALSE(towns_of_code[f[0]].count(Sjis(f[1]))) << f[0] << " " << f[1] << " is listed";
  }
  EXPECT_GT(unlisted, 10);

  const MKADDRESS* address = MEKLAN_EditionGetAddress(MEKLAN_EDITION_CURRENT);
  std::map<std::string, std::set<std::string>> mas_of_code;
  for (int i = 0; i < MEKLAN_EditionGetNumOfAddress(MEKLAN_EDITION_CURRENT); ++i) {
    mas_of_code[address[i].dantaiCode].insert(address[i].maName);
  }
  const std::string catch_all = Sjis("以下に掲載がない場合");
  std::map<std::string, std::set<std::string>> reached;  // by named rows
  std::map<std::string, std::set<std::string>> of_catch_all;
  const MKMA* ma = MEKLAN_EditionGetMKMA(MEKLAN_EDITION_CURRENT);
  for (const auto& [code, town] : rows) {
    MKJOIN join;
    MEKLAN_EditionJoin(MEKLAN_EDITION_CURRENT, code.c_str(), town.c_str(), nullptr, &join);
    auto& into = town == catch_all ? of_catch_all[code] : reached[code];
    for (int i = 0; i < join.count; ++i) into.insert(ma[join.maIndex[i]].maName);
  }
  for (const auto& [code, served] : of_catch_all) {
    for (const std::string& name : mas_of_code[code]) {
      EXPECT_TRUE(reached[code].count(name) || served.count(name)) << code << " " << Utf8(name);
    }
  }
}

}  // namespace
