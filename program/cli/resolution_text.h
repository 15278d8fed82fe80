// How a resolution of a written address is written: its fields in UTF-8 and a JSON object of
// them. tovra-search resolve and tovra-serve's /api/resolve both print it this way.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resolve.h"

namespace tovra::cli {

// The names of a resolution's fields: the input first, then what ResolutionFields gives.
std::span<const std::string_view> ResolutionFieldNames();

// The fields of a resolution in UTF-8, from level on (everything but the input).
std::vector<std::string> ResolutionFields(const resolve::Resolution& r);

// {"key": "value", ...} on one line; a field without a key is named fieldN (from 1).
std::string JsonObject(const std::vector<std::string>& keys, const std::vector<std::string>& utf8_fields);

// The JSON object of one resolution: the input (UTF-8) and the fields above.
std::string ResolutionJson(const std::string& utf8_input, const resolve::Resolution& r);

}  // namespace tovra::cli
