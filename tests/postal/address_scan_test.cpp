#include "test_support.h"

namespace tovra::test {
namespace {

using V = std::vector<std::string>;

// Prefecture blocks in JIS order, as the index's entries assume.
class ScanFixture : public IndexedFilesFixture {
 protected:
  void SetUp() override {
    UseFiles(
        {
            KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北一条西", "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", "ｷﾀ1ｼﾞｮｳﾆｼ"),
            KenLine("01102", "001  ", "0010010", "北海道", "札幌市北区", "北十条西", "ｻｯﾎﾟﾛｼｷﾀｸ", "ｷﾀ10ｼﾞｮｳﾆｼ"),
            KenLine("01202", "040  ", "0400001", "北海道", "函館市", "中央町", "ﾊｺﾀﾞﾃｼ", "ﾁｭｳｵｳﾁｮｳ"),
            KenLine("01101", "064  ", "0640941", "北海道", "札幌市中央区", "旭ケ丘", "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", "ｱｻﾋｶﾞｵｶ"),
            KenLine("07203", "963  ", "9630001", "青森県", "郡山市", "ア", "ｺｵﾘﾔﾏｼ", "ｱ"),
            KenLine("07204", "970  ", "9700001", "青森県", "府中町", "中央", "ﾌﾁｭｳﾁｮｳ", "ﾁｭｳｵｳ"),
            KenLine("34302", "735  ", "7350001", "岩手県", "府中町", "中央", "ﾌﾁｭｳﾁｮｳ", "ﾁｭｳｵｳ"),
        },
        {
            JigLine("01101", "ｻｯﾎﾟﾛﾃﾚﾋﾞ", "札幌テレビ", "北海道", "札幌市中央区", "北一条西", "８丁目", "0608705", "060  "),
            JigLine("02201", "ｱｵﾓﾘｼｮｳｼﾞ", "青森商事", "青森県", "青森市", "中央", "１", "0308601", "030  "),
            JigLine("34302", "ﾌﾁｭｳｺｳｷﾞｮｳ", "府中工業", "岩手県", "府中町", "中央", "１－１", "7358601", "735  "),
        });
  }
  V Words(const std::string& key, WordMatch match, bool business = false) {
    view.ClearRows();
    ScanKenAll(ctx, Sjis(key), ScanMode::kWords, match);
    if (business) ScanJigyosyo(ctx, Sjis(key), ScanMode::kWords, match);
    return view.Column(kColPostCode);
  }
};

TEST_F(ScanFixture, ExactWordsMatchWholeFieldsInKanjiOrKana) {
  EXPECT_EQ(Words("札幌市中央区", WordMatch::kExact), (V{"060-0001", "064-0941"}));
  EXPECT_EQ(Words("ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", WordMatch::kExact), (V{"060-0001", "064-0941"}));
  EXPECT_EQ(Words("札幌", WordMatch::kExact), V{});
  // The prefecture in kana is not searched.
  EXPECT_EQ(Words("ｹﾝ", WordMatch::kExact), V{});
  EXPECT_EQ(Words("北海道", WordMatch::kExact).size(), 4u);
}

TEST_F(ScanFixture, ContainsFindsPartsOfAnyField) {
  EXPECT_EQ(Words("札幌", WordMatch::kContains), (V{"001-0010", "060-0001", "064-0941"}));
  EXPECT_EQ(Words("ﾁｭｳｵｳ", WordMatch::kContains), (V{"040-0001", "060-0001", "064-0941", "735-0001", "970-0001"}));
  // Any other match value matches nothing.
  EXPECT_EQ(Words("札幌", static_cast<WordMatch>(2)), V{});
}

TEST_F(ScanFixture, ContainsNeverHitsInsideADoubleByteCharacter) {
  // "ア" is 83 41 in CP932: its trail byte is the letter A.
  EXPECT_EQ(Words("A", WordMatch::kContains), V{});
}

TEST_F(ScanFixture, TwoTermsMustBothMatchSomeField) {
  EXPECT_EQ(Words("札幌+中央", WordMatch::kContains), (V{"060-0001", "064-0941"}));
  EXPECT_EQ(Words("  札幌+  旭", WordMatch::kContains), (V{"064-0941"}));
  // Blanks around a term are folded away, also in front of "+".
  EXPECT_EQ(Words("札幌 +中央", WordMatch::kContains), (V{"060-0001", "064-0941"}));
  EXPECT_EQ(Words("札幌市中央区+旭ケ丘", WordMatch::kExact), (V{"064-0941"}));
  // Both terms apply to JIGYOSYO.CSV as well.
  EXPECT_EQ(Words("府中+工業", WordMatch::kContains, true), (V{"735-8601"}));
  // A side left empty: the other term alone.
  EXPECT_EQ(Words("+旭ケ丘", WordMatch::kExact), (V{"064-0941"}));
  EXPECT_EQ(Words("旭ケ丘+", WordMatch::kExact), (V{"064-0941"}));
}

TEST_F(IndexedFilesFixture, ANulByteLosesItsOwnLineOnly) {
  std::vector<std::string> lines;
  for (int i = 0; i < 30; ++i) {
    lines.push_back(KenLine("01101", "060  ", "06000" + std::string(i < 10 ? "0" : "") + std::to_string(i), "北海道",
                            "札幌市中央区", "町"));
  }
  lines[12].insert(3, 1, '\0');
  UseFiles(lines, {});
  // Every mode that reads the line with the NUL goes on past it.
  const std::vector<std::pair<const char*, std::function<SearchOutcome()>>> searches = {
      {"words", [&] { return FindWords(ctx, Sjis("札幌市中央区"), WordMatch::kExact, Business::kLeaveOut); }},
      {"city rows", [&] { return FindCityRows(ctx, Sjis("北海道"), Sjis("札幌市中央区"), Business::kLeaveOut); }},
      {"dantai", [&] { return FindDantai(ctx, "01101", Business::kLeaveOut); }},
      {"postcode prefix", [&] { return FindPostCode(ctx, "06000", PostCodeMatch::kPrefix, Business::kLeaveOut); }},
  };
  for (const auto& [name, search] : searches) {
    EXPECT_EQ(search().rows(), 29) << name;
    view.ClearRows();
  }
  EXPECT_EQ(FindPostCode(ctx, "0600013", PostCodeMatch::kExact, Business::kLeaveOut).rows(), 1);
}

TEST_F(ScanFixture, PrefectureAndCityNamesAreTakenWithoutTheirBlanks) {
  for (const std::string blank : {" ", "　", "\t 　"}) {
    view.ClearCities();
    // Four entries: 札幌市中央区 comes again after 函館市, as the city list has always shown it.
    EXPECT_EQ(ListCities(ctx, Sjis((blank + "北海道" + blank).c_str())).rows, 4) << Utf8(Sjis(blank.c_str()));
    EXPECT_EQ(FindCityRows(ctx, Sjis(("北海道" + blank).c_str()), Sjis((blank + "札幌市中央区").c_str()),
                           Business::kInclude).rows(), 3);
    view.ClearRows();
  }
}

TEST(SplitSearchTerms, ReadsLikeThePlusPattern) {
  auto t = SplitSearchTerms(" a b + c d+e");
  EXPECT_EQ(t.first, "a b ");
  EXPECT_EQ(t.second, "c d");
  EXPECT_TRUE(t.has_second);
  t = SplitSearchTerms("  ab");
  EXPECT_EQ(t.first, "  ab");  // no "+": the key as it is
  EXPECT_FALSE(t.has_second);
  t = SplitSearchTerms("+");
  EXPECT_EQ(t.first, "");
  EXPECT_FALSE(t.has_second);
}

TEST_F(ScanFixture, CityListHoldsTheSelectedPrefecturesCitiesInFileOrder) {
  view.prefecture = Sjis("北海道");
  EXPECT_EQ(ScanKenAll(ctx, Sjis("北海道"), ScanMode::kCityList).rows, 4);
  // Only consecutive repeats are dropped: 札幌市中央区 comes back after 函館市.
  EXPECT_EQ(view.cities, (V{Sjis("札幌市中央区"), Sjis("札幌市北区"), Sjis("函館市"), Sjis("札幌市中央区")}));
  EXPECT_EQ(ScanJigyosyo(ctx, Sjis("北海道"), ScanMode::kCityList).rows, 0);
}

TEST_F(ScanFixture, CityRowsComeFromTheSelectedPrefectureOnly) {
  view.prefecture = Sjis("岩手県");
  view.ClearRows();
  ScanKenAll(ctx, Sjis("府中町"), ScanMode::kCity, WordMatch::kExact, view.prefecture);
  ScanJigyosyo(ctx, Sjis("府中町"), ScanMode::kCity, WordMatch::kExact, view.prefecture);
  EXPECT_EQ(view.Column(kColPostCode), (V{"735-0001", "735-8601"}));
  // Without a selection (or without a prefecture index) the whole file is read.
  view.prefecture = "";
  view.ClearRows();
  ScanKenAll(ctx, Sjis("府中町"), ScanMode::kCity, WordMatch::kExact, view.prefecture);
  EXPECT_EQ(view.Column(kColPostCode), (V{"735-0001", "970-0001"}));
}

TEST_F(ScanFixture, LocalGovernmentCodeIsComparedWhole) {
  view.ClearRows();
  view.prefecture = Sjis("青森県");  // not looked at
  ScanKenAll(ctx, "34302", ScanMode::kDantai);
  ScanJigyosyo(ctx, "34302", ScanMode::kDantai);
  EXPECT_EQ(view.Column(kColPostCode), (V{"735-0001", "735-8601"}));
  view.ClearRows();
  ScanKenAll(ctx, "343021", ScanMode::kDantai);
  ScanKenAll(ctx, "3430", ScanMode::kDantai);
  EXPECT_TRUE(view.Rows().empty());
}

TEST_F(ScanFixture, MissingFileIsReportedForKenAllOnly) {
  settings.ken_all_path = dir.Path("gone.csv");
  settings.jigyosyo_path = dir.Path("gone2.csv");
  EXPECT_EQ(ScanKenAll(ctx, "x", ScanMode::kWords).rows, 0);
  EXPECT_EQ(ScanJigyosyo(ctx, "x", ScanMode::kWords).rows, 0);
  EXPECT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.last_pos, 0);
}

TEST_F(ScanFixture, ProgressCoversTheRangeRead) {
  view.prefecture = Sjis("北海道");
  view.steps = 0;
  ScanKenAll(ctx, Sjis("北海道"), ScanMode::kCityList);
  EXPECT_EQ(view.range, std::make_pair(0, 20));
  EXPECT_GE(view.steps, 3);  // four lines, each above a twentieth of the stretch
  EXPECT_LE(view.steps, 20);
  EXPECT_EQ(view.last_pos, 0);
}

}  // namespace
}  // namespace tovra::test
