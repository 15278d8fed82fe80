// Printing result rows: TSV (no header), CSV (RFC 4180 with the column titles) or JSON.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "search_view.h"

namespace tovra::cli {

enum class Format { kTsv, kCsv, kJson };

// Rows are CP932; they are printed in the terminal's charset (JSON: UTF-8), each field with the
// escapes of its format (field_text.h).
void PrintRows(std::FILE* out, Format format, const std::vector<ResultRow>& rows);
void PrintLines(std::FILE* out, Format format, const std::vector<std::string>& lines);

}  // namespace tovra::cli
