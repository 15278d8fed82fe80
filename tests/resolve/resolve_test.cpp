// The resolver's rules, each as a table of written addresses against the bundled KEN_ALL.CSV.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "address_fold.h"
#include "resolve.h"
#include "sjis.h"

namespace tovra::resolve {
namespace {

const Resolver& Shared() {
  static const Resolver* resolver = [] {
    auto* r = new Resolver;
    std::string error;
    if (!r->Load(std::string(POSTAL_DATA_DIR) + "/ken_all.csv", error)) ADD_FAILURE() << error;
    return r;
  }();
  return *resolver;
}

Resolution Resolve(std::string_view utf8) { return Shared().Resolve(Sjis(utf8)); }

struct Case {
  const char* address;
  const char* postcode;  // level 4 with this code
};

void ExpectDecided(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    const Resolution r = Resolve(c.address);
    EXPECT_EQ(r.level, 4) << c.address << ": " << r.note;
    EXPECT_EQ(r.postcode, c.postcode) << c.address << " -> " << Utf8(r.town);
  }
}

TEST(Fold, OneSpellingForTheWaysPeopleWrite) {
  const std::pair<const char*, const char*> cases[] = {
      {"２丁目　１－２", "2丁目1-2"},        {"二十三番地の四", "23番地ノ4"},   {"二〇二", "202"},
      {"18ー1", "18-1"},                    {"センター", "センター"},          {"自由が丘", "自由ケ丘"},
      {"霞ヶ関", "霞ケ関"},                 {"大字新曽字北", "新曽北"},        {"上ル", "上る"},
      {"西入ル", "西入"},                   {"ａｂＣ", "ABC"},                 {"市之瀬", "市ノ瀬"},
      {"1－2‐3―4─5━6", "1-2-3-4-5-6"},    {"ヶヵがガケ", "ケケケケケ"},      {"髙﨑の", "高崎ノ"},
      {"千二百三十四", "1234"},             {"百", "100"},                     {"九八七六五", "98765"},
      {"下ル上ル東入る", "下る上る東入"},   {"字大字", ""},                    {"１ｰ２ー", "1-2-"},
  };
  for (const auto& [written, key] : cases) EXPECT_EQ(Utf8(FoldAddress(Sjis(written))), key) << written;
  // The NEC-selected forms of 髙 and 﨑, which no UTF-8 text converts to.
  EXPECT_EQ(Utf8(FoldAddress("\xEE\xE0\xED\x95")), "高崎");
}

TEST(WrittenForms, EachWayOfWritingReachesTheRecord) {
  ExpectDecided({
      {"大阪府高槻市奈佐原２丁目１－２", "5691041"},       // full width, prefecture
      {"高槻市奈佐原二丁目1番2号", "5691041"},             // no prefecture, kanji chome
      {"港区芝2-10-2 〇〇ビル3F", "1050014"},              // chome as the first number, building
      {"戸田市大字新曽2242", "3350021"},                   // 大字 the file leaves out
      {"〒335-0022 埼玉県戸田市上戸田２－２１－１", "3350022"},  // 〒 and code before
      {"〒068-2155 三笠市榊町１２番３号", "0682155"},      // a city in kanji numerals after the code
      {"石狩郡当別町弥生", "0610223"},                     // with 郡
      {"当別町弥生", "0610223"},                           // without 郡
      {"札幌市中央区北1条西2丁目", "0600001"},             // designated city and ward
      {"横浜市日吉本町1-2-3", "2230062"},                  // ward left out, the town tells it
      {"中央区銀座1-1", "1040061"},                        // ward name of many cities, town tells
      {"北海道帯広市 自由ヶ丘1丁目4-2", "0800848"},        // blanks, ヶ for が
      {"新潟県上越市大潟区潟守新田５３の１", "9420181"},   // の for ノ in a block list
      {"京都市中京区河原町通三条上る恵比須町", "6048005"}, // Kyoto directions before the town
      {"京都府京都市下京区烏丸通七条下る東塩小路町721-1", "6008216"},
      {"札幌市中央区南一条西　４", "0600061"},            // chome alone
  });
}

TEST(ParenthesisRules, TheTownFieldDecides) {
  ExpectDecided({
      {"札幌市中央区大通西20丁目", "0640820"},             // （２０～２８丁目） over （１～１９丁目）
      {"帯広市自由が丘3丁目", "0802476"},                  // （３～７丁目）
      {"帯広市自由が丘2-1-1", "0800848"},                  // （１、２丁目）
      {"大阪市中央区道頓堀2-1", "5420071"},                // （その他） beside （１丁目東）
      {"和歌山県紀の川市竹房450番地", "6496413"},          // （４５０番地以下）
      {"和歌山県紀の川市竹房451番地", "6496162"},          // （４５１番地以上）
      {"磐田市大原2000番地", "4380043"},                   // （１番地～２０６１番地、…）
      {"磐田市大原3000番地", "4371211"},                   // …（その他）
      {"東京都千代田区丸の内2-7-2 JPタワー 20階", "1007020"},  // （２０階）
      {"東京都千代田区丸の内2-7-2 JPタワー", "1007090"},   // （地階・階層不明）
      {"東京都千代田区丸の内2-7-2 JPタワー B1F", "1007090"},
      {"東京都新宿区西新宿2-8-1", "1600023"},              // （次のビルを除く）
      {"京都市中京区堺町通夷川下る亀屋町123", "6040811"}, // the directions of one 亀屋町
      {"京都市上京区堀川通寺之内上る４丁目天神北町１番地の１", "6020087"},  // a block up, then the town
  });
}

TEST(Levels, WhereTheFileCannotDecideTheResultSaysSo) {
  struct Expect {
    const char* address;
    int level;
    std::size_t candidates;
  };
  const Expect cases[] = {
      {"京都市中京区亀屋町", 3, 5},          // five 亀屋町 told apart by directions only
      {"大阪市中央区道頓堀1-4-2", 3, 2},     // （１丁目東） or （その他）
      {"兵庫県相生市相生5133番地", 3, 2},    // the range starts at 5133番地2
      {"府中市", 0, 2},                      // 東京都 or 広島県
      {"伊達市", 0, 2},                      // 北海道 or 福島県
      {"北海道伊達市", 2, 0},
      {"東京都", 1, 0},
      {"東京都ほげ町", 1, 0},
      {"ほげ", 0, 0},
  };
  for (const Expect& e : cases) {
    const Resolution r = Resolve(e.address);
    EXPECT_EQ(r.level, e.level) << e.address;
    EXPECT_EQ(r.candidates.size(), e.candidates) << e.address;
    EXPECT_TRUE(r.postcode.empty()) << e.address;  // never a code below level 4
    EXPECT_FALSE(r.note.empty()) << e.address;
  }
}

TEST(Levels, TheRestAndTheJoinComeWithTheRecord) {
  const Resolution r = Resolve("〒105-0014 港区芝2-10-2 〇〇ビル3F");
  EXPECT_EQ(Utf8(r.rest), "2-10-2 〇〇ビル3F");
  EXPECT_EQ(Utf8(r.prefecture), "東京都");
  EXPECT_EQ(Utf8(r.city), "港区");
  EXPECT_EQ(r.dantai, "13103");
  EXPECT_EQ(Utf8(r.ma_names), "東京");
  EXPECT_EQ(r.area_codes.substr(0, 2), "03");
}

TEST(HostileInput, NothingBreaksAndNothingIsInvented) {
  const std::string megabyte_of_kanji(1 << 20, '\x88');  // lead bytes of 一 without their trail
  std::string long_line = Sjis("東京都港区芝") + std::string(1 << 20, '1');
  std::string numerals;
  for (int i = 0; i < 100000; ++i) numerals += Sjis("十");
  const std::string inputs[] = {
      "",  "\n", "\r\n", std::string("\0\0\0", 3), "\xFF\xFE\x80\xA0", "\x81", megabyte_of_kanji, long_line,
      numerals, Sjis("〒") + std::string(200, '-'), Sjis("（（（（（"), Sjis("東京都港区芝") + "\x81",
  };
  for (const std::string& text : inputs) {
    const Resolution r = Shared().Resolve(text);
    EXPECT_LE(r.level, 4);
    if (r.level == 4) {
      EXPECT_EQ(r.postcode.size(), 7u);
    }
  }
  EXPECT_EQ(Shared().Resolve(long_line).city, Sjis("港区"));  // the 1 MB line still reads
}

TEST(Loading, AFileThatIsNotThereOrHoldsNoRecord) {
  Resolver r;
  std::string error;
  EXPECT_FALSE(r.Load("/nonexistent/ken_all.csv", error));
  EXPECT_NE(error.find("cannot be opened"), std::string::npos);
  EXPECT_FALSE(r.LoadBytes("\n\n,,,\n", error));
  EXPECT_EQ(r.Resolve(Sjis("東京都港区芝")).level, 0);
}

}  // namespace
}  // namespace tovra::resolve
