// Test doubles and helpers of the postal tests: a recording view, CP932 text from UTF-8
// literals, temporary data files and generated data lines.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cp932.h"
#include "collecting_view.h"
#include "searches.h"

namespace tovra::test {

// CP932 bytes of a UTF-8 literal.
inline std::string J(const std::string& utf8) {
  auto converted = cp932::FromUtf8(utf8);
  EXPECT_TRUE(converted.has_value()) << utf8;
  return converted.value_or(std::string());
}
inline std::string U(const std::string& cp932_text) { return cp932::ToUtf8(cp932_text); }

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
  bool business = false;  // what the front end passes as the business data switch
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

// A settings record pointing at the given files, no index, hyphen on.
Settings SettingsFor(const std::string& ken_all, const std::string& jigyosyo);

}  // namespace tovra::test
