// The resolver over the bundled KEN_ALL.CSV (and the large offices of JIGYOSYO.CSV): any bytes
// as a written address give a resolution of a known level whose fields fit that level, never a
// crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "resolve.h"

namespace {

const tovra::resolve::Resolver& Towns() {
  static const tovra::resolve::Resolver* resolver = [] {
    auto* r = new tovra::resolve::Resolver;
    std::string error;
    if (!r->Load(POSTAL_DATA_DIR "/ken_all.csv", error) || !r->LoadOffices(POSTAL_DATA_DIR "/jigyosyo.csv", error)) {
      std::abort();
    }
    return r;
  }();
  return *resolver;
}

bool Digits(const std::string& text, std::size_t count) {
  return text.size() == count && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const unsigned flags = fuzz::TakeByte(data, size);
  const std::string_view address(reinterpret_cast<const char*>(data), size);
  const tovra::resolve::ResolveOptions options{(flags & 1) != 0, static_cast<int>((flags >> 1) & 1)};
  const tovra::resolve::Resolution r = Towns().Resolve(address, options);
  if (r.level < 0 || r.level > 4) std::abort();
  if (r.level == 4 && !Digits(r.postcode, 7)) std::abort();
  if (r.level < 4 && !r.postcode.empty()) std::abort();
  if (r.level == 3 && r.candidates.empty()) std::abort();
  if (r.level >= 2 && !Digits(r.dantai, 5)) std::abort();
  if (r.level >= 1 && r.prefecture.empty()) std::abort();
  if (r.rest.size() > address.size()) std::abort();  // what is left comes from the text
  return 0;
}
