#include "field_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kFffd = "\xEF\xBF\xBD";
const std::string kLong = "旭川市 0166 ｱｻﾋｶﾜ 北海道";  // 40 bytes

TEST(JsonString, EscapesWhatJsonForbidsAndKeepsUtf8AsItIs) {
  EXPECT_EQ(clitext::JsonString(""), "\"\"");
  EXPECT_EQ(clitext::JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(clitext::JsonString("\n\r\t"), "\"\\n\\r\\t\"");
  EXPECT_EQ(clitext::JsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
  EXPECT_EQ(clitext::JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
  EXPECT_EQ(clitext::JsonString("旭川 0166"), "\"旭川 0166\"");
}

// What each format makes of the characters that could break a line or drive a terminal.
struct FieldCase {
  std::string in, tsv, csv;
};

TEST(FieldText, TsvEscapesAndCsvQuotesEveryControlCharacter) {
  const FieldCase cases[] = {
      {"", "", ""},
      {"旭川 0166", "旭川 0166", "旭川 0166"},
      {"a\tb", "a\\tb", "a" + kFffd + "b"},
      {"a\r\nb", "a\\r\\nb", "\"a\r\nb\""},
      {"C:\\ソ", "C:\\\\ソ", "C:\\ソ"},
      {"\x1b]0;title\x07", kFffd + "]0;title" + kFffd, kFffd + "]0;title" + kFffd},
      {std::string("a\0b\x7f", 4), "a" + kFffd + "b" + kFffd, "a" + kFffd + "b" + kFffd},
      {"a,\"b\"", "a,\"b\"", "\"a,\"\"b\"\"\""},
      {"\"\x1b\n", "\"" + kFffd + "\\n", "\"\"\"" + kFffd + "\n\""},
      // Long fields, passed over sixteen bytes at a time up to the block with the byte.
      {kLong + "\t" + kLong, kLong + "\\t" + kLong, kLong + kFffd + kLong},
      {kLong + kLong + "\\", kLong + kLong + "\\\\", kLong + kLong + "\\"},
      {kLong + "\"" + kLong + "\x7f", kLong + "\"" + kLong + kFffd, "\"" + kLong + "\"\"" + kLong + kFffd + "\""},
  };
  for (const FieldCase& c : cases) {
    EXPECT_EQ(clitext::TsvField(c.in), c.tsv) << c.in;
    EXPECT_EQ(clitext::CsvField(c.in), c.csv) << c.in;
  }
}

// Several rows at once give the lines one row at a time gives.
TEST(FieldText, RowsAtOnceAreTheLinesOfEachRow) {
  const std::vector<std::vector<std::string>> rows = {
      {"0600001", "\x96\x6B\x8A\x43\x93\xB9", ""},
      {"a\tb", "C:\\\x83\x5C", "x,\"y\""},
      {"\x95", "\x5C", "\xFF"},
      {},
  };
  std::vector<std::span<const std::string>> spans(rows.begin(), rows.end());
  std::string tsv, csv;
  for (const auto& row : rows) {
    tsv += clitext::TsvLine(row) + "\n";
    csv += clitext::CsvLine(row) + "\r\n";
  }
  EXPECT_EQ(clitext::TsvLines(spans, "\n"), tsv);
  EXPECT_EQ(clitext::CsvLines(spans, "\r\n"), csv);
}

}  // namespace
