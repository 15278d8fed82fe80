// The texts of the distance dialog that need no window: candidate names from a lookup
// list, the record's fixed text fields, and the result message with the dialog's result.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "meklan.h"

namespace meklan_dialog {

// Longest key the candidate lookup reads, and longest text an end of MKDISTANCE holds.
constexpr std::size_t kKeyMaxBytes = MEKLAN_KEY_MAX;
constexpr std::size_t kEndMaxBytes = sizeof(MKDISTANCE::fromName) - 1;

// The names of a "$"-terminated name list, each once, in the order of first appearance.
std::vector<std::string> DistinctNames(std::string_view nameList);

// The text of a fixed char field, up to its first NUL or its size, whichever comes first,
// and never ending inside a double-byte character.
std::string FieldText(const char* field, std::size_t size);
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return FieldText(field, N);
}

// Stores text into a fixed char field: cut to size - 1 bytes on a character boundary, NUL.
void StoreField(char* field, std::size_t size, std::string_view text);
template <std::size_t N>
void StoreField(char (&field)[N], std::string_view text) {
  StoreField(field, N, text);
}

// The distance for ISDN digital mode of a pair under the remote-island rule: that rule does
// not cover digital-mode calls, which are charged by the ordinary distance of the pair.
int IsdnDigitalModeKm(const MKDISTANCE& rec);

struct DistanceOutcome {
  std::string message;  // UTF-8, for the result box
  int result;           // what the dialog returns
};

// The result message and the dialog's result for a record that MEKLAN_GetDistance filled.
DistanceOutcome DescribeDistance(const MKDISTANCE& rec);

// The one failure message, UTF-8, and the caption of every box of the dialog.
extern const char kNotFoundMessage[];
extern const char kMessageCaption[];

}  // namespace meklan_dialog
