// The converter of cp932.h on Windows, where code page 932 is the system's own: through
// MultiByteToWideChar and WideCharToMultiByte, by way of UTF-16. Only the conversions between
// CP932 and UTF-8 exist here; a Windows front end talks to the system in UTF-16.
#include <windows.h>

#include "cp932.h"

#include "compose.h"

namespace cp932 {
namespace {

constexpr UINT kCp932 = 932;

std::wstring Widen(UINT codePage, DWORD flags, std::string_view text, bool* ok) {
  *ok = true;
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(codePage, flags, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) {
    *ok = false;
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(),
                      length);
  return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide, BOOL* usedDefault) {
  if (wide.empty()) return {};
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* used = codePage == CP_UTF8 ? nullptr : usedDefault;
  const int length = WideCharToMultiByte(codePage, flags, wide.data(),
                                         static_cast<int>(wide.size()), nullptr, 0, nullptr, used);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), text.data(),
                      length, nullptr, used);
  return text;
}

}  // namespace

// Bytes that do not convert become the code page's default character (U+30FB), not U+FFFD:
// the system converter decides; the texts shown here come from the library's own tables.
std::string ToUtf8(std::string_view cp932_text) {
  bool ok = false;
  return Narrow(CP_UTF8, Widen(kCp932, 0, cp932_text, &ok), nullptr);
}

std::vector<std::string> ToUtf8Each(std::span<const std::string_view> cp932_texts) {
  std::vector<std::string> out;
  out.reserve(cp932_texts.size());
  for (const std::string_view text : cp932_texts) out.push_back(ToUtf8(text));
  return out;
}

std::optional<std::string> FromUtf8(std::string_view utf8_text) {
  bool ok = false;
  const std::wstring wide = Widen(CP_UTF8, MB_ERR_INVALID_CHARS, ComposeForCp932(utf8_text), &ok);
  if (!ok) return std::nullopt;
  BOOL usedDefault = FALSE;
  std::string text = Narrow(kCp932, wide, &usedDefault);
  if (usedDefault) return std::nullopt;
  return text;
}

}  // namespace cp932
