// Test doubles and helpers of the postal tests: a recording view, CP932 text from UTF-8
// literals, temporary data files and generated data lines.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cp932.h"
#include "row_order.h"
#include "searches.h"

namespace tovra::test {

// CP932 bytes of a UTF-8 literal.
inline std::string J(const std::string& utf8) {
  auto converted = cp932::FromUtf8(utf8);
  EXPECT_TRUE(converted.has_value()) << utf8;
  return converted.value_or(std::string());
}
inline std::string U(const std::string& cp932_text) { return cp932::ToUtf8(cp932_text); }

class RecordingView : public SearchView {
 public:
  void AddRow(const ResultRow& row) override { rows_.push_back(row); }
  void SetProgressRange(int low, int high) override { range = {low, high}; }
  void SetProgressStep(int) override {}
  void StepProgress() override { ++steps; }
  void SetProgressPos(int pos) override { last_pos = pos; }
  std::string SelectedPrefecture() override { return prefecture; }
  bool SelectPrefecture(const std::string& name) override {
    if (PrefectureIndex(name) < 0) return false;
    prefecture = name;
    return true;
  }
  void ClearCities() override { cities.clear(); }
  void AddCity(const std::string& city) override { cities.push_back(city); }
  void ClearWorkList() override { work.clear(); }
  void AddWorkItem(const std::string& item) override { InsertWorkItem(work, item); }
  int WorkItemCount() override { return static_cast<int>(work.size()); }
  std::string WorkItem(int i) override { return work.at(static_cast<std::size_t>(i)); }
  bool UseBusinessData() override { return business; }
  void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
  void ShowIndexNotice() override { ++notices_shown; }
  void HideIndexNotice() override { ++notices_hidden; }

  // Rows in the result list's order.
  std::vector<ResultRow> Rows() const {
    std::vector<ResultRow> rows = rows_;
    SortRows(rows);
    return rows;
  }
  // One column of the sorted rows.
  std::vector<std::string> Column(int c) const {
    std::vector<std::string> out;
    for (const ResultRow& r : Rows()) out.push_back(r.columns[static_cast<std::size_t>(c)]);
    return out;
  }
  void ClearRows() { rows_.clear(); }

  std::pair<int, int> range{0, 0};
  int steps = 0;
  int last_pos = -1;
  std::string prefecture;
  std::vector<std::string> cities;
  std::vector<std::string> work;
  bool business = false;
  std::vector<std::string> messages;
  int notices_shown = 0;
  int notices_hidden = 0;

 private:
  std::vector<ResultRow> rows_;
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

}  // namespace tovra::test
