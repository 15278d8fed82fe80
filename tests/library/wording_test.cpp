// meklan-gen's reading of the government's part wordings, and its refusals of the current
// edition's tables ("file:line: rule").
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "edition.h"
#include "generator_runs.h"

namespace fs = std::filesystem;
using meklan::gen::KanjiNumber;
using meklan::gen::ReadPartWording;

namespace {

// "石神:1,3-5" style expectation of one town term: name, chome ("" = every chome), "^" when
// the name also stands for the towns written under it.
std::string Describe(const meklan::gen::TownTerm& t) {
  std::string out = t.town;
  if (t.under) out += "^";
  if (t.chome != 0) {
    out += ":";
    std::string list;
    for (int n = 1; n < 64; ++n) {
      if ((t.chome >> n & 1) == 0) continue;
      int last = n;
      while (last + 1 < 64 && (t.chome >> (last + 1) & 1) != 0) ++last;
      list += (list.empty() ? "" : ",") + std::to_string(n) + (last > n ? "-" + std::to_string(last) : "");
      n = last;
    }
    out += list;
  }
  return out;
}

struct WordingCase {
  const char* wording;
  int mode;
  std::vector<std::string> towns;
};

TEST(PartWording, EveryPublishedForm) {
  const WordingCase cases[] = {
      {"", meklan::gen::kWordingWhole, {}},
      {"富野", meklan::gen::kWordingOnly, {"富野"}},
      {"富野を除く。", meklan::gen::kWordingExcept, {"富野"}},
      {"久井町及び大和町に限る。", meklan::gen::kWordingOnly, {"久井町^", "大和町^"}},
      {"石神一丁目及び三丁目から五丁目まで、栗原、新堀、西堀並びに野寺一丁目及び五丁目に限る。",
       meklan::gen::kWordingOnly, {"石神:1,3-5", "栗原", "新堀", "西堀", "野寺:1,5"}},
      {"岩田町（三丁目を除く。）", meklan::gen::kWordingOnly, {"岩田町:1-2,4-63"}},
      {"加納五丁目から八丁目までに限る。", meklan::gen::kWordingOnly, {"加納:5-8"}},
      {"梶野町一丁目から四丁目まで並びに東町二丁目及び三丁目に限る。", meklan::gen::kWordingOnly,
       {"梶野町:1-4", "東町:2-3"}},
      {"醍醐（一ノ切町、二ノ切町及び三ノ切町に限る。）を除く。", meklan::gen::kWordingExcept,
       {"醍醐一ノ切町", "醍醐二ノ切町", "醍醐三ノ切町"}},
      // The half-width full stop, a stray blank, a trailing blank.
      {"勝間ケ丘、大方竈 及び清光台を除く｡ ", meklan::gen::kWordingExcept, {"勝間ケ丘", "大方竈", "清光台"}},
      {"北二十三丁目及び十一丁目に限る。", meklan::gen::kWordingOnly, {"北:11,23"}},
      // A town name that begins another: each stays whole.
      {"佐原、佐原下手及び松之山に限る。", meklan::gen::kWordingOnly, {"佐原", "佐原下手", "松之山"}},
  };
  for (const WordingCase& c : cases) {
    std::string rule;
    auto part = ReadPartWording(c.wording, rule);
    ASSERT_TRUE(part.has_value()) << c.wording << ": " << rule;
    EXPECT_EQ(part->mode, c.mode) << c.wording;
    std::vector<std::string> towns;
    for (const auto& t : part->towns) towns.push_back(Describe(t));
    EXPECT_EQ(towns, c.towns) << c.wording;
  }
}

TEST(PartWording, RefusesWhatItCannotRead) {
  const std::pair<const char*, const char*> cases[] = {
      {"三丁目を除く。", "chome without a town"},
      {"石神及び三丁目に限る。", "chome without a town"},
      {"岩田町（三丁目）", "a bracketed condition that is neither を除く nor に限る"},
      {"岩田町（三丁目を除く。）東", "text after a bracketed condition"},
      {"石神六十四丁目に限る。", "a chome number it cannot read"},
      {"石神五丁目から三丁目までに限る。", "a chome number it cannot read"},
      {"石神から五丁目までに限る。", "a range of chome without its start"},
      {"石神、、栗原に限る。", "a town it cannot read: \"\""},
      {"石神（一ノ切町を除く。）", "a bracketed condition that names more than chome"},
  };
  for (const auto& [wording, expected] : cases) {
    std::string rule;
    EXPECT_FALSE(ReadPartWording(wording, rule).has_value()) << wording;
    EXPECT_EQ(rule, expected) << wording;
  }
}

TEST(PartWording, KanjiNumbers) {
  const std::pair<const char*, int> cases[] = {{"一", 1}, {"九", 9}, {"十", 10}, {"十一", 11}, {"二十", 20},
                                               {"二十三", 23}, {"六十三", 63}, {"", 0}, {"〇", 0},
                                               {"十十", 0}, {"一二", 0}, {"二十十", 0}, {"丁", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(KanjiNumber(text), value) << text;
}

// The generator over the real 2003 tables and a small current edition broken one rule at a time.
class EditionGeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir("meklan-edition-test");
    ASSERT_FALSE(dir_.empty());
    for (const auto& entry : fs::directory_iterator(MEKLAN_TABLE_DIR)) {
      if (entry.path().extension() == ".tsv") fs::copy_file(entry.path(), dir_ / entry.path().filename());
    }
    fs::create_directory(dir_ / "current");
    files_["edition.tsv"] = "key\tvalue\ndataDate\t2026/02/10\n";
    files_["ma.tsv"] =
        "index\tmaName\tbranch\tmaKana\tposNS\tposEW\tareaCode\tprefixList\tprefNo\tregionCode\n"
        "0\t大田\t0\tおおだ\t380\t218\t0854\t/8/\t33\t7700\n"
        "1\t江津\t0\tごうつ\t383\t212\t0855\t/6/\t33\t7700\n";
    files_["address.tsv"] =
        "dantaiCode\tpart\tmaName\tbranch\tareaCode\tprefName\tcityName\twording\n"
        "32205\t1\t大田\t0\t0854\t島根県\t大田市\t湯泉津町を除く。\n"
        "32205\t2\t江津\t0\t0855\t島根県\t大田市\t湯泉津町\n";
    files_["town_corrections.tsv"] = "dantaiCode\twritten\tpostal\n32205\t湯泉津町\t温泉津町\n";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> Run() {
    for (const auto& [name, text] : files_) std::ofstream(dir_ / "current" / name, std::ios::binary) << text;
    std::ostringstream err;
    exit_code_ = meklan::gen::RunEditionGenerator(dir_.string(), dir_.string(), err);
    return RuleMessages(err.str());
  }

  void Replace(const std::string& file, const std::string& from, const std::string& to) {
    std::string& text = files_[file];
    text.replace(text.find(from), from.size(), to);
  }

  fs::path dir_;
  std::map<std::string, std::string> files_;
  int exit_code_ = -1;
};

TEST_F(EditionGeneratorTest, ConsistentTablesAreWrittenWithTheCorrectedTown) {
  EXPECT_TRUE(Run().empty());
  EXPECT_EQ(exit_code_, 0);
  std::ifstream in(dir_ / "editions_data.cpp");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("kEditionCurrent"), std::string::npos);
  // The town records carry the corrected name; the wording itself stays as published.
  std::size_t towns = text.find("kCurrentTowns[]");
  ASSERT_NE(towns, std::string::npos);
  text = text.substr(towns, text.find("kCurrentParts[]") - towns);
  EXPECT_EQ(text.find("\\223\\222\\220\\362"), std::string::npos);                 // 湯泉 is gone
  EXPECT_NE(text.find("\\211\\267\\220\\362\\222\\303\\222\\254"), std::string::npos);  // 温泉津町
}

TEST_F(EditionGeneratorTest, RefusalsNameFileLineAndRule) {
  const struct {
    const char* file;
    const char* from;
    const char* to;
    const char* message;
  } cases[] = {
      {"address.tsv", "湯泉津町を除く。", "三丁目を除く。",
       "current/address.tsv:2: wording not understood (chome without a town)"},
      {"address.tsv", "江津\t0\t0855", "江津\t1\t0855", "current/address.tsv:3: names no MA record: 江津 1"},
      {"address.tsv", "江津\t0\t0855", "江津\t0\t0854", "current/address.tsv:3: areaCode is not that of the MA record"},
      {"address.tsv", "湯泉津町を除く。", "", "current/address.tsv:2: a record without a part beside parts"},
      {"town_corrections.tsv", "湯泉津町\t温", "湯泉町\t温",
       "current/town_corrections.tsv:2: corrects a town no wording of 32205 names"},
      {"edition.tsv", "2026/02/10", "2026-02-10", "current/edition.tsv:2: dataDate is not YYYY/MM/DD"},
      {"ma.tsv", "/6/", "/6x/", "current/ma.tsv:3: bad prefix-list syntax: /6x/"},
  };
  for (const auto& c : cases) {
    TearDown();
    SetUp();
    Replace(c.file, c.from, c.to);
    std::vector<std::string> messages = Run();
    EXPECT_EQ(exit_code_, 1) << c.message;
    ASSERT_EQ(messages.size(), 1u) << ::testing::PrintToString(messages);
    EXPECT_EQ(messages[0], c.message);
    EXPECT_FALSE(fs::exists(dir_ / "editions_data.cpp"));
  }
}

// The letters the join folds: one double-byte letter each, folded in one step.
TEST_F(EditionGeneratorTest, LetterVariantsAreRefusedUnlessOneLetterFoldsInOneStep) {
  const std::pair<const char*, const char*> cases[] = {
      {"letter\tsameAs\nヶヶ\tケ\n", "letter_variants.tsv:2: letter and sameAs must each be one double-byte letter"},
      {"letter\tsameAs\nケ\tケ\n", "letter_variants.tsv:2: a letter the same as its sameAs"},
      {"letter\tsameAs\nヶ\tケ\nケ\tク\n", "letter_variants.tsv:3: a letter that another row also folds or folds to"},
  };
  for (const auto& [table, message] : cases) {
    std::ofstream(dir_ / "letter_variants.tsv", std::ios::binary) << table;
    EXPECT_EQ(Run(), std::vector<std::string>{message});
    EXPECT_EQ(exit_code_, 1) << message;
  }
}

}  // namespace
