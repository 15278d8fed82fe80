// The join of the two address systems: a local-government code and a town as the postal
// files write it -> the MA records that serve it, in one edition.
#pragma once

#include <cstdint>

#include "meklan.h"
#include "tables/edition_tables.h"

namespace meklan {

// Chome of a postal town field ("石神（１～３丁目）" -> bits 1..3) or of the start of a
// JIGYOSYO street ("２丁目３－４" -> bit 2); 0 when the text names none.
std::uint64_t PostalChome(const char* text);

// The serving records of (code, town[, street]) in `edition`; fills every field of `result`.
void JoinTown(const Edition& edition, const char* dantaiCode, const char* town, const char* street,
              MKJOIN& result);

}  // namespace meklan
