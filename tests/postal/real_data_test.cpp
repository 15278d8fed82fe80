// The searches on the bundled real files against an oracle written here: a plain split of
// every line, with none of the engine's code.
#include <algorithm>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <sstream>

#include "key_fold.h"
#include "meklan.h"
#include "record_scan.h"
#include "test_support.h"

namespace tovra::test {
namespace {

using Fields = std::vector<std::string>;  // field n at [n - 1], quotes removed
using Row = std::array<std::string, 12>;

std::vector<Fields> ReadPlain(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Fields> out;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Fields f;
    std::stringstream s(line);
    std::string field;
    while (std::getline(s, field, ',')) {
      if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
      f.push_back(field);
    }
    f.resize(15);
    out.push_back(f);
  }
  return out;
}

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// "（" minus "）" in a text, whole characters only.
int OpenParens(const std::string& text) {
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); i += IsLead(static_cast<unsigned char>(text[i])) ? 2 : 1) {
    if (text.compare(i, 2, "\x81\x69") == 0) ++depth;
    if (text.compare(i, 2, "\x81\x6A") == 0) --depth;
  }
  return depth;
}

// KEN_ALL.CSV records: a line whose town leaves a "（" open takes the following lines of the
// same postal code, town appended, until it closes; the kana is appended while its own "(" is
// open (a short one is repeated on every line instead).
std::vector<Fields> JoinRecords(std::vector<Fields> lines) {
  std::vector<Fields> out;
  for (Fields& f : lines) {
    if (!out.empty() && OpenParens(out.back()[8]) > 0 && out.back()[2] == f[2]) {
      const std::string& kana = out.back()[5];
      if (std::count(kana.begin(), kana.end(), '(') > std::count(kana.begin(), kana.end(), ')')) out.back()[5] += f[5];
      out.back()[8] += f[8];
    } else {
      out.push_back(std::move(f));
    }
  }
  return out;
}

// Substring test that walks whole characters.
bool HasText(const std::string& hay, const std::string& needle) {
  for (std::size_t i = 0; i + needle.size() <= hay.size(); i += IsLead(static_cast<unsigned char>(hay[i])) ? 2 : 1) {
    if (hay.compare(i, needle.size(), needle) == 0) return true;
  }
  return needle.empty();
}

std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string Hyphenated(const std::string& code) { return code.substr(0, 3) + "-" + code.substr(3); }

Row KenRow(const Fields& f) {
  return {Hyphenated(f[2]), f[0], "", "", f[6], f[7], f[8], f[3], f[4], f[5], "", ""};
}
Row JigRow(const Fields& f) {
  std::string town = f[5] + f[6];
  return {Hyphenated(f[7]), f[0], "", "", f[3], f[4], town, "", "", "", f[2], f[1]};
}

std::vector<Row> Sorted(std::vector<Row> rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a[0] < b[0]; });
  return rows;
}

class RealData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ken_ = new std::vector<Fields>(JoinRecords(ReadPlain(KenPath())));
    jig_ = new std::vector<Fields>(ReadPlain(JigPath()));
  }
  static void TearDownTestSuite() {
    delete ken_;
    delete jig_;
  }
  static std::string KenPath() { return std::string(POSTAL_DATA_DIR) + "/ken_all.csv"; }
  static std::string JigPath() { return std::string(POSTAL_DATA_DIR) + "/jigyosyo.csv"; }

  void SetUp() override {
    settings = SettingsFor(KenPath(), JigPath());
    ASSERT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll));
    ASSERT_TRUE(CheckPostIndex(ctx, PostFile::kJigyosyo));
  }

  std::vector<Row> Engine() {
    std::vector<Row> out;
    for (const ResultRow& r : view.Rows()) out.push_back(r.columns);
    view.ClearRows();
    return out;
  }

  template <typename Test>
  static std::vector<Row> Oracle(bool business, Test test) {
    std::vector<Row> rows;
    for (const Fields& f : *ken_) {
      if (test(f, false)) rows.push_back(KenRow(f));
    }
    if (business) {
      for (const Fields& f : *jig_) {
        if (test(f, true)) rows.push_back(JigRow(f));
      }
    }
    return Sorted(rows);
  }

  static inline std::vector<Fields>* ken_ = nullptr;
  static inline std::vector<Fields>* jig_ = nullptr;
  RecordingView view;
  Settings settings;
  SearchContext ctx{view, settings};
  std::mt19937 rng{20260526};

  const Fields& AnyKen() { return (*ken_)[std::uniform_int_distribution<std::size_t>(0, ken_->size() - 1)(rng)]; }
  const Fields& AnyJig() { return (*jig_)[std::uniform_int_distribution<std::size_t>(0, jig_->size() - 1)(rng)]; }
  // A whole-character piece of a text, of `chars` characters.
  std::string Piece(const std::string& text, int chars) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i += IsLead(static_cast<unsigned char>(text[i])) ? 2 : 1) starts.push_back(i);
    starts.push_back(text.size());
    if (starts.size() <= static_cast<std::size_t>(chars)) return text;
    std::size_t from = std::uniform_int_distribution<std::size_t>(0, starts.size() - 1 - chars)(rng);
    return text.substr(starts[from], starts[from + chars] - starts[from]);
  }
};

TEST_F(RealData, IndexMatchesThePublishedLayout) {
  // 47 prefecture blocks from Hokkaido; 56 and 46 first-digit runs.
  for (PostFile file : {PostFile::kKenAll, PostFile::kJigyosyo}) {
    const PostIndex& index = PostFileIndex(settings, file);
    EXPECT_TRUE(HasPrefectureIndex(index));
    EXPECT_GT(index.pref[46].start, index.pref[45].start);
    int runs = 0;
    for (const DigitRun& r : index.run) runs += r.num != -1;
    EXPECT_EQ(runs, file == PostFile::kKenAll ? 56 : 46);
  }
}

TEST_F(RealData, PostalCodesInEveryModeAgreeWithTheOracle) {
  int keys = 0;
  auto check = [&](const std::string& key, PostCodeMatch mode, bool business) {
    SearchPostCode(ctx, key, mode);
    if (business) SearchJigPostCode(ctx, key, mode);
    auto expected = Oracle(business, [&](const Fields& f, bool jig) {
      const std::string& code = jig ? f[7] : f[2];
      const std::string old = Trimmed(jig ? f[8] : f[1]);
      switch (mode) {
        case PostCodeMatch::kExact: return old == key || code == key;
        case PostCodeMatch::kPrefix: return old.rfind(key, 0) == 0 || code.rfind(key, 0) == 0;
        default: return jig ? (code == key || old.find(key) != std::string::npos)
                            : (old == key || code.find(key) != std::string::npos);
      }
    });
    EXPECT_EQ(Engine(), expected) << "key " << key << " mode " << static_cast<int>(mode);
    ++keys;
  };
  for (char digit = '0'; digit <= '9'; ++digit) {
    for (int n = 0; n < 5;) {
      const Fields& f = AnyKen();
      if (f[2][0] != digit) continue;
      check(f[2], PostCodeMatch::kExact, n % 2 == 0);
      ++n;
    }
  }
  for (int n = 0; n < 20;) {  // old codes of three and of five digits
    const Fields& f = AnyKen();
    std::string old = Trimmed(f[1]);
    if ((n < 10) != (old.size() == 3)) continue;
    check(old, PostCodeMatch::kExact, false);
    ++n;
  }
  for (int n = 0; n < 10; ++n) check(AnyKen()[2].substr(0, 3 + n % 3), PostCodeMatch::kPrefix, n % 2 == 1);
  for (int n = 0; n < 6; ++n) check(AnyKen()[2].substr(3, 4), PostCodeMatch::kContains, n % 2 == 0);
  for (int n = 0; n < 6; ++n) check(AnyJig()[7], PostCodeMatch::kExact, true);
  EXPECT_GE(keys, 50 + 20 + 10 + 6 + 6);
}

TEST_F(RealData, ExactPostalSearchReadsOnlyItsDigitsRuns) {
  const PostIndex& index = settings.ken_all_index;
  for (char digit = '0'; digit <= '9'; ++digit) {
    std::int64_t runs = 0;
    for (const DigitRun& r : index.run) {
      if (r.num == digit) runs += r.size + 1;
    }
    const std::int64_t before = ctx.bytes_read;
    SearchPostCode(ctx, std::string(1, digit) + "000000", PostCodeMatch::kExact);
    view.ClearRows();
    EXPECT_LE(ctx.bytes_read - before, runs + 256) << digit;  // at most one line beyond
    EXPECT_GT(ctx.bytes_read - before, 0) << digit;
  }
}

TEST_F(RealData, OldCodesOfEveryDigitAreFoundByExactSearch) {
  // Old codes whose current code begins with another digit: 199-01 became 252-01xx.
  std::set<std::string> moved;
  for (const std::vector<Fields>* file : {ken_, jig_}) {
    const bool jig = file == jig_;
    for (const Fields& f : *file) {
      const std::string old_code = Trimmed(f[jig ? 8 : 1]);
      const std::string& code = f[jig ? 7 : 2];
      if (!old_code.empty() && !code.empty() && old_code[0] != code[0]) moved.insert(old_code);
    }
  }
  EXPECT_GE(moved.size(), 10u);
  EXPECT_TRUE(moved.count("19901") == 1 && moved.count("35011") == 1);
  for (const std::string& key : moved) {
    SearchPostCode(ctx, key, PostCodeMatch::kExact);
    SearchJigPostCode(ctx, key, PostCodeMatch::kExact);
    auto expected = Oracle(true, [&](const Fields& f, bool jig) {
      return Trimmed(f[jig ? 8 : 1]) == key || f[jig ? 7 : 2] == key;
    });
    EXPECT_EQ(Engine(), expected) << key;
  }
}

TEST_F(RealData, JoinedRecordsChangeOnlyTheRowsOfTheirOwnCodes) {
  // 208 records of the 2026 issue span 522 lines; 066-0005 is one row instead of three.
  std::size_t lines = 0;
  for (const Fields& f : ReadPlain(KenPath())) lines += !f[0].empty();
  EXPECT_EQ(lines - ken_->size(), 522u - 208u);
  SearchPostCode(ctx, "0660005", PostCodeMatch::kExact);
  const std::vector<Row> rows = Engine();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(HasText(rows[0][6], Sjis("４２７－３")));
  ScanKenAll(ctx, Sjis("４２７－３"), ScanMode::kWords, WordMatch::kContains);
  EXPECT_EQ(Engine(), rows);
  // A reading that fits one line is repeated on each line of the record, and taken once.
  SearchPostCode(ctx, "6008483", PostCodeMatch::kExact);
  const std::vector<Row> kyoto = Engine();
  ASSERT_EQ(kyoto.size(), 1u);
  EXPECT_EQ(kyoto[0][9], Sjis("ﾖｼﾐｽﾞﾁｮｳ"));
  EXPECT_TRUE(HasText(kyoto[0][6], Sjis("東堀川通高辻上る")));
}

TEST_F(RealData, AddressWordsBusinessNamesAndTwoTermsAgreeWithTheOracle) {
  std::vector<std::pair<std::string, WordMatch>> keys;
  for (int n = 0; n < 8; ++n) keys.push_back({AnyKen()[8], WordMatch::kExact});     // town, kanji
  for (int n = 0; n < 6; ++n) keys.push_back({AnyKen()[4], WordMatch::kExact});     // city, kana
  for (int n = 0; n < 4; ++n) keys.push_back({AnyKen()[7], WordMatch::kExact});     // city, kanji
  for (int n = 0; n < 8; ++n) keys.push_back({Piece(AnyKen()[8], 2), WordMatch::kContains});
  for (int n = 0; n < 4; ++n) keys.push_back({Piece(AnyKen()[5], 3), WordMatch::kContains});  // town kana
  for (int n = 0; n < 6; ++n) keys.push_back({AnyJig()[2], WordMatch::kExact});     // business name
  for (int n = 0; n < 4; ++n) keys.push_back({Piece(AnyJig()[1], 4), WordMatch::kContains});
  for (int n = 0; n < 6; ++n) {
    const Fields& f = AnyKen();
    keys.push_back({f[7] + "+" + f[8], WordMatch::kExact});
    keys.push_back({Piece(f[7], 2) + "+" + Piece(f[8], 1), WordMatch::kContains});
  }
  for (const auto& [key, match] : keys) {
    ScanKenAll(ctx, key, ScanMode::kWords, match);
    ScanJigyosyo(ctx, key, ScanMode::kWords, match);
    std::size_t plus = key.find('+');
    std::string first = key.substr(0, plus);
    std::string second = plus == std::string::npos ? "" : key.substr(plus + 1);
    auto expected = Oracle(true, [&](const Fields& f, bool jig) {
      const std::array<const std::string*, 5> fields =
          jig ? std::array<const std::string*, 5>{&f[4], &f[5], &f[6], &f[1], &f[2]}
              : std::array<const std::string*, 5>{&f[4], &f[5], &f[6], &f[7], &f[8]};
      // Each term in every form it is folded into (the folding has a test of its own).
      auto hit = [&](const std::string& term) {
        for (const std::string& form : TermForms(term, jig ? Readings::kJigyosyo : Readings::kKenAll)) {
          for (const std::string* x : fields) {
            if (match == WordMatch::kExact ? *x == form : HasText(*x, form)) return true;
          }
        }
        return false;
      };
      return hit(first) && (second.empty() || hit(second));
    });
    EXPECT_EQ(Engine(), expected) << "key " << Utf8(key) << " match " << static_cast<int>(match);
  }
  EXPECT_GE(keys.size(), 50u);
}

// The scanner's vector searches (512, 256 and 128 bits wide) against its plain byte loop, over
// the whole of both files: keys of one form and of several, keys across the cut of a joined
// record, two terms, postal codes, old codes.
TEST_F(RealData, EveryVectorWidthFindsWhatTheByteLoopFinds) {
  struct Restore {
    ~Restore() { test_seams::LimitVectorWidth(512); }
  } restore;
  std::vector<std::function<void()>> searches;
  for (const char* key : {"川崎", "かわさき", "４２７－３", "１", "（", "札幌+中央", "ﾄｳｷﾖｳ", "0001"}) {
    const std::string k = Sjis(key);
    searches.push_back([this, k] {
      ScanKenAll(ctx, k, ScanMode::kWords, WordMatch::kContains);
      ScanJigyosyo(ctx, k, ScanMode::kWords, WordMatch::kContains);
    });
  }
  for (int n = 0; n < 4; ++n) {
    const std::string k = Piece(AnyKen()[8], 2);
    searches.push_back([this, k] { ScanKenAll(ctx, k, ScanMode::kWords, WordMatch::kContains); });
  }
  for (const char* code : {"0001", "19901", "35011", "060"}) {
    searches.push_back([this, code] {
      SearchPostCode(ctx, code, PostCodeMatch::kContains);
      SearchJigPostCode(ctx, code, PostCodeMatch::kExact);
    });
  }
  for (const auto& search : searches) {
    test_seams::LimitVectorWidth(0);
    search();
    const std::vector<Row> expected = Engine();
    for (int bits : {128, 256, 512}) {
      test_seams::LimitVectorWidth(bits);
      search();
      EXPECT_EQ(Engine(), expected) << bits << " bits";
    }
  }
}

TEST_F(RealData, LocalGovernmentCodesAgreeWithTheOracle) {
  for (int n = 0; n < 15; ++n) {
    const std::string code = n % 3 == 0 ? AnyJig()[0] : AnyKen()[0];
    ScanKenAll(ctx, code, ScanMode::kDantai);
    ScanJigyosyo(ctx, code, ScanMode::kDantai);
    auto expected = Oracle(true, [&](const Fields& f, bool) { return f[0] == code; });
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(Engine(), expected) << code;
  }
}

TEST_F(RealData, CitiesOfEveryPrefectureAndOneCityEachAgreeWithTheOracle) {
  for (const std::string_view name : PrefectureNames()) {
    const std::string pref(name);
    view.SelectPrefecture(pref);
    view.ClearCities();
    ScanKenAll(ctx, pref, ScanMode::kCityList);
    std::vector<std::string> expected;
    for (const Fields& f : *ken_) {
      if (f[6] == pref && (expected.empty() || expected.back() != f[7])) expected.push_back(f[7]);
    }
    ASSERT_EQ(view.cities, expected) << Utf8(pref);

    const std::string city = expected[std::uniform_int_distribution<std::size_t>(0, expected.size() - 1)(rng)];
    ScanKenAll(ctx, city, ScanMode::kCity, WordMatch::kExact, view.prefecture);
    ScanJigyosyo(ctx, city, ScanMode::kCity, WordMatch::kExact, view.prefecture);
    auto rows = Oracle(true, [&](const Fields& f, bool jig) { return (jig ? f[3] : f[6]) == pref && (jig ? f[4] : f[7]) == city; });
    EXPECT_EQ(Engine(), rows) << Utf8(city);
  }
}

// --- Area codes, through the library's tables ------------------------------------------------

std::vector<std::string> MaNames(const std::string& key) {
  char list[MEKLAN_MALIST_SIZE] = {};
  MEKLAN_GetMA(key.c_str(), list, -1);
  std::set<std::string> names;
  std::stringstream s(list);
  std::string name;
  while (std::getline(s, name, '$')) names.insert(name);
  return {names.begin(), names.end()};
}

TEST_F(RealData, AreaCodeDistrictsListEveryRecordOfEveryMa) {
  const MKADDRESS* table = MEKLAN_GetAddress();
  const int count = MEKLAN_GetNumOfAddress();
  ASSERT_GT(count, 3000);
  for (const std::string& key : std::vector<std::string>{"0153", "0166", Sjis("旭"), "0120", "03", "0123-45-6789"}) {
    FindAreaCode(ctx, key, AreaDisplay::kDistricts, view.business);
    std::vector<Row> expected;
    for (const std::string& name : MaNames(key)) {
      char codes[MEKLAN_AREACODE_SIZE] = {};
      MEKLAN_GetAreaCode(name.c_str(), codes, -1);
      for (int i = 0; i < count; ++i) {
        const MKADDRESS& a = table[i];
        if (name != a.maName) continue;
        expected.push_back({"", a.dantaiCode, codes, name, a.prefName, std::string(a.cityName) + a.townName, a.chomeNote, "", "", "", "", ""});
      }
    }
    EXPECT_EQ(Engine(), expected) << Utf8(key);
  }
  // 0153 is shared by several MAs; the name list repeats some, each is searched once.
  EXPECT_GE(MaNames("0153").size(), 3u);
  FindAreaCode(ctx, "0153", AreaDisplay::kDistricts, view.business);
  std::set<std::string> mas;
  for (const Row& r : Engine()) mas.insert(r[3]);
  EXPECT_EQ(mas.size(), MaNames("0153").size());
  // The beginning of a name works through the name pass.
  FindAreaCode(ctx, Sjis("旭"), AreaDisplay::kDistricts, view.business);
  std::set<std::string> asahi;
  for (const Row& r : Engine()) asahi.insert(r[3]);
  EXPECT_TRUE(asahi.count(Sjis("旭川")));
  // A key that names nothing: no rows, no message.
  FindAreaCode(ctx, "9", AreaDisplay::kDistricts, view.business);
  EXPECT_TRUE(Engine().empty());
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(RealData, AreaCodePostalRowsAreThoseOfTheWholeCitiesServed) {
  const MKADDRESS* table = MEKLAN_GetAddress();
  const int count = MEKLAN_GetNumOfAddress();
  for (const std::string& key : std::vector<std::string>{"0153", "0166", Sjis("旭")}) {
    for (bool business : {false, true}) {
      view.business = business ? Business::kInclude : Business::kLeaveOut;
      FindAreaCode(ctx, key, AreaDisplay::kPostal, view.business);
      std::vector<Row> expected;
      for (const std::string& name : MaNames(key)) {
        for (int i = 0; i < count; ++i) {
          const MKADDRESS& a = table[i];
          if (name != a.maName) continue;
          const std::string place = std::string(a.cityName) + a.townName + a.chomeNote;
          for (const Fields& f : *ken_) {
            if (f[6] == a.prefName && f[7] == place) expected.push_back(KenRow(f));
          }
          if (!business) continue;
          for (const Fields& f : *jig_) {
            if (f[3] == a.prefName && f[4] == place) expected.push_back(JigRow(f));
          }
        }
      }
      auto rows = Engine();
      EXPECT_FALSE(rows.empty()) << Utf8(key);
      EXPECT_EQ(rows, Sorted(expected)) << Utf8(key) << " business " << business;
    }
  }
}

TEST_F(RealData, AreaCodeReportsAMissingFileOncePerSearch) {
  settings.ken_all_path = "/nonexistent/ken_all.csv";
  FindAreaCode(ctx, "0153", AreaDisplay::kPostal, view.business);
  EXPECT_EQ(view.messages.size(), 1u);
  FindAreaCode(ctx, "0153", AreaDisplay::kPostal, view.business);
  EXPECT_EQ(view.messages.size(), 2u);
}

}  // namespace
}  // namespace tovra::test

namespace tovra::test {
namespace {

// Older issues: another vintage of the same layout (2010 KEN_ALL.CSV, 2002 JIGYOSYO.CSV).
TEST(OlderIssues, IndexAndExactSearchesAgreeWithAPlainCount) {
  const std::string ken = std::string(OLD_POSTAL_DIR) + "/2010-12/ken_all.csv";
  const std::string jig = std::string(OLD_POSTAL_DIR) + "/2002/jigyosyo.csv";
  RecordingView view;
  Settings settings = SettingsFor(ken, jig);
  SearchContext ctx{view, settings};
  ASSERT_EQ(BuildPostIndex(ctx, PostFile::kKenAll), SearchStatus::kOk);
  ASSERT_EQ(BuildPostIndex(ctx, PostFile::kJigyosyo), SearchStatus::kOk);
  std::mt19937 rng(2010);
  for (PostFile file : {PostFile::kKenAll, PostFile::kJigyosyo}) {
    const bool is_ken = file == PostFile::kKenAll;
    const PostIndex& index = PostFileIndex(settings, file);
    int runs = 0;
    for (const DigitRun& r : index.run) runs += r.num != -1;
    EXPECT_EQ(runs, is_ken ? 56 : 46);
    EXPECT_TRUE(HasPrefectureIndex(index));
    const std::vector<Fields> lines = ReadPlain(is_ken ? ken : jig);
    for (int n = 0; n < 10; ++n) {
      const Fields& pick = lines[std::uniform_int_distribution<std::size_t>(0, lines.size() - 1)(rng)];
      const std::string code = is_ken ? pick[2] : pick[7];
      std::size_t expected = 0;
      for (const Fields& f : lines) {
        const std::string old = Trimmed(is_ken ? f[1] : f[8]);
        expected += (is_ken ? f[2] : f[7]) == code || old == code;
      }
      view.ClearRows();
      if (is_ken) SearchPostCode(ctx, code, PostCodeMatch::kExact);
      else SearchJigPostCode(ctx, code, PostCodeMatch::kExact);
      EXPECT_EQ(view.Rows().size(), expected) << code;
    }
    // The old prefecture's city list still comes from its own stretch.
    view.SelectPrefecture(Sjis("沖縄県"));
    view.ClearCities();
    if (is_ken) {
      EXPECT_GT(ScanKenAll(ctx, Sjis("沖縄県"), ScanMode::kCityList).rows, 10);
    }
  }
}

}  // namespace
}  // namespace tovra::test

// --- The current edition of the telephone tables -------------------------------------------
namespace tovra::test {
namespace {

// The row as the current edition shows it: the plain row with the library's join of the line.
Row Joined(Row row, const Fields& f, bool business) {
  MKJOIN join;
  const std::string& town = business ? f[5] : f[8];
  if (MEKLAN_EditionJoin(MEKLAN_EDITION_CURRENT, f[0].c_str(), town.c_str(), business ? f[6].c_str() : nullptr,
                         &join) > 0) {
    row[2] = join.areaCodes;
    row[3] = join.maNames;
  }
  return row;
}

bool NamesAny(const Fields& f, bool business, const std::set<std::string>& names) {
  MKJOIN join;
  const std::string& town = business ? f[5] : f[8];
  MEKLAN_EditionJoin(MEKLAN_EDITION_CURRENT, f[0].c_str(), town.c_str(), business ? f[6].c_str() : nullptr, &join);
  const MKMA* ma = MEKLAN_EditionGetMKMA(MEKLAN_EDITION_CURRENT);
  for (int i = 0; i < join.count; ++i) {
    if (names.count(ma[join.maIndex[i]].maName)) return true;
  }
  return false;
}

std::set<std::string> CurrentMaNames(const std::string& key) {
  char list[MEKLAN_MALIST_SIZE];
  MEKLAN_EditionGetMA(MEKLAN_EDITION_CURRENT, key.c_str(), -1, list, sizeof list);
  std::set<std::string> names;
  std::stringstream s(list);
  for (std::string name; std::getline(s, name, '$');) names.insert(name);
  return names;
}

// 局番から with the current edition: every row whose join names one of the key's MAs, divided
// municipalities included (0539: 浜松 and 天竜; 武蔵野三鷹 serves parts of 新座市 and 小金井市).
TEST_F(RealData, AreaCodeWithTheCurrentEditionFindsEveryRowItsMasServe) {
  settings.ma_edition = MEKLAN_EDITION_CURRENT;
  for (const std::string& key : std::vector<std::string>{"0539", Sjis("大曲"), Sjis("武蔵野三鷹"), Sjis("焼尻")}) {
    const std::set<std::string> names = CurrentMaNames(key);
    ASSERT_FALSE(names.empty()) << Utf8(key);
    for (bool business : {false, true}) {
      FindAreaCode(ctx, key, AreaDisplay::kPostal, business ? Business::kInclude : Business::kLeaveOut);
      std::vector<Row> expected;
      for (const Fields& f : *ken_) {
        if (NamesAny(f, false, names)) expected.push_back(Joined(KenRow(f), f, false));
      }
      for (const Fields& f : *jig_) {
        if (business && NamesAny(f, true, names)) expected.push_back(Joined(JigRow(f), f, true));
      }
      auto rows = Engine();
      EXPECT_FALSE(rows.empty()) << Utf8(key);
      EXPECT_EQ(rows, Sorted(expected)) << Utf8(key) << " business " << business;
      if (key == "0539") {
        const auto tenryu = std::count_if(rows.begin(), rows.end(), [](const Row& r) { return r[1] == "22140"; });
        const auto all = std::count_if(ken_->begin(), ken_->end(), [](const Fields& f) { return f[0] == "22140"; });
        EXPECT_GT(all, 50);
        if (!business) {
          EXPECT_EQ(tenryu, all);  // every row of 浜松市天竜区
        }
      }
    }
  }
}

TEST_F(RealData, AFullWidthAreaCodeFindsWhatItsAsciiFormFindsInBothEditions) {
  for (int edition : {MEKLAN_EDITION_2003, MEKLAN_EDITION_CURRENT}) {
    settings.ma_edition = edition;
    for (AreaDisplay display : {AreaDisplay::kPostal, AreaDisplay::kDistricts}) {
      FindAreaCode(ctx, "0153", display, Business::kLeaveOut);
      const std::vector<Row> ascii = Engine();
      EXPECT_FALSE(ascii.empty()) << edition;
      FindAreaCode(ctx, Sjis("０１５３"), display, Business::kLeaveOut);
      EXPECT_EQ(Engine(), ascii) << edition;
    }
  }
}

TEST_F(RealData, ADamagedPrefectureRangeIsNeverTrusted) {
  const PostIndex good = settings.ken_all_index;
  const PrefRange tokyo = good.pref[12];
  auto search = [&] {
    const int city = FindCityRows(ctx, Sjis("東京都"), Sjis("千代田区"), Business::kLeaveOut).rows();
    const int area = FindAreaCode(ctx, "03", AreaDisplay::kPostal, Business::kLeaveOut).rows();
    view.ClearRows();
    return std::make_pair(city, area);
  };
  const auto expected = search();
  EXPECT_GT(expected.first, 50);
  EXPECT_GT(expected.second, 3000);
  // What a damaged settings file can hold for pfu12start: past the end, negative, not a number
  // (read as 0), after the range's end, one byte off a line start.
  const std::int32_t length = static_cast<std::int32_t>(std::filesystem::file_size(KenPath()));
  for (std::int32_t start : {length + 100, -5, 0, tokyo.start + tokyo.size + 10, tokyo.start + 1}) {
    settings.ken_all_index.pref[12].start = start;
    EXPECT_EQ(search(), expected) << start;  // read whole rather than at the wrong offsets
    bool rebuilt = false;
    ASSERT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll, &rebuilt));
    EXPECT_TRUE(rebuilt) << start;
    EXPECT_EQ(settings.ken_all_index, good) << start;
  }
}

TEST_F(RealData, AreaCodeDistrictsOfTheCurrentEditionCarryTheWording) {
  settings.ma_edition = MEKLAN_EDITION_CURRENT;
  FindAreaCode(ctx, Sjis("武蔵野三鷹"), AreaDisplay::kDistricts, Business::kLeaveOut);
  auto rows = Engine();
  std::vector<Row> expected;
  const MKADDRESS* table = MEKLAN_EditionGetAddress(MEKLAN_EDITION_CURRENT);
  for (int i = 0; i < MEKLAN_EditionGetNumOfAddress(MEKLAN_EDITION_CURRENT); ++i) {
    const MKADDRESS& a = table[i];
    if (Sjis("武蔵野三鷹") != a.maName) continue;
    char codes[MEKLAN_AREACODE_SIZE];
    MEKLAN_EditionGetAreaCode(MEKLAN_EDITION_CURRENT, a.maName, a.branch, codes, sizeof codes);
    expected.push_back({"", a.dantaiCode, codes, a.maName, a.prefName, std::string(a.cityName) + a.townName, "", "", "",
                        "", "", ""});
  }
  EXPECT_EQ(rows, expected);
  const Row* niiza = nullptr;
  for (const Row& r : rows) niiza = r[1] == "11230" ? &r : niiza;
  ASSERT_NE(niiza, nullptr);
  EXPECT_EQ(Utf8((*niiza)[5]), "新座市石神一丁目及び三丁目から五丁目まで、栗原、新堀、西堀並びに野寺一丁目及び五丁目に限る。");
  EXPECT_EQ(Utf8((*niiza)[2]), "042-[41～49]");
}

// Every other search shows the MAs of its rows too; a straddling town shows all of them.
TEST_F(RealData, RowsOfEverySearchShowTheirMasWithTheCurrentEdition) {
  settings.ma_edition = MEKLAN_EDITION_CURRENT;
  ScanKenAll(ctx, "11230", ScanMode::kDantai);
  ScanJigyosyo(ctx, "11230", ScanMode::kDantai);
  auto rows = Engine();
  std::vector<Row> expected;
  for (const Fields& f : *ken_) {
    if (f[0] == "11230") expected.push_back(Joined(KenRow(f), f, false));
  }
  for (const Fields& f : *jig_) {
    if (f[0] == "11230") expected.push_back(Joined(JigRow(f), f, true));
  }
  EXPECT_EQ(rows, Sorted(expected));
  bool straddling = false;
  for (const Row& r : rows) {
    EXPECT_FALSE(r[3].empty()) << Utf8(r[6]);
    straddling = straddling || (r[6] == Sjis("石神") && Utf8(r[3]) == "武蔵野三鷹/川口");
  }
  EXPECT_TRUE(straddling);
  SearchPostCode(ctx, "3520001", PostCodeMatch::kExact);
  rows = Engine();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Utf8(rows[0][3]), "川口");
}

// Keys are taken whole: a town joined from several lines to more than one field's bytes is
// found by its own text, a long key matches only what holds all of it, and only a key longer
// than any field can hold is refused, with a message and nothing read.
TEST_F(RealData, KeysAreTakenWholeAndOnlyWhatNoFieldHoldsIsRefused) {
  int long_towns = 0;
  for (const Fields& town : *ken_) {
    if (town[8].size() <= kFieldMax) continue;
    ++long_towns;
    FindWords(ctx, town[8], WordMatch::kExact, Business::kLeaveOut);
    auto expected = Oracle(false, [&](const Fields& f, bool) { return f[8] == town[8]; });
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Sorted(Engine()), expected) << Utf8(town[8]);
  }
  EXPECT_EQ(long_towns, 9);

  struct Case {
    std::string key;
    SearchStatus status;
    std::size_t messages;
  };
  const Case cases[] = {
      {"01101" + std::string(260, ' ') + "9", SearchStatus::kOk, 0},  // not 01101's rows
      {std::string(kKeyMax, '1'), SearchStatus::kOk, 0},
      {std::string(kKeyMax + 1, '1'), SearchStatus::kKeyTooLong, 1},
  };
  for (const Case& c : cases) {
    view.messages.clear();
    const SearchOutcome outcome = FindDantai(ctx, c.key, Business::kInclude);
    EXPECT_EQ(outcome.ken_all.status, c.status) << c.key.size();
    EXPECT_EQ(outcome.rows(), 0) << c.key.size();
    EXPECT_EQ(view.messages.size(), c.messages) << c.key.size();
    EXPECT_TRUE(Engine().empty());
  }
}

}  // namespace
}  // namespace tovra::test
