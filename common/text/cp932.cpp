#include "cp932.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>

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

// One iconv conversion. `on_bad` is called for an input byte that does not convert; it
// returns false to give up (the result is then nullopt) or true to skip the byte.
template <typename OnBad>
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in, OnBad on_bad) {
  iconv_t cd = OpenConversion(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  out.reserve(in.size() * 3 / 2 + 8);
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char buf[1024];
  bool ok = true;
  while (src_left > 0) {
    char* dst = buf;
    std::size_t dst_left = sizeof buf;
    std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (a truncated character at the end): one byte does not convert.
    if (!on_bad(out)) { ok = false; break; }
    ++src;
    --src_left;
  }
  if (!ok) return std::nullopt;
  return out;
}

bool IsUtf8Charset(const std::string& cs) {
  return cs == "UTF-8" || cs == "utf-8" || cs == "UTF8" || cs == "utf8";
}

}  // namespace

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

std::string ToUtf8(std::string_view cp932_text) {
  auto r = Convert(kUtf8, kCp932, cp932_text, [](std::string& out) {
    out.append(kReplacementUtf8);
    return true;
  });
  return r ? *r : std::string();
}

std::optional<std::string> FromUtf8(std::string_view utf8_text) {
  return Convert(kCp932, kUtf8, utf8_text, [](std::string&) { return false; });
}

void InitLocale() { std::setlocale(LC_CTYPE, ""); }

std::string LocaleCharset() {
  const char* cs = nl_langinfo(CODESET);
  if (cs == nullptr || *cs == '\0' || std::strcmp(cs, "ANSI_X3.4-1968") == 0 ||
      std::strcmp(cs, "ASCII") == 0) {
    return kUtf8;  // C/POSIX locale: speak UTF-8
  }
  return cs;
}

std::string ToLocale(std::string_view cp932_text) { return Utf8ToLocale(ToUtf8(cp932_text)); }

std::string Utf8ToLocale(std::string_view utf8) {
  std::string cs = LocaleCharset();
  if (IsUtf8Charset(cs)) return std::string(utf8);
  auto r = Convert(cs.c_str(), kUtf8, utf8, [](std::string& out) {
    out.push_back('?');
    return true;
  });
  return r ? *r : std::string(utf8);
}

std::optional<std::string> FromLocale(std::string_view locale_text) {
  std::string cs = LocaleCharset();
  if (IsUtf8Charset(cs)) return FromUtf8(locale_text);
  auto utf8 = Convert(kUtf8, cs.c_str(), locale_text, [](std::string&) { return false; });
  if (!utf8) return std::nullopt;
  return FromUtf8(*utf8);
}

}  // namespace cp932
