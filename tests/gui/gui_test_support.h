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

// Every engine call as text, e.g. "FindPostCode 060-0001 0 1" (key, match, business file);
// what the fakes add is set by the test (rows per call, cities for a prefecture, whether a
// data file exists).
struct Recorder {
  std::vector<std::string> calls;
  std::vector<std::string> cityScanPrefectures;  // the prefecture each city-rows search was given (UTF-8)
  std::vector<ResultRow> rowsPerSearch;
  std::vector<std::string> cities;
  bool kenAllExists = true;
  bool jigyosyoExists = true;

  static std::string Number(int n) { return std::to_string(n); }
  static std::string Number(Business b) { return b == Business::kInclude ? "1" : "0"; }
  template <typename Match>
  static std::string Number(Match m) { return std::to_string(static_cast<int>(m)); }

  SearchOutcome Fill(SearchContext& c, std::string call) {
    calls.push_back(std::move(call));
    for (const ResultRow& row : rowsPerSearch) c.view.AddRow(row);
    return {};
  }
  SearchCalls Calls() {
    SearchCalls s;
    s.findPostCode = [this](SearchContext& c, std::string_view k, PostCodeMatch m, Business b) {
      return Fill(c, "FindPostCode " + Utf8(k) + " " + Number(m) + " " + Number(b));
    };
    s.findWords = [this](SearchContext& c, std::string_view k, WordMatch m, Business b) {
      return Fill(c, "FindWords " + Utf8(k) + " " + Number(m) + " " + Number(b));
    };
    s.findDantai = [this](SearchContext& c, std::string_view k, Business b) {
      return Fill(c, "FindDantai " + Utf8(k) + " " + Number(b));
    };
    s.findAreaCode = [this](SearchContext& c, std::string_view k, AreaDisplay d, Business b) {
      return Fill(c, "FindAreaCode " + Utf8(k) + " " + Number(d) + " " + Number(b));
    };
    s.findCityRows = [this](SearchContext& c, std::string_view p, std::string_view city, Business b) {
      cityScanPrefectures.push_back(Utf8(p));
      return Fill(c, "FindCityRows " + Utf8(p) + " " + Utf8(city) + " " + Number(b));
    };
    s.listCities = [this](SearchContext& c, std::string_view p) {
      calls.push_back("ListCities " + Utf8(p));
      for (const std::string& city : cities) c.view.AddCity(Sjis(city.c_str()));
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
