#include "edition_option.h"

#include "meklan.h"

namespace common::cli {

std::optional<int> EditionNamed(const Command& self, const std::string& name) {
  if (name == "2003") return MEKLAN_EDITION_2003;
  if (name == "current") return MEKLAN_EDITION_CURRENT;
  UsageError(self, "unknown edition '" + name + "' (2003 or current)");
  return std::nullopt;
}

}  // namespace common::cli
