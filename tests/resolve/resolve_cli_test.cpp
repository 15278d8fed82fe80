// tovra-search resolve end to end: operands, a stream on standard input, a CSV column.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

const std::string kData = std::string(" --ken ") + POSTAL_DATA_DIR + "/ken_all.csv --jig " + POSTAL_DATA_DIR +
                          "/jigyosyo.csv --ini /tmp/resolve_cli_test.ini";

test_process::Result Shell(const std::string& command) {
  return test_process::Run("/bin/sh", {"-c", command}, "C.UTF-8");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ResolveCommand, OneRowPerInputLineInInputOrder) {
  const auto r = Shell("printf '港区芝2-10-2\\n\\nほげ\\n府中市宮西町1-1\\n港区芝2—10—2 𠮷ビル\\n' | " TOVRA_SEARCH " resolve" + kData);
  ASSERT_EQ(r.code, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_TRUE(lines[0].starts_with("港区芝2-10-2\t4\t")) << lines[0];
  EXPECT_NE(lines[0].find("\t1050014\t"), std::string::npos);
  EXPECT_TRUE(lines[1].starts_with("\t0")) << lines[1];  // an empty line is a level-0 row
  EXPECT_TRUE(lines[2].starts_with("ほげ\t0")) << lines[2];
  EXPECT_NE(lines[3].find("\t1830022\t"), std::string::npos);
  // Characters CP932 lacks (a dash, a rare kanji) neither stop the line nor leave the input.
  EXPECT_TRUE(lines[4].starts_with("港区芝2—10—2 𠮷ビル\t4\t1050014")) << lines[4];
}

TEST(ResolveCommand, ACustomerListGetsItsColumnsAppended) {
  const auto r = Shell("printf 'name,address\\r\\n\"Sato, K\",\"大阪府高槻市奈佐原２丁目１－２\"\\r\\nIto,\\r\\n' | " TOVRA_SEARCH
                       " resolve --column 2 --header" + kData);
  ASSERT_EQ(r.code, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[0].starts_with("name,address,level,postcode")) << lines[0];
  EXPECT_TRUE(lines[1].starts_with("\"Sato, K\",大阪府高槻市奈佐原２丁目１－２,4,5691041")) << lines[1];
  EXPECT_TRUE(lines[2].starts_with("Ito,,0,,,")) << lines[2];
}

TEST(ResolveCommand, JsonIsOneObjectPerLineAndUsageErrorsExit2) {
  const auto json = Shell(TOVRA_SEARCH " resolve --format json 東京都千代田区丸の内2-7-2 伊達市" + kData);
  ASSERT_EQ(json.code, 0) << json.err;
  const auto lines = Lines(json.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].starts_with("{\"input\": \"東京都千代田区丸の内2-7-2\", \"level\": \"4\"")) << lines[0];
  EXPECT_NE(lines[1].find("\"candidates\": \"北海道伊達市 福島県伊達市\""), std::string::npos);
  EXPECT_EQ(Shell(TOVRA_SEARCH " resolve --column 0" + kData).code, 2);
  EXPECT_EQ(Shell(TOVRA_SEARCH " resolve --column 1 港区" + kData).code, 2);
  EXPECT_EQ(Shell(TOVRA_SEARCH " resolve 港区 --ken /nonexistent.csv").code, 1);
}

}  // namespace
