// Test sources are UTF-8; the library speaks CP932. Expected texts are converted here.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "cp932.h"

inline std::string Sjis(std::string_view utf8) {
  auto text = cp932::FromUtf8(utf8);
  if (!text) throw std::invalid_argument("no CP932 form: " + std::string(utf8));
  return *text;
}
