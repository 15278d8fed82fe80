// meklan-gen refuses data that breaks an invariant, naming file, line and rule. Each test
// starts from a small consistent set of tables and breaks exactly one rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "generator.h"
#include "generator_runs.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

std::string Tsv(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& f : fields) line += (line.empty() ? "" : "\t") + f;
  return line;
}

const std::string kMaHeader =
    "index\tmaName\tbranch\tmaKana\tposNS\tposEW\tareaCode\tprefixList\tprefNo\tregionCode\tprovenance\tnote";

class GeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir("meklan-gen-test");
    ASSERT_FALSE(dir_.empty());
    Reset();
  }

  // Back to the consistent tables, for tests that break several rules one after another.
  void Reset() {
    files_.clear();
    fs::remove(dir_ / "tables_data.cpp");
    files_["ma.tsv"] = {
        kMaHeader,
        Tsv({"0", "旭川", "0", "あさひかわ", "901", "662", "0166", "/*/", "51", "1100", "documented", ""}),
        Tsv({"1", "石狩", "0", "いしかり", "864", "629", "0133", "/1/6/", "52", "1100", "source", ""}),
        Tsv({"2", "石狩", "1", "いしかり", "864", "629", "01337", "/*/", "52", "1100", "source", ""}),
        Tsv({"3", "札幌", "0", "さっぽろ", "861", "622", "011", "/1/2/3/", "52", "1100", "source", ""}),
        Tsv({"4", "江別", "0", "えべつ", "865", "630", "011", "/38/", "52", "1100", "estimated", ""}),
        Tsv({"5", "名護", "0", "なご", "-52", "-32", "0980", "/1/4/5/", "47", "9000", "source", ""}),
        Tsv({"6", "那覇", "0", "なは", "-73", "-46", "098", "/1/8/9/", "47", "9000", "source", ""}),
    };
    files_["tokurei_areas.tsv"] = {
        "index\tmaName\tbranch\tmaKana\tposNS\tposEW\tareaCode\tprefixList\tprefNo\tregionCode\tbaseMA",
        Tsv({"0", "一特例", "0", "いちとくれい", "861", "622", "011", "/1/", "52", "1100", "札幌"}),
        Tsv({"1", "二特例", "0", "にとくれい", "861", "622", "011", "/2/", "52", "1100", "札幌"}),
        Tsv({"2", "三特例", "0", "さんとくれい", "861", "622", "011", "/30/31/", "52", "1100", "札幌"}),
        Tsv({"3", "四特例", "0", "よんとくれい", "-73", "-46", "098", "/8/", "47", "9000", "那覇"}),
    };
    std::ifstream prefectures(MEKLAN_TABLE_DIR "/prefectures.tsv");
    for (std::string line; std::getline(prefectures, line);) files_["prefectures.tsv"].push_back(line);
    files_["address.tsv"] = {
        "dantaiCode\tmaName\tbranch\tprefName\tcityName\ttownName\tchomeNote\tprovenance\tnote",
        Tsv({"01101", "札幌", "0", "北海道", "札幌市中央区", "", "", "documented", ""}),
        Tsv({"01209", "石狩", "5", "北海道", "夕張市", "富野", "", "source", "no such branch: joined by name"}),
        Tsv({"01204", "旭川", "0", "北海道", "旭川市", "神居", "一丁目", "source", ""}),
        Tsv({"47201", "那覇", "0", "沖縄県", "那覇市", "", "", "source", ""}),
    };
    files_["adjacent_pairs.tsv"] = {
        "row\tnameA\tnameB\tkm\tprovenance\tnote",
        Tsv({"1", "那覇", "名護", "50", "documented", ""}),
        Tsv({"2", "旭川", "札幌", "113", "derived", ""}),
    };
    files_["near_exceptions.tsv"] = {"row\tnameA\tnameB", Tsv({"1", "石狩", "札幌"})};
    files_["island_pairs.tsv"] = {"row\tnameA\tnameB", Tsv({"1", "旭川", "那覇"})};
  }

  void TearDown() override { fs::remove_all(dir_); }

  // Writes the tables, runs the generator and returns its messages (empty on success).
  std::vector<std::string> Run() {
    for (const auto& [name, lines] : files_) {
      std::ofstream out(dir_ / name, std::ios::binary);
      for (const std::string& l : lines) out << l << "\n";
    }
    std::ostringstream err;
    exit_code_ = meklan::gen::RunGenerator(dir_.string(), dir_.string(), err);
    return RuleMessages(err.str());
  }

  // Exactly one message, and it is `expected`; nothing written.
  void ExpectRefused(const std::string& expected) {
    std::vector<std::string> messages = Run();
    EXPECT_EQ(exit_code_, 1);
    ASSERT_EQ(messages.size(), 1u) << ::testing::PrintToString(messages);
    EXPECT_EQ(messages[0], expected);
    EXPECT_FALSE(fs::exists(dir_ / "tables_data.cpp"));
  }

  // One broken table each: from the consistent tables, `edit` breaks one rule, and exactly
  // the message `expected` comes back.
  struct Broken {
    std::function<void()> edit;
    std::string expected;
  };
  void ExpectEachRefused(std::initializer_list<Broken> cases) {
    for (const Broken& c : cases) {
      SCOPED_TRACE(c.expected);
      Reset();
      c.edit();
      ExpectRefused(c.expected);
    }
  }

  // Replaces field `column` (0-based) of line `line` (1-based, header = 1) of `file`.
  void SetField(const std::string& file, int line, int column, const std::string& value) {
    std::string& l = files_[file][static_cast<std::size_t>(line - 1)];
    std::vector<std::string> fields;
    std::stringstream ss(l);
    for (std::string f; std::getline(ss, f, '\t');) fields.push_back(f);
    while (fields.size() < static_cast<std::size_t>(std::count(l.begin(), l.end(), '\t')) + 1) fields.emplace_back();
    fields[static_cast<std::size_t>(column)] = value;
    l.clear();
    for (std::size_t i = 0; i < fields.size(); ++i) l += (i ? "\t" : "") + fields[i];
  }

  fs::path dir_;
  std::map<std::string, Lines> files_;
  int exit_code_ = -1;
};

TEST_F(GeneratorTest, ConsistentTablesAreWritten) {
  EXPECT_EQ(Run(), std::vector<std::string>{});
  EXPECT_EQ(exit_code_, 0);
  std::ifstream in(dir_ / "tables_data.cpp");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("const int kMaCount = 7;"), std::string::npos);
  EXPECT_NE(text.find("const int kAddressCount = 4;"), std::string::npos);
  EXPECT_NE(text.find("const int kAdjacentPairCount = 2;"), std::string::npos);
  // CP932 bytes as octal escapes: 旭川 is 88 AE 90 EC.
  EXPECT_NE(text.find("{\"\\210\\256\\220\\354\", 0, "), std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ / "prefectures_data.cpp"));
}

// Rules of single MA records (the table-wide ones follow).
TEST_F(GeneratorTest, MaRecords) {
  ExpectEachRefused({
      {[&] { SetField("ma.tsv", 2, 3, ""); }, "ma.tsv:2: empty required text: maKana"},
      {[&] { SetField("ma.tsv", 2, 8, "1"); }, "ma.tsv:2: unknown prefecture number 1"},
      {[&] { SetField("ma.tsv", 4, 2, "0"); }, "ma.tsv:4: (石狩, 0) occurs twice (first at line 3)"},
      {[&] { SetField("ma.tsv", 6, 1, "江別江別江別"); }, "ma.tsv:6: maName longer than 10 bytes"},
      {[&] { SetField("ma.tsv", 2, 6, "166"); }, "ma.tsv:2: areaCode is not a trunk 0 followed by digits"},
      {[&] { SetField("ma.tsv", 2, 6, "00"); }, "ma.tsv:2: areaCode is not positive"},
  });
}

TEST_F(GeneratorTest, BadPrefixListSyntax) {
  for (const char* list : {"/1/2", "1/2/", "/1//", "/1/*/", "/1234/", "/a/", "*", "/*"}) {
    Reset();
    SetField("ma.tsv", 5, 7, list);
    ExpectRefused(std::string("ma.tsv:5: bad prefix-list syntax: ") + list);
  }
}

TEST_F(GeneratorTest, RecordsOfOneNameNotContiguous) {
  std::swap(files_["ma.tsv"][3], files_["ma.tsv"][4]);  // 札幌 between the two 石狩
  SetField("ma.tsv", 4, 0, "2");
  SetField("ma.tsv", 5, 0, "3");
  ExpectRefused("ma.tsv:5: records of 石狩 are not contiguous (first at line 3)");
}

TEST_F(GeneratorTest, RecordsOfOneNameDisagree) {
  const std::vector<std::pair<int, std::string>> cases = {
      {3, "reading"}, {4, "point"}, {5, "point"}, {8, "prefecture"}, {9, "region"}};
  for (const auto& [column, what] : cases) {
    Reset();
    SetField("ma.tsv", 4, column, column == 3 ? "いしがり" : column == 8 ? "53" : "1200");
    ExpectRefused("ma.tsv:4: records of 石狩 disagree on " + what + " with line 3");
  }
}

TEST_F(GeneratorTest, LineSyntax) {
  ExpectEachRefused({
      {[&] { SetField("ma.tsv", 2, 4, "9o1"); }, "ma.tsv:2: posNS is not an integer: \"9o1\""},
      {[&] { SetField("ma.tsv", 3, 0, "7"); }, "ma.tsv:3: index is not the row's position 1"},
      {[&] { files_["near_exceptions.tsv"][1] += "\textra"; }, "near_exceptions.tsv:2: expected 3 fields, found 4"},
      // 鷗 has no CP932 form.
      {[&] { SetField("ma.tsv", 2, 3, "\xe9\xb7\x97"); }, "ma.tsv:2: maKana does not convert to CP932"},
      {[&] { files_["island_pairs.tsv"] = {"row\tnameA"}; }, "island_pairs.tsv:1: missing column nameB"},
  });
}

TEST_F(GeneratorTest, SpecialAreas) {
  ExpectEachRefused({
      {[&] { SetField("tokurei_areas.tsv", 3, 7, "/*/"); },
       "tokurei_areas.tsv:3: a special area needs a list of prefixes"},
      {[&] { SetField("tokurei_areas.tsv", 3, 10, "函館"); }, "tokurei_areas.tsv:3: baseMA names no MA: 函館"},
      {[&] { files_["tokurei_areas.tsv"].pop_back(); }, "tokurei_areas.tsv:1: expected 4 special areas, found 3"},
  });
}

TEST_F(GeneratorTest, Prefectures) {
  const std::string bad_code = "prefectures.tsv:4: jisCode is not one of 1 to 47 used once: ";
  ExpectEachRefused({
      {[&] {
         files_["prefectures.tsv"].pop_back();
         SetField("address.tsv", 5, 3, "北海道");
       },
       "prefectures.tsv:1: expected 47 prefectures, found 46"},
      {[&] { SetField("prefectures.tsv", 3, 1, "北海道"); }, "prefectures.tsv:3: prefecture occurs twice: 北海道"},
      // Line 4 holds 秋田県 (5); 青森県 has 2.
      {[&] { SetField("prefectures.tsv", 4, 2, "0"); }, bad_code + "0"},
      {[&] { SetField("prefectures.tsv", 4, 2, "48"); }, bad_code + "48"},
      {[&] { SetField("prefectures.tsv", 4, 2, "2"); }, bad_code + "2"},
  });
}

TEST_F(GeneratorTest, AddressRecords) {
  ExpectEachRefused({
      {[&] { SetField("address.tsv", 2, 1, "函館"); }, "address.tsv:2: maName names no MA: 函館"},
      {[&] { SetField("address.tsv", 2, 3, "東京"); }, "address.tsv:2: unknown prefecture: 東京"},
      {[&] { SetField("address.tsv", 4, 5, ""); }, "address.tsv:4: chomeNote without townName"},
      {[&] { SetField("address.tsv", 2, 4, ""); }, "address.tsv:2: empty required text: cityName"},
      {[&] { SetField("address.tsv", 2, 0, "1101"); }, "address.tsv:2: dantaiCode is not five digits"},
  });
}

TEST_F(GeneratorTest, PairTables) {
  ExpectEachRefused({
      {[&] { SetField("island_pairs.tsv", 2, 2, "函館"); }, "island_pairs.tsv:2: names no MA: 函館"},
      // The same pair either way round.
      {[&] { files_["adjacent_pairs.tsv"].push_back(Tsv({"3", "名護", "那覇", "50", "derived", ""})); },
       "adjacent_pairs.tsv:4: pair occurs twice in the table (first at line 2)"},
      {[&] { files_["island_pairs.tsv"].push_back(Tsv({"2", "札幌", "旭川"})); },
       "island_pairs.tsv:3: pair also stands in adjacent_pairs.tsv:3"},
      {[&] { SetField("near_exceptions.tsv", 2, 1, "札幌"); }, "near_exceptions.tsv:2: pairs 札幌 with itself"},
      {[&] { files_["adjacent_pairs.tsv"].push_back(Tsv({"3", "札幌", "江別", "17", "derived", ""})); },
       "adjacent_pairs.tsv:4: adjacent pair within 20 km (17 km)"},
  });
}

// Text tables: escapes are resolved before the conversion (ソ ends in the byte of a
// backslash), every text becomes one constant, and bad rows are refused by line.
TEST(TextTable, TextsBecomeCp932ConstantsOrAreRefused) {
  std::string pattern = (fs::temp_directory_path() / "meklan-texts-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern;
  auto run = [&](const Lines& rows, std::string& header) {
    std::ofstream(dir / "texts.tsv", std::ios::binary) << "name\ttext\tnote\n";
    for (const std::string& row : rows) std::ofstream(dir / "texts.tsv", std::ios::app) << row << "\n";
    fs::remove(dir / "texts.h");
    std::ostringstream err;
    int code = meklan::gen::RunTextGenerator((dir / "texts.tsv").string(), (dir / "texts.h").string(),
                                             "app::msg", err);
    std::ifstream in(dir / "texts.h");
    header.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::string first_message = err.str().substr(0, err.str().find('\n'));
    return code == 0 ? std::string() : first_message;
  };
  std::string header;
  EXPECT_EQ(run({Tsv({"kNotice", "%s\\nソ\\\\\\r\\t.", "a note"}), Tsv({"kEmpty", "", ""})}, header), "");
  EXPECT_NE(header.find("namespace app::msg {"), std::string::npos);
  EXPECT_NE(header.find("inline constexpr char kNotice[] = \"%s\\012\\203\\134\\134\\015\\011.\";"),
            std::string::npos) << header;
  EXPECT_NE(header.find("inline constexpr char kEmpty[] = \"\";"), std::string::npos);

  const std::vector<std::pair<Lines, std::string>> refused = {
      {{Tsv({"kA", "a\\x", ""})}, "texts.tsv:2: text has a backslash that is not \\n, \\r, \\t or \\\\"},
      {{Tsv({"kA", "a\\", ""})}, "texts.tsv:2: text has a backslash that is not \\n, \\r, \\t or \\\\"},
      {{Tsv({"kA", "\xe9\xb7\x97", ""})}, "texts.tsv:2: text does not convert to CP932"},
      {{Tsv({"1k", "a", ""})}, "texts.tsv:2: name is not a C++ identifier: 1k"},
      {{Tsv({"k-a", "a", ""})}, "texts.tsv:2: name is not a C++ identifier: k-a"},
      {{Tsv({"kA", "a", ""}), Tsv({"kA", "b", ""})}, "texts.tsv:3: name occurs twice: kA"},
      {{"kA\ta"}, "texts.tsv:2: expected 3 fields, found 2"},
  };
  for (const auto& [rows, expected] : refused) {
    EXPECT_EQ(run(rows, header), expected);
    EXPECT_FALSE(fs::exists(dir / "texts.h")) << expected;
  }
  fs::remove_all(dir);
}

}  // namespace
