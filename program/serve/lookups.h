// The library's look-ups as JSON: number, name or reading -> MAs (either edition), MA ->
// area-code text, the charging distance and class of two ends, area plus.
#pragma once

#include "query.h"
#include "reply.h"

namespace tovra::serve {

// Answers a library route (kMa, kMaAreaCodes, kDistance, kAreaPlus); 404 when a key names no MA.
Reply RunLookup(const Query& query);

}  // namespace tovra::serve
