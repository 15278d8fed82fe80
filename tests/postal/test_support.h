// Test doubles and helpers of the postal tests: a recording view, temporary data files and
// generated data lines (CP932 text from UTF-8 literals comes from sjis.h).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "collecting_view.h"
#include "searches.h"
#include "sjis.h"

namespace tovra::test {

// The collecting view, with what the tests look at besides: progress and messages.
class RecordingView : public CollectingView {
 public:
  void SetProgressRange(int low, int high) override { range = {low, high}; }
  void StepProgress() override { ++steps; }
  void SetProgressPos(int pos) override { last_pos = pos; }
  void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
  void ShowIndexNotice() override { ++notices_shown; }
  void HideIndexNotice() override { ++notices_hidden; }

  // One column of the sorted rows.
  std::vector<std::string> Column(int c) const {
    std::vector<std::string> out;
    for (const ResultRow& r : Rows()) out.push_back(r.columns[static_cast<std::size_t>(c)]);
    return out;
  }

  std::pair<int, int> range{0, 0};
  int steps = 0;
  int last_pos = -1;
  Business business = Business::kLeaveOut;  // what the front end passes as the business data switch
  std::vector<std::string> messages;
  int notices_shown = 0;
  int notices_hidden = 0;
};

// A scratch directory removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Writes bytes; returns the path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path dir_;
};

// The whole file as bytes ("" when it cannot be read).
std::string ReadAll(const std::string& path);

// What tells a file from the one that replaced it: inode, type and mode, size; of a link
// itself, not of its target. All zero when there is nothing at `path`.
struct FileIdentity {
  std::uint64_t inode = 0;
  std::uint32_t mode = 0;
  std::int64_t size = 0;
  bool operator==(const FileIdentity&) const = default;
};
FileIdentity IdentityOf(const std::string& path);

// One KEN_ALL.CSV line in the published layout (UTF-8 in, CP932 out, no line end).
std::string KenLine(const std::string& dantai, const std::string& old_code, const std::string& code,
                    const std::string& pref, const std::string& city, const std::string& town,
                    const std::string& city_kana = "ｼ", const std::string& town_kana = "ﾁｮｳ");
// One JIGYOSYO.CSV line (UTF-8 in, CP932 out, no line end).
std::string JigLine(const std::string& dantai, const std::string& name_kana, const std::string& name,
                    const std::string& pref, const std::string& city, const std::string& town,
                    const std::string& rest, const std::string& code, const std::string& old_code);
// Lines joined with an end of line.
std::string Lines(const std::vector<std::string>& lines, const std::string& eol = "\r\n");

// A settings record pointing at the given files, no index, hyphen on, the telephone tables
// of 2003 (postal rows without MA columns).
Settings SettingsFor(const std::string& ken_all, const std::string& jigyosyo);

// Two small data files with both indexes built, searched through a recording view.
class IndexedFilesFixture : public ::testing::Test {
 protected:
  // Writes ken.csv and jig.csv, points the settings at them and builds both indexes.
  void UseFiles(const std::vector<std::string>& ken_lines, const std::vector<std::string>& jig_lines) {
    ken = dir.Write("ken.csv", Lines(ken_lines));
    jig = dir.Write("jig.csv", Lines(jig_lines));
    settings = SettingsFor(ken, jig);
    ASSERT_EQ(BuildPostIndex(ctx, PostFile::kKenAll), SearchStatus::kOk);
    ASSERT_EQ(BuildPostIndex(ctx, PostFile::kJigyosyo), SearchStatus::kOk);
  }

  TempDir dir;
  std::string ken, jig;
  RecordingView view;
  Settings settings;
  SearchContext ctx{view, settings};
};

}  // namespace tovra::test
