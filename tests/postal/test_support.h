// Test doubles and helpers of the postal tests: a recording view, CP932 text from UTF-8
// literals, temporary data files and generated data lines.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "row_order.h"
#include "searches.h"
#include "sjis.h"

namespace tovra::test {


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

// A settings record pointing at the given files, no index, hyphen on.
Settings SettingsFor(const std::string& ken_all, const std::string& jigyosyo);

// Two small data files with both indexes built, searched through a recording view.
class IndexedFilesFixture : public ::testing::Test {
 protected:
  // Writes ken.csv and jig.csv, points the settings at them and builds both indexes.
  void UseFiles(const std::vector<std::string>& ken_lines, const std::vector<std::string>& jig_lines) {
    ken = dir.Write("ken.csv", Lines(ken_lines));
    jig = dir.Write("jig.csv", Lines(jig_lines));
    settings = SettingsFor(ken, jig);
    ASSERT_TRUE(BuildPostIndex(ctx, PostFile::kKenAll));
    ASSERT_TRUE(BuildPostIndex(ctx, PostFile::kJigyosyo));
  }

  TempDir dir;
  std::string ken, jig;
  RecordingView view;
  Settings settings;
  SearchContext ctx{view, settings};
};

}  // namespace tovra::test
