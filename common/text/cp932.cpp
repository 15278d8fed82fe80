#include "cp932.h"

#include "compose.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

#include <utility>
#include <vector>

namespace cp932 {
namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// Opening a descriptor looks up and loads the conversion each time, which would cost more than
// the conversion of a field; the command-line tools convert every printed field on its own, so a
// thread keeps the descriptors it has opened (the charsets involved are stateless).
iconv_t OpenConversion(const char* to, const char* from) {
  struct Open {
    std::string to, from;
    iconv_t cd;
  };
  struct Cache {
    std::vector<Open> open;
    ~Cache() {
      for (const Open& o : open) iconv_close(o.cd);
    }
  };
  thread_local Cache cache;
  for (const Open& o : cache.open) {
    if (o.to == to && o.from == from) return o.cd;
  }
  iconv_t cd = iconv_open(to, from);
  if (cd != reinterpret_cast<iconv_t>(-1)) cache.open.push_back({to, from, cd});
  return cd;
}

// One iconv conversion. `on_bad` is called with the rest of the input where a character
// does not convert; it sets what stands for it and returns how many bytes it takes up, or 0
// to give up (the result is then nullopt).
template <typename OnBad>
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in, OnBad on_bad) {
  iconv_t cd = OpenConversion(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  // Written straight into the result, in room for the whole text (no character of the charsets
  // involved takes more than three times its bytes): glibc converts in two steps, and an output
  // that fills up makes it convert the last stretch again, which on a long text costs more than
  // the conversion itself.
  std::string out(in.size() * 3 + 16, '\0');
  std::size_t used = 0;
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  bool ok = true;
  while (src_left > 0) {
    char* dst = out.data() + used;
    std::size_t dst_left = out.size() - used;
    std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    used = static_cast<std::size_t>(dst - out.data());
    if (r != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ or EINVAL (a truncated character at the end): a character does not convert. What
    // stands for it goes in at `used`, the result keeping its room: a text of bad bytes costs
    // no more than a good one.
    std::string stand_in;
    const std::size_t skip = std::min(on_bad(std::string_view(src, src_left), stand_in), src_left);
    if (skip == 0) { ok = false; break; }
    if (out.size() - used < stand_in.size()) out.resize(std::max(out.size() * 2, used + stand_in.size()));
    out.replace(used, stand_in.size(), stand_in);
    used += stand_in.size();
    src += skip;
    src_left -= skip;
  }
  out.resize(used);
  if (!ok) return std::nullopt;
  return out;
}

// The bytes of the UTF-8 character at the start of `text` (1 for a byte that starts none).
std::size_t Utf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  std::size_t i = 1;
  while (i < n && i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  return i;
}

// Where CP932 and JIS map a letter to different code points (CP932's ～ is U+FF5E, JIS's
// 〜 U+301C), the JIS form, for a terminal whose charset has only that one.
std::string_view JisForm(std::string_view utf8_letter) {
  static constexpr std::pair<std::string_view, std::string_view> kForms[] = {
      {"\uFF5E", "\u301C"},  // ～ wave dash
      {"\uFF0D", "\u2212"},  // － minus sign
      {"\u2225", "\u2016"},  // ∥ double vertical line
      {"\uFFE0", "\u00A2"},  // ￠ cent
      {"\uFFE1", "\u00A3"},  // ￡ pound
      {"\uFFE2", "\u00AC"},  // ￢ not
  };
  for (const auto& [cp932_form, jis_form] : kForms) {
    if (utf8_letter == cp932_form) return jis_form;
  }
  return {};
}

// One letter in `charset` through a conversion of its own (the cached one is mid-text).
std::optional<std::string> ConvertLetter(const char* charset, std::string_view utf8_letter) {
  iconv_t cd = iconv_open(charset, kUtf8);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  char out[16];
  char* src = const_cast<char*>(utf8_letter.data());
  std::size_t src_left = utf8_letter.size();
  char* dst = out;
  std::size_t dst_left = sizeof out;
  const bool ok = iconv(cd, &src, &src_left, &dst, &dst_left) != static_cast<std::size_t>(-1) && src_left == 0;
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return std::string(out, static_cast<std::size_t>(dst - out));
}

bool IsUtf8Charset(const std::string& cs) {
  return cs == "UTF-8" || cs == "utf-8" || cs == "UTF8" || cs == "utf8";
}

// A Shift_JIS terminal shows CP932 bytes as the files hold them; glibc's SHIFT_JIS lacks the
// letters CP932 maps otherwise (～ U+FF5E, － U+FF0D, ...), so such a terminal is spoken to
// in CP932.
bool IsShiftJisCharset(const char* cs) {
  for (const char* name : {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "MS_KANJI", "CSSHIFTJIS", "WINDOWS-31J"}) {
    if (strcasecmp(cs, name) == 0) return true;
  }
  return false;
}

}  // namespace

std::string ToUtf8(std::string_view cp932_text) {
  auto r = Convert(kUtf8, kCp932, cp932_text, [](std::string_view, std::string& out) {
    out.append(kReplacementUtf8);
    return std::size_t{1};
  });
  return r ? *r : std::string();
}

std::vector<std::string> ToUtf8Each(std::span<const std::string_view> cp932_texts) {
  // Joined by NUL, which converts to itself and which no text holds (a text that does is
  // converted on its own), and split again after the one conversion.
  std::string joined;
  std::size_t total = 0;
  for (std::string_view t : cp932_texts) total += t.size() + 1;
  joined.reserve(total);
  bool separable = true;
  for (std::string_view t : cp932_texts) {
    separable = separable && t.find('\0') == std::string_view::npos;
    joined.append(t);
    joined.push_back('\0');
  }
  std::vector<std::string> out;
  out.reserve(cp932_texts.size());
  if (separable) {
    const std::string utf8 = ToUtf8(joined);
    std::size_t from = 0;
    for (std::size_t nul; (nul = utf8.find('\0', from)) != std::string::npos; from = nul + 1) {
      out.emplace_back(utf8, from, nul - from);
    }
    // A byte that does not convert never takes the NUL after it along; should the converter
    // ever do so, the texts are converted one by one.
    if (out.size() == cp932_texts.size() && from == utf8.size()) return out;
    out.clear();
  }
  for (std::string_view t : cp932_texts) out.push_back(ToUtf8(t));
  return out;
}

std::optional<std::string> FromUtf8(std::string_view utf8_text) {
  return Convert(kCp932, kUtf8, ComposeForCp932(utf8_text), [](std::string_view, std::string&) { return std::size_t{0}; });
}

std::string FromUtf8Lenient(std::string_view utf8_text) {
  if (std::optional<std::string> whole = FromUtf8(utf8_text)) return *whole;
  std::string out;
  for (std::size_t i = 0; i < utf8_text.size();) {
    const auto lead = static_cast<unsigned char>(utf8_text[i]);
    std::size_t width = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    width = std::min(width, utf8_text.size() - i);
    const std::string_view one = utf8_text.substr(i, width);
    i += width;
    if (std::optional<std::string> converted = FromUtf8(one)) {
      out += *converted;
      continue;
    }
    const bool dash = one == "\u2010" || one == "\u2011" || one == "\u2012" || one == "\u2013" ||
                      one == "\u2014" || one == "\u2015" || one == "\u2043" || one == "\uFE63";
    out += dash ? std::string("-") : one == "\u301C" ? std::string("\x81\x60") : std::string("\x81\xAC");
  }
  return out;
}

namespace {

// The locale the environment names for LC_CTYPE, as setlocale(LC_CTYPE, "") picks it.
std::string_view LocaleNameFromEnvironment() {
  for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

// Whether a locale name says its charset is UTF-8 ("C.UTF-8", "ja_JP.utf8@x"): such a locale
// speaks UTF-8, and one that does not exist falls back to C, which speaks UTF-8 here too.
bool NamesUtf8(std::string_view name) {
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) return false;
  std::string codeset(name.substr(dot + 1, name.find('@', dot) - dot - 1));
  std::erase(codeset, '-');
  for (char& c : codeset) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return codeset == "utf8";
}

bool g_locale_is_utf8 = false;

}  // namespace

void InitLocale() {
  // Loading the locale's data costs more than some whole searches, and a UTF-8 locale is all
  // the charset of the terminal needs to know.
  g_locale_is_utf8 = NamesUtf8(LocaleNameFromEnvironment());
  if (!g_locale_is_utf8) std::setlocale(LC_CTYPE, "");
}

std::string LocaleCharset() {
  if (g_locale_is_utf8) return kUtf8;
  const char* cs = nl_langinfo(CODESET);
  if (cs == nullptr || *cs == '\0' || std::strcmp(cs, "ANSI_X3.4-1968") == 0 ||
      std::strcmp(cs, "ASCII") == 0) {
    return kUtf8;  // C/POSIX locale: speak UTF-8
  }
  if (IsShiftJisCharset(cs)) return kCp932;
  return cs;
}

std::string ToLocale(std::string_view cp932_text) { return Utf8ToLocale(ToUtf8(cp932_text)); }

std::string Utf8ToLocale(std::string_view utf8) {
  std::string cs = LocaleCharset();
  if (IsUtf8Charset(cs)) return std::string(utf8);
  // A letter the terminal's charset lacks is shown in its JIS form where it has one, else
  // as one '?' (never one per byte).
  auto r = Convert(cs.c_str(), kUtf8, utf8, [&cs](std::string_view rest, std::string& out) {
    const std::size_t n = Utf8Length(rest);
    std::optional<std::string> jis;
    if (std::string_view form = JisForm(rest.substr(0, n)); !form.empty()) jis = ConvertLetter(cs.c_str(), form);
    out = jis.value_or("?");
    return n;
  });
  return r ? *r : std::string(utf8);
}

std::optional<std::string> FromLocale(std::string_view locale_text) {
  std::string cs = LocaleCharset();
  if (IsUtf8Charset(cs)) return FromUtf8(locale_text);
  auto utf8 = Convert(kUtf8, cs.c_str(), locale_text, [](std::string_view, std::string&) { return std::size_t{0}; });
  if (!utf8) return std::nullopt;
  return FromUtf8(*utf8);
}

}  // namespace cp932
