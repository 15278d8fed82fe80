#include "post_line.h"

#include <random>

#include "test_support.h"

namespace tovra::test {
namespace {

std::vector<std::string> SplitAll(const std::string& line, int count, SplitResult* result = nullptr) {
  PostRecord record;
  SplitResult r = SplitPostLine(line, count, record);
  if (result != nullptr) *result = r;
  std::vector<std::string> out;
  for (int i = 1; i <= count; ++i) out.emplace_back(record[i]);
  return out;
}

TEST(SplitPostLine, FollowsTheScanPatternRules) {
  // Leading blanks are skipped, blanks before a comma stay, quotes do not protect commas.
  auto f = SplitAll("  a , \"b,c\",d", 4);
  EXPECT_EQ(f, (std::vector<std::string>{"a ", "\"b", "c\"", "d"}));

  SplitResult r;
  SplitAll("", 3, &r);
  EXPECT_EQ(r, SplitResult::kBlank);
  SplitAll(" \t ", 3, &r);
  EXPECT_EQ(r, SplitResult::kBlank);
  SplitAll(" ,a,b", 3, &r);
  EXPECT_EQ(r, SplitResult::kLeadingComma);
}

TEST(SplitPostLine, ShortOrBrokenLinesLeaveLaterFieldsEmptyNotStale) {
  PostRecord record;
  ASSERT_EQ(SplitPostLine("1,2,3,4,5", 5, record), SplitResult::kFields);
  // Two commas in a row end the split; nothing of the previous line may survive.
  ASSERT_EQ(SplitPostLine("x,,z", 5, record), SplitResult::kFields);
  EXPECT_EQ(record[1], "x");
  for (int i = 2; i <= 5; ++i) EXPECT_EQ(record[i], "") << i;
  ASSERT_EQ(SplitPostLine("p,q", 5, record), SplitResult::kFields);
  EXPECT_EQ(record[3], "");
}

TEST(SplitPostLine, CutsLongFieldsOnACharacterBoundary) {
  std::string wide;
  for (int i = 0; i < 128; ++i) wide += Sjis("あ");  // 256 bytes
  PostRecord record;
  const std::string narrow_first = "a" + wide + ",b";
  SplitPostLine(narrow_first, 2, record);
  EXPECT_EQ(record[1], ("a" + wide).substr(0, 255));
  const std::string wide_first = wide + ",b";
  SplitPostLine(wide_first, 2, record);
  EXPECT_EQ(record[1], wide.substr(0, 254));  // byte 255 would be a lead byte alone
  EXPECT_EQ(record[2], "b");
}

// The split rules byte by byte, for lines of every length around the 64-byte blocks in which
// the commas are looked for.
std::vector<std::string> SlowSplit(const std::string& line, int count, SplitResult& result) {
  std::vector<std::string> out(static_cast<std::size_t>(count));
  std::size_t p = 0;
  result = SplitResult::kFields;
  for (int f = 0; f < count; ++f) {
    while (p < line.size() && std::string_view(" \t\n\v\f\r").find(line[p]) != std::string_view::npos) ++p;
    if (p == line.size() || line[p] == ',') {
      if (f == 0) result = p == line.size() ? SplitResult::kBlank : SplitResult::kLeadingComma;
      break;
    }
    const std::size_t stop = std::min(line.find(',', p), line.size());
    std::string text = line.substr(p, stop - p);
    if (text.size() > kFieldMax) text.resize(cp932::BoundaryAtOrBefore(text, kFieldMax));
    out[static_cast<std::size_t>(f)] = text;
    if (stop == line.size()) break;
    p = stop + 1;
  }
  return out;
}

TEST(SplitPostLine, AgreesWithTheRulesOnRandomLinesAndSoDoesTheTwoFieldSplit) {
  std::mt19937 rng(11);
  // Mostly plain fields, now and then a blank, an empty field or a long field.
  const std::vector<std::string> pieces = {"\"x\"", "12", "\x82\xa0", "abcdefghijklmnopq", " ", "\t", ",", ""};
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  for (int round = 0; round < 4000; ++round) {
    std::string line;
    const std::size_t fields = 1 + pick(18);
    for (std::size_t f = 0; f < fields; ++f) {
      if (f > 0) line += ',';
      const bool odd = pick(8) == 0;
      const std::size_t parts = odd ? pick(40) : 1 + pick(5);
      for (std::size_t i = 0; i < parts; ++i) line += pieces[odd ? pick(pieces.size()) : pick(4)];
    }
    const int count = 1 + static_cast<int>(pick(kMaxFieldCount));
    SplitResult expected_result;
    const auto expected = SlowSplit(line, count, expected_result);
    SplitResult result;
    ASSERT_EQ(SplitAll(line, count, &result), expected) << line;
    ASSERT_EQ(result, expected_result) << line;
    if (count < 2) continue;
    const int first = 1 + static_cast<int>(pick(static_cast<std::size_t>(count - 1)));
    std::string_view a = "stale", b = "stale";
    ASSERT_EQ(SplitTwoFields(line, first, count, a, b), expected_result) << line;
    EXPECT_EQ(a, expected[static_cast<std::size_t>(first - 1)]) << line;
    EXPECT_EQ(b, expected[static_cast<std::size_t>(count - 1)]) << line;
  }
}

TEST(UnquoteFields, DropsFirstAndLastByteOfFieldsWithAQuote) {
  PostRecord record;
  SplitPostLine("\"ab\",x\"y,\",\"\",plain", 5, record);
  UnquoteFields(record, 5);
  EXPECT_EQ(record[1], "ab");
  EXPECT_EQ(record[2], "\"");  // x"y loses x and y
  EXPECT_EQ(record[3], "");    // a lone quote becomes empty
  EXPECT_EQ(record[4], "");
  EXPECT_EQ(record[5], "plain");
  EXPECT_EQ(CopySubstring("abcdef", 1, 0), "");
  EXPECT_EQ(CopySubstring("abcdef", 4, 10), "ef");
}

}  // namespace
}  // namespace tovra::test

namespace tovra::test {
namespace {

// The line end of a file: CR when its first line ends in a lone CR, else LF.
char LineEnd(const std::string& text) {
  std::size_t first = text.find_first_of("\r\n");
  if (first == std::string::npos || text[first] == '\n' || first + 1 >= text.size()) return '\n';
  return text[first + 1] == '\n' ? '\n' : '\r';
}

// The lines of a file without their line ends, the slow way.
std::vector<std::string> SplitLines(const std::string& text) {
  const char eol = LineEnd(text);
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t nl = text.find(eol, at);
    std::string line = text.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
    at = nl == std::string::npos ? text.size() : nl + 1;
    if (eol == '\r' && nl != std::string::npos && at < text.size() && text[at] == '\n') ++at;
    if (eol == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

TEST(LineAt, SplitsLinesAtTheFilesLineEndWithExactOffsets) {
  std::vector<std::string> texts = {"one\r\ntwo\r\n\r\nlast", "one\ntwo\n\nlast\r", "mac\rtwo\r\nthree\r"};
  std::mt19937 rng(7);
  const std::string alphabet = "ab,\r\n \x82";
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int length = std::uniform_int_distribution<int>(0, 200)(rng);
    for (int i = 0; i < length; ++i) text += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    const char eol = LineEndByte(text);
    ASSERT_EQ(eol, LineEnd(text)) << text;
    std::vector<std::string> got;
    std::size_t start = 0;
    while (start < text.size()) {
      const LineSpan line = LineAt(text, eol, start);
      ASSERT_EQ(line.start, start);
      ASSERT_LE(line.text_end, line.next);
      got.push_back(text.substr(start, line.text_end - start));
      // Whatever lies between the text and the next line is the line end.
      const std::string end = text.substr(line.text_end, line.next - line.text_end);
      EXPECT_TRUE(end.empty() || end == "\n" || end == "\r\n" || end == "\r") << text;
      start = line.next;
    }
    EXPECT_EQ(got, SplitLines(text)) << text;
  }
}

}  // namespace
}  // namespace tovra::test
