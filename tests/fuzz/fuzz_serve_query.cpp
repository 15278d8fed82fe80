// tovra-serve's request parsing: any path and any parameters give a query the engines can take
// or an error to answer, never a crash; a query never carries a key longer than a field. The
// same bytes as the body of a POST of addresses split into bounded lines or an error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cp932.h"
#include "fuzz_support.h"
#include "query.h"

namespace {

const char* const kPaths[] = {"/api/postcode", "/api/address", "/api/dantai", "/api/areacode", "/api/cities",
                              "/api/city",     "/api/resolve", "/api/ma",     "/api/ma/areacodes",
                              "/api/distance", "/api/areaplus", "/api/search", "/api/status"};
const char* const kNames[] = {"code", "q",   "key",  "pref",     "city",    "address", "match", "show",
                              "business", "edition", "branch", "from", "to", "ma", "zipcode", "callback", "limit"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const auto lines = tovra::serve::SplitAddressLines(body);
  if (const auto* split = std::get_if<std::vector<std::string>>(&lines)) {
    if (split->empty() || split->size() > tovra::serve::kResolveLinesMax) std::abort();
    for (const std::string& line : *split)
      if (line.find('\n') != std::string::npos || !cp932::IsUtf8(line)) std::abort();
  } else if (std::get<tovra::serve::QueryError>(lines).status / 100 != 4) {
    std::abort();
  }
  const unsigned which = fuzz::TakeByte(data, size);
  const std::string path = which < std::size(kPaths) ? kPaths[which] : fuzz::TakeText(data, size);
  tovra::serve::Params params;
  while (size > 0) {
    const unsigned name = fuzz::TakeByte(data, size);
    const std::string key = name < std::size(kNames) ? kNames[name] : fuzz::TakeText(data, size);
    params.emplace(key, fuzz::TakeText(data, size));
  }
  const auto batch = tovra::serve::ParseResolveBatch(params);
  if (const auto* q = std::get_if<tovra::serve::Query>(&batch); q && q->route != tovra::serve::Route::kResolve) std::abort();
  std::variant<tovra::serve::Query, tovra::serve::QueryError> parsed = tovra::serve::ParseQuery(path, params);
  if (const auto* q = std::get_if<tovra::serve::Query>(&parsed)) {
    if (q->key.size() > tovra::kKeyMax || q->second.size() > tovra::kKeyMax) std::abort();
    if (q->route == tovra::serve::Route::kCompat && q->key.size() != 7) std::abort();
    if (q->callback.find_first_of("()<>\"';/ ") != std::string::npos) std::abort();
  } else if (std::get<tovra::serve::QueryError>(parsed).message.empty()) {
    std::abort();
  }
  return 0;
}
