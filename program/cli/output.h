// Printing result rows: TSV (no header), CSV (RFC 4180 with the column titles) or JSON.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "search_view.h"

namespace tovra::cli {

enum class Format { kTsv, kCsv, kJson };

// Rows are CP932; they are printed in the terminal's charset (JSON: UTF-8), each field with the
// escapes of its format (field_text.h).
void PrintRows(std::FILE* out, Format format, const std::vector<ResultRow>& rows);
void PrintLines(std::FILE* out, Format format, const std::vector<std::string>& lines);

// The one JSON form of a result row: an object with the twelve columns' names, UTF-8.
// JsonRowObjects writes rows as array elements ("\n  {...}", a comma before each but the
// first of the whole array, which `first` tracks); JsonRowArray the whole array.
std::string JsonRowObjects(std::span<const std::span<const std::string>> rows, bool& first);
std::string JsonRowArray(const std::vector<ResultRow>& rows);

}  // namespace tovra::cli
