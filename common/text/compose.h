// Input as some systems give it, brought to the form the CP932 table knows: a kana followed
// by a combining voiced or semi-voiced mark (U+3099, U+309A) becomes the one composed kana,
// and the few characters CP932 lacks that users type for one it has take that one
// (ゔ as ヴ, the en dash as "-").
#pragma once

#include <string>
#include <string_view>

namespace cp932 {

std::string ComposeForCp932(std::string_view utf8_text);

}  // namespace cp932
