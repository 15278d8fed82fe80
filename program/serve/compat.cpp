#include "compat.h"

#include <algorithm>

namespace tovra::serve {
namespace {

// JSONP wraps the object in a call of the page's function.
Reply Finish(std::string json, const std::string& callback) {
  if (callback.empty()) return Reply{200, json + "\n"};
  return Reply{200, callback + "(" + json + ")\n", "text/javascript; charset=utf-8"};
}

std::string Digits(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

// The prefecture's JIS number without leading zero, from the local-government code.
std::string PrefCode(std::string_view dantai) {
  if (dantai.size() < 2) return "";
  return std::to_string((dantai[0] - '0') * 10 + (dantai[1] - '0'));
}

std::string Result(const ResultRow& row) {
  const auto& c = row.columns;
  return "{\"address1\":" + JsonCp932(c[kColPrefecture]) + ",\"address2\":" + JsonCp932(c[kColCity]) +
         ",\"address3\":" + JsonCp932(c[kColTown]) + ",\"kana1\":" + JsonCp932(c[kColPrefectureKana]) +
         ",\"kana2\":" + JsonCp932(c[kColCityKana]) + ",\"kana3\":" + JsonCp932(c[kColTownKana]) +
         ",\"prefcode\":" + JsonText(PrefCode(c[kColDantaiCode])) +
         ",\"zipcode\":" + JsonText(Digits(c[kColPostCode])) + "}";
}

}  // namespace

Reply CompatResults(const Query& query, const std::vector<ResultRow>& rows) {
  std::string results = "null";
  if (!rows.empty()) {
    results = "[";
    const std::size_t count = std::min(rows.size(), static_cast<std::size_t>(query.limit));
    for (std::size_t i = 0; i < count; ++i) results += (i == 0 ? "" : ",") + Result(rows[i]);
    results += "]";
  }
  return Finish("{\"message\":null,\"results\":" + results + ",\"status\":200}", query.callback);
}

Reply CompatError(const QueryError& error, const std::string& callback) {
  return Finish("{\"message\":" + JsonText(error.message) + ",\"results\":null,\"status\":" +
                    std::to_string(error.status) + "}",
                callback);
}

}  // namespace tovra::serve
