#include "output.h"

#include <algorithm>
#include <utility>

#include "cp932.h"
#include "field_text.h"
#include "searches.h"

namespace tovra::cli {
namespace {

constexpr const char* kJsonKeys[kColumnCount] = {
    "postcode", "dantaiCode", "areaCodes",  "maName",   "prefecture", "city",
    "town",     "prefectureKana", "cityKana", "townKana", "business",   "businessKana",
};

// Rows converted and written a batch at a time: one conversion per batch, and the memory of
// one batch's text, however many rows there are.
constexpr std::size_t kRowsPerBatch = 512;

template <typename Each>
void ForEachBatch(const std::vector<ResultRow>& rows, Each each) {
  std::vector<std::span<const std::string>> batch;
  for (std::size_t from = 0; from < rows.size(); from += kRowsPerBatch) {
    batch.clear();
    for (std::size_t r = from; r < std::min(rows.size(), from + kRowsPerBatch); ++r) batch.emplace_back(rows[r].columns);
    each(std::span<const std::span<const std::string>>(batch));
  }
}

template <typename Lines>
void WriteInBatches(std::FILE* out, const std::vector<ResultRow>& rows, Lines lines) {
  ForEachBatch(rows, [&](const auto& batch) {
    const std::string text = lines(batch);
    std::fwrite(text.data(), 1, text.size(), out);
  });
}

}  // namespace

std::string JsonRowObjects(std::span<const std::span<const std::string>> rows, bool& first) {
  std::vector<std::string_view> texts;
  for (std::span<const std::string> row : rows) texts.insert(texts.end(), row.begin(), row.end());
  const std::vector<std::string> utf8 = cp932::ToUtf8Each(texts);
  std::string objects;
  for (std::size_t k = 0; k < utf8.size(); ++k) {
    const std::size_t c = k % kColumnCount;
    if (c == 0) objects += std::exchange(first, false) ? "\n  {" : ",\n  {";
    if (c > 0) objects += ", ";
    objects += clitext::JsonString(kJsonKeys[c]);
    objects += ": ";
    objects += clitext::JsonString(utf8[k]);
    if (c + 1 == kColumnCount) objects += "}";
  }
  return objects;
}

std::string JsonRowArray(const std::vector<ResultRow>& rows) {
  std::string text = "[";
  bool first = true;
  ForEachBatch(rows, [&](const auto& batch) { text += JsonRowObjects(batch, first); });
  text += rows.empty() ? "]" : "\n]";
  return text;
}

void PrintRows(std::FILE* out, Format format, const std::vector<ResultRow>& rows) {
  switch (format) {
    case Format::kTsv:
      WriteInBatches(out, rows, [](const auto& batch) { return clitext::TsvLines(batch, "\n"); });
      break;
    case Format::kCsv: {
      std::vector<std::string> titles(ColumnTitles().begin(), ColumnTitles().end());
      std::fprintf(out, "%s\r\n", clitext::CsvLine(titles).c_str());
      WriteInBatches(out, rows, [](const auto& batch) { return clitext::CsvLines(batch, "\r\n"); });
      break;
    }
    case Format::kJson: {
      std::fputs("[", out);
      bool first = true;
      WriteInBatches(out, rows, [&first](const auto& batch) { return JsonRowObjects(batch, first); });
      std::fputs(rows.empty() ? "]\n" : "\n]\n", out);
      break;
    }
  }
}

void PrintLines(std::FILE* out, Format format, const std::vector<std::string>& lines) {
  if (format != Format::kJson) {
    // Each line is one field: a city name from a hostile file gets the escapes of a row.
    for (const std::string& line : lines) {
      const std::span<const std::string> field(&line, 1);
      const std::string shown = format == Format::kCsv ? clitext::CsvLine(field) : clitext::TsvLine(field);
      std::fprintf(out, "%s\n", shown.c_str());
    }
    return;
  }
  std::fputs("[", out);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::fprintf(out, "%s\n  %s", i == 0 ? "" : ",", clitext::JsonString(cp932::ToUtf8(lines[i])).c_str());
  }
  std::fputs(lines.empty() ? "]\n" : "\n]\n", out);
}

}  // namespace tovra::cli
