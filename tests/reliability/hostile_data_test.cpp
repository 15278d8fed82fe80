// Hostile data files through every search of the engine: each case states the messages the
// user gets and the rows that remain, and runs under the sanitizers like the rest.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "messages.h"
#include "test_support.h"

namespace tovra::test {
namespace {

using V = std::vector<std::string>;

// The two good lines every case is made of, one per file: a Sapporo address and a Naha one.
struct GoodLines {
  std::string a, b;
};

GoodLines KenLines() {
  return {KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北一条西"),
          KenLine("47201", "900  ", "9000001", "沖縄県", "那覇市", "旭町")};
}

GoodLines JigLines() {
  return {JigLine("01101", "ｶﾌﾞｼｷｶﾞｲｼｬｴｰ", "札幌株式会社", "北海道", "札幌市中央区", "北一条西", "１",
                  "0600001", "060  "),
          JigLine("47201", "ｶﾌﾞｼｷｶﾞｲｼｬﾋﾞｰ", "那覇株式会社", "沖縄県", "那覇市", "旭町", "２", "9000001",
                  "900  ")};
}

std::string NotFound(const std::string& path) {
  std::string text = msg::kFileNotFoundFormat;
  return text.replace(text.find("%s"), 2, path);
}

// What the user sees after each search, as the distinct postal codes listed.
struct Outcome {
  V exact;     // postal code 060-0001, exact
  V prefix;    // postal codes beginning with 0
  V words;     // address or business name containing 札幌
  V dantai;    // local-government code 47201
  V city;      // 札幌市中央区 with 北海道 chosen
  V cities;    // the city list of 北海道 (KEN_ALL.CSV only)
  V area;      // area-code search 札幌, postal rows (KEN_ALL.CSV only)
  V messages;  // every message box, in order
};

Outcome Searched() {
  return {{"060-0001"}, {"060-0001"}, {"060-0001"}, {"900-0001"}, {"060-0001"}, {Sjis("札幌市中央区")}, {"060-0001"}, {}};
}

Outcome Nothing(V messages = {}) { return {{}, {}, {}, {}, {}, {}, {}, std::move(messages)}; }

V Distinct(const RecordingView& view) {
  std::set<std::string> codes;
  for (const std::string& c : view.Column(kColPostCode)) codes.insert(c);
  return V(codes.begin(), codes.end());
}

// Runs the program's order: the index check at start, then every search of the file.
Outcome RunAll(PostFile file, const std::string& path, const std::function<void()>& before_search) {
  const bool ken = file == PostFile::kKenAll;
  TempDir other;
  Settings settings = ken ? SettingsFor(path, other.Path("none.csv")) : SettingsFor(other.Path("none.csv"), path);
  RecordingView view;
  SearchContext ctx{view, settings};
  CheckPostIndex(ctx, file);
  if (before_search) before_search();
  Outcome out;
  auto collect = [&](V& into) {
    into = Distinct(view);
    view.ClearRows();
  };
  auto postcode = ken ? SearchPostCode : SearchJigPostCode;
  auto scan = ken ? ScanKenAll : ScanJigyosyo;
  postcode(ctx, "0600001", PostCodeMatch::kExact);
  collect(out.exact);
  postcode(ctx, "0", PostCodeMatch::kPrefix);
  collect(out.prefix);
  scan(ctx, Sjis("札幌"), ScanMode::kWords, WordMatch::kContains, {});
  collect(out.words);
  scan(ctx, "47201", ScanMode::kDantai, WordMatch::kExact, {});
  collect(out.dantai);
  view.prefecture = Sjis("北海道");
  scan(ctx, Sjis("札幌市中央区"), ScanMode::kCity, WordMatch::kExact, view.prefecture);
  collect(out.city);
  if (ken) {
    ScanKenAll(ctx, Sjis("北海道"), ScanMode::kCityList);
    out.cities = view.cities;
    FindAreaCode(ctx, Sjis("札幌"), AreaDisplay::kPostal, view.business);
    collect(out.area);
  } else {
    out.cities = out.area = {};
  }
  out.messages = view.messages;
  return out;
}

struct DataCase {
  const char* name;
  // Writes the hostile file at the path (or puts something else there).
  std::function<void(TempDir&, const std::string& path, const GoodLines&)> make;
  // Runs between the index check and the searches.
  std::function<void(TempDir&, const std::string& path, const GoodLines&)> before_search;
  // What KEN_ALL.CSV and JIGYOSYO.CSV give (the path stands in for "%s").
  std::function<Outcome(const std::string& path)> ken_all;
  std::function<Outcome(const std::string& path)> jigyosyo;
};

void WriteFile(TempDir& dir, const std::string& path, const std::string& bytes) {
  dir.Write(std::filesystem::path(path).filename().string(), bytes);
}

std::string Alternating(const GoodLines& g, int pairs) {
  std::string text;
  for (int i = 0; i < pairs; ++i) text += g.a + "\r\n" + g.b + "\r\n";
  return text;
}

// A line of the first good line's prefecture whose postal code begins with 1.
std::string OtherDigit(const std::string& line) {
  std::string out = line;
  for (std::string from : {std::string("\"0600001\""), std::string("\"060  \"")}) {
    std::size_t at = out.find(from);
    if (at != std::string::npos) out[at + 1] = '1';
  }
  return out;
}

const Outcome kSearched = Searched();
auto Same(const Outcome& o) {
  return [o](const std::string&) { return o; };
}

std::vector<DataCase> DataCases() {
  const std::string overflow = msg::kIndexOverflow;
  // A file not sorted by prefecture is read whole: every search still finds its lines.
  Outcome whole = kSearched;
  whole.messages = {overflow};
  // More than 64 runs: the lines beginning with 1 (160-0001) join the searches that are not
  // about one postal code.
  Outcome runs = kSearched;
  runs.prefix = {"060-0001"};
  runs.words = runs.city = runs.area = {"060-0001", "160-0001"};
  runs.dantai = {};
  runs.messages = {overflow};
  Outcome runs_jig = runs;
  runs_jig.cities = runs_jig.area = {};
  Outcome jig_searched = kSearched;
  jig_searched.cities = jig_searched.area = {};
  Outcome jig_whole = whole;
  jig_whole.cities = jig_whole.area = {};

  return {
      {"EmptyFile", [](TempDir& d, const std::string& p, const GoodLines&) { WriteFile(d, p, ""); }, nullptr,
       Same(Nothing()), Same(Nothing())},
      {"NulBytes", [](TempDir& d, const std::string& p, const GoodLines&) { WriteFile(d, p, std::string(300000, '\0')); },
       nullptr, Same(Nothing()), Same(Nothing())},
      {"InvalidCp932AroundGoodLines",
       [](TempDir& d, const std::string& p, const GoodLines& g) {
         // 0xFF bytes, a lead byte ending a line and one ending the file.
         WriteFile(d, p, "\xFF\xFF,\xFF\r\n\x82\r\n" + g.a + "\x82\r\n" + g.b + "\r\n\x82");
       },
       nullptr, Same(kSearched), Same(jig_searched)},
      {"OneMegabyteLineBeforeGoodLines",
       [](TempDir& d, const std::string& p, const GoodLines& g) {
         // Commas everywhere: a piece of the line taken for a line would begin with one and
         // end the search.
         std::string huge = "xx";
         while (huge.size() < (1u << 20)) huge += ",x";
         WriteFile(d, p, huge + "\r\n" + g.a + "\r\n" + g.b + "\r\n");
       },
       nullptr, Same(kSearched), Same(jig_searched)},
      {"NoFinalNewline", [](TempDir& d, const std::string& p, const GoodLines& g) { WriteFile(d, p, g.a + "\r\n" + g.b); },
       nullptr, Same(kSearched), Same(jig_searched)},
      {"LfLineEnds", [](TempDir& d, const std::string& p, const GoodLines& g) { WriteFile(d, p, g.a + "\n" + g.b + "\n"); },
       nullptr, Same(kSearched), Same(jig_searched)},
      {"CrLineEnds", [](TempDir& d, const std::string& p, const GoodLines& g) { WriteFile(d, p, g.a + "\r" + g.b + "\r"); },
       nullptr, Same(kSearched), Same(jig_searched)},
      {"NotSortedByPrefecture",
       [](TempDir& d, const std::string& p, const GoodLines& g) { WriteFile(d, p, Alternating(g, 30)); }, nullptr,
       Same(whole), Same(jig_whole)},
      {"MoreThan64FirstDigitRuns",
       [](TempDir& d, const std::string& p, const GoodLines& g) {
         std::string text;
         for (int i = 0; i < 40; ++i) text += g.a + "\r\n" + OtherDigit(g.a) + "\r\n";
         WriteFile(d, p, text);
       },
       nullptr, Same(runs), Same(runs_jig)},
      {"ReplacedByAShorterFileAfterTheIndex",
       [](TempDir& d, const std::string& p, const GoodLines& g) {
         std::string text = g.a + "\r\n";
         for (int i = 0; i < 20; ++i) text += g.b + "\r\n";
         WriteFile(d, p, text);
       },
       // The Sapporo line moves out of the stretch the index gives Hokkaido and the 0 codes.
       [](TempDir& d, const std::string& p, const GoodLines& g) {
         WriteFile(d, p, g.b + "\r\n" + g.b + "\r\n" + g.a + "\r\n");
       },
       Same(kSearched), Same(jig_searched)},
      {"DeletedAfterTheIndexCheck",
       [](TempDir& d, const std::string& p, const GoodLines& g) { WriteFile(d, p, g.a + "\r\n" + g.b + "\r\n"); },
       [](TempDir&, const std::string& p, const GoodLines&) { std::filesystem::remove(p); },
       // One message per search; the area-code search reports the file once.
       [](const std::string& p) { return Nothing(V(7, NotFound(p))); }, Same(Nothing())},
      {"PathIsADirectory",
       [](TempDir&, const std::string& p, const GoodLines&) { std::filesystem::create_directory(p); }, nullptr,
       [](const std::string& p) { return Nothing(V(7, NotFound(p))); }, Same(Nothing())},
  };
}

class HostileDataFile : public ::testing::TestWithParam<DataCase> {};

void ExpectOutcome(const Outcome& got, const Outcome& want) {
  EXPECT_EQ(got.exact, want.exact);
  EXPECT_EQ(got.prefix, want.prefix);
  EXPECT_EQ(got.words, want.words);
  EXPECT_EQ(got.dantai, want.dantai);
  EXPECT_EQ(got.city, want.city);
  EXPECT_EQ(got.cities, want.cities);
  EXPECT_EQ(got.area, want.area);
  EXPECT_EQ(got.messages, want.messages);
}

// Makes the case's file from the good lines of one data file, runs everything on it and
// compares with what the case expects of that file.
void RunCase(const DataCase& c, PostFile file, const char* name, const GoodLines& good,
             const std::function<Outcome(const std::string& path)>& expected) {
  TempDir dir;
  const std::string path = dir.Path(name);
  c.make(dir, path, good);
  Outcome got = RunAll(file, path, [&] {
    if (c.before_search) c.before_search(dir, path, good);
  });
  ExpectOutcome(got, expected(path));
}

TEST_P(HostileDataFile, KenAll) {
  RunCase(GetParam(), PostFile::kKenAll, "ken_all.csv", KenLines(), GetParam().ken_all);
}

TEST_P(HostileDataFile, Jigyosyo) {
  RunCase(GetParam(), PostFile::kJigyosyo, "jigyosyo.csv", JigLines(), GetParam().jigyosyo);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileDataFile, ::testing::ValuesIn(DataCases()),
                         [](const ::testing::TestParamInfo<DataCase>& info) { return std::string(info.param.name); });

// Invalid CP932 never lets a contains search hit half a character: neither a key that starts
// on a trail byte nor one that ends on a lead byte.
TEST(HostileCp932, ContainsSearchesHitWholeCharactersOnly) {
  TempDir dir;
  // 長島 is 92 B7 93 87; the town field ends in a lone lead byte, the file in another.
  std::string line = KenLine("47201", "900  ", "9000001", "沖縄県", "那覇市", "長島");
  line.insert(line.find(Sjis("長島")) + 4, "\x82");
  const std::string path = dir.Write("ken.csv", line + "\r\n\xFF\x82");
  Settings settings = SettingsFor(path, dir.Path("none.csv"));
  RecordingView view;
  SearchContext ctx{view, settings};
  struct KeyCase {
    std::string key;
    int rows;
  };
  for (const KeyCase& k : std::vector<KeyCase>{{Sjis("長島"), 1},
                                               {Sjis("島"), 1},
                                               {"\x87\x82", 0},   // trail byte of 島, then the lone lead byte
                                               {"\xB7\x93", 0},   // trail of 長, lead of 島
                                               {"\x92", 0},       // the first half of 長
                                               {"\x93\x87\x82", 1},  // 島 and the lone lead byte ending the field
                                               {"\xFF", 0}}) {
    view.ClearRows();
    EXPECT_EQ(ScanKenAll(ctx, k.key, ScanMode::kWords, WordMatch::kContains).rows, k.rows) << testing::PrintToString(k.key);
    EXPECT_EQ(view.Rows().size(), static_cast<std::size_t>(k.rows));
  }
  EXPECT_TRUE(view.messages.empty());
}

// A data file rewritten after its index was recorded, with the same modification time to the
// second: the next start must not trust the old index.
struct RewriteCase {
  const char* name;
  std::string after;   // the file's new contents (the old: Sapporo, then Naha)
  long nanoseconds;    // of the new modification time; the old one has 100
};

class RewrittenWithinTheSecond : public ::testing::TestWithParam<RewriteCase> {};

void SetModificationTime(const std::string& path, time_t seconds, long nanoseconds) {
  const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_P(RewrittenWithinTheSecond, IsIndexedAgain) {
  const GoodLines ken = KenLines();
  TempDir dir;
  const std::string path = dir.Write("ken.csv", Lines({ken.a, ken.b}));
  const time_t second = 1765272482;
  SetModificationTime(path, second, 100);
  Settings s = SettingsFor(path, dir.Path("none.csv"));
  RecordingView view;
  SearchContext ctx{view, s};
  ASSERT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll));
  ASSERT_TRUE(HasRunTable(s.ken_all_index));

  dir.Write("ken.csv", GetParam().after);
  SetModificationTime(path, second, GetParam().nanoseconds);
  bool rebuilt = false;
  ASSERT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll, &rebuilt));
  EXPECT_TRUE(rebuilt);
  EXPECT_EQ(SearchPostCode(ctx, "0600001", PostCodeMatch::kExact).rows, 1);
  EXPECT_EQ(SearchPostCode(ctx, "9000001", PostCodeMatch::kExact).rows, 1);
  EXPECT_TRUE(view.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RewrittenWithinTheSecond,
    ::testing::Values(RewriteCase{"SameSizeOtherNanoseconds", Lines({KenLines().b, KenLines().a}), 200},
                      RewriteCase{"OtherSizeSameNanoseconds", Lines({KenLines().b, KenLines().a, ""}), 100}),
    [](const ::testing::TestParamInfo<RewriteCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovra::test
