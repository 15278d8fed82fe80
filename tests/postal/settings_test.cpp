#include "settings.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ini_file.h"
#include "index_cache.h"
#include "startup.h"
#include <cstring>

#include "test_support.h"

namespace tovra::test {
namespace {

std::vector<std::string> KeyLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

TEST(Settings, DefaultsWithoutAFile) {
  TempDir dir;
  Settings s;
  LoadSettings(dir.Path("missing.ini"), "/opt/tovra/", s);
  EXPECT_EQ(s.window.left, 0);
  EXPECT_EQ(s.window.right, 560);
  EXPECT_EQ(s.window.bottom, 500);
  EXPECT_EQ(s.ken_all_path, "/opt/tovra/data/ken_all.csv");
  EXPECT_EQ(s.jigyosyo_path, "/opt/tovra/data/jigyosyo.csv");
  EXPECT_EQ(s.add_hyphen, 1);
  EXPECT_EQ(s.column_width, (std::array<std::int32_t, 12>{60, 44, 0, 0, 60, 100, 120, 0, 0, 0, 120, 0}));
  EXPECT_EQ(s.ken_all_time, "");
  // Without stored keys the index entries read as 0.
  EXPECT_EQ(s.ken_all_index.pref[0].size, 0);
  EXPECT_EQ(s.jigyosyo_index.run[5].num, 0);
}

TEST(Settings, SavedFileHasTheProfileLayoutAndReadsBack) {
  TempDir dir;
  Settings s = DefaultSettings("/opt/tovra/");
  s.window = {10, -20, 700, 650};
  s.ken_all_path = "/data/郵便/ken_all.csv";
  s.ken_all_time = "Tue May 26 09:57:00 2026";
  s.add_hyphen = 0;
  s.column_width[2] = 33;
  s.ken_all_index.pref[46] = {123, 456};
  s.jigyosyo_index.run[63] = {'9', 7, 8};
  const std::string path = dir.Path("tovra.ini");
  std::string message;
  ASSERT_TRUE(SaveSettings(path, s, &message));
  EXPECT_EQ(message, "");

  const std::string text = ReadAll(path);
  const auto lines = KeyLines(text);
  // 594 keys, the two stamp keys at the ends of their sections (which the profile reader passes
  // over), MaEdition in [RUN], and six section lines, every line ending in CR LF.
  ASSERT_EQ(lines.size(), 603u);
  for (const std::string& l : lines) EXPECT_EQ(l.back(), '\r');
  EXPECT_EQ(lines[0], "[INI_WRITE_VERSION]\r");
  EXPECT_EQ(lines[1], "VERSION=520\r");
  EXPECT_EQ(lines[2], "[WINDOW]\r");
  EXPECT_EQ(lines[7], "[POSTCODE]\r");
  EXPECT_EQ(lines[8], Sjis("PostAllFile=/data/郵便/ken_all.csv") + "\r");
  EXPECT_EQ(lines[9], "PostAllFileDate=Tue May 26 09:57:00 2026\r");
  EXPECT_EQ(lines[10], "pfu0start=0\r");
  EXPECT_EQ(lines[11], "pfu0size=-1\r");
  EXPECT_EQ(lines[10 + 94], "pfuj0start=0\r");
  EXPECT_EQ(lines[10 + 188], "pfc0num=-1\r");
  EXPECT_EQ(lines[10 + 188 + 192], "pfcj0num=-1\r");
  EXPECT_EQ(lines[10 + 188 + 384], "PostAllFileStamp=\r");
  EXPECT_EQ(lines[10 + 188 + 385], "[POSTJIGCODE]\r");
  EXPECT_EQ(lines[10 + 188 + 385 + 3], "PostJigFileStamp=\r");
  EXPECT_EQ(lines[10 + 188 + 385 + 4], "[RUN]\r");
  EXPECT_EQ(lines[10 + 188 + 385 + 6], "MaEdition=1\r");
  EXPECT_EQ(lines[10 + 188 + 385 + 7], "[LISTVIEW]\r");
  EXPECT_EQ(lines[10 + 188 + 385 + 8], "iWidthPostCode=60\r");

  Settings back;
  LoadSettings(path, "/elsewhere/", back);
  EXPECT_EQ(back.window.top, -20);
  EXPECT_EQ(back.ken_all_path, s.ken_all_path);
  EXPECT_EQ(back.ken_all_time, s.ken_all_time);
  // The writer's default file is stored empty: the reader's own default.
  EXPECT_EQ(back.jigyosyo_path, "/elsewhere/data/jigyosyo.csv");
  EXPECT_EQ(back.add_hyphen, 0);
  EXPECT_EQ(back.column_width, s.column_width);
  EXPECT_EQ(0, std::memcmp(&back.ken_all_index, &s.ken_all_index, sizeof(PostIndex)));
  EXPECT_EQ(0, std::memcmp(&back.jigyosyo_index, &s.jigyosyo_index, sizeof(PostIndex)));
}

// The edition of the telephone tables: 0 (2003) or 1 (current, also the default); any other
// value is not one of them and keeps the default.
TEST(Settings, MaEditionReadsOnlyTheTwoEditions) {
  const std::pair<const char*, int> cases[] = {{"", 1},
                                               {"[RUN]\r\nMaEdition=0\r\n", 0},
                                               {"[RUN]\r\nMaEdition=1\r\n", 1},
                                               {"[RUN]\r\nMaEdition=2003\r\n", 1},
                                               {"[RUN]\r\nMaEdition=-1\r\n", 1},
                                               {"[RUN]\r\nMaEdition=current\r\n", 1}};
  for (const auto& [text, edition] : cases) {
    TempDir dir;
    const std::string path = dir.Write("tovra.ini", text);
    Settings s;
    LoadSettings(path, "/p/", s);
    EXPECT_EQ(s.ma_edition, edition) << text;
    Settings changed = s;
    changed.ma_edition = 1 - edition;
    EXPECT_EQ(ChangedSettingsParts(s, changed), unsigned{kEditionPart});
    s = changed;
    ASSERT_TRUE(SaveSettings(path, s, nullptr, kEditionPart));
    Settings back;
    LoadSettings(path, "/p/", back);
    EXPECT_EQ(back.ma_edition, 1 - edition) << text;
  }
}

TEST(Settings, EmptyPathsLongValuesAndForeignFiles) {
  TempDir dir;
  std::string long_path = "/" + std::string(300, 'p');
  std::string ini = "; written by hand\r\n[postcode]\r\npostallfile=\r\nPostAllFileDate=" + std::string(40, 't') +
                    "\r\n[POSTJIGCODE]\r\nPostJigFile=" + long_path + "\r\n[WINDOW]\r\n LEFT = 15 \r\nTOP=junk\r\n";
  const std::string path = dir.Write("tovra.ini", ini);
  Settings s;
  LoadSettings(path, "/p/", s);
  EXPECT_EQ(s.ken_all_path, "/p/data/ken_all.csv");  // present but empty: the default
  EXPECT_EQ(s.ken_all_time, std::string(31, 't'));
  EXPECT_EQ(s.jigyosyo_path, long_path.substr(0, 259));
  EXPECT_EQ(s.window.left, 15);
  EXPECT_EQ(s.window.top, 0);

  // A path cut inside a double-byte character keeps only whole characters.
  std::string wide = "/";
  for (int i = 0; i < 200; ++i) wide += "路";
  dir.Write("tovra.ini", "[POSTCODE]\r\nPostAllFile=" + Sjis(wide) + "\r\n");
  LoadSettings(path, "/p/", s);
  EXPECT_EQ(s.ken_all_path, wide.substr(0, 1 + 129 * 3));
}

TEST(Settings, SaveIsAtomicAndRefusesUnstorablePaths) {
  TempDir dir;
  const std::string path = dir.Write("tovra.ini", "[RUN]\r\nAddPostCodeH=0\r\n");
  Settings s = DefaultSettings("/p/");
  s.jigyosyo_path = "/data/\xF0\x9F\x98\x80.csv";  // an emoji has no CP932 form
  std::string message;
  ASSERT_TRUE(SaveSettings(path, s, &message));
  EXPECT_NE(message.find(Sjis("は設定ファイルに保存できません")), std::string::npos);
  const std::string text = ReadAll(path);
  EXPECT_NE(text.find("PostJigFile=\r\n"), std::string::npos);
  EXPECT_EQ(text.find("\xF0\x9F"), std::string::npos);
  Settings back;
  LoadSettings(path, "/p/", back);
  EXPECT_EQ(back.jigyosyo_path, "/p/data/jigyosyo.csv");
  // No temporary file is left beside it (only the lock file that every save takes).
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path(""))) entries += e.path().extension() != ".lock";
  EXPECT_EQ(entries, 1);

  // Into a directory that does not exist: nothing written, the result says so.
  EXPECT_FALSE(SaveSettings(dir.Path("no/such/dir/tovra.ini"), s, nullptr));
}

TEST(Settings, SaveTakesItsLockOnlyBesideARegularFileAndThroughAnyLockFile) {
  TempDir dir;
  const Settings settings = DefaultSettings(dir.Path("") );
  ASSERT_EQ(::mkfifo(dir.Path("fifo.ini").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir(dir.Path("dir.ini").c_str(), 0700), 0);
  // A FIFO or a directory named as the settings file is no settings file: no save, and no
  // "<name>.lock" left beside it (beside /dev/null, that would be /dev/null.lock).
  for (const char* name : {"fifo.ini", "dir.ini"}) {
    EXPECT_FALSE(SaveSettings(dir.Path(name), settings, nullptr)) << name;
    EXPECT_EQ(IdentityOf(dir.Path(name) + ".lock"), FileIdentity{}) << name;
  }
  // A lock file that cannot be opened for writing (here a directory of that name; a file left
  // by a run under sudo is the same to a user) still takes the lock: the save goes through.
  ASSERT_EQ(::mkdir(dir.Path("ok.ini.lock").c_str(), 0700), 0);
  EXPECT_TRUE(SaveSettings(dir.Path("ok.ini"), settings, nullptr));
  EXPECT_NE(ReadAll(dir.Path("ok.ini")).find("[WINDOW]"), std::string::npos);
}

TEST(Settings, ValuesTheProfileReaderWouldTrimReadBackUnchanged) {
  TempDir dir;
  const std::string path = dir.Path("tovra.ini");
  Settings s = DefaultSettings("/p/");
  s.ken_all_path = " /data/ken all.csv ";   // blanks at both ends are part of the name
  s.jigyosyo_path = "\"/data/jig.csv\"";     // so are enclosing quotes
  s.ken_all_time = "Wed May 27 10:00:00 2026\t";
  std::string message;
  ASSERT_TRUE(SaveSettings(path, s, &message));
  EXPECT_TRUE(message.empty());
  Settings back;
  LoadSettings(path, "/p/", back);
  EXPECT_EQ(back.ken_all_path, s.ken_all_path);
  EXPECT_EQ(back.jigyosyo_path, s.jigyosyo_path);
  EXPECT_EQ(back.ken_all_time, s.ken_all_time);

  // A line end inside a path cannot be stored: the stored path stays, with the message.
  s.ken_all_path = "/data/two\nlines.csv";
  ASSERT_TRUE(SaveSettings(path, s, &message));
  EXPECT_NE(message.find(Sjis("は設定ファイルに保存できません")), std::string::npos);
  EXPECT_NE(ReadAll(path).find("PostAllFile=\" /data/ken all.csv \"\r\n"), std::string::npos);
}

// A run's override replaces a stored path (and forgets its index) only when it names
// another file; the stored index of the same file stays valid.
TEST(RunOverrides, ForgetTheIndexOnlyOfAFileTheyReplace) {
  struct Case {
    std::optional<std::string> ken, jig;
    bool rebuild;
    bool ken_overridden, jig_overridden;
    const char* ken_time;
    const char* jig_time;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, false, false, false, "k", "j"},
      {"/d/KEN_ALL.CSV", "/d/JIGYOSYO.CSV", false, false, false, "k", "j"},  // the stored files
      {"/e/KEN_ALL.CSV", std::nullopt, false, true, false, "", "j"},
      {std::nullopt, "/e/JIGYOSYO.CSV", false, false, true, "k", ""},
      {"/d/KEN_ALL.CSV", std::nullopt, true, false, false, "", ""},
  };
  for (const Case& c : cases) {
    Settings s;
    s.ken_all_path = "/d/KEN_ALL.CSV";
    s.jigyosyo_path = "/d/JIGYOSYO.CSV";
    s.ken_all_time = "k";
    s.jigyosyo_time = "j";
    s.ken_all_stamp = "ks";
    s.ken_all_index.run[0].num = '0';
    RunOverrides o;
    o.ken_all_path = c.ken;
    o.jigyosyo_path = c.jig;
    o.rebuild = c.rebuild;
    o.add_hyphen = 0;
    const OverriddenFiles overridden = ApplyOverrides(o, s);
    SCOPED_TRACE(c.ken.value_or("-") + " " + c.jig.value_or("-"));
    EXPECT_EQ(overridden.ken_all, c.ken_overridden);
    EXPECT_EQ(overridden.jigyosyo, c.jig_overridden);
    EXPECT_EQ(s.ken_all_path, c.ken.value_or("/d/KEN_ALL.CSV"));
    EXPECT_EQ(s.ken_all_time, c.ken_time);
    EXPECT_EQ(s.jigyosyo_time, c.jig_time);
    // Nothing of another file's index stays with a replaced path.
    EXPECT_EQ(s.ken_all_stamp, c.ken_overridden ? "" : "ks");
    EXPECT_EQ(s.ken_all_index == PostIndex{}, c.ken_overridden);
    EXPECT_EQ(s.add_hyphen, 0);
  }
}

// The user's folders follow the XDG rule: an absolute variable, else the folder under HOME;
// a relative value counts as unset, as the base directory rules say.
TEST(UserFolder, AbsoluteVariableThenHomeThenNone) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {"/x/cache", "/home/u", "/x/cache/tovra"},
      {nullptr, "/home/u", "/home/u/.cache/tovra"},
      {"relative", "/home/u", "/home/u/.cache/tovra"},
      {"", "/home/u", "/home/u/.cache/tovra"},
      {nullptr, "relative", ""},
      {nullptr, nullptr, ""},
  };
  const std::string saved_xdg = std::getenv("XDG_CACHE_HOME") ? std::getenv("XDG_CACHE_HOME") : "";
  const std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  auto put = [](const char* name, const char* value) { value ? ::setenv(name, value, 1) : ::unsetenv(name); };
  for (const Case& c : cases) {
    put("XDG_CACHE_HOME", c.xdg);
    put("HOME", c.home);
    EXPECT_EQ(UserFolder("XDG_CACHE_HOME", ".cache"), c.expected) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
    EXPECT_EQ(IndexCacheFolder(), c.expected);
  }
  put("XDG_CACHE_HOME", saved_xdg.empty() ? nullptr : saved_xdg.c_str());
  put("HOME", saved_home.empty() ? nullptr : saved_home.c_str());
}

// The cache keeps the entries of the files used last, each only for its own file.
TEST(IndexCache, KeepsTheFilesUsedLastEachUnderItsOwnPath) {
  TempDir dir;
  const std::string folder = dir.Path("cache");
  CachedIndex entry{"time", "stamp", {}};
  ResetPostIndex(entry.index);
  entry.index.run[0] = {'0', 0, 9};
  auto data = [&](int i) { return dir.Write("f" + std::to_string(i) + ".csv", "x"); };
  ASSERT_TRUE(StoreCachedIndex(folder, data(0), entry));
  for (const auto& e : std::filesystem::directory_iterator(folder))  // the oldest by far
    std::filesystem::last_write_time(e.path(), std::filesystem::last_write_time(e.path()) - std::chrono::hours(24));
  for (int i = 1; i <= kCachedIndexesMax; ++i) ASSERT_TRUE(StoreCachedIndex(folder, data(i), entry));
  EXPECT_FALSE(LoadCachedIndex(folder, data(0)));
  for (int i = 1; i <= kCachedIndexesMax; ++i) {
    const std::optional<CachedIndex> got = LoadCachedIndex(folder, data(i));
    ASSERT_TRUE(got) << i;
    EXPECT_EQ(got->index, entry.index);
    EXPECT_EQ(got->stamp, "stamp");
  }
  EXPECT_FALSE(LoadCachedIndex(folder, dir.Path("missing.csv")));
  EXPECT_FALSE(StoreCachedIndex("", data(1), entry));
}

TEST(IniReader, LooksUpLikeTheProfileFunctions) {
  IniReader ini("[A]\r\nk=1\r\nK=2\r\n[b]\r\nname = \"quoted value\" \r\nneg=-42\r\nbig=99999999999\r\n[a]\r\nx=3\r\n");
  EXPECT_EQ(ini.GetInt("a", "k", 7), 1);  // case-blind, first one wins
  EXPECT_EQ(ini.GetInt("A", "x", 7), 3);
  EXPECT_EQ(ini.Get("B", "NAME").value_or("?"), "quoted value");
  EXPECT_EQ(ini.GetInt("b", "neg", 0), -42);
  EXPECT_EQ(ini.GetInt("b", "big", 0), 2147483647);
  EXPECT_EQ(ini.GetInt("b", "missing", 7), 7);
  EXPECT_FALSE(ini.Get("c", "k").has_value());
}

}  // namespace
}  // namespace tovra::test
