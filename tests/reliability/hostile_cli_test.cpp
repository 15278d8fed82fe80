// The same hostile data files through tovra-search: exit status, the message on stderr and the
// rows on stdout.
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "test_support.h"

namespace tovra::test {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct CliResult {
  int status = -1;
  std::string err;
  std::vector<std::string> codes;  // first field of every output row
};

CliResult RunCli(const TempDir& dir, const std::string& ken, const std::string& args) {
  // The time limit turns a run that would wait for ever into a failure.
  const std::string cmd = "LC_ALL=C.UTF-8 timeout 20 " + std::string(TOVRA_SEARCH) + " --ken '" + ken + "' --jig '" +
                          dir.Path("none.csv") + "' --ini '" + dir.Path("tovra.ini") + "' " + args + " >'" +
                          dir.Path("out") + "' 2>'" + dir.Path("err") + "'";
  CliResult r;
  const int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = Slurp(dir.Path("err"));
  std::istringstream out(Slurp(dir.Path("out")));
  for (std::string line; std::getline(out, line);) r.codes.push_back(line.substr(0, line.find('\t')));
  return r;
}

const std::string kSapporo = KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北一条西");
const std::string kNaha = KenLine("47201", "900  ", "9000001", "沖縄県", "那覇市", "旭町");

struct CliCase {
  const char* name;
  std::function<void(TempDir&, const std::string& path)> make;
  const char* args;
  int status;
  // stderr in UTF-8; "%s" stands for the data file's path, "%j" for the business file's.
  std::string err;
  std::vector<std::string> codes;
};

std::vector<CliCase> CliCases() {
  auto file = [](std::string bytes) {
    return [bytes](TempDir& d, const std::string& p) { d.Write(std::filesystem::path(p).filename().string(), bytes); };
  };
  std::string huge = "xx";
  while (huge.size() < (1u << 20)) huge += ",x";
  std::string unsorted;
  for (int i = 0; i < 30; ++i) unsorted += kSapporo + "\r\n" + kNaha + "\r\n";
  const std::string overflow = "tovra-search: 郵便番号ファイルポインタバッファエラー\n";
  const std::string not_found = "tovra-search: %s が見つかりません\n";
  const std::string not_regular = "tovra-search: %s は通常のファイルではありません\n";
  return {
      {"EmptyFile", file(""), "postcode 0600001", 0, "", {}},
      {"NulBytes", file(std::string(1000, '\0')), "address 札幌 --match contains", 0, "", {}},
      {"InvalidCp932", file("\xFF\xFF\r\n" + kSapporo + "\x82\r\n\x82"), "postcode 0600001", 0, "", {"060-0001"}},
      {"OneMegabyteLine", file(huge + "\r\n" + kSapporo + "\r\n"), "postcode 0600001", 0, "", {"060-0001"}},
      {"NoFinalNewline", file(kNaha + "\r\n" + kSapporo), "dantai 01101", 0, "", {"060-0001"}},
      {"LfLineEnds", file(kSapporo + "\n" + kNaha + "\n"), "postcode 9 --match prefix", 0, "", {"900-0001"}},
      {"CrLineEnds", file(kSapporo + "\r" + kNaha + "\r"), "city 沖縄県 那覇市", 0, "", {"900-0001"}},
      {"NotSortedByPrefecture", file(unsorted), "postcode 0600001", 1, overflow,
       std::vector<std::string>(30, "060-0001")},
      {"MissingFile", [](TempDir&, const std::string&) {}, "postcode 0600001", 1, not_found, {}},
      {"PathIsADirectory", [](TempDir&, const std::string& p) { std::filesystem::create_directory(p); },
       "address 札幌", 1, not_found, {}},
      {"Fifo", [](TempDir&, const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, "postcode 0600001", 1,
       not_regular, {}},
      {"DeviceBehindALink", [](TempDir&, const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
       "address 札幌", 1, not_regular, {}},
      // As the desktop program greys out 事業所データ使用: the KEN_ALL rows, and why no others.
      {"BusinessFileMissing", file(kSapporo + "\r\n"), "--business postcode 0600001", 0,
       "tovra-search: warning: %j: JIGYOSYO.CSV not found; --business lists KEN_ALL.CSV rows only\n", {"060-0001"}},
      {"BusinessFileIsADirectory",
       [](TempDir& d, const std::string&) {
         d.Write("ken.csv", kSapporo + "\r\n");
         std::filesystem::create_directory(d.Path("none.csv"));  // RunCli's --jig
       },
       "--business dantai 01101", 0,
       "tovra-search: warning: %j: JIGYOSYO.CSV is not a regular file; --business lists KEN_ALL.CSV rows only\n",
       {"060-0001"}},
  };
}

class HostileFilesThroughTheCli : public ::testing::TestWithParam<CliCase> {};

TEST_P(HostileFilesThroughTheCli, ExitStatusMessageAndRows) {
  const CliCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.Path("ken.csv");
  c.make(dir, path);
  CliResult r = RunCli(dir, path, c.args);
  std::string err = c.err;
  if (std::size_t at = err.find("%s"); at != std::string::npos) err.replace(at, 2, path);
  if (std::size_t at = err.find("%j"); at != std::string::npos) err.replace(at, 2, dir.Path("none.csv"));
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.err, err);
  EXPECT_EQ(r.codes, c.codes);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileFilesThroughTheCli, ::testing::ValuesIn(CliCases()),
                         [](const ::testing::TestParamInfo<CliCase>& info) { return std::string(info.param.name); });

// The index stored by one run describes a file that the next run finds shorter.
TEST(HostileFilesThroughTheCli, FileReplacedAfterItsIndexWasStored) {
  TempDir dir;
  std::string before;
  for (int i = 0; i < 20; ++i) before += kNaha + "\r\n";
  const std::string path = dir.Write("ken.csv", before + kSapporo + "\r\n");
  dir.Write("tovra.ini", "[POSTCODE]\r\nPostAllFile=" + path + "\r\n");  // its index is saved
  CliResult r = RunCli(dir, path, "postcode 0600001");
  ASSERT_EQ(r.codes, std::vector<std::string>{"060-0001"});
  ASSERT_NE(Slurp(dir.Path("tovra.ini")).find("pfc2num=48\r\n"), std::string::npos);

  // Same modification time, so the stored index is taken for the file's.
  const auto stamped = std::filesystem::last_write_time(path);
  dir.Write("ken.csv", kSapporo + "\r\n" + kNaha + "\r\n");
  std::filesystem::last_write_time(path, stamped);
  r = RunCli(dir, path, "postcode 0600001");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.codes, std::vector<std::string>{"060-0001"});
  r = RunCli(dir, path, "city 北海道 札幌市中央区");
  EXPECT_EQ(r.codes, std::vector<std::string>{"060-0001"});
}

// --ken for one run, however the file is named: the settings file stays byte for byte, and the
// next plain run searches the stored file with its stored index.
struct OverrideCase {
  const char* name;
  std::string ken;  // the --ken operand as the shell sees it; %d stands for the directory
};

class OneRunOverride : public ::testing::TestWithParam<OverrideCase> {};

TEST_P(OneRunOverride, IsNeverSaved) {
  TempDir dir;
  const std::string stored = dir.Write("ken.csv", kSapporo + "\r\n");
  dir.Write("other.csv", kNaha + "\r\n");
  dir.Write("\xF0\x9F\x98\x80.csv", kNaha + "\r\n");  // a name CP932 cannot hold
  const std::string ini = dir.Write("tovra.ini", "[WINDOW]\r\nLEFT=5\r\n[POSTCODE]\r\nPostAllFile=" + stored + "\r\n");
  ASSERT_EQ(RunCli(dir, stored, "postcode 0600001").codes, std::vector<std::string>{"060-0001"});
  const std::string saved = Slurp(ini);
  ASSERT_NE(saved.find("pfc0num=48"), std::string::npos);

  std::string ken = GetParam().ken;
  ken.replace(ken.find("%d"), 2, dir.Path(""));
  const std::string cmd = "LC_ALL=C.UTF-8 bash -c \"" + std::string(TOVRA_SEARCH) + " --ken " + ken + " --jig '" + dir.Path("none.csv") + "' --ini '" + ini +
                          "' postcode 9000001\" >/dev/null 2>&1";
  ASSERT_NE(std::system(cmd.c_str()), -1);
  EXPECT_EQ(Slurp(ini), saved);
  const CliResult plain = RunCli(dir, stored, "postcode 0600001");
  EXPECT_EQ(plain.codes, std::vector<std::string>{"060-0001"});
  EXPECT_EQ(Slurp(ini), saved);
}

INSTANTIATE_TEST_SUITE_P(Cases, OneRunOverride,
                         ::testing::Values(OverrideCase{"AnotherFile", "'%dother.csv'"},
                                           OverrideCase{"ProcessSubstitution", "<(cat '%dother.csv')"},
                                           OverrideCase{"PathCp932CannotHold", "'%d\xF0\x9F\x98\x80.csv'"}),
                         [](const ::testing::TestParamInfo<OverrideCase>& info) { return std::string(info.param.name); });

// A settings file that is there but cannot be taken: the run warns, searches with the
// defaults and leaves the file as it is.
struct IniCase {
  const char* name;
  std::function<void(const std::string& path)> make;
  const char* why;
};

class UnusableSettingsThroughTheCli : public ::testing::TestWithParam<IniCase> {};

TEST_P(UnusableSettingsThroughTheCli, WarnsSearchesAndLeavesTheFile) {
  TempDir dir;
  const std::string ken = dir.Write("ken.csv", kSapporo + "\r\n");
  const std::string ini = dir.Path("tovra.ini");
  GetParam().make(ini);
  const FileIdentity before = IdentityOf(ini);
  const CliResult r = RunCli(dir, ken, "postcode 0600001");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.codes, std::vector<std::string>{"060-0001"});
  EXPECT_EQ(r.err, "tovra-search: warning: " + ini + " " + GetParam().why + "; the defaults are used and it is left as it is\n");
  EXPECT_EQ(IdentityOf(ini), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableSettingsThroughTheCli,
    ::testing::Values(IniCase{"Fifo", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, "is not a regular file"},
                      IniCase{"DevZero", [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
                              "is not a regular file"},
                      IniCase{"OneGigabyte",  // sparse: costs no disk
                              [](const std::string& p) {
                                std::ofstream(p, std::ios::binary) << "[WINDOW]\r\n";
                                std::filesystem::resize_file(p, std::uintmax_t{1} << 30);
                              },
                              "is larger than 1 MB"},
                      IniCase{"LinkLoop", [](const std::string& p) { std::filesystem::create_symlink(p, p); },
                              "cannot be read"}),
    [](const ::testing::TestParamInfo<IniCase>& info) { return std::string(info.param.name); });

// A pipe as JIGYOSYO.CSV: the start-up check of both indexes passes it over instead of waiting
// for a writer, and a search of KEN_ALL.CSV goes on.
TEST(HostileFilesThroughTheCli, FifoAsTheBusinessFileNeverHangsTheStart) {
  TempDir dir;
  const std::string ken = dir.Write("ken.csv", kSapporo + "\r\n");
  ASSERT_EQ(mkfifo(dir.Path("none.csv").c_str(), 0600), 0);  // RunCli's --jig
  const CliResult r = RunCli(dir, ken, "postcode 0600001");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.codes, std::vector<std::string>{"060-0001"});
}

// A settings file of garbage with data paths that are directories: the run carries on and says
// what is missing.
TEST(HostileFilesThroughTheCli, GarbageSettingsAndDirectoryPaths) {
  TempDir dir;
  std::filesystem::create_directory(dir.Path("ken_dir"));
  std::filesystem::create_directory(dir.Path("jig_dir"));
  std::string garbage(2000, '\xFF');
  garbage += "\r\n[POSTCODE]\r\nPostAllFile=" + dir.Path("ken_dir") + "\r\npfc0num=99999999999\r\n[POSTJIGCODE]\r\nPostJigFile=" +
             dir.Path("jig_dir") + "\r\n[WINDOW]\r\nLEFT=-99999999999\r\n" + std::string(3000, '\0');
  const std::string ini = dir.Write("tovra.ini", garbage);
  const std::string cmd = "LC_ALL=C.UTF-8 " + std::string(TOVRA_SEARCH) + " --ini '" + ini +
                          "' postcode 0600001 >'" + dir.Path("out") + "' 2>'" + dir.Path("err") + "'";
  const int raw = std::system(cmd.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  EXPECT_EQ(Slurp(dir.Path("err")), "tovra-search: " + dir.Path("ken_dir") + " が見つかりません\n");
  EXPECT_EQ(Slurp(dir.Path("out")), "");
  EXPECT_EQ(Slurp(ini), garbage);  // nothing was rebuilt, so the file is left alone
}

// Control characters in the fields of a hostile file, through every output format: a TAB
// must not add a field, a CR or LF not a line, and nothing may reach the terminal raw (ESC and
// BEL would let a file write escape sequences). ソ ends in the byte of a backslash and must stay
// one character.
struct ControlCase {
  const char* name;
  const char* args;
  std::string shows;     // a part of stdout, in UTF-8
  std::string controls;  // the control characters stdout may hold: its own line structure
};

const std::string kFffd = "\xEF\xBF\xBD";

std::vector<ControlCase> ControlCases() {
  return {
      {"Tsv", "postcode 0600001",
       "\t北海道\t札幌\\t市\t北" + kFffd + "[2J" + kFffd + "ソ\\\\一条\\r\tｹﾝ\tｻｯﾎﾟﾛ" + kFffd + "\tﾁｮｳ\t\t\n",
       "\t\n"},
      {"Csv", "--format csv postcode 0600001",
       ",北海道,札幌" + kFffd + "市,\"北" + kFffd + "[2J" + kFffd + "ソ\\一条\r\",ｹﾝ,ｻｯﾎﾟﾛ" + kFffd + ",ﾁｮｳ,,\r\n",
       "\r\n"},
      {"Json", "--format json postcode 0600001",
       "\"city\": \"札幌\\t市\", \"town\": \"北\\u001b[2J\\u0007ソ\\\\一条\\r\", \"prefectureKana\": \"ｹﾝ\", "
       "\"cityKana\": \"ｻｯﾎﾟﾛ\\u007f\"",
       "\n"},
      {"CityListTsv", "cities 北海道", "札幌\\t市\n", "\n"},
      {"CityListCsv", "--format csv cities 北海道", "札幌" + kFffd + "市\n", "\n"},
  };
}

class ControlCharactersThroughTheCli : public ::testing::TestWithParam<ControlCase> {};

TEST_P(ControlCharactersThroughTheCli, AreEscapedOrShownAsReplacement) {
  const ControlCase& c = GetParam();
  TempDir dir;
  // The first line decides that lines end in CR LF, so that the CR inside the field stays.
  const std::string hostile =
      KenLine("01101", "060  ", "0600001", "北海道", "札幌\t市", "北\x1b[2J\x07ソ\\一条\r", "ｻｯﾎﾟﾛ\x7f");
  const std::string path = dir.Write("ken.csv", kNaha + "\r\n" + hostile + "\r\n");
  const std::string cmd = "LC_ALL=C.UTF-8 " + std::string(TOVRA_SEARCH) + " --ken '" + path + "' --ini '" +
                          dir.Path("tovra.ini") + "' " + c.args + " >'" + dir.Path("out") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string out = Slurp(dir.Path("out"));
  EXPECT_NE(out.find(c.shows), std::string::npos) << out;
  for (char byte : out) {
    const auto b = static_cast<unsigned char>(byte);
    if (b < 0x20 || b == 0x7F) {
      EXPECT_NE(c.controls.find(byte), std::string::npos) << "raw byte " << int{b};
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ControlCharactersThroughTheCli, ::testing::ValuesIn(ControlCases()),
                         [](const ::testing::TestParamInfo<ControlCase>& info) { return std::string(info.param.name); });

// A data path from a hostile settings file comes back in the message on stderr: the same
// rule keeps its control characters from the terminal.
TEST(ControlCharactersThroughTheCli, InAPathOfTheSettingsFile) {
  TempDir dir;
  const std::string ini = dir.Write("tovra.ini", "[POSTCODE]\r\nPostAllFile=" + dir.Path("k\x1b]0;x\x07.csv") +
                                                     "\r\n[POSTJIGCODE]\r\nPostJigFile=" + dir.Path("none.csv") + "\r\n");
  const std::string cmd = "LC_ALL=C.UTF-8 " + std::string(TOVRA_SEARCH) + " --ini '" + ini + "' postcode 0600001 2>'" +
                          dir.Path("err") + "'";
  const int raw = std::system(cmd.c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  EXPECT_EQ(Slurp(dir.Path("err")), "tovra-search: " + dir.Path("k" + kFffd + "]0;x" + kFffd + ".csv") + " が見つかりません\n");
}

}  // namespace
}  // namespace tovra::test
