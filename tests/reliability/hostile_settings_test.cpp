// Hostile settings files: garbage, duplicates, numbers and values beyond their fields, a
// missing ini/ directory, and a save that fails half-way.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "test_support.h"

namespace tovra::test {
namespace {

// Entries of the directory apart from the saves' lock file.
int EntriesIn(const std::string& dir) {
  int n = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) n += e.path().extension() != ".lock";
  return n;
}

void ExpectDefaults(const Settings& s) {
  const Settings d = DefaultSettings("/p/");
  EXPECT_EQ(s.window.left, d.window.left);
  EXPECT_EQ(s.window.top, d.window.top);
  EXPECT_EQ(s.window.right, d.window.right);
  EXPECT_EQ(s.window.bottom, d.window.bottom);
  EXPECT_EQ(s.ken_all_path, d.ken_all_path);
  EXPECT_EQ(s.jigyosyo_path, d.jigyosyo_path);
  EXPECT_EQ(s.ken_all_time, "");
  EXPECT_EQ(s.jigyosyo_time, "");
  EXPECT_EQ(s.add_hyphen, 1);
  EXPECT_EQ(s.column_width, d.column_width);
}

std::string Garbage() {
  std::string bytes;
  for (int round = 0; round < 4; ++round) {
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>((b * 37 + round * 11) & 0xFF);
  }
  return bytes + "\x82";  // a lead byte ending the file
}

struct SettingsCase {
  const char* name;
  std::string ini;
  std::function<void(const Settings&)> check;
};

constexpr std::int32_t kMax = 2147483647;
constexpr std::int32_t kMin = -2147483647 - 1;

std::vector<SettingsCase> SettingsCases() {
  const std::string long_path = "/" + std::string(400, 'p');
  // A double-byte character straddling the 259-byte limit is dropped whole.
  const std::string straddling = "/" + std::string(257, 'q') + Sjis("路");
  return {
      {"GarbageBytes", Garbage(), ExpectDefaults},
      {"GarbageAroundGoodKeys", Garbage() + std::string("\r\n[WINDOW]\r\nLEFT=12\0junk\r\n", 26) + Garbage(),
       [](const Settings& s) {
         EXPECT_EQ(s.window.left, 12);
         EXPECT_EQ(s.window.right, 560);
       }},
      {"DuplicateSectionsAndKeys",
       "[WINDOW]\r\nLEFT=1\r\nLEFT=2\r\n[RUN]\r\nAddPostCodeH=0\r\n[window]\r\nLEFT=3\r\nRIGHT=700\r\n"
       "[POSTCODE]\r\nPostAllFile=/first.csv\r\n[POSTCODE]\r\nPostAllFile=/second.csv\r\npfc0num=48\r\npfc0num=49\r\n",
       [](const Settings& s) {
         EXPECT_EQ(s.window.left, 1);  // the first occurrence wins, as the profile reader has it
         EXPECT_EQ(s.add_hyphen, 0);
         EXPECT_EQ(s.ken_all_path, "/first.csv");
         EXPECT_EQ(s.ken_all_index.run[0].num, 48);
       }},
      {"NumbersBeyond32Bits",
       "[WINDOW]\r\nLEFT=99999999999\r\nTOP=-99999999999\r\nRIGHT=18446744073709551617\r\nBOTTOM=-0\r\n"
       "[RUN]\r\nAddPostCodeH=4294967296\r\n[LISTVIEW]\r\niWidthPostCode=" + std::string(5000, '9') +
       "\r\n[POSTCODE]\r\npfu0start=-9999999999\r\npfu0size=9999999999\r\npfc0num=48\r\npfc0start=0\r\n"
       "pfc0size=99999999999999999999999\r\n",
       [](const Settings& s) {
         EXPECT_EQ(s.window.left, kMax);
         EXPECT_EQ(s.window.top, kMin);
         EXPECT_EQ(s.window.right, kMax);
         EXPECT_EQ(s.window.bottom, 0);
         EXPECT_NE(s.add_hyphen, 0);  // a huge number still reads as "on"
         EXPECT_EQ(s.column_width[0], kMax);
         EXPECT_EQ(s.ken_all_index.pref[0].start, kMin);
         EXPECT_EQ(s.ken_all_index.pref[0].size, kMax);
         EXPECT_EQ(s.ken_all_index.run[0].size, kMax);
       }},
      {"OverLongValues",
       "[POSTCODE]\r\nPostAllFile=" + long_path + "\r\nPostAllFileDate=" + std::string(1000, 't') +
           "\r\n[POSTJIGCODE]\r\nPostJigFile=" + straddling + "\r\nPostJigFileDate=" + std::string(32, 'u') +
           "\r\n[" + std::string(100000, 'S') + "]\r\n" + std::string(100000, 'k') + "=v\r\n",
       [=](const Settings& s) {
         EXPECT_EQ(s.ken_all_path, long_path.substr(0, 259));
         EXPECT_EQ(s.ken_all_time, std::string(31, 't'));
         EXPECT_EQ(s.jigyosyo_path, straddling.substr(0, 258));
         EXPECT_EQ(s.jigyosyo_time, std::string(31, 'u'));
       }},
  };
}

class HostileSettingsFile : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(HostileSettingsFile, LoadsWhatCanBeReadAndDefaultsTheRest) {
  TempDir dir;
  const std::string path = dir.Write("tovra.ini", GetParam().ini);
  Settings s;
  LoadSettings(path, "/p/", s);
  GetParam().check(s);

  // Whatever was loaded is saved and read back unchanged: nothing of it is lost at quit.
  ASSERT_TRUE(SaveSettings(path, s, nullptr));
  Settings back;
  LoadSettings(path, "/p/", back);
  EXPECT_EQ(back.window.left, s.window.left);
  EXPECT_EQ(back.window.top, s.window.top);
  EXPECT_EQ(back.ken_all_path, s.ken_all_path);
  EXPECT_EQ(back.jigyosyo_path, s.jigyosyo_path);
  EXPECT_EQ(back.ken_all_time, s.ken_all_time);
  EXPECT_EQ(back.column_width, s.column_width);
  EXPECT_EQ(0, std::memcmp(&back.ken_all_index, &s.ken_all_index, sizeof s.ken_all_index));
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileSettingsFile, ::testing::ValuesIn(SettingsCases()),
                         [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

// A search over a file whose stored index holds numbers from a hostile settings file reads the
// whole file instead of trusting them.
TEST(HostileSettingsFile, HugeIndexNumbersNeverMisleadASearch) {
  TempDir dir;
  const std::string ken = dir.Write("ken.csv", Lines({KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北一条西")}));
  const std::string ini = dir.Write("tovra.ini",
                                    "[POSTCODE]\r\npfu0start=2147483647\r\npfu0size=2147483647\r\npfc0num=48\r\n"
                                    "pfc0start=-2147483648\r\npfc0size=2147483647\r\npfc1num=48\r\npfc1start=2147483647\r\n"
                                    "pfc1size=2147483647\r\n");
  Settings s;
  LoadSettings(ini, "/p/", s);
  s.ken_all_path = ken;
  RecordingView view;
  SearchContext ctx{view, s};
  view.prefecture = Sjis("北海道");
  EXPECT_EQ(SearchPostCode(ctx, "0600001", PostCodeMatch::kExact).rows, 1);
  EXPECT_EQ(ScanKenAll(ctx, Sjis("札幌市中央区"), ScanMode::kCity, WordMatch::kExact, view.prefecture).rows, 1);
  EXPECT_TRUE(view.messages.empty());
}

// A settings file that is there but is not taken: defaults for the run, and no save ever
// replaces it.
struct UntakenCase {
  const char* name;
  std::function<void(const std::string& path)> make;
  SettingsFileStatus status;
  bool needs_non_root = false;  // permissions do not keep root out
};

class UntakenSettingsFile : public ::testing::TestWithParam<UntakenCase> {};

TEST_P(UntakenSettingsFile, GivesDefaultsAndIsNeverReplaced) {
  if (GetParam().needs_non_root && geteuid() == 0) GTEST_SKIP() << "root reads any file";
  TempDir dir;
  const std::string path = dir.Path("tovra.ini");
  GetParam().make(path);
  const FileIdentity before = IdentityOf(path);
  alarm(20);  // a read that waits for ever fails the test instead of hanging it
  Settings s;
  EXPECT_EQ(LoadSettings(path, "/p/", s), GetParam().status);
  ExpectDefaults(s);
  s.window.left = 42;
  EXPECT_FALSE(SaveSettings(path, s, nullptr));
  alarm(0);
  EXPECT_EQ(IdentityOf(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UntakenSettingsFile,
    ::testing::Values(
        UntakenCase{"Fifo", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
                    SettingsFileStatus::kNotRegularFile},
        UntakenCase{"Directory", [](const std::string& p) { std::filesystem::create_directory(p); },
                    SettingsFileStatus::kNotRegularFile},
        UntakenCase{"LinkToADevice", [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
                    SettingsFileStatus::kNotRegularFile},
        UntakenCase{"OneByteOverOneMegabyte",
                    [](const std::string& p) {
                      std::ofstream(p, std::ios::binary) << "[WINDOW]\r\nLEFT=42\r\n";
                      std::filesystem::resize_file(p, kSettingsFileMax + 1);
                    },
                    SettingsFileStatus::kTooLarge},
        UntakenCase{"LinkLoop", [](const std::string& p) { std::filesystem::create_symlink(p, p); },
                    SettingsFileStatus::kUnreadable},
        UntakenCase{"NoReadPermission",
                    [](const std::string& p) {
                      std::ofstream(p, std::ios::binary) << "[WINDOW]\r\nLEFT=42\r\n";
                      std::filesystem::permissions(p, std::filesystem::perms::none);
                    },
                    SettingsFileStatus::kUnreadable, true}),
    [](const ::testing::TestParamInfo<UntakenCase>& info) { return std::string(info.param.name); });

// --- Saving -------------------------------------------------------------------------------

// write(2) stand-ins: the save fails after some bytes went out, or at once.
long FailAfterSomeBytes(int fd, const void* data, std::size_t size) {
  static thread_local int calls = 0;
  if (size > 100 && calls++ % 2 == 0) return ::write(fd, data, 100);
  errno = EIO;
  return -1;
}
long DiskFull(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}
long WritesNothing(int, const void*, std::size_t) { return 0; }

struct FailingWrite {
  const char* name;
  test_seams::WriteFunction write;
};

class HalfWaySave : public ::testing::TestWithParam<FailingWrite> {
 protected:
  void TearDown() override { test_seams::SetSettingsWriteFunction(nullptr); }
};

TEST_P(HalfWaySave, LeavesThePreviousFileByteForByteAndNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.Path("tovra.ini");
  Settings before = DefaultSettings("/p/");
  before.window = {10, 20, 600, 520};
  before.ken_all_time = "Wed Dec  9 09:28:02 2026";
  ASSERT_TRUE(SaveSettings(path, before, nullptr));
  const std::string previous = ReadAll(path);

  Settings after = before;
  after.window.left = 99;
  after.add_hyphen = 0;
  test_seams::SetSettingsWriteFunction(GetParam().write);
  EXPECT_FALSE(SaveSettings(path, after, nullptr));  // the failure is reported, not hidden
  test_seams::SetSettingsWriteFunction(nullptr);

  EXPECT_EQ(ReadAll(path), previous);
  EXPECT_EQ(EntriesIn(dir.Path("")), 1);
  Settings loaded;
  LoadSettings(path, "/p/", loaded);
  EXPECT_EQ(loaded.window.left, 10);
  EXPECT_EQ(loaded.add_hyphen, 1);

  // The next save goes through again.
  ASSERT_TRUE(SaveSettings(path, after, nullptr));
  LoadSettings(path, "/p/", loaded);
  EXPECT_EQ(loaded.window.left, 99);
}

INSTANTIATE_TEST_SUITE_P(Writes, HalfWaySave,
                         ::testing::Values(FailingWrite{"FailsAfterSomeBytes", FailAfterSomeBytes},
                                           FailingWrite{"DiskFull", DiskFull},
                                           FailingWrite{"WritesNothing", WritesNothing}),
                         [](const ::testing::TestParamInfo<FailingWrite>& info) { return std::string(info.param.name); });

TEST(MissingIniDirectory, SaveFailsCreatesNothingAndTheNextStartUsesDefaults) {
  TempDir program;
  std::string dir = program.Path("");
  if (dir.back() != '/') dir += '/';
  Settings s = DefaultSettings(dir);
  s.window.left = 42;
  EXPECT_FALSE(SaveSettings(SettingsPath(dir), s, nullptr));
  EXPECT_EQ(EntriesIn(dir), 0);  // neither ini/ nor any file
  Settings next;
  LoadSettings(SettingsPath(dir), dir, next);
  EXPECT_EQ(next.window.left, 0);
  EXPECT_EQ(next.ken_all_path, dir + "data/ken_all.csv");
}

}  // namespace
}  // namespace tovra::test
