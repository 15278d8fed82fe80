#include "test_support.h"

namespace tovra::test {
namespace {

class PostCodeFixture : public IndexedFilesFixture {
 protected:
  void SetUp() override {
    UseFiles(
        {
            KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北一条西"),
            KenLine("01101", "060  ", "0600042", "北海道", "札幌市中央区", "大通西"),
            KenLine("01102", "00123", "0010001", "北海道", "札幌市北区", "北十条西"),
            KenLine("02201", "030  ", "0300001", "青森県", "青森市", "大字六枚橋"),
            KenLine("13101", "100  ", "1000001", "東京都", "千代田区", "千代田"),
            KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北一条西（続き）"),
        },
        {
            JigLine("01101", "ｶﾌﾞｼｷｶﾞｲｼｬｱ", "株式会社Ａ", "北海道", "札幌市中央区", "北一条西", "１丁目", "0608601", "060  "),
            JigLine("13101", "ｶﾌﾞｼｷｶﾞｲｼｬﾋﾞｰ", "株式会社Ｂ", "東京都", "千代田区", "丸の内", "２丁目", "1008601", "10086"),
        });
  }
  std::vector<std::string> Codes(std::string_view key, PostCodeMatch mode, bool business = false) {
    view.ClearRows();
    SearchPostCode(ctx, key, mode);
    if (business) SearchJigPostCode(ctx, key, mode);
    return view.Column(kColPostCode);
  }
};

using V = std::vector<std::string>;

TEST_F(PostCodeFixture, ExactTakesSevenDigitCodesAndOldCodesOfThreeOrFive) {
  EXPECT_EQ(Codes("0600001", PostCodeMatch::kExact), (V{"060-0001", "060-0001"}));
  // The old code "060  " counts as 060; a five-digit old code stays whole.
  EXPECT_EQ(Codes("060", PostCodeMatch::kExact), (V{"060-0001", "060-0001", "060-0042"}));
  EXPECT_EQ(Codes("00123", PostCodeMatch::kExact), (V{"001-0001"}));
  EXPECT_EQ(Codes("001", PostCodeMatch::kExact), V{});
  EXPECT_EQ(Codes("06000010", PostCodeMatch::kExact), V{});
  EXPECT_EQ(Codes("", PostCodeMatch::kExact), V{});
  EXPECT_EQ(Codes("x", PostCodeMatch::kExact), V{});
}

TEST_F(PostCodeFixture, PrefixComparesTheKeysLength) {
  EXPECT_EQ(Codes("0600", PostCodeMatch::kPrefix), (V{"060-0001", "060-0001", "060-0042"}));
  EXPECT_EQ(Codes("0012", PostCodeMatch::kPrefix), (V{"001-0001"}));  // through the old code 00123
  EXPECT_EQ(Codes("", PostCodeMatch::kPrefix), V{});
}

TEST_F(PostCodeFixture, ContainsDiffersBetweenTheTwoFiles) {
  // KEN_ALL.CSV: anywhere in the 7-digit code, or the whole old code.
  EXPECT_EQ(Codes("0042", PostCodeMatch::kContains), (V{"060-0042"}));
  EXPECT_EQ(Codes("030", PostCodeMatch::kContains), (V{"030-0001"}));
  // JIGYOSYO.CSV: the whole 7-digit code, or anywhere in the old code.
  view.ClearRows();
  SearchJigPostCode(ctx, "8601", PostCodeMatch::kContains);
  EXPECT_EQ(view.Column(kColPostCode), V{});
  SearchJigPostCode(ctx, "0086", PostCodeMatch::kContains);
  EXPECT_EQ(view.Column(kColBusiness), V{Sjis("株式会社Ｂ")});
  // An empty key lists every line.
  EXPECT_EQ(Codes("", PostCodeMatch::kContains).size(), 6u);
}

TEST_F(PostCodeFixture, RowsAreSortedByPostalCodeKeepingFileOrderForEqualCodes) {
  V codes = Codes("", PostCodeMatch::kContains, true);
  EXPECT_EQ(codes, (V{"001-0001", "030-0001", "060-0001", "060-0001", "060-0042", "060-8601", "100-0001", "100-8601"}));
  auto rows = view.Rows();
  EXPECT_EQ(rows[2].columns[kColTown], Sjis("北一条西"));
  EXPECT_EQ(rows[3].columns[kColTown], Sjis("北一条西（続き）"));
}

TEST_F(PostCodeFixture, RowLayoutsOfBothFiles) {
  settings.add_hyphen = 0;
  view.ClearRows();
  SearchPostCode(ctx, "1000001", PostCodeMatch::kExact);
  SearchJigPostCode(ctx, "1008601", PostCodeMatch::kExact);
  auto rows = view.Rows();
  ASSERT_EQ(rows.size(), 2u);
  ResultRow ken_row;
  ken_row.columns = {"1000001", "13101", "", "", Sjis("東京都"), Sjis("千代田区"), Sjis("千代田"), Sjis("ｹﾝ"), Sjis("ｼ"), Sjis("ﾁｮｳ"), "", ""};
  EXPECT_EQ(rows[0].columns, ken_row.columns);
  ResultRow jig_row;
  jig_row.columns = {"1008601", "13101", "", "", Sjis("東京都"), Sjis("千代田区"), Sjis("丸の内２丁目"), "", "", "", Sjis("株式会社Ｂ"), Sjis("ｶﾌﾞｼｷｶﾞｲｼｬﾋﾞｰ")};
  EXPECT_EQ(rows[1].columns, jig_row.columns);
}

TEST_F(PostCodeFixture, BusinessTownIsCutOnACharacterBoundary) {
  std::string town, rest;
  for (int i = 0; i < 100; ++i) town += "町";
  for (int i = 0; i < 40; ++i) rest += "丁";
  settings.jigyosyo_path = dir.Write("long.csv", JigLine("01101", "ｱ", "Ａ", "北海道", "市", town, rest, "0600009", "060  ") + "\r\n");
  ResetPostIndex(settings.jigyosyo_index);
  view.ClearRows();
  ASSERT_EQ(SearchJigPostCode(ctx, "0600009", PostCodeMatch::kExact).rows, 1);
  std::string cell = view.Rows()[0].columns[kColTown];
  EXPECT_EQ(cell.size(), 254u);  // 255 bytes would end inside a character
  EXPECT_EQ(cell, (Sjis(town) + Sjis(rest)).substr(0, 254));
}

TEST_F(PostCodeFixture, MissingFilesAndBrokenLines) {
  settings.jigyosyo_path = dir.Path("none.csv");
  EXPECT_EQ(SearchJigPostCode(ctx, "1008601", PostCodeMatch::kExact).rows, 0);
  EXPECT_TRUE(view.messages.empty());
  settings.ken_all_path = dir.Path("gone.csv");
  EXPECT_EQ(SearchPostCode(ctx, "1000001", PostCodeMatch::kExact).rows, 0);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0], dir.Path("gone.csv") + "\n" + Sjis("が見つかりません"));

  // A line beginning with a comma ends the search: result 0, rows found so far stay.
  settings.ken_all_path = dir.Write("comma.csv", Lines({KenLine("01101", "060  ", "0600001", "北海道", "a", "b"), ",", KenLine("01101", "060  ", "0600001", "北海道", "a", "c")}));
  ResetPostIndex(settings.ken_all_index);
  view.ClearRows();
  EXPECT_EQ(SearchPostCode(ctx, "0600001", PostCodeMatch::kExact).rows, 0);
  EXPECT_EQ(view.Column(kColTown), V{Sjis("b")});
  EXPECT_EQ(view.last_pos, 0);
}

TEST_F(PostCodeFixture, ExactSearchReadsOnlyItsDigitsRuns) {
  std::int64_t before = ctx.bytes_read;
  Codes("1000001", PostCodeMatch::kExact);
  const DigitRun& run = settings.ken_all_index.run[static_cast<std::size_t>(NthRunForDigit(settings.ken_all_index, '1', 0))];
  EXPECT_EQ(ctx.bytes_read - before, run.size + 1);  // one line: the size is one less
  before = ctx.bytes_read;
  Codes("0300001", PostCodeMatch::kExact);
  // Two runs of 0; the second is the last one, measured to the end of the file.
  EXPECT_EQ(ctx.bytes_read - before, RunLengthForDigit(settings.ken_all_index, '0') + 1);
}

TEST(NormalisePostCodeKey, JoinsTheDigitsAroundTheHyphen) {
  const std::string wide_hyphen = Sjis("060－0001");
  // A part holds at most 127 digits; the scan stops there.
  const std::string long_part(200, '1');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"060-0001", "0600001"},
      {" 060 - 0001", "0600001"},
      {"0600001", "0600001"},
      {"060-", "060"},
      {"060-00-01", "06000"},
      {"-0001", ""},
      {"060x-0001", "060"},
      {wide_hyphen, wide_hyphen},
      {long_part + "-2", std::string(127, '1')},
      {"1-" + long_part, "1" + std::string(127, '1')},
  };
  for (const auto& [key, normalised] : cases) EXPECT_EQ(NormalisePostCodeKey(key), normalised) << key;
}

}  // namespace
}  // namespace tovra::test
