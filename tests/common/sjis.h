// Test and benchmark sources are UTF-8; the library and the postal engine speak CP932.
// Literals are converted here, and CP932 results back to UTF-8 so that comparisons and
// failure messages read well.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "cp932.h"

// The CP932 bytes of a UTF-8 literal. A literal without a CP932 form is a fault of the test.
inline std::string Sjis(std::string_view utf8) {
  auto text = cp932::FromUtf8(utf8);
  if (!text) throw std::invalid_argument("no CP932 form: " + std::string(utf8));
  return *text;
}

// CP932 bytes as UTF-8.
inline std::string Utf8(std::string_view cp932_text) { return cp932::ToUtf8(cp932_text); }
