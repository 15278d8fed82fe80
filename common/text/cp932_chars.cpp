// The character helpers of cp932.h: byte-wise CP932 handling that needs no converter.
#include "cp932.h"

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

}  // namespace cp932
