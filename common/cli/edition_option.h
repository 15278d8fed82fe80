// The --edition option of both command-line tools: which edition of MEKLAN's telephone
// tables a run uses, "2003" or "current".
#pragma once

#include <optional>
#include <string>

#include "command_table.h"

namespace common::cli {

// The edition that `name` names, as MEKLAN_EDITION_*; for any other name a usage error
// (reported) and nullopt.
std::optional<int> EditionNamed(const Command& self, const std::string& name);

}  // namespace common::cli
