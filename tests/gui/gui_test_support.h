// Shared pieces of the desktop program's tests: a private program folder, a recording stand-in
// for the engine calls, message-box capture, and CP932 helpers.
#pragma once

#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "main_dialog.h"
#include "message_box.h"
#include "sjis.h"

namespace tovra::test {


// A program folder of its own: "<tmp>/" with ini/ in it.
struct ProgramFolder {
  QTemporaryDir dir;
  ProgramFolder() { QDir(dir.path()).mkpath("ini"); }
  std::string path() const { return dir.path().toStdString() + "/"; }
};

// Every engine call as text, e.g. "SearchPostCode 0600001 0"; what the fakes add is set by
// the test (rows per call, cities for a prefecture, whether a data file exists).
struct Recorder {
  std::vector<std::string> calls;
  std::vector<std::string> cityScanPrefectures;  // the prefecture each city-rows scan was given (UTF-8)
  std::vector<ResultRow> rowsPerSearch;
  std::vector<std::string> cities;
  bool kenAllExists = true;
  bool jigyosyoExists = true;

  void Fill(SearchContext& c) {
    for (const ResultRow& row : rowsPerSearch) c.view.AddRow(row);
  }
  SearchCalls Calls() {
    SearchCalls s;
    s.searchPostCode = [this](SearchContext& c, std::string_view k, PostCodeMatch m) {
      calls.push_back("SearchPostCode " + Utf8(k) + " " + std::to_string(static_cast<int>(m)));
      Fill(c);
      return SearchResult{};
    };
    s.searchJigPostCode = [this](SearchContext&, std::string_view k, PostCodeMatch m) {
      calls.push_back("SearchJigPostCode " + Utf8(k) + " " + std::to_string(static_cast<int>(m)));
      return SearchResult{};
    };
    s.scanKenAll = [this](SearchContext& c, std::string_view k, ScanMode m, WordMatch match, std::string_view p) {
      if (m == ScanMode::kCity) cityScanPrefectures.push_back(Utf8(p));
      calls.push_back("ScanKenAll " + Utf8(k) + " " + std::to_string(static_cast<int>(m)) + " " +
                      std::to_string(static_cast<int>(match)));
      if (m == ScanMode::kCityList) {
        for (const std::string& city : cities) c.view.AddCity(Sjis(city.c_str()));
      } else {
        Fill(c);
      }
      return SearchResult{};
    };
    s.scanJigyosyo = [this](SearchContext&, std::string_view k, ScanMode m, WordMatch match, std::string_view p) {
      if (m == ScanMode::kCity) cityScanPrefectures.push_back(Utf8(p));
      calls.push_back("ScanJigyosyo " + Utf8(k) + " " + std::to_string(static_cast<int>(m)) + " " +
                      std::to_string(static_cast<int>(match)));
      return SearchResult{};
    };
    s.searchByAreaCode = [this](SearchContext& c, std::string_view k, AreaDisplay d, bool) {
      calls.push_back("SearchByAreaCode " + Utf8(k) + " " + std::to_string(static_cast<int>(d)));
      Fill(c);
      return SearchResult{};
    };
    s.checkPostIndex = [this](SearchContext&, PostFile f) {
      calls.push_back(f == PostFile::kKenAll ? "CheckPostIndex KEN_ALL" : "CheckPostIndex JIGYOSYO");
      return f == PostFile::kKenAll ? kenAllExists : jigyosyoExists;
    };
    return s;
  }
};

// Captures every message box while it lives.
struct MessageCapture {
  std::vector<ui::MessageBoxRequest> seen;
  MessageCapture() {
    ui::SetMessageBoxHook([this](const ui::MessageBoxRequest& r) { seen.push_back(r); });
  }
  ~MessageCapture() { ui::SetMessageBoxHook(nullptr); }
};

inline void Settle() {
  for (int i = 0; i < 4; ++i) QApplication::processEvents();
}

// A result row from UTF-8 texts by column.
inline ResultRow Row(std::initializer_list<std::pair<int, const char*>> cells) {
  ResultRow row;
  for (const auto& [column, text] : cells) row.columns[column] = Sjis(text);
  return row;
}

}  // namespace tovra::test
