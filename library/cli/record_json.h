// The library's records as JSON objects (UTF-8) with their own field names: what `meklan
// distance --json` prints and what tovra-serve answers.
#pragma once

#include <string>

#include "meklan.h"

namespace meklan::json {

std::string MaRecord(const MKMA& ma);
std::string DistanceRecord(const MKDISTANCE& r);

}  // namespace meklan::json
