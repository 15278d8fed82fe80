// What a request asks for: the route and its parameters, checked and converted to the CP932
// keys the engines take. Nothing here touches HTTP or the data; the handlers call ParseQuery
// first and answer its error as it stands, so that a request the engines could not take never
// reaches them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "record_scan.h"  // kKeyMax, the longest key any field can hold
#include "searches.h"

namespace tovra::serve {

enum class Route {
  kPostcode,     // /api/postcode?code=060-0001[&match=exact|prefix|contains]
  kAddress,      // /api/address?q=札幌+中央[&match=exact|contains]
  kDantai,       // /api/dantai?code=13101
  kAreaCode,     // /api/areacode?key=0153[&show=postal|districts]
  kCities,       // /api/cities?pref=北海道
  kCity,         // /api/city?pref=東京都&city=千代田区
  kResolve,      // /api/resolve?address=...[&business=1]; POST: one address per line
  kMa,           // /api/ma?key=0153[&pref=0..46]
  kMaAreaCodes,  // /api/ma/areacodes?ma=厚岸[&branch=N]
  kDistance,     // /api/distance?from=那覇&to=東京
  kAreaPlus,     // /api/areaplus?ma=江差
  kCompat,       // /api/search?zipcode=7830060[&callback=fn][&limit=N]
  kStatus,       // /api/status
};

// Query parameters as the HTTP layer decodes them (UTF-8, percent-decoded, "+" is a blank).
using Params = std::multimap<std::string, std::string>;

struct Query {
  Route route = Route::kStatus;
  std::string key;     // CP932: the code, words, area code, MA or prefecture
  std::string second;  // CP932: the city of kCity, the far end of kDistance
  PostCodeMatch postcode_match = PostCodeMatch::kExact;
  WordMatch word_match = WordMatch::kExact;
  AreaDisplay display = AreaDisplay::kPostal;
  bool business = false;                 // also JIGYOSYO.CSV
  std::optional<int> edition;            // MEKLAN_EDITION_*; the settings' choice when not given
  int pref_index = -1;                   // kMa: the library's prefecture filter
  int branch = -1;                       // kMaAreaCodes
  std::string callback;                  // kCompat: JSONP function name, "" for plain JSON
  int limit = 20;                        // kCompat: most results returned
};

struct QueryError {
  int status;            // 400, 404
  std::string message;   // English, one line (the compatibility route: its own texts)
  std::string callback;  // the compatibility route's JSONP function, "" when none
};

// The route of a path, nullopt for one that is not a route of the service.
std::optional<Route> RouteOfPath(std::string_view path);

// The query of a request to `path`, or the error to answer.
std::variant<Query, QueryError> ParseQuery(std::string_view path, const Params& params);

// The options of a POST to /api/resolve (business, edition), from its query string.
std::variant<Query, QueryError> ParseResolveBatch(const Params& params);

// The most addresses one POST to /api/resolve may hold.
constexpr std::size_t kResolveLinesMax = 10000;

// The addresses of a POST body (UTF-8), one a line (LF or CRLF; a last line end is optional;
// an empty line is an address that resolves to nothing). An error for a body that is not
// UTF-8, holds no line or more than kResolveLinesMax.
std::variant<std::vector<std::string>, QueryError> SplitAddressLines(std::string_view body);

}  // namespace tovra::serve
