// What people type, folded into the forms of the files; and old postal codes found by an exact
// search whatever digit their current code begins with.
#include "key_fold.h"
#include "test_support.h"

namespace tovra::test {
namespace {

using V = std::vector<std::string>;

V JAll(const V& utf8) {
  V out;
  for (const std::string& s : utf8) out.push_back(Sjis(s));
  return out;
}

TEST(KeyFold, EachRuleOfTheFolding) {
  struct Case {
    const char* rule;
    std::string typed;
    V forms;  // of TermForms, the typed form first
  };
  const std::vector<Case> term_cases = {
      {"the file's own form stays alone", "札幌", {"札幌"}},
      {"blanks around a term", " 　札幌　 ", {"札幌"}},
      {"ASCII digits as the town fields write them", "1条", {"1条", "１条"}},
      {"full-width digits as the kana fields write them", "１条", {"１条", "1条"}},
      {"ASCII hyphen beside digits", "427-3", {"427-3", "４２７－３"}},
      {"hiragana as a reading, small kana also large", "とうきょう", {"とうきょう", "ﾄｳｷｮｳ", "ﾄｳｷﾖｳ"}},
      {"full-width katakana as a reading", "トウキョウ", {"トウキョウ", "ﾄｳｷｮｳ", "ﾄｳｷﾖｳ"}},
      {"half-width small kana also large", "ｷｮｳﾄ", {"ｷｮｳﾄ", "ｷﾖｳﾄ"}},
      {"voiced marks and the long vowel, also as JIGYOSYO.CSV's \"-\"", "ガーデンぱヴ",
       {"ガーデンぱヴ", "ｶﾞｰﾃﾞﾝﾊﾟｳﾞ", "ｶﾞ-ﾃﾞﾝﾊﾟｳﾞ"}},
      {"katakana past the gap at 0x837F", "ムヲン", {"ムヲン", "ﾑｦﾝ"}},
      {"parentheses and comma of a reading", "（その他）", {"（その他）", "(ｿﾉ他)"}},
      {"nothing but blanks", "　 ", {}},
      {"a blank inside, of either width", "東京 商事", {"東京 商事", "東京　商事"}},
      {"ヶ after a kanji also as ケ and が", "霞ヶ関", {"霞ヶ関", "霞ケ関", "霞が関", "霞ｹ関"}},
      {"が after a kanji also as ヶ and ケ", "霞が関", {"霞が関", "霞ヶ関", "霞ケ関", "霞ｶﾞ関"}},
      {"ケ in a katakana word stays", "ケーキ", {"ケーキ", "ｹｰｷ", "ｹ-ｷ"}},
  };
  for (const Case& c : term_cases) EXPECT_EQ(TermForms(Sjis(c.typed), Readings::kJigyosyo), JAll(c.forms)) << c.rule;
  // KEN_ALL.CSV writes small kana small and the long vowel as "ｰ": a reading matches as typed.
  const std::vector<Case> ken_all_cases = {
      {"small kana stay small", "ｱｯﾀ", {"ｱｯﾀ"}},
      {"hiragana as a reading only", "とうきょう", {"とうきょう", "ﾄｳｷｮｳ"}},
      {"the long vowel as the file writes it", "センター", {"センター", "ｾﾝﾀｰ"}},
  };
  for (const Case& c : ken_all_cases) EXPECT_EQ(TermForms(Sjis(c.typed), Readings::kKenAll), JAll(c.forms)) << c.rule;

  const std::vector<std::pair<std::string, std::string>> code_cases = {
      {"０６０－０００１", "0600001"}, {"〒060-0001", "0600001"},  {" 〒 060-0001　", "0600001"},
      {"060‐0001", "0600001"},         {"060−0001", "0600001"},    {"060ー0001", "0600001"},
      {"060ｰ0001", "0600001"},         {"060―0001", "0600001"},    {"〒", ""},
      {"　", ""},                      {"０６０", "060"},          {"〒-0001", ""},
      {"060 0001", "0600001"},         {"〒060　 0001", "0600001"}, {"060 - 0001", "0600001"},
  };
  for (const auto& [typed, key] : code_cases) EXPECT_EQ(NormalisePostCodeKey(Sjis(typed)), key) << typed;
  EXPECT_EQ(FoldCodeKey(Sjis(" ０１１０１　")), "01101");

  const FoldedWords two = FoldWordKey(Sjis("札幌 ＋ ちゅうおう"), Readings::kJigyosyo);
  EXPECT_EQ(two.first, JAll({"札幌"}));
  EXPECT_EQ(two.second, JAll({"ちゅうおう", "ﾁｭｳｵｳ", "ﾁﾕｳｵｳ"}));
  EXPECT_EQ(FoldWordKey(Sjis("＋中央"), Readings::kJigyosyo).first, JAll({"中央"}));

  const std::vector<std::tuple<KeyKind, std::string, bool>> key_cases = {
      {KeyKind::kPostCode, "〒", false}, {KeyKind::kPostCode, " - ", false}, {KeyKind::kPostCode, "〒0", true},
      {KeyKind::kWords, "〒", true},     {KeyKind::kWords, "　+ ", false},   {KeyKind::kWords, "＋", false},
      {KeyKind::kDantai, "　", false},   {KeyKind::kAreaCode, "０", true},   {KeyKind::kAreaCode, "", false},
  };
  for (const auto& [kind, typed, searchable] : key_cases) EXPECT_EQ(IsSearchKey(kind, Sjis(typed)), searchable) << typed;
}

class FoldedSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    settings = SettingsFor(
        dir.Write("ken.csv", Lines({
                                 KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北１条西", "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", "ｷﾀ1ｼﾞｮｳﾆｼ"),
                                 KenLine("01102", "001  ", "0010010", "北海道", "札幌市北区", "北十条西", "ｻｯﾎﾟﾛｼｷﾀｸ", "ｷﾀ10ｼﾞｮｳﾆｼ"),
                                 KenLine("13101", "100  ", "1000001", "東京都", "千代田区", "千代田", "ﾁﾖﾀﾞｸ", "ﾁﾖﾀﾞ"),
                                 // An old code whose current code begins with another digit.
                                 KenLine("14151", "19901", "2520171", "神奈川県", "相模原市緑区", "与瀬", "ｻｶﾞﾐﾊﾗｼﾐﾄﾞﾘｸ", "ﾖｾ"),
                                 KenLine("14151", "199  ", "2520172", "神奈川県", "相模原市緑区", "与瀬本町", "ｻｶﾞﾐﾊﾗｼﾐﾄﾞﾘｸ", "ﾖｾﾎﾝﾁｮｳ"),
                             })),
        dir.Write("jig.csv", Lines({
                                 JigLine("13101", "ﾄｳｷﾖｳｼﾖｳｼﾞ", "東京商事", "東京都", "千代田区", "丸の内", "１－１", "1008601", "100  "),
                                 JigLine("13101", "ﾆﾂﾎﾟﾝｷﾞﾝｺｳ", "日本銀行", "東京都", "中央区", "日本橋本石町", "２－１", "1008639", "35011"),
                             })));
    ASSERT_EQ(BuildPostIndex(ctx, PostFile::kKenAll), SearchStatus::kOk);
    ASSERT_EQ(BuildPostIndex(ctx, PostFile::kJigyosyo), SearchStatus::kOk);
  }
  V Words(const std::string& key, WordMatch match) {
    view.ClearRows();
    ScanKenAll(ctx, Sjis(key), ScanMode::kWords, match);
    ScanJigyosyo(ctx, Sjis(key), ScanMode::kWords, match);
    return view.Column(kColPostCode);
  }
  V Codes(const std::string& typed, PostCodeMatch mode) {
    view.ClearRows();
    const std::string key = NormalisePostCodeKey(Sjis(typed));
    SearchPostCode(ctx, key, mode);
    SearchJigPostCode(ctx, key, mode);
    return view.Column(kColPostCode);
  }

  TempDir dir;
  RecordingView view;
  Settings settings;
  SearchContext ctx{view, settings};
};

TEST_F(FoldedSearch, TypedKeysFindWhatTheFilesWrite) {
  // Readings reach the half-width kana of both files, small kana written large in JIGYOSYO.CSV.
  EXPECT_EQ(Words("とうきょう", WordMatch::kContains), V{"100-8601"});
  EXPECT_EQ(Words("ちよだ", WordMatch::kExact), V{"100-0001"});
  EXPECT_EQ(Words("キタ1ジョウ", WordMatch::kContains), V{"060-0001"});
  // Digits of either width reach the kanji and the kana fields.
  EXPECT_EQ(Words("北1条", WordMatch::kContains), V{"060-0001"});
  EXPECT_EQ(Words("ｷﾀ１ｼﾞｮｳﾆｼ", WordMatch::kExact), V{"060-0001"});
  EXPECT_EQ(Words("1-1", WordMatch::kContains), V{"100-8601"});
  // Full-width plus between two terms, blanks around them.
  EXPECT_EQ(Words(" 札幌　＋　きた ", WordMatch::kContains), (V{"001-0010", "060-0001"}));
  // A key typed as the file writes it finds what it found before.
  EXPECT_EQ(Words("ｷﾀ1ｼﾞｮｳﾆｼ", WordMatch::kExact), V{"060-0001"});
  EXPECT_EQ(Words("札幌", WordMatch::kContains), (V{"001-0010", "060-0001"}));

  EXPECT_EQ(Codes("〒０６０－０００１", PostCodeMatch::kExact), V{"060-0001"});
  // The key that today empties into "" and lists every line finds its one code.
  EXPECT_EQ(Codes("〒060-0001", PostCodeMatch::kContains), V{"060-0001"});
  EXPECT_EQ(Codes("〒", PostCodeMatch::kContains), V{});

  view.ClearRows();
  ScanKenAll(ctx, Sjis("　０１１０１"), ScanMode::kDantai);
  EXPECT_EQ(view.Column(kColPostCode), V{"060-0001"});
}

TEST_F(FoldedSearch, OldCodesAreFoundWhateverDigitTheCurrentCodeBeginsWith) {
  EXPECT_EQ(Codes("19901", PostCodeMatch::kExact), V{"252-0171"});
  EXPECT_EQ(Codes("199", PostCodeMatch::kExact), V{"252-0172"});
  EXPECT_EQ(Codes("1990", PostCodeMatch::kPrefix), V{"252-0171"});
  EXPECT_EQ(Codes("35011", PostCodeMatch::kExact), V{"100-8639"});
  // A seven-digit key still reads only the runs of its first digit.
  const std::int64_t before = ctx.bytes_read;
  EXPECT_EQ(Codes("2520171", PostCodeMatch::kExact), V{"252-0171"});
  EXPECT_LT(ctx.bytes_read - before, static_cast<std::int64_t>(ReadAll(settings.ken_all_path).size()));
}

}  // namespace
}  // namespace tovra::test
