#include "post_line.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cp932.h"

namespace tovra {
namespace {

bool IsScanSpace(unsigned char c) {
  // Every white-space byte is at most a space: one comparison settles most bytes.
  return c <= ' ' && (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r');
}

// The commas of one line, handed out in order from a bit mask per 64 bytes of the line. A
// line is searched once, however many fields it has: a search per field stopped at every
// field end and cost a mispredicted branch for each.
class CommaCursor {
 public:
  explicit CommaCursor(std::string_view line) : line_(line) {}

  // Offset of the next comma not yet handed out, or the line's length when there is none.
  std::size_t Next() {
    while (mask_ == 0) {
      if (next_block_ >= line_.size()) return line_.size();
      block_ = next_block_;
      mask_ = BlockMask();
      next_block_ += kBlock;
    }
    const std::size_t at = block_ + static_cast<std::size_t>(std::countr_zero(mask_));
    mask_ &= mask_ - 1;
    return at;
  }

 private:
  static constexpr std::size_t kBlock = 64;

  // Bit i set when byte block_ + i of the line is a comma.
  std::uint64_t BlockMask() const {
    const std::size_t left = line_.size() - block_;
    if (left >= kBlock) return FullCommaMask(line_.data() + block_);
    if (line_.size() >= kBlock) {
      // The last 64 bytes of the line, shifted down: no byte past the line is read.
      return FullCommaMask(line_.data() + line_.size() - kBlock) >> (kBlock - left);
    }
    char copy[kBlock] = {};  // a zero byte is never a comma
    std::memcpy(copy, line_.data() + block_, left);
    return FullCommaMask(copy);
  }

  static std::uint64_t FullCommaMask(const char* p) {
    std::uint64_t mask = 0;
#if defined(__SSE2__)
    const __m128i commas = _mm_set1_epi8(',');
    for (std::size_t i = 0; i < kBlock; i += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, commas)));
      mask |= static_cast<std::uint64_t>(hits) << i;
    }
#else
    for (std::size_t i = 0; i < kBlock; ++i) mask |= static_cast<std::uint64_t>(p[i] == ',') << i;
#endif
    return mask;
  }

  std::string_view line_;
  std::size_t block_ = 0;       // offset of the block mask_ covers
  std::size_t next_block_ = 0;  // offset of the block to load next
  std::uint64_t mask_ = 0;      // commas of the block not yet handed out
};

}  // namespace

char LineEndByte(std::string_view head) {
  for (std::size_t i = 0; i < head.size(); ++i) {
    if (head[i] == '\n') return '\n';
    if (head[i] == '\r') return i + 1 < head.size() && head[i + 1] != '\n' ? '\r' : '\n';
  }
  return '\n';
}

LineSpan LineAt(std::string_view bytes, char eol, std::size_t start) {
  LineSpan line{start, bytes.size(), bytes.size()};
  const void* at = std::memchr(bytes.data() + start, eol, bytes.size() - start);
  if (at != nullptr) {
    line.text_end = static_cast<std::size_t>(static_cast<const char*>(at) - bytes.data());
    line.next = line.text_end + 1;
  }
  if (eol == '\n' && line.text_end > start && bytes[line.text_end - 1] == '\r') --line.text_end;
  if (eol == '\r' && line.next < bytes.size() && bytes[line.next] == '\n') ++line.next;
  return line;
}

SplitResult SplitPostLine(std::string_view line, int field_count, PostRecord& record) {
  std::fill_n(record.field.begin(), field_count, std::string_view());
  // The next comma the cursor hands out is always the first one at or after p: white space
  // is never a comma, and every field ends at the comma handed out for it.
  CommaCursor commas(line);
  std::size_t p = 0;
  const std::size_t end = line.size();
  for (int f = 0; f < field_count; ++f) {
    while (p < end && IsScanSpace(static_cast<unsigned char>(line[p]))) ++p;
    if (p == end) return f == 0 ? SplitResult::kBlank : SplitResult::kFields;
    if (line[p] == ',') return f == 0 ? SplitResult::kLeadingComma : SplitResult::kFields;
    const std::size_t stop = commas.Next();
    std::string_view text = line.substr(p, stop - p);
    if (text.size() > kFieldMax) text = text.substr(0, cp932::BoundaryAtOrBefore(text, kFieldMax));
    record.field[static_cast<std::size_t>(f)] = text;
    if (stop == end) break;
    p = stop + 1;
  }
  return SplitResult::kFields;
}

SplitResult SplitTwoFields(std::string_view line, int first, int second, std::string_view& first_text,
                           std::string_view& second_text) {
  // While every field up to `second` begins with a byte that is neither white space nor a
  // comma and is no longer than kFieldMax, the split skips nothing and cuts nothing: the
  // fields are the stretches between commas.
  CommaCursor commas(line);
  std::size_t start = 0;
  for (int f = 1; f <= second; ++f) {
    if (start >= line.size()) break;
    const auto lead = static_cast<unsigned char>(line[start]);
    if (lead <= ' ' || lead == ',') break;
    const std::size_t stop = commas.Next();
    if (stop - start > kFieldMax) break;
    const std::string_view text(line.data() + start, stop - start);
    if (f == first) first_text = text;
    if (f == second) {
      second_text = text;
      return SplitResult::kFields;
    }
    if (stop == line.size()) break;
    start = stop + 1;
  }
  PostRecord record;
  const SplitResult result = SplitPostLine(line, second, record);
  first_text = record[first];
  second_text = record[second];
  return result;
}

std::string_view Unquoted(std::string_view field) {
  if (field.find('"') == std::string_view::npos) return field;
  return CopySubstring(field, 1, static_cast<int>(field.size()) - 2);
}

void UnquoteFields(PostRecord& record, int field_count) {
  for (int f = 0; f < field_count; ++f) {
    std::string_view& text = record.field[static_cast<std::size_t>(f)];
    text = Unquoted(text);
  }
}

std::string_view CopySubstring(std::string_view src, int start, int count) {
  if (count <= 0 || start < 0 || static_cast<std::size_t>(start) >= src.size()) return {};
  return src.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

}  // namespace tovra
