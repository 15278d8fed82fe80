#include "query.h"

#include <array>

#include "cp932.h"
#include "key_fold.h"
#include "meklan.h"
#include "post_index.h"

namespace tovra::serve {
namespace {

struct RoutePath {
  std::string_view path;
  Route route;
};

constexpr std::array kRoutes = {
    RoutePath{"/api/postcode", Route::kPostcode},       RoutePath{"/api/address", Route::kAddress},
    RoutePath{"/api/dantai", Route::kDantai},           RoutePath{"/api/areacode", Route::kAreaCode},
    RoutePath{"/api/cities", Route::kCities},           RoutePath{"/api/city", Route::kCity},
    RoutePath{"/api/resolve", Route::kResolve},         RoutePath{"/api/ma", Route::kMa},
    RoutePath{"/api/ma/areacodes", Route::kMaAreaCodes}, RoutePath{"/api/distance", Route::kDistance},
    RoutePath{"/api/areaplus", Route::kAreaPlus},       RoutePath{"/api/search", Route::kCompat},
    RoutePath{"/api/status", Route::kStatus},
};

// The compatibility route answers its own errors in the texts its clients know.
constexpr std::string_view kCompatMissing = "必須パラメータが指定されていません。";
constexpr std::string_view kCompatBadCharacter = "パラメータ「郵便番号」に使用できない文字が含まれています。";
constexpr std::string_view kCompatBadLength = "パラメータ「郵便番号」の桁数が不正です。";

QueryError Bad(std::string message) { return QueryError{400, std::move(message), {}}; }

// The parameters of one request, read with the checks every parameter shares.
class Reader {
 public:
  explicit Reader(const Params& params) : params_(params) {}

  const std::string* Raw(const char* name) const {
    auto it = params_.find(name);
    return it == params_.end() ? nullptr : &it->second;
  }

  // A text parameter in CP932; nullopt (with `error` set) when it is missing and required,
  // not UTF-8, without a CP932 form or longer than any field.
  std::optional<std::string> Text(const char* name, bool required = true) {
    const std::string* raw = Raw(name);
    if (raw == nullptr) {
      if (required) error = Bad(std::string("missing parameter '") + name + "'");
      return required ? std::nullopt : std::optional<std::string>(std::string());
    }
    if (!cp932::IsUtf8(*raw)) {
      error = Bad(std::string("parameter '") + name + "' is not valid UTF-8");
      return std::nullopt;
    }
    std::optional<std::string> text = cp932::FromUtf8(*raw);
    if (!text) {
      error = Bad(std::string("parameter '") + name + "' holds a character that has no Shift_JIS (CP932) form");
      return std::nullopt;
    }
    if (text->size() > kKeyMax) {
      error = Bad(std::string("parameter '") + name + "' is longer than any field (" + std::to_string(kKeyMax) +
                  " bytes in CP932)");
      return std::nullopt;
    }
    return text;
  }

  // A search key: a text that leaves something to search for once folded.
  std::optional<std::string> Key(const char* name, KeyKind kind) {
    std::optional<std::string> key = Text(name);
    if (key && !IsSearchKey(kind, *key)) {
      error = Bad(std::string("parameter '") + name + "' leaves nothing to search for");
      return std::nullopt;
    }
    return key;
  }

  // A prefecture name (CP932) of the postal files.
  std::optional<std::string> Prefecture(const char* name) {
    std::optional<std::string> pref = Text(name);
    if (pref && PrefectureIndex(*pref) < 0) {
      error = Bad(std::string("parameter '") + name + "' is not a prefecture name (e.g. 北海道, 東京都)");
      return std::nullopt;
    }
    return pref;
  }

  // One of a few named values; the first when the parameter is not given.
  template <typename T, std::size_t N>
  std::optional<T> Choice(const char* name, const std::pair<std::string_view, T> (&choices)[N]) {
    const std::string* raw = Raw(name);
    if (raw == nullptr) return choices[0].second;
    std::string names;
    for (const auto& [text, value] : choices) {
      if (*raw == text) return value;
      names += (names.empty() ? "" : ", ") + std::string(text);
    }
    error = Bad(std::string("parameter '") + name + "' must be one of " + names);
    return std::nullopt;
  }
  // The same into `into`; false (with `error` set) when the value is none of them.
  template <typename T, std::size_t N>
  bool ChoiceInto(const char* name, const std::pair<std::string_view, T> (&choices)[N], T& into) {
    const std::optional<T> value = Choice(name, choices);
    if (value) into = *value;
    return value.has_value();
  }

  // A whole number in [low, high]; `fallback` when the parameter is not given.
  std::optional<int> Number(const char* name, int low, int high, int fallback) {
    const std::string* raw = Raw(name);
    if (raw == nullptr) return fallback;
    const bool negative = !raw->empty() && (*raw)[0] == '-';
    const std::string_view digits = std::string_view(*raw).substr(negative ? 1 : 0);
    int value = 0;
    bool ok = !digits.empty() && digits.size() <= 9;
    for (std::size_t i = 0; ok && i < digits.size(); ++i) {
      if (digits[i] < '0' || digits[i] > '9') ok = false;
      else value = value * 10 + (digits[i] - '0');
    }
    if (negative) value = -value;
    if (!ok || value < low || value > high) {
      error = Bad(std::string("parameter '") + name + "' must be a whole number from " + std::to_string(low) +
                  " to " + std::to_string(high));
      return std::nullopt;
    }
    return value;
  }

  std::optional<QueryError> error;

 private:
  const Params& params_;
};

constexpr std::pair<std::string_view, PostCodeMatch> kPostCodeMatches[] = {
    {"exact", PostCodeMatch::kExact}, {"prefix", PostCodeMatch::kPrefix}, {"contains", PostCodeMatch::kContains}};
constexpr std::pair<std::string_view, WordMatch> kWordMatches[] = {{"exact", WordMatch::kExact},
                                                                   {"contains", WordMatch::kContains}};
constexpr std::pair<std::string_view, AreaDisplay> kDisplays[] = {{"postal", AreaDisplay::kPostal},
                                                                  {"districts", AreaDisplay::kDistricts}};
constexpr std::pair<std::string_view, bool> kSwitch[] = {{"0", false}, {"false", false}, {"no", false},
                                                         {"1", true},  {"true", true},   {"yes", true}};
constexpr std::pair<std::string_view, int> kEditions[] = {
    {"settings", -1}, {"current", MEKLAN_EDITION_CURRENT}, {"2003", MEKLAN_EDITION_2003}};

// The options the postal searches share: business rows and the telephone tables' edition.
bool ReadPostalOptions(Reader& in, Query& q) {
  auto business = in.Choice("business", kSwitch);
  auto edition = business ? in.Choice("edition", kEditions) : std::nullopt;
  if (!edition) return false;
  q.business = *business;
  if (*edition >= 0) q.edition = *edition;
  return true;
}

// A postal search's key parameter `name` into q.key, with the options the postal searches share.
bool ReadPostalKey(Reader& in, Query& q, const char* name, KeyKind kind) {
  auto key = in.Key(name, kind);
  if (!key || !ReadPostalOptions(in, q)) return false;
  q.key = *key;
  return true;
}

// A look-up route's MA parameter `name` into q.key, its one number parameter (-1 to `high`,
// -1 when not given) into `number`, and the telephone tables: "settings" (the default) means
// the current edition.
bool ReadLookup(Reader& in, Query& q, const char* name, const char* number_name, int high, int& number) {
  auto key = in.Text(name);
  auto value = key ? in.Number(number_name, -1, high, -1) : std::nullopt;
  auto edition = value ? in.Choice("edition", kEditions) : std::nullopt;
  if (!edition) return false;
  q.key = *key, number = *value, q.edition = *edition < 0 ? MEKLAN_EDITION_CURRENT : *edition;
  return true;
}

// A JSONP function name: dotted identifiers only, so that the reply cannot carry a script.
bool IsCallbackName(std::string_view name) {
  if (name.empty() || name.size() > 128) return false;
  bool at_start = true;
  for (char c : name) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$';
    const bool digit = c >= '0' && c <= '9';
    if (c == '.') {
      if (at_start) return false;
      at_start = true;
    } else if (letter || (digit && !at_start)) {
      at_start = false;
    } else {
      return false;
    }
  }
  return !at_start;
}

// The compatibility route: seven digits, with or without the hyphen after the third.
std::variant<Query, QueryError> ParseCompat(Reader& in) {
  Query q;
  q.route = Route::kCompat;
  if (const std::string* callback = in.Raw("callback")) {
    if (!IsCallbackName(*callback)) return Bad("parameter 'callback' must be a JavaScript function name");
    q.callback = *callback;
  }
  auto limit = in.Number("limit", 1, 1000, 20);
  if (!limit) return QueryError{400, in.error->message, q.callback};
  q.limit = *limit;
  auto refuse = [&q](std::string_view message) { return QueryError{400, std::string(message), q.callback}; };
  const std::string* zipcode = in.Raw("zipcode");
  if (zipcode == nullptr || zipcode->empty()) return refuse(kCompatMissing);
  std::string digits;
  for (std::size_t i = 0; i < zipcode->size(); ++i) {
    const char c = (*zipcode)[i];
    if (c >= '0' && c <= '9') digits += c;
    else if (!(c == '-' && i == 3)) return refuse(kCompatBadCharacter);
  }
  if (digits.size() != 7) return refuse(kCompatBadLength);
  q.key = digits;
  return q;
}

}  // namespace


std::optional<Route> RouteOfPath(std::string_view path) {
  for (const RoutePath& r : kRoutes) {
    if (r.path == path) return r.route;
  }
  return std::nullopt;
}

std::variant<Query, QueryError> ParseQuery(std::string_view path, const Params& params) {
  const std::optional<Route> route = RouteOfPath(path);
  if (!route) return QueryError{404, "no such route: " + std::string(path.substr(0, 64)), {}};
  Reader in(params);
  if (*route == Route::kCompat) return ParseCompat(in);
  Query q;
  q.route = *route;
  bool ok = true;
  switch (*route) {
    case Route::kPostcode:
      ok = in.ChoiceInto("match", kPostCodeMatches, q.postcode_match) &&
           ReadPostalKey(in, q, "code", KeyKind::kPostCode);
      if (ok) q.key = NormalisePostCodeKey(q.key);
      break;
    case Route::kAddress:
      ok = in.ChoiceInto("match", kWordMatches, q.word_match) && ReadPostalKey(in, q, "q", KeyKind::kWords);
      break;
    case Route::kDantai:
      ok = ReadPostalKey(in, q, "code", KeyKind::kDantai);
      break;
    case Route::kAreaCode:
      ok = in.ChoiceInto("show", kDisplays, q.display) && ReadPostalKey(in, q, "key", KeyKind::kAreaCode);
      break;
    case Route::kCities: {
      auto pref = in.Prefecture("pref");
      ok = pref && ReadPostalOptions(in, q);
      if (ok) q.key = *pref;
      break;
    }
    case Route::kCity: {
      auto pref = in.Prefecture("pref");
      auto city = pref ? in.Text("city") : std::nullopt;
      ok = city && ReadPostalOptions(in, q);
      if (ok) q.key = *pref, q.second = *city;
      break;
    }
    case Route::kResolve:
      ok = ReadPostalKey(in, q, "address", KeyKind::kWords);
      break;
    case Route::kMa:
      ok = ReadLookup(in, q, "key", "pref", kPrefectureCount - 1, q.pref_index);
      break;
    case Route::kMaAreaCodes:
      ok = ReadLookup(in, q, "ma", "branch", 99, q.branch);
      break;
    case Route::kDistance: {
      auto from = in.Text("from");
      auto to = from ? in.Text("to") : std::nullopt;
      // The record's name fields hold 31 bytes.
      if (to && (from->size() > 31 || to->size() > 31)) in.error = Bad("an end is longer than 31 bytes in CP932");
      ok = to && !in.error;
      if (ok) q.key = *from, q.second = *to;
      break;
    }
    case Route::kAreaPlus: {
      auto ma = in.Text("ma");
      ok = ma.has_value();
      if (ok) q.key = *ma;
      break;
    }
    case Route::kCompat:
    case Route::kStatus:
      break;
  }
  if (!ok) return in.error.value_or(Bad("malformed request"));
  return q;
}

std::variant<Query, QueryError> ParseResolveBatch(const Params& params) {
  Reader in(params);
  Query q;
  q.route = Route::kResolve;
  if (!ReadPostalOptions(in, q)) return in.error.value_or(Bad("malformed request"));
  return q;
}

std::variant<std::vector<std::string>, QueryError> SplitAddressLines(std::string_view body) {
  if (!cp932::IsUtf8(body)) return QueryError{400, "the body is not valid UTF-8", {}};
  std::vector<std::string> lines;
  while (!body.empty()) {
    if (lines.size() == kResolveLinesMax) {
      return QueryError{413, "too many addresses (at most " + std::to_string(kResolveLinesMax) + " lines in one request)", {}};
    }
    const std::size_t end = body.find('\n');
    std::string_view line = body.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    body.remove_prefix(end == std::string_view::npos ? body.size() : end + 1);
  }
  if (lines.empty()) return QueryError{400, "no address in the body (one address per line)", {}};
  return lines;
}

}  // namespace tovra::serve
