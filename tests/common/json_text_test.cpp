#include "json_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(JsonString, EscapesWhatJsonForbidsAndKeepsUtf8AsItIs) {
  EXPECT_EQ(clitext::JsonString(""), "\"\"");
  EXPECT_EQ(clitext::JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(clitext::JsonString("\n\r\t"), "\"\\n\\r\\t\"");
  EXPECT_EQ(clitext::JsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\x7f\"");
  EXPECT_EQ(clitext::JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
  EXPECT_EQ(clitext::JsonString("旭川 0166"), "\"旭川 0166\"");
}

}  // namespace
