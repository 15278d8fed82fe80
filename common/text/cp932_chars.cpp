// The character helpers of cp932.h: byte-wise CP932 handling that needs no converter.
#include "cp932.h"

#include <cstdint>

namespace cp932 {

std::size_t BoundaryAtOrBefore(std::string_view text, std::size_t max_bytes) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t width = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (i + width > max_bytes) break;
    i += width;
  }
  return i;
}

std::size_t Find(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return 0;
  // A needle ending in a lead byte would take the first half of a character for a whole one.
  std::size_t walked = 0;
  while (walked < needle.size()) walked += IsLeadByte(static_cast<unsigned char>(needle[walked])) ? 2 : 1;
  const bool ends_in_lead_byte = walked > needle.size();
  std::size_t i = 0;
  while (i + needle.size() <= haystack.size()) {
    if (haystack.compare(i, needle.size(), needle) == 0 &&
        (!ends_in_lead_byte || i + needle.size() == haystack.size())) {
      return i;
    }
    // Step over a whole character so that a trail byte is never taken as a start.
    i += IsLeadByte(static_cast<unsigned char>(haystack[i])) ? 2 : 1;
  }
  return std::string_view::npos;
}

std::vector<std::string_view> SplitNameList(std::string_view list) {
  std::vector<std::string_view> names;
  while (!list.empty()) {
    const std::size_t end = list.find('$');
    names.push_back(list.substr(0, end));
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return names;
}

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    std::uint32_t cp = 0, min = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, cp = b & 0x07, min = 0x10000;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace cp932
