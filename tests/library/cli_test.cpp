// The meklan command, run as a separate process under a UTF-8 and under the C locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

using test_process::Result;

Result Meklan(const std::vector<std::string>& args, const char* locale) {
  return test_process::Run(MEKLAN_EXECUTABLE, args, locale);
}

std::size_t CountLines(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

// Both locales speak UTF-8 on the terminal: C.UTF-8 by its charset, C by the rule that a
// C/POSIX locale means UTF-8.
class MeklanCommand : public ::testing::TestWithParam<const char*> {
 protected:
  Result Run(const std::vector<std::string>& args) { return Meklan(args, GetParam()); }
};

TEST_P(MeklanCommand, MaListsDistinctNamesInOrder) {
  Result r = Run({"ma", "0153"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "厚岸\n中標津\n根室\n根室標津\n");
  r = Run({"ma", "いしかり"});
  EXPECT_EQ(r.out, "石狩\n石狩深川\n");
  r = Run({"ma", "0166-22-1234", "--raw"});
  EXPECT_EQ(r.out, "旭川$\n");
  EXPECT_EQ(Run({"ma", "0", "--pref", "沖縄県"}).out, "沖縄宮古\n名護\n那覇\n南大東\n八重山\n");
  EXPECT_EQ(Run({"ma", "0", "--pref=46"}).out, "沖縄宮古\n名護\n那覇\n南大東\n八重山\n");
  EXPECT_EQ(CountLines(Run({"ma", "0"}).out), 567u);
}

TEST_P(MeklanCommand, AreaCode) {
  Result r = Run({"areacode", "石狩"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "0133-[1,6]、01337、013379\n");
  EXPECT_EQ(Run({"areacode", "帯広"}).out, "0155-[1～6,9]\n");
  EXPECT_EQ(Run({"areacode", "いしかり", "--branch", "1"}).out, "01337\n");
  r = Run({"areacode", "石狩", "--branch", "5"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("branch 5"), std::string::npos) << r.err;
}

// --edition on the look-up commands, and the join of a postal row.
TEST_P(MeklanCommand, EditionsAndTheJoin) {
  const struct {
    std::vector<std::string> args;
    int code;
    const char* out;
  } cases[] = {
      {{"ma", "0539", "--edition", "current"}, 0, "浜松\n天竜\n"},
      {{"ma", "さど", "--edition", "current"}, 0, "佐渡\n"},
      {{"ma", "さど"}, 1, ""},  // 2003: 両津 and 佐和田
      {{"areacode", "所沢", "--edition=current"}, 0, "04-[200,290,292～296,299]、0429-[17]\n"},
      {{"join", "11230", "石神", "--edition", "current"}, 0, "straddling\n武蔵野三鷹\t042-[41～49]\n川口\t048-[2,4]\n"},
      {{"join", "11230", "石神", "３丁目１－２", "--edition", "current"}, 0, "part\n武蔵野三鷹\t042-[41～49]\n"},
      {{"join", "22140", "二俣町", "--edition", "current"}, 0,
       "whole\n浜松\t053-[4,5,92～95,964～973,975,976,978,979,98]\n"},
      {{"join", "01209", "富野"}, 0, "part\n栗山\t0123-[7,8]\n"},  // the serving record: branch 0
      {{"join", "22140", "二俣町"}, 1, ""},  // no such code in 2003
      {{"join", "2214", "二俣町"}, 2, ""},
      {{"ma", "0539", "--edition", "2026"}, 2, ""},
  };
  for (const auto& c : cases) {
    Result r = Run(c.args);
    EXPECT_EQ(r.code, c.code) << c.args[0] << " " << c.args[1] << ": " << r.err;
    EXPECT_EQ(r.out, c.out) << c.args[0] << " " << c.args[1];
  }
  // Refused in the words tovra-search uses for --edition.
  Result refused = Run({"join", "11230", "石神", "--edition=Current"});
  EXPECT_EQ(refused.err.rfind("meklan join: unknown edition 'Current' (2003 or current)\n", 0), 0u) << refused.err;
  Result info = Run({"info"});
  EXPECT_NE(info.out.find("current edition date    2026/02/10\n"), std::string::npos) << info.out;
}

TEST_P(MeklanCommand, Addresses) {
  Result r = Run({"addresses", "北海道", "夕張市"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "dantaiCode\tmaName\tbranch\tprefName\tcityName\ttownName\tchomeNote\n"
            "01209\t栗山\t0\t北海道\t夕張市\t富野\t\n"
            "01209\t夕張\t0\t北海道\t夕張市\t\t\n");
  r = Run({"addresses", "東京"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("no address records"), std::string::npos) << r.err;
}

TEST_P(MeklanCommand, NothingFoundExitsOneWithAMessage) {
  for (std::vector<std::string> args : {std::vector<std::string>{"ma", "00"}, {"areacode", "0166-22-1234"},
                                        {"areacode", "存在しない"}}) {
    Result r = Run(args);
    EXPECT_EQ(r.code, 1) << args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("meklan " + args[0] + ": "), std::string::npos) << r.err;
  }
}

TEST_P(MeklanCommand, InfoAndTables) {
  Result r = Run({"info"});
  EXPECT_EQ(r.code, 0);
  for (const char* line : {"version                 3.19(2003/12/17)\n", "data date               2003/12/01\n",
                           "MA records              649\n", "FileVersion             3190\n",
                           "ProductVersion          3.19\n", "Comments                MA間距離計算\n",
                           "FileDescription         MEKLAN\n", "InternalName            MEKLAN\n",
                           "ProductName             MEKLAN\n"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
  }
  std::ifstream tsv(MEKLAN_TABLE_DIR "/address.tsv");
  std::size_t address_lines = 0;
  for (std::string line; std::getline(tsv, line);) ++address_lines;
  EXPECT_NE(r.out.find("address records         " + std::to_string(address_lines - 1) + "\n"), std::string::npos);
  EXPECT_EQ(CountLines(Run({"table", "address"}).out), address_lines);
  Result ma = Run({"table", "ma"});
  EXPECT_EQ(CountLines(ma.out), 650u);
  EXPECT_NE(ma.out.find("\n0\t旭川\t0\tあさひかわ\t901\t662\t0166\t/*/\t51\t1100\n"), std::string::npos);
  Result prefs = Run({"table", "prefectures"});
  EXPECT_NE(prefs.out.find("\n13\t14\t東京都\n"), std::string::npos);
}

TEST_P(MeklanCommand, UsageErrorsExitTwo) {
  for (std::vector<std::string> args :
       {std::vector<std::string>{}, {"bogus"}, {"ma"}, {"ma", "1", "2"}, {"ma", "0153", "--bogus"},
        {"ma", "0", "--pref", "47"}, {"ma", "0", "--pref", "東京"}, {"ma", "0", "--pref"},
        {"areacode", "石狩", "--branch", "x"}, {"table", "pairs"}, {"info", "extra"}, {"ma", "0", "--raw=1"}}) {
    Result r = Run(args);
    EXPECT_EQ(r.code, 2) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
  }
}

TEST_P(MeklanCommand, TextWithoutACp932FormIsRefused) {
  for (const char* key : {"\xff\xfe", "鷗"}) {
    Result r = Run({"ma", key});
    EXPECT_EQ(r.code, 2) << key;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("CP932"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Run({"addresses", "北海道", "\xe9\xb7"}).code, 2);  // a cut UTF-8 sequence
}

TEST_P(MeklanCommand, Help) {
  Result r = Run({"--help"});
  EXPECT_EQ(r.code, 0);
  for (const char* command : {"ma", "areacode", "addresses", "info", "table"}) {
    EXPECT_NE(r.out.find("\n  " + std::string(command) + " "), std::string::npos) << command;
    Result help = Run({command, "--help"});
    EXPECT_EQ(help.code, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("usage: meklan ") + command, 0), 0u) << help.out;
  }
  EXPECT_EQ(Run({"help", "ma"}).out, Run({"ma", "-h"}).out);
  // After "--" a "--help" is a key, not a request for help.
  EXPECT_EQ(Run({"ma", "--", "--help"}).code, 1);
}

// An argument echoed in a message reaches the terminal with its control characters written
// out: no escape sequence, bell or line break of the user's text is sent as such.
TEST_P(MeklanCommand, ArgumentsInMessagesCarryNoControlCharacters) {
  const std::vector<std::vector<std::string>> commands = {
      {"ma", "\x1b]0;x\a"},                       // a name that finds nothing
      {"\x1b[2J"},                                 // an unknown command
      {"ma", "0153", "--\x1b[31m"},                // an unknown option
      {"areacode", "\x7f\r\x9b", "--branch", "x\x1b"},
      {"ma", "\xc2\x9b" "31m"},                    // C1 CSI written in UTF-8
  };
  for (const auto& args : commands) {
    Result r = Run(args);
    EXPECT_NE(r.code, 0);
    ASSERT_FALSE(r.err.empty()) << args[0];
    for (std::size_t i = 0; i < r.err.size(); ++i) {
      const auto c = static_cast<unsigned char>(r.err[i]);
      EXPECT_TRUE((c >= 0x20 && c != 0x7F) || c == '\n') << args[0] << ": byte " << int(c) << " in " << r.err;
      EXPECT_FALSE(c == 0xC2 && i + 1 < r.err.size() && (static_cast<unsigned char>(r.err[i + 1]) & 0xE0) == 0x80)
          << r.err;
    }
  }
  EXPECT_NE(Run({"ma", "\x1b]0;x\a"}).err.find("\\x1B]0;x\\x07"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Locales, MeklanCommand, ::testing::Values("C.UTF-8", "C"),
                         [](const auto& info) { return std::string(info.param[1] == '.' ? "Utf8" : "C"); });

// A terminal whose charset glibc knows without some of CP932's letters: a Shift_JIS one
// (no ～ U+FF5E, no － U+FF0D) is spoken to in CP932; an EUC-JP one (no －) gets the JIS form
// of the letter (− U+2212); neither gets a '?' per byte. The locales are built for the test
// (localedef; the charmaps come with the package locales).
TEST(MeklanCommandJapaneseLocales, LettersCp932MapsOtherwiseThanJis) {
  char pattern[] = "/tmp/meklan-locales-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  const struct {
    const char* locale;
    const char* charmap;
    const char* key;          // 帯広 in the locale's charset
    const char* area_codes;   // 0155-[1～6,9] in it
    const char* center;       // 物流センタ－ (a wording of the current edition) in it
  } cases[] = {
      {"ja_JP.SJIS", "SHIFT_JIS", "\x91\xd1\x8d\x4c", "0155-[1\x81\x60" "6,9]\n",
       "\x95\xa8\x97\xac\x83\x5a\x83\x93\x83\x5e\x81\x7c"},
      {"ja_JP.EUC-JP", "EUC-JP", "\xc2\xd3\xb9\xad", "0155-[1\x8f\xa2\xb7" "6,9]\n",
       "\xca\xaa\xce\xae\xa5\xbb\xa5\xf3\xa5\xbf\xa1\xdd"},
  };
  setenv("LOCPATH", dir.c_str(), 1);
  for (const auto& c : cases) {
    const std::string command = "localedef --no-warnings=ascii -i ja_JP -f " + std::string(c.charmap) + " " + dir +
                                "/" + c.locale + " >/dev/null 2>&1";
    ASSERT_NE(std::system(command.c_str()), -1);
    ASSERT_EQ(std::system(("test -d " + dir + "/" + c.locale).c_str()), 0) << "localedef made no " << c.locale;
    Result r = Meklan({"areacode", c.key}, c.locale);
    EXPECT_EQ(r.code, 0) << c.locale << ": " << r.err;
    EXPECT_EQ(r.out, c.area_codes) << c.locale;
    Result table = Meklan({"table", "address", "--edition", "current"}, c.locale);
    EXPECT_NE(table.out.find(c.center), std::string::npos) << c.locale;
    EXPECT_EQ(table.out.find("??"), std::string::npos) << c.locale;
  }
  unsetenv("LOCPATH");
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
