// The page the service serves at "/": a search box over the service's own routes, written as
// constant assets (HTML, script, style) with nothing to build and nothing fetched from elsewhere.
#pragma once

#include <string_view>

namespace tovra::serve {

struct Asset {
  std::string_view path;
  std::string_view content_type;
  std::string_view body;
};

// The asset at `path` ("/" is the page), nullptr when there is none.
const Asset* FindAsset(std::string_view path);

}  // namespace tovra::serve
