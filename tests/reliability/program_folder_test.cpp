// A program folder that is copied, moved or installed: its settings file names no folder for the
// default data, a stored default of another folder is not followed, and a folder the user cannot
// write keeps its settings in the user's own config directory.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "test_support.h"

namespace tovra::test {
namespace {

std::string Folder(const TempDir& tmp, const std::string& name) {
  std::filesystem::create_directories(tmp.Path(name + "/data"));
  return tmp.Path(name) + "/";
}

TEST(ProgramFolder, StoredDataPathsAreResolvedForThisFolder) {
  TempDir tmp;
  const std::string self = Folder(tmp, "self");
  const std::string built = Folder(tmp, "built");  // a program folder: it holds tovra-search
  tmp.Write("built/tovra-search", "");
  tmp.Write("built/data/ken_all.csv", "x");
  const std::string withIni = Folder(tmp, "withini");
  std::filesystem::create_directories(tmp.Path("withini/ini"));
  tmp.Write("withini/data/ken_all.csv", "x");
  const std::string plain = Folder(tmp, "plain");  // just a folder of data the user chose
  tmp.Write("plain/data/ken_all.csv", "x");
  tmp.Write("plain/data/ken2.csv", "x");

  struct Case {
    std::string stored;
    std::string expected;
  } cases[] = {
      {self + "data/ken_all.csv", self + "data/ken_all.csv"},
      {built + "data/ken_all.csv", self + "data/ken_all.csv"},
      {withIni + "data/ken_all.csv", self + "data/ken_all.csv"},
      {tmp.Path("gone/data/ken_all.csv"), self + "data/ken_all.csv"},  // the build tree was removed
      {plain + "data/ken_all.csv", plain + "data/ken_all.csv"},
      {plain + "data/ken2.csv", plain + "data/ken2.csv"},
      {tmp.Path("gone/data/other.csv"), tmp.Path("gone/data/other.csv")},  // reported as missing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DataPathInThisFolder(c.stored, self, "data/ken_all.csv"), c.expected) << c.stored;
  }
  EXPECT_EQ(DataPathInThisFolder(built + "data/jigyosyo.csv", self, "data/jigyosyo.csv"),
            self + "data/jigyosyo.csv");
}

TEST(ProgramFolder, ASettingsFileCopiedToAnotherFolderUsesThatFoldersData) {
  TempDir tmp;
  const std::string first = Folder(tmp, "first");
  const std::string second = Folder(tmp, "second");
  std::filesystem::create_directories(tmp.Path("first/ini"));
  std::filesystem::create_directories(tmp.Path("second/ini"));

  Settings s = DefaultSettings(first);
  s.window.left = 7;
  ASSERT_TRUE(SaveSettings(SettingsPath(first), s, nullptr));
  const std::string text = ReadAll(SettingsPath(first));
  EXPECT_NE(text.find("PostAllFile=\r\n"), std::string::npos);
  EXPECT_NE(text.find("PostJigFile=\r\n"), std::string::npos);
  EXPECT_EQ(text.find(first), std::string::npos) << "the file names its folder";

  std::filesystem::copy_file(SettingsPath(first), SettingsPath(second));
  Settings there;
  LoadSettings(SettingsPath(second), second, there);
  EXPECT_EQ(there.window.left, 7);
  EXPECT_EQ(there.ken_all_path, second + "data/ken_all.csv");
  EXPECT_EQ(there.jigyosyo_path, second + "data/jigyosyo.csv");

  // A file the user chose is stored and followed as it is.
  s.ken_all_path = tmp.Path("mine.csv");
  ASSERT_TRUE(SaveSettings(SettingsPath(first), s, nullptr));
  LoadSettings(SettingsPath(first), second, there);
  EXPECT_EQ(there.ken_all_path, tmp.Path("mine.csv"));
}

TEST(ProgramFolder, AFolderTheUserCannotWriteKeepsSettingsInTheUsersConfigDirectory) {
  TempDir tmp;
  const std::string installed = Folder(tmp, "installed");
  std::filesystem::create_directories(tmp.Path("installed/ini"));
  EXPECT_EQ(SettingsPath(installed), installed + "ini/tovra.ini");  // writable: portable

  ASSERT_EQ(chmod(tmp.Path("installed/ini").c_str(), 0555), 0);
  if (access(tmp.Path("installed/ini").c_str(), W_OK) == 0) {
    chmod(tmp.Path("installed/ini").c_str(), 0755);
    GTEST_SKIP() << "this user writes read-only directories (root)";
  }
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", tmp.Path("config").c_str(), 1);
  const std::string path = SettingsPath(installed);
  EXPECT_EQ(path, tmp.Path("config") + "/tovra/tovra.ini");
  struct stat st {};
  ASSERT_EQ(stat(tmp.Path("config/tovra").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(SaveSettings(path, DefaultSettings(installed), nullptr));
  if (old) setenv("XDG_CONFIG_HOME", saved.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
  chmod(tmp.Path("installed/ini").c_str(), 0755);
}

}  // namespace
}  // namespace tovra::test
