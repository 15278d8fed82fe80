// Tests write their expectations in UTF-8 and compare in UTF-8, so that failures read well;
// the library sees CP932 bytes only.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "cp932.h"

namespace meklan_test {

// UTF-8 source text -> the CP932 bytes the library speaks.
inline std::string Cp(std::string_view utf8) {
  auto cp = cp932::FromUtf8(utf8);
  if (!cp) throw std::invalid_argument("no CP932 form: " + std::string(utf8));
  return *cp;
}

// CP932 bytes -> UTF-8 for comparisons and messages.
inline std::string U(std::string_view cp932_text) { return cp932::ToUtf8(cp932_text); }

}  // namespace meklan_test
