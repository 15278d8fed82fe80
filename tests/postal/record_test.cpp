// Whole KEN_ALL.CSV records: a town field split over lines with the same postal code is one
// record in every search, wherever the split falls.
#include <unistd.h>

#include <algorithm>
#include <random>

#include "key_fold.h"
#include "record_scan.h"
#include "test_support.h"

namespace tovra::test {
namespace {

using V = std::vector<std::string>;

// A record split as the published file splits 066-0005 (three lines, "（" opened on the first).
std::vector<std::string> SplitRecord(const std::string& code) {
  return {
      KenLine("01224", "066  ", code, "北海道", "千歳市", "協和（８８－２、４２７－", "ﾁﾄｾｼ", "ｷｮｳﾜ(88-2､427-"),
      KenLine("01224", "066  ", code, "北海道", "千歳市", "３、４３１－１２、", "ﾁﾄｾｼ", "3､431-12､"),
      KenLine("01224", "066  ", code, "北海道", "千歳市", "１７５２番地）", "ﾁﾄｾｼ", "1752ﾊﾞﾝﾁ)"),
  };
}
const char* const kJoinedTown = "協和（８８－２、４２７－３、４３１－１２、１７５２番地）";
const char* const kJoinedKana = "ｷｮｳﾜ(88-2､427-3､431-12､1752ﾊﾞﾝﾁ)";

class RecordFixture : public ::testing::Test {
 protected:
  void Write(std::vector<std::string> lines, const std::string& eol = "\r\n") {
    settings = SettingsFor(dir.Write("ken.csv", Lines(lines, eol)), dir.Path("none.csv"));
    ASSERT_EQ(BuildPostIndex(ctx, PostFile::kKenAll), SearchStatus::kOk);
  }
  V Towns() { return view.Column(kColTown); }
  V Codes(const std::string& key, PostCodeMatch mode) {
    view.ClearRows();
    SearchPostCode(ctx, key, mode);
    return view.Column(kColPostCode);
  }
  V Words(const std::string& key, WordMatch match) {
    view.ClearRows();
    ScanKenAll(ctx, Sjis(key), ScanMode::kWords, match);
    return Towns();
  }

  TempDir dir;
  RecordingView view;
  Settings settings;
  SearchContext ctx{view, settings};
};

std::string Plain(const std::string& code, const std::string& town, const std::string& pref = "北海道") {
  return KenLine("01224", "066  ", code, pref, "千歳市", town);
}

TEST_F(RecordFixture, EverySearchSeesOneRecordWithItsFieldsJoined) {
  std::vector<std::string> lines = {Plain("0660001", "幸町")};
  for (const std::string& l : SplitRecord("0660005")) lines.push_back(l);
  lines.push_back(Plain("0660005", "協和（その他）"));
  lines.push_back(Plain("0660006", "北信濃"));
  Write(lines);

  EXPECT_EQ(Codes("0660005", PostCodeMatch::kExact), (V{"066-0005", "066-0005"}));
  EXPECT_EQ(Towns(), (V{Sjis(kJoinedTown), Sjis("協和（その他）")}));
  EXPECT_EQ(view.Column(kColTownKana)[0], Sjis(kJoinedKana));
  // Old code, prefix and contains: the record once each (four records on six lines).
  EXPECT_EQ(Codes("066", PostCodeMatch::kExact).size(), 4u);
  EXPECT_EQ(Codes("06600", PostCodeMatch::kPrefix).size(), 4u);
  EXPECT_EQ(Codes("0005", PostCodeMatch::kContains).size(), 2u);

  // Words: within one line, across a cut (kanji and kana), the whole joined field exactly.
  EXPECT_EQ(Words("１７５２番地", WordMatch::kContains), V{Sjis(kJoinedTown)});
  EXPECT_EQ(Words("４２７－３", WordMatch::kContains), V{Sjis(kJoinedTown)});
  EXPECT_EQ(Words("427-3", WordMatch::kContains), V{Sjis(kJoinedTown)});
  EXPECT_EQ(Words("２、４２７－３、４３１－１２、１７５", WordMatch::kContains), V{Sjis(kJoinedTown)});
  EXPECT_EQ(Words(kJoinedTown, WordMatch::kExact), V{Sjis(kJoinedTown)});
  EXPECT_EQ(Words("協和（８８－２、４２７－", WordMatch::kExact), V{});  // a fragment is no field
  EXPECT_EQ(Words("協和", WordMatch::kContains), (V{Sjis(kJoinedTown), Sjis("協和（その他）")}));

  // City rows and the local-government code give the record once.
  view.ClearRows();
  EXPECT_EQ(ScanKenAll(ctx, Sjis("千歳市"), ScanMode::kCity, WordMatch::kExact, Sjis("北海道")).rows, 4);
  view.ClearRows();
  EXPECT_EQ(ScanKenAll(ctx, "01224", ScanMode::kDantai).rows, 4);
}

TEST_F(RecordFixture, RecordsAtTheEdgesOfWhatIsRead) {
  struct Case {
    const char* name;
    std::vector<std::string> before, after;
    std::string eol;
    std::size_t city_rows;  // of 千歳市 in 北海道: the record once, the plain lines of 北海道
  };
  // Enough plain lines to carry the record past the first 256 KiB of the file.
  std::vector<std::string> many;
  for (int i = 0; i < 3000; ++i) many.push_back(Plain("0660001", "幸町" + std::to_string(i)));
  const std::vector<Case> cases = {
      {"first lines of the file", {}, {Plain("0660006", "北信濃")}, "\r\n", 2},
      {"last lines of the file", {Plain("0660001", "幸町")}, {}, "\r\n", 2},
      {"last of its prefecture", {Plain("0660001", "幸町")}, {Plain("0300001", "青森", "青森県")}, "\r\n", 2},
      {"last of its digit run", {Plain("0660001", "幸町")}, {Plain("1000001", "千代田", "青森県")}, "\r\n", 2},
      {"past 256 KiB", many, {Plain("0660006", "北信濃")}, "\r\n", 3002},
      {"LF line ends", {Plain("0660001", "幸町")}, {Plain("0660006", "北信濃")}, "\n", 3},
      {"CR line ends", {Plain("0660001", "幸町")}, {Plain("0660006", "北信濃")}, "\r", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines = c.before;
    for (const std::string& l : SplitRecord("0660005")) lines.push_back(l);
    lines.insert(lines.end(), c.after.begin(), c.after.end());
    Write(lines, c.eol);
    EXPECT_EQ(Codes("0660005", PostCodeMatch::kExact), V{"066-0005"});
    EXPECT_EQ(Towns(), V{Sjis(kJoinedTown)});
    EXPECT_EQ(Words("４２７－３", WordMatch::kContains), V{Sjis(kJoinedTown)});
    view.ClearRows();
    ScanKenAll(ctx, Sjis("千歳市"), ScanMode::kCity, WordMatch::kExact, Sjis("北海道"));
    EXPECT_EQ(view.Column(kColTown).size(), c.city_rows);
  }
}

TEST_F(RecordFixture, ARecordEndsAtTheFilesEndOrAtAnotherCode) {
  const std::vector<std::string> split = SplitRecord("0660005");
  // The file ends inside the record (with and without a last line end): what is there joins.
  for (const std::string& eol_at_end : {std::string(), std::string("\r\n")}) {
    settings = SettingsFor(dir.Write("ken.csv", Lines({Plain("0660001", "幸町"), split[0], split[1]}) + eol_at_end),
                           dir.Path("none.csv"));
    ASSERT_EQ(BuildPostIndex(ctx, PostFile::kKenAll), SearchStatus::kOk);
    EXPECT_EQ(Codes("0660005", PostCodeMatch::kExact), V{"066-0005"});
    EXPECT_EQ(Towns(), V{Sjis("協和（８８－２、４２７－３、４３１－１２、")});
    EXPECT_EQ(Words("４３１－１２", WordMatch::kContains), V{Sjis("協和（８８－２、４２７－３、４３１－１２、")});
  }
  // A reading short enough for one line is repeated on every line: it is taken once.
  Write({KenLine("26106", "600  ", "6008483", "京都府", "京都市下京区", "吉水町（西堀川通高辻", "ｼ", "ﾖｼﾐｽﾞﾁｮｳ"),
         KenLine("26106", "600  ", "6008483", "京都府", "京都市下京区", "上る）", "ｼ", "ﾖｼﾐｽﾞﾁｮｳ")});
  EXPECT_EQ(Codes("6008483", PostCodeMatch::kExact), V{"600-8483"});
  EXPECT_EQ(view.Column(kColTownKana), V{Sjis("ﾖｼﾐｽﾞﾁｮｳ")});
  EXPECT_EQ(Towns(), V{Sjis("吉水町（西堀川通高辻上る）")});
  // A line of another postal code is never taken into the record, even with the "（" open.
  Write({split[0], Plain("0660006", "北信濃"), split[2]});
  EXPECT_EQ(Codes("066", PostCodeMatch::kExact), (V{"066-0005", "066-0005", "066-0006"}));
  EXPECT_EQ(Towns(), (V{Sjis("協和（８８－２、４２７－"), Sjis("１７５２番地）"), Sjis("北信濃")}));
  // A line beginning with a comma inside a record ends the search as anywhere else.
  settings = SettingsFor(dir.Write("ken.csv", Lines({split[0], ",", split[2]})), dir.Path("none.csv"));
  view.ClearRows();
  EXPECT_EQ(SearchPostCode(ctx, "0660005", PostCodeMatch::kExact).status, SearchStatus::kMalformedLine);
  EXPECT_EQ(Towns(), V{Sjis("協和（８８－２、４２７－")});
}

// Another program shortens the file after it was opened (mapped): the scan gives the whole
// lines that are left and ends, never a bus error, wherever the cut falls.
TEST_F(RecordFixture, AFileShortenedWhileOpenGivesTheLinesLeft) {
  std::vector<std::string> lines;
  for (int i = 0; i < 4000; ++i) lines.push_back(Plain("0660001", "幸町" + std::to_string(i)));
  for (const std::string& l : SplitRecord("0660005")) lines.push_back(l);
  const std::string bytes = Lines(lines, "\r\n");
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  for (const std::size_t cut : {std::size_t{0}, std::size_t{100}, page, 3 * page + 7, bytes.size() / 2,
                                bytes.size() - 2, bytes.size()}) {
    for (const bool with_key : {false, true}) {
      SCOPED_TRACE(std::to_string(cut) + (with_key ? " key" : " every record"));
      const std::string path = dir.Write("ken.csv", bytes);
      PostFileBytes file;
      ASSERT_TRUE(file.Open(path));
      ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(cut)), 0);
      RecordScanner scanner(file, PostFile::kKenAll);
      scanner.Look(with_key ? V{Sjis("千歳市")} : V{}, false);
      V towns;
      PostRecord record;
      std::size_t consumed = 0;
      while (scanner.Next(record, consumed) == RecordScanner::Step::kRecord) towns.emplace_back(record[9]);
      // Whole lines before the cut: those whose line end it left.
      const auto whole = static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut), '\n'));
      V expected;
      for (std::size_t i = 0; i < std::min<std::size_t>(whole, 4000); ++i) expected.push_back(Sjis("幸町" + std::to_string(i)));
      // The split record: as many of its lines as are whole.
      const char* const joined[] = {"協和（８８－２、４２７－", "協和（８８－２、４２７－３、４３１－１２、", kJoinedTown};
      if (whole > 4000) expected.push_back(Sjis(joined[whole - 4001]));
      EXPECT_EQ(towns, expected);
    }
  }
}

// Random files of short lines whose towns open and close parentheses at random, searched for
// random words, against records joined here by the plain rule: a line whose town leaves a "（"
// open takes the next lines of the same code until it closes.
TEST_F(RecordFixture, RandomSplitsAgreeWithAPlainJoin) {
  std::mt19937 rng(12);
  const std::vector<std::string> pieces = {"協和", "（", "）", "１", "、", "町"};
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  for (int round = 0; round < 60; ++round) {
    struct Line {
      std::string code, town;
    };
    std::vector<Line> lines;
    std::vector<std::string> text;
    const std::size_t count = 1 + pick(40);
    for (std::size_t i = 0; i < count; ++i) {
      Line l{"066000" + std::to_string(pick(3)), ""};
      for (std::size_t k = 1 + pick(4); k > 0; --k) l.town += pieces[pick(pieces.size())];
      text.push_back(KenLine("01224", "066  ", l.code, "北海道", "千歳市", l.town));
      lines.push_back(l);
    }
    Write(text, round % 2 == 0 ? "\r\n" : "\n");
    std::vector<Line> records;
    int depth = 0;
    for (const Line& l : lines) {
      if (!records.empty() && depth > 0 && records.back().code == l.code) {
        records.back().town += l.town;
      } else {
        records.push_back(l);
        depth = 0;
      }
      for (std::size_t i = 0; i < l.town.size(); i += 3) depth += l.town.compare(i, 3, "（") == 0 ? 1 : l.town.compare(i, 3, "）") == 0 ? -1 : 0;
    }
    // One character is looked for without the record's first line: its record is found from
    // the line that holds it.
    const std::string key = pieces[pick(pieces.size())] + (round % 3 == 0 ? "" : pieces[pick(pieces.size())]);
    V expected;
    for (const Line& r : records) {
      for (const std::string& form : TermForms(Sjis(key), Readings::kKenAll)) {
        if (cp932::Contains(Sjis(r.town), form)) {
          expected.push_back(Sjis(r.town));
          break;
        }
      }
    }
    view.ClearRows();
    ScanKenAll(ctx, Sjis(key), ScanMode::kWords, WordMatch::kContains);
    // Rows come sorted by postal code; compare them as sets of towns per run.
    V got = Towns();
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(got, expected) << "round " << round << " key " << key;
    EXPECT_EQ(Codes("0660001", PostCodeMatch::kExact).size(),
              static_cast<std::size_t>(std::count_if(records.begin(), records.end(), [](const Line& r) { return r.code == "0660001"; })))
        << "round " << round;
  }
}

}  // namespace
}  // namespace tovra::test
