// tovra-search end to end on small files: output formats, exit codes, the settings file.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "test_support.h"

namespace tovra::test {
namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class CliFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ken = dir.Write("ken.csv", Lines({
        KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北一条西"),
        KenLine("13101", "100  ", "1000001", "東京都", "千代田区", "千代田"),
    }));
    jig = dir.Write("jig.csv", Lines({JigLine("13101", "ｶﾌﾞｼｷｶﾞｲｼｬﾋﾞｰ", "株式会社\"Ｂ\"", "東京都", "千代田区", "丸の内", "２", "1008601", "100  ")}));
    ini = dir.Path("tovra.ini");
  }
  // Runs the command with the test's files in a UTF-8 locale.
  Result Run(const std::string& args, bool with_files = true) {
    std::string cmd = "LC_ALL=C.UTF-8 XDG_CACHE_HOME='" + dir.Path("cache") + "' " + std::string(TOVRA_SEARCH) + " ";
    if (with_files) cmd += "--ken '" + ken + "' --jig '" + jig + "' --ini '" + ini + "' ";
    cmd += args + " >'" + dir.Path("out") + "' 2>'" + dir.Path("err") + "'";
    Result r;
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(dir.Path("out"));
    r.err = Slurp(dir.Path("err"));
    return r;
  }

  TempDir dir;
  std::string ken, jig, ini;
};

TEST_F(CliFixture, PrintsTwelveTabSeparatedFieldsWithTheHyphenOption) {
  Result r = Run("postcode ' 060 - 0001'");
  EXPECT_EQ(r.status, 0) << r.err;
  // Columns 局番 and MA名 through the join with the current edition of the telephone tables.
  EXPECT_EQ(r.out, "060-0001\t01101\t011-[1～8]\t札幌\t北海道\t札幌市中央区\t北一条西\tｹﾝ\tｼ\tﾁｮｳ\t\t\n");
  EXPECT_EQ(r.err, "");  // no progress bar when stderr is not a terminal
  r = Run("--no-hyphen postcode 100 --business");
  EXPECT_EQ(r.out.substr(0, 8), "1000001\t");
  EXPECT_NE(r.out.find("\n1008601\t13101"), std::string::npos);
}

TEST_F(CliFixture, CsvAndJsonFormats) {
  Result r = Run("--format csv --business address 千代田区");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "郵便番号,団体コード,局番,MA名,都道府県,市区町村,町域,都道府県(カナ),市区町村(カナ),町域(カナ),事業者名,事業者名(カナ)\r\n"
            "100-0001,13101,03-[1～9],東京,東京都,千代田区,千代田,ｹﾝ,ｼ,ﾁｮｳ,,\r\n"
            "100-8601,13101,03-[1～9],東京,東京都,千代田区,丸の内２,,,,\"株式会社\"\"Ｂ\"\"\",ｶﾌﾞｼｷｶﾞｲｼｬﾋﾞｰ\r\n");
  r = Run("--format json dantai 13101");
  EXPECT_EQ(r.out,
            "[\n  {\"postcode\": \"100-0001\", \"dantaiCode\": \"13101\", \"areaCodes\": \"03-[1～9]\", \"maName\": \"東京\", "
            "\"prefecture\": \"東京都\", \"city\": \"千代田区\", \"town\": \"千代田\", \"prefectureKana\": \"ｹﾝ\", "
            "\"cityKana\": \"ｼ\", \"townKana\": \"ﾁｮｳ\", \"business\": \"\", \"businessKana\": \"\"}\n]\n");
  r = Run("--format json dantai 99999");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "[]\n");
}

TEST_F(CliFixture, CitiesAndCityRows) {
  Result r = Run("cities 東京都");
  EXPECT_EQ(r.out, "千代田区\n");
  r = Run("city 北海道 札幌市中央区");
  EXPECT_EQ(r.out.substr(0, 9), "060-0001\t");
  r = Run("cities 東京");
  EXPECT_EQ(r.status, 2);
}

TEST_F(CliFixture, ExitStatusesAndMessages) {
  EXPECT_EQ(Run("").status, 2);
  EXPECT_EQ(Run("frobnicate x").status, 2);
  EXPECT_EQ(Run("postcode").status, 2);
  EXPECT_EQ(Run("postcode 1 --match sideways").status, 2);
  EXPECT_EQ(Run("address 1 --match prefix").status, 2);
  EXPECT_EQ(Run("areacode 1 --show all").status, 2);
  EXPECT_EQ(Run("address 😀").status, 2);  // no CP932 form
  // A key that folds to nothing is no search.
  Result empty = Run("postcode '〒' --match contains");
  EXPECT_EQ(empty.status, 2);
  EXPECT_EQ(empty.out, "");
  EXPECT_NE(empty.err.find("nothing to search for"), std::string::npos) << empty.err;
  EXPECT_EQ(Run("address '　＋ '").status, 2);
  Result help = Run("--help", false);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("postcode KEY"), std::string::npos);

  Result none = Run("postcode 9999999");
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "");

  ken = dir.Path("missing.csv");
  Result missing = Run("postcode 0600001");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("missing.csv が見つかりません"), std::string::npos) << missing.err;
  ken = dir.Path("ken.csv");
  jig = dir.Path("missing-jig.csv");
  Result no_business = Run("--business postcode 0600001");  // the KEN_ALL rows and a warning
  EXPECT_EQ(no_business.status, 0);
  EXPECT_EQ(no_business.out.substr(0, 9), "060-0001\t");
  EXPECT_NE(no_business.err.find("missing-jig.csv: JIGYOSYO.CSV not found"), std::string::npos) << no_business.err;
}

// Arguments echoed in messages (a command, an option's value, a key, the settings path)
// reach the terminal with their control characters written out, never as escape sequences.
TEST_F(CliFixture, ArgumentsInMessagesCarryNoControlCharacters) {
  const std::string hostile = "\"$(printf 'x\\033]0;t\\007')\"";  // x ESC ] 0 ; t BEL, by the shell
  ini = dir.Path("x\033]0;t\007");
  ASSERT_TRUE(std::filesystem::create_directory(ini));  // a directory: "is not a regular file"
  for (const std::string& args :
       {hostile, "postcode 1 --match " + hostile, "address 1 --format " + hostile, std::string("postcode 0600001")}) {
    Result r = Run(args);
    ASSERT_FALSE(r.err.empty()) << args;
    EXPECT_EQ(r.err.find('\033'), std::string::npos) << args << ": " << r.err;
    EXPECT_EQ(r.err.find('\007'), std::string::npos) << args << ": " << r.err;
    EXPECT_NE(r.err.find("x\\x1B]0;t\\x07"), std::string::npos) << args << ": " << r.err;
  }
}

TEST_F(CliFixture, SettingsAreWrittenOnlyWhenTheIndexOfAStoredFileWasRebuilt) {
  // --ken and --jig are for one run: their files and indexes are never saved.
  ASSERT_EQ(Run("postcode 0600001").status, 0);
  EXPECT_FALSE(std::filesystem::exists(ini));

  // The files the settings name: their rebuilt indexes and times are saved, the paths stay.
  const std::string named = "[POSTCODE]\r\nPostAllFile=" + Sjis(ken) + "\r\n[POSTJIGCODE]\r\nPostJigFile=" + Sjis(jig) + "\r\n";
  dir.Write("tovra.ini", named);
  ASSERT_EQ(Run("--ini '" + ini + "' postcode 0600001", false).status, 0);
  const std::string first = Slurp(ini);
  EXPECT_NE(first.find("PostAllFile=" + Sjis(ken) + "\r\n"), std::string::npos);
  EXPECT_NE(first.find("PostJigFile=" + Sjis(jig) + "\r\n"), std::string::npos);
  EXPECT_EQ(first.find("PostAllFileDate=\r\n"), std::string::npos);
  EXPECT_EQ(first.find("PostJigFileDate=\r\n"), std::string::npos);

  // Same files: the stored indexes are reused and the file is left alone, also when --ken
  // names the stored file.
  std::filesystem::remove(ini);
  dir.Write("tovra.ini", first);
  const auto written = std::filesystem::last_write_time(ini);
  ASSERT_EQ(Run("postcode 0600001").status, 0);
  EXPECT_EQ(std::filesystem::last_write_time(ini), written);
  EXPECT_EQ(Slurp(ini), first);

  // --rebuild, and the index command shows the tables.
  Result r = Run("index --rebuild");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("ken_all\tfile\t" + ken), std::string::npos);
  EXPECT_NE(r.out.find("rebuilt"), std::string::npos);
  EXPECT_NE(r.out.find("ken_all\tpref\t12\t東京都\t"), std::string::npos);
  EXPECT_NE(r.out.find("tables\t2003\t2003/12/01\t\ntables\tcurrent\t2026/02/10\tin use\n"), std::string::npos);
}

// A file named with --ken/--jig keeps its index in the user's cache, checked like a stored
// one; a whole-file search builds none.
TEST_F(CliFixture, OneRunFilesKeepTheirIndexInTheCache) {
  const std::string folder = dir.Path("cache") + "/tovra";
  auto entries = [&] {
    std::vector<std::string> paths;
    if (std::filesystem::exists(folder))
      for (const auto& e : std::filesystem::directory_iterator(folder)) paths.push_back(e.path().string());
    return paths;
  };
  // What the index command says of each file: "ken_all=unchanged jigyosyo=rebuilt ".
  auto states = [&] {
    std::istringstream out(Run("index").out);
    std::string line, said;
    while (std::getline(out, line))
      if (line.find("\tfile\t") != std::string::npos)
        said += line.substr(0, line.find('\t')) + "=" + line.substr(line.rfind('\t') + 1) + " ";
    return said;
  };
  for (const char* whole_file : {"address 北一条西", "dantai 13101", "resolve 東京都千代田区千代田"}) {
    Run(whole_file);
    EXPECT_TRUE(entries().empty()) << whole_file;
  }
  ASSERT_EQ(Run("postcode 1000001").status, 0);
  EXPECT_EQ(entries().size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(ini));  // never in the settings
  EXPECT_EQ(states(), "ken_all=unchanged jigyosyo=unchanged ");

  // A changed file is indexed again, and its new rows are found by the new index.
  dir.Write("ken.csv", Slurp(ken) + Lines({KenLine("13102", "103  ", "1030001", "東京都", "中央区", "日本橋")}));
  EXPECT_EQ(states(), "ken_all=rebuilt jigyosyo=unchanged ");
  EXPECT_NE(Run("postcode 1030001").out.find("日本橋"), std::string::npos);
  // A damaged entry is not trusted.
  for (const std::string& entry : entries()) {
    std::string text = Slurp(entry);
    const std::size_t at = text.find("pfc1start=");  // the run of codes from 1, in both files
    text.replace(at, text.find('\r', at) - at, "pfc1start=7");
    std::ofstream(entry, std::ios::binary) << text;
  }
  EXPECT_EQ(states(), "ken_all=rebuilt jigyosyo=rebuilt ");
  EXPECT_EQ(states(), "ken_all=unchanged jigyosyo=unchanged ");
  EXPECT_EQ(Run("index --rebuild").out.find("unchanged"), std::string::npos);
}

// --edition picks the telephone tables: 2003 leaves 局番 and MA名 empty, as the searches
// always showed them.
TEST_F(CliFixture, EditionOption) {
  const std::pair<const char*, const char*> cases[] = {
      {"--edition 2003 ", "060-0001\t01101\t\t\t北海道"},
      {"--edition current ", "060-0001\t01101\t011-[1～8]\t札幌\t北海道"},
      {"", "060-0001\t01101\t011-[1～8]\t札幌\t北海道"}};
  for (const auto& [option, start] : cases) {
    Result r = Run(std::string(option) + "postcode 0600001");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(start, 0), 0u) << option << r.out;
  }
  Result r = Run("--edition 2026 postcode 0600001");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("tovra-search postcode: unknown edition '2026' (2003 or current)\n", 0), 0u) << r.err;
}

// Global options stand before or after the command alike; each command has its own help.
TEST_F(CliFixture, GlobalOptionsAnywhereAndHelpPerCommand) {
  const std::string before = Run("--no-hyphen --format csv postcode 0600001").out;
  EXPECT_NE(before.find("0600001"), std::string::npos) << before;
  EXPECT_EQ(Run("postcode 0600001 --format csv --no-hyphen").out, before);
  EXPECT_EQ(Run("postcode --format=csv --no-hyphen 0600001").out, before);
  Result help = Run("city --help", false);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: tovra-search city PREFECTURE CITY\n", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--business"), std::string::npos);
  EXPECT_EQ(Run("--format xml postcode 0600001").status, 2);
  EXPECT_EQ(Run("index extra").status, 2);
}

// Rows that cannot be written are a failure, not a silent success.
TEST_F(CliFixture, OutputThatCannotBeWrittenExitsOne) {
  const std::string cmd = "LC_ALL=C.UTF-8 " + std::string(TOVRA_SEARCH) + " --ken '" + ken + "' --ini '" + ini +
                          "' postcode 0600001 >/dev/full 2>'" + dir.Path("err") + "'";
  const int raw = std::system(cmd.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  EXPECT_EQ(Slurp(dir.Path("err")), "tovra-search postcode: cannot write the output\n");
}

}  // namespace
}  // namespace tovra::test
