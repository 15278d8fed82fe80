// The format of the postal data files: lines and fields.
//
// The files are read as bytes. A line ends at LF; a CR right before it belongs to the line
// end. A file whose first line ends in a lone CR (old Macintosh text) has its lines end at CR
// instead, a CR LF still counting as one line end. Every position is a byte offset, so the
// offsets stored in the index are the same numbers whatever the line ends.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovra {

// Fields of one data line are at most this many bytes (longer ones are cut on a character
// boundary), like the 256-byte field buffers the stored settings and the rows assume.
constexpr std::size_t kFieldMax = 255;

// The two files: KEN_ALL.CSV, whose long town fields go on over several lines, and
// JIGYOSYO.CSV.
enum class PostFile { kKenAll, kJigyosyo };

// Field counts of the two files.
constexpr int kKenAllFieldCount = 15;
constexpr int kJigyosyoFieldCount = 13;
constexpr int kMaxFieldCount = 15;
constexpr int FieldCount(PostFile file) {
  return file == PostFile::kKenAll ? kKenAllFieldCount : kJigyosyoFieldCount;
}

// The byte that ends the lines of a file with this head: '\r' when the first line ends in a
// lone CR (old Macintosh text; a CR LF still counts as one line end), '\n' otherwise.
char LineEndByte(std::string_view head);

// One line of a file's bytes: [start, text_end) is its text, `next` the start of the line
// after it (the end of the bytes for the last line).
struct LineSpan {
  std::size_t start, text_end, next;
};
// The line starting at `start` in a file whose lines end in `eol` (LineEndByte).
LineSpan LineAt(std::string_view bytes, char eol, std::size_t start);

// The fields of one line as views into the line (or into the record's own storage after a
// join). A field the line does not reach is empty; no field ever holds text of another line.
struct PostRecord {
  std::array<std::string_view, kMaxFieldCount> field{};
  // 1-based access, as the file layout numbers its columns.
  std::string_view operator[](int number) const { return field[static_cast<std::size_t>(number - 1)]; }
  void Set(int number, std::string_view text) { field[static_cast<std::size_t>(number - 1)] = text; }
};

enum class SplitResult {
  kFields,       // at least the first field was read
  kLeadingComma, // the line begins with a comma: no first field
  kBlank,        // the line is empty or white space only
};

// Splits like the scan pattern " %[^,] , %[^,] , ...": white space before a field is
// skipped, white space before the comma stays in the field, a comma always ends a field (also
// inside quotes), and an empty field ends the split (the rest read as empty). Fields past
// `field_count` are not touched.
SplitResult SplitPostLine(std::string_view line, int field_count, PostRecord& record);

// Fields `first` and `second` (1-based, first < second <= kMaxFieldCount) exactly as
// SplitPostLine(line, second, ...) gives them, with the same result. Lines whose fields all
// begin plainly, as every line of the published files does, take a short path that looks
// at nothing but commas; this is what the index build, which needs two fields of every line
// of a file, spends its time on.
SplitResult SplitTwoFields(std::string_view line, int first, int second, std::string_view& first_text,
                           std::string_view& second_text);

// Every field that holds a double quote anywhere loses its first and its last byte.
void UnquoteFields(PostRecord& record, int field_count);
std::string_view Unquoted(std::string_view field);

// Characters start..start+count-1 of src (clipped to src); empty when count <= 0.
std::string_view CopySubstring(std::string_view src, int start, int count);

}  // namespace tovra
