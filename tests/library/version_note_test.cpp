// The version texts live in libmeklan.so as an ELF note, and `meklan info` shows what the
// library file it loaded says, not texts of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "child_process.h"
#include "version_note.h"

namespace {

using Texts = std::vector<std::pair<std::string, std::string>>;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Replaced(std::string bytes, const std::string& from, const std::string& to) {
  const std::size_t at = bytes.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) bytes.replace(at, from.size(), to);
  return bytes;
}

struct Scratch {
  std::filesystem::path dir;
  Scratch() {
    char tmpl[] = "/tmp/meklan-note-XXXXXX";
    dir = mkdtemp(tmpl);
  }
  ~Scratch() { std::filesystem::remove_all(dir); }
  std::string Path(const char* name) const { return (dir / name).string(); }
};

TEST(VersionNote, TheLibraryFileCarriesTheVersionResourceTexts) {
  const auto texts = meklan::cli::ReadVersionNote(MEKLAN_LIBRARY_FILE);
  ASSERT_TRUE(texts.has_value());
  EXPECT_EQ(*texts, (Texts{{"FileVersion", "3190"},
                           {"ProductVersion", "3.19"},
                           {"Comments", "MA間距離計算"},
                           {"FileDescription", "MEKLAN"},
                           {"InternalName", "MEKLAN"},
                           {"ProductName", "MEKLAN"}}));
}

TEST(VersionNote, FilesWithoutTheNoteGiveNothing) {
  Scratch scratch;
  const std::string library = ReadFile(MEKLAN_LIBRARY_FILE);
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"text", "FileVersion=3190\nnot an ELF file\n"},
      {"truncated", library.substr(0, 4096)},
      {"foreign-owner", Replaced(library, std::string("MEKLAN\0\0FileVersion", 19),
                                 std::string("MEKLAX\0\0FileVersion", 19))},
  };
  for (const auto& c : cases) {
    WriteFile(scratch.Path(c.name), c.bytes);
    EXPECT_FALSE(meklan::cli::ReadVersionNote(scratch.Path(c.name)).has_value()) << c.name;
  }
  EXPECT_FALSE(meklan::cli::ReadVersionNote(scratch.Path("missing")).has_value());
}

TEST(VersionNote, InfoShowsWhatTheLoadedLibrarySays) {
  Scratch scratch;
  const std::string soname = "libmeklan.so.3";
  WriteFile(scratch.Path(soname.c_str()),
            Replaced(ReadFile(MEKLAN_LIBRARY_FILE), "FileVersion=3190", "FileVersion=9876"));
  setenv("LD_LIBRARY_PATH", scratch.dir.c_str(), 1);
  const test_process::Result r = test_process::Run(MEKLAN_EXECUTABLE, {"info"}, "C.UTF-8");
  unsetenv("LD_LIBRARY_PATH");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("library                 " + scratch.Path(soname.c_str())), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("FileVersion             9876\n"), std::string::npos) << r.out;
}

}  // namespace
