// Lookups inside the library shared by the lookup, distance and area-plus code.
#pragma once

#include "meklan.h"

namespace meklan {

// Index (0..kMaCount-1) of the one MA record a name, reading, area code or area code with
// one prefix names; -1 when nothing matches. The key is read up to MEKLAN_KEY_MAX bytes.
int FindMaIndex(const char* key);

// Range text of a prefix list other than "/*/": "/1/2/3/4/5/6/9/" -> "1～6,9".
// The result lives in a per-thread buffer, valid until this thread's next call.
const char* FormatPrefixRanges(const char* prefixList);

}  // namespace meklan
