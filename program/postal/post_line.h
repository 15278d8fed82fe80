// Reading the postal data files: a byte-exact line reader and the field splitter.
//
// The files are read as bytes. A line ends at LF; a CR right before it belongs to the line
// end. A file whose first line ends in a lone CR (old Macintosh text) has its lines end at CR
// instead, a CR LF still counting as one line end. Every position the reader reports is a
// byte offset, so the offsets stored in the index are the same numbers whatever the line ends.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovra {

// Fields of one data line are at most this many bytes (longer ones are cut on a character
// boundary), like the 256-byte field buffers the stored settings and the rows assume.
constexpr std::size_t kFieldMax = 255;

// Field counts of the two files.
constexpr int kKenAllFieldCount = 15;
constexpr int kJigyosyoFieldCount = 13;
constexpr int kMaxFieldCount = 15;

// Length of an open file in bytes, -1 when it cannot be told.
std::int64_t GetFileLength(int fd);

// The byte that ends the lines of a file with this head: '\r' when the first line ends in a
// lone CR (old Macintosh text; a CR LF still counts as one line end), '\n' otherwise.
char LineEndByte(std::string_view head);

// Reads one data file line by line through a large buffer, within a window of byte offsets.
// Reads never go past the window's end except to complete a line that crosses it, so a search
// that seeks from run to run reads only those runs.
class LineReader {
 public:
  // Large enough that a national file is read in a few dozen system calls.
  static constexpr std::size_t kDefaultBufferSize = 256 * 1024;

  // A line longer than the buffer is handed out cut to the buffer's size; the rest of it is
  // passed over, so that no piece from the middle of a line is ever taken for a line.
  explicit LineReader(std::size_t buffer_size = kDefaultBufferSize) : buffer_size_(buffer_size) {}
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Why the last Open failed.
  enum class OpenFailure {
    kNone,
    kCannotOpen,      // missing, not permitted, or a directory (taken for a missing file)
    kNotRegularFile,  // a pipe, device or socket: never read, so it can never hang a search
  };

  // Opens the file behind `path` (links followed) if it is a regular file. Every data file the
  // engine reads is opened here.
  bool Open(const std::string& path);
  OpenFailure LastOpenFailure() const { return failure_; }
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  std::int64_t Length() const { return length_; }

  // Reads the lines that start in [start, end). A start outside the file, or an empty or
  // negative window, gives no lines.
  void SetWindow(std::int64_t start, std::int64_t end);
  void SetWholeFile() { SetWindow(0, length_); }

  // The next line without its line end; false at the end of the window or file.
  // `consumed` is the number of bytes of the line including its line end (and, for a cut
  // line, the part passed over).
  bool ReadLine(std::string_view& line, std::size_t& consumed);

  // Like ReadLine, but passes over the lines that cannot matter to a search for `needle`:
  // lines that do not hold it and do not begin with a comma. Blank lines are passed over too.
  // The file is searched for the needle a buffer at a time, so a rare key costs little more
  // than reading. `consumed` counts every byte passed, the returned line included.
  bool ReadLineHolding(std::string_view needle, std::string_view& line, std::size_t& consumed);

  // Byte offset just after the last line read.
  std::int64_t Position() const { return line_pos_; }
  // Bytes taken from the file since Open (what the searches cost in I/O).
  std::int64_t BytesRead() const { return bytes_read_; }

 private:
  bool Refill();
  bool HasCrLineEnds();
  std::size_t SkipRestOfLine();

  std::size_t buffer_size_;
  int fd_ = -1;
  OpenFailure failure_ = OpenFailure::kNone;
  std::int64_t length_ = 0;
  std::vector<char> buf_;
  std::size_t begin_ = 0;      // first unread byte in buf_
  std::size_t end_ = 0;        // one past the last valid byte in buf_
  std::int64_t file_pos_ = 0;  // file offset of buf_[end_]
  std::int64_t line_pos_ = 0;  // file offset of buf_[begin_]
  std::int64_t window_end_ = 0;
  bool eof_ = true;
  char eol_ = '\n';
  // The last line handed out was cut from a longer one and lives in cut_line_, not in buf_.
  bool cut_ = false;
  std::string cut_line_;
  std::int64_t bytes_read_ = 0;
  // The needle search of ReadLineHolding: the first hit at or after hit_from_, or -1 when
  // there is none before hit_to_.
  std::int64_t hit_ = -1;
  std::int64_t hit_from_ = 0;
  std::int64_t hit_to_ = 0;
};

// Opens a data file for reading without ever waiting on a FIFO: the descriptor, or -1 with
// `failure` telling whether the path cannot be opened or is no regular file. `length` is the
// file's size.
int OpenDataFile(const std::string& path, LineReader::OpenFailure& failure, std::int64_t& length);

// The fields of one line as views into the line (or into the record's own storage after a
// join). A field the line does not reach is empty; no field ever holds text of another line.
struct PostRecord {
  std::array<std::string_view, kMaxFieldCount> field{};
  // 1-based access, as the file layout numbers its columns.
  std::string_view operator[](int number) const { return field[static_cast<std::size_t>(number - 1)]; }
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
