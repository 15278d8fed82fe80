// Texts the engine shows the user, CP932 bytes.
#pragma once

namespace tovra::msg {

// "%s\nが見つかりません": a data file that cannot be opened (%s = its path).
constexpr const char kFileNotFoundFormat[] =
    "%s\n\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// "郵便番号ファイルポインタバッファエラー": a file whose index does not fit its tables.
constexpr const char kIndexOverflow[] =
    "\x97\x58\x95\xD6\x94\xD4\x8D\x86\x83\x74\x83\x40\x83\x43\x83\x8B\x83\x7C\x83\x43\x83\x93"
    "\x83\x5E\x83\x6F\x83\x62\x83\x74\x83\x40\x83\x47\x83\x89\x81\x5B";
// "%s\nは設定ファイルに保存できません": a path with characters that CP932 cannot hold.
constexpr const char kPathNotStorableFormat[] =
    "%s\n\x82\xCD\x90\xDD\x92\xE8\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xC9\x95\xDB\x91\xB6\x82\xC5"
    "\x82\xAB\x82\xDC\x82\xB9\x82\xF1";

}  // namespace tovra::msg
