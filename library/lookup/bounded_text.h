// Text assembled in a fixed buffer, a whole piece at a time. A piece that does not fit ends
// the text: what was written stays a readable prefix of the full result (never a cut name or
// half a double-byte character), and nothing is written past the buffer.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace meklan {

class BoundedText {
 public:
  BoundedText(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {
    buffer_[0] = '\0';
  }

  // Appends all pieces or, when they do not fit together, none (and nothing after them).
  bool Append(std::initializer_list<std::string_view> pieces) {
    std::size_t total = 0;
    for (std::string_view p : pieces) total += p.size();
    if (full_ || length_ + total + 1 > capacity_) {
      full_ = true;
      return false;
    }
    for (std::string_view p : pieces) {
      std::memcpy(buffer_ + length_, p.data(), p.size());
      length_ += p.size();
    }
    buffer_[length_] = '\0';
    return true;
  }
  bool Append(std::string_view piece) { return Append({piece}); }
  bool AppendNumber(long long value);

  void RemoveLast() {
    if (length_ > 0) buffer_[--length_] = '\0';
  }
  std::size_t Length() const { return length_; }
  bool Full() const { return full_; }
  bool Empty() const { return length_ == 0; }
  std::string_view View() const { return {buffer_, length_}; }

 private:
  char* buffer_;
  std::size_t capacity_;
  std::size_t length_ = 0;
  bool full_ = false;
};

// Decimal digits of `value` into `out` (room for 21 bytes); returns their count, no NUL.
std::size_t FormatDecimal(long long value, char* out);

}  // namespace meklan
