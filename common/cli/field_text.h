// How the command-line tools write a field in each of their output formats. No field can
// break its line, and none reaches the terminal as a control character: a hostile data file
// could otherwise split a row or send escape sequences to the terminal.
//
// The rules work on UTF-8, where a byte below 0x20 and 0x7F are always those characters; in
// CP932 a backslash byte can be the second half of a character.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace clitext {

// A TSV field: TAB, CR, LF and backslash as \t, \r, \n and \\; any other control character
// (C0 or DEL) as U+FFFD, so that the line shows that something was there.
std::string TsvField(std::string_view utf8);

// An RFC 4180 field: quoted (quotes doubled) when it holds a comma, a quote, CR or LF; any
// other control character (TAB included) as U+FFFD.
std::string CsvField(std::string_view utf8);

// `utf8` as a JSON string literal, quotes included: quote and backslash escaped, control
// characters (C0 and DEL) written as \n, \r, \t or \u00XX.
std::string JsonString(std::string_view utf8);

// CP932 fields as one TSV or CSV line in the terminal's charset, without its line end.
std::string TsvLine(std::span<const std::string> cp932_fields);
std::string CsvLine(std::span<const std::string> cp932_fields);
// Rows of CP932 fields as such lines, each followed by `eol`: the same text, with one
// conversion for all the rows instead of one per field.
std::string TsvLines(std::span<const std::span<const std::string>> rows, std::string_view eol);
std::string CsvLines(std::span<const std::span<const std::string>> rows, std::string_view eol);

}  // namespace clitext
