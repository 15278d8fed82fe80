#include "resolutions.h"

#include "cp932.h"
#include "resolution_text.h"

namespace tovra::serve {
namespace {

resolve::ResolveOptions OptionsOf(const Dataset& data, const Query& q) {
  return {q.business, q.edition.value_or(data.settings.ma_edition)};
}

// The answer around the objects, one a line.
Reply Resolutions(const std::vector<std::string>& objects) {
  std::string body = "{\"count\":" + std::to_string(objects.size()) + ",\"resolutions\":[";
  for (std::size_t i = 0; i < objects.size(); ++i) body += (i == 0 ? "\n" : ",\n") + objects[i];
  return Reply{200, body + "\n]}\n"};
}

}  // namespace

Reply ResolveReply(const Dataset& data, const Query& q) {
  return Resolutions({cli::ResolutionJson(cp932::ToUtf8(q.key), data.Resolve(q.key, OptionsOf(data, q)))});
}

Reply ResolveLinesReply(const Dataset& data, const Query& q, const std::vector<std::string>& utf8_lines) {
  const resolve::ResolveOptions options = OptionsOf(data, q);
  std::vector<std::string> objects;
  objects.reserve(utf8_lines.size());
  for (const std::string& line : utf8_lines) {
    // A character without a CP932 form is read as a dash or a gap, not a reason to fail the line.
    objects.push_back(cli::ResolutionJson(line, data.Resolve(cp932::FromUtf8Lenient(line), options)));
  }
  return Resolutions(objects);
}

}  // namespace tovra::serve
