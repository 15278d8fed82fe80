// Texts the engine and tovra-search show the user, CP932 bytes. They are written in UTF-8 in
// messages.tsv beside this header; meklan-gen makes the CP932 constants at build time.
#pragma once

#include "messages_data.h"

#include <string>
#include <string_view>

namespace tovra::msg {

// A message of messages.tsv with its one "%s" replaced by `value`.
inline std::string Fill(std::string_view format, std::string_view value) {
  const std::size_t at = format.find("%s");
  if (at == std::string_view::npos) return std::string(format);
  std::string text(format.substr(0, at));
  text += value;
  text += format.substr(at + 2);
  return text;
}

}  // namespace tovra::msg
