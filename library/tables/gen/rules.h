// Rules every MA table obeys, whichever edition it belongs to.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "generator.h"
#include "tables/tables.h"

namespace meklan::gen {

// The longest MA name in bytes: a pair row keeps a name with its NUL.
constexpr std::size_t kMaxMaNameBytes = sizeof(MKPAIR::nameA) - 1;

// Required texts, branch, prefecture number, area code and prefix-list syntax of one record.
void CheckMaRecord(const std::string& file, const MaRow& r, Diagnostics& diag);
// (maName, branch) unique; one name's records contiguous and agreeing on everything but
// their numbers.
void CheckMaNames(const std::string& file, const std::vector<MaRow>& rows, Diagnostics& diag);

// A C++ string literal of CP932 bytes (octal escapes, never swallowing a following digit).
std::string Literal(const std::string& bytes);
// Writes `text` to `path` through a temporary file; false (reported on `err`) on failure.
bool WriteFile(const std::string& path, const std::string& text, std::ostream& err);
// Prints every message and the closing line; true when there was anything to refuse.
bool ReportRefusal(const Diagnostics& diag, const std::string& dir, std::ostream& err);
// One MKMA initializer line.
void EmitMaRecord(std::ostream& out, const MaRow& r);

}  // namespace meklan::gen
