// The wording of a town field's parentheses, read into rules and matched against the numbers
// and names of written addresses.
#include <gtest/gtest.h>

#include "address_fold.h"
#include "sjis.h"
#include "town_rule.h"

namespace tovra::resolve {
namespace {

constexpr RuleMatch kYes = RuleMatch::kYes, kNo = RuleMatch::kNo, kUnknown = RuleMatch::kUnknown;

struct Case {
  const char* field;  // as KEN_ALL.CSV writes it
  const char* rest;   // the written address after the town
  bool has_chome;
  RuleMatch expected;
};

TEST(TownRule, EachWordingAgainstWrittenNumbersAndNames) {
  const Case cases[] = {
      {"大通西（１～１９丁目）", "19丁目", true, kYes},
      {"大通西（１～１９丁目）", "20-1", true, kNo},
      {"大通西（１～１９丁目）", "", true, kUnknown},
      {"自由が丘（１、２丁目）", "2-1-1", true, kYes},
      {"自由が丘（１、２丁目）", "3丁目", true, kNo},
      {"道頓堀（１丁目東）", "1-4-2", true, kUnknown},   // part of a chome: never decides
      {"道頓堀（１丁目東）", "2-1", true, kNo},
      {"大原（１番地～２０６１番地、２７５７番地～２７６８番地）", "2061番地", false, kYes},
      {"大原（１番地～２０６１番地、２７５７番地～２７６８番地）", "2700", false, kNo},
      {"潟守新田（５３の１～６０の９番地）", "53-2", false, kYes},
      {"潟守新田（５３の１～６０の９番地）", "53番地", false, kUnknown},  // 53-0 lies before 53-1
      {"相生（５１３３番地２～５１８７番地）", "5187番地99", false, kYes},
      {"竹房（４５０番地以下）", "450", false, kYes},
      {"竹房（４５１番地以上）", "99999", false, kYes},
      {"宇尾町（８９７番地及び中島５０５～５１８番地）", "897", false, kYes},
      {"宇尾町（８９７番地及び中島５０５～５１８番地）", "中島510", false, kYes},
      {"犬落瀬（内金矢、坪毛沢「２５、６３７を除く」、中屋敷）", "坪毛沢25", false, kYes},
      {"犬落瀬（内金矢、坪毛沢「２５、６３７を除く」、中屋敷）", "柳沢", false, kNo},
      {"犬落瀬（内金矢、坪毛沢「２５、６３７を除く」、中屋敷）", "", false, kUnknown},
      {"西新（丁目）", "2丁目", true, kYes},
      {"西新（丁目）", "123番地", true, kNo},
      {"西新（番地）", "123番地", true, kYes},
      {"西新（大字）", "2-3", true, kNo},
      {"亀屋町（堺町通夷川下る、堺町通二条上る）", "", false, kUnknown},
  };
  for (const Case& c : cases) {
    const TownField field = ParseTownField(Sjis(c.field));
    const std::string rest = FoldAddress(Sjis(c.rest));
    const AddressNumbers numbers = ReadAddressNumbers(rest, c.has_chome);
    EXPECT_EQ(MatchTownRule(field.rule, rest, numbers, rest), c.expected) << c.field << " / " << c.rest;
  }
}

TEST(TownRule, TheKindsThatTheCallerDecides) {
  const std::pair<const char*, RuleKind> cases[] = {
      {"以下に掲載がない場合", RuleKind::kCatchAll},
      {"利島村一円", RuleKind::kCatchAll},
      {"境町の次に番地がくる場合", RuleKind::kNextIsBanchi},
      {"道頓堀（その他）", RuleKind::kOther},
      {"西新宿（次のビルを除く）", RuleKind::kPlain},
      {"丸の内ＪＰタワー（２０階）", RuleKind::kFloor},
      {"丸の内ＪＰタワー（地階・階層不明）", RuleKind::kBasementOrUnknown},
      {"霞が関霞が関ビル（高層棟）（１２階）", RuleKind::kFloor},
  };
  for (const auto& [text, kind] : cases) EXPECT_EQ(ParseTownField(Sjis(text)).rule.kind, kind) << text;
  EXPECT_EQ(Utf8(ParseTownField(Sjis("霞が関霞が関ビル（高層棟）（１２階）")).base), "霞ケ関霞ケ関ビル高層棟");
  EXPECT_EQ(ParseTownField(Sjis("丸の内ＪＰタワー（２０階）")).rule.floor, 20);
}

TEST(TownRule, NumbersAndFloorsAsPeopleWriteThem) {
  struct Numbers {
    const char* rest;
    bool has_chome;
    int chome, block, sub;
  };
  const Numbers cases[] = {
      {"2-10-2ビル", true, 2, 10, 2},   {"2丁目10番2号", true, 2, 10, 2},  {"18番地の1", true, -1, 18, 1},
      {"18-1", false, -1, 18, 1},       {"2丁目", true, 2, -1, -1},        {"ビル", true, -1, -1, -1},
  };
  for (const Numbers& c : cases) {
    const AddressNumbers n = ReadAddressNumbers(FoldAddress(Sjis(c.rest)), c.has_chome);
    EXPECT_EQ(n.chome, c.chome) << c.rest;
    EXPECT_EQ(n.block, c.block) << c.rest;
    EXPECT_EQ(n.sub, c.sub) << c.rest;
  }
  const std::pair<const char*, int> floors[] = {{"15F", 15}, {"15階", 15}, {"地下1階", 0}, {"B2F", 0}, {"21世紀ビル", -1}};
  for (const auto& [text, floor] : floors) EXPECT_EQ(ReadFloor(FoldAddress(Sjis(text))), floor) << text;
}

}  // namespace
}  // namespace tovra::resolve
