// JSON output of the command-line tools.
#pragma once

#include <string>
#include <string_view>

namespace clitext {

// `utf8` as a JSON string literal, quotes included: quote and backslash escaped, control
// characters written as \n, \r, \t or \u00XX.
std::string JsonString(std::string_view utf8);

}  // namespace clitext
