// Charging distance and area-plus listing: the pieces MEKLAN_GetDistance and
// MEKLAN_GetAreaPlus are made of, internal to the library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "meklan.h"
#include "tables/tables.h"

namespace meklan {

// Calls between Okinawa and the rest of the country are charged from the reference point
// of the 大根占 MA rather than from the Okinawa MA itself.
constexpr int kOkinawaRefNS = 206;
constexpr int kOkinawaRefEW = 129;

// Pairs up to this many km apart count as adjacent unless the near-exception table says not.
constexpr int kAdjacentKm = 20;

// Whole km in 2 * sqrt(dNS^2 + dEW^2): one grid unit is 2 km, tenths are cut off.
int CalcMaDistance(int dNS, int dEW);

// An Okinawa MA has 0 as the hundreds digit of its region code.
bool IsOkinawaMa(const MKMA& ma);

// km from an MA to the Okinawa reference point.
int DistanceToOkinawaRef(const MKMA& ma);

// 1 when the unordered pair of MA names is a row of the table, else 0.
int IsAdjacentPair(const char* a, const char* b);
int IsNearException(const char* a, const char* b);
int IsIslandPair(const char* a, const char* b);

// When `name` is one side of the row: true, with the other side copied into partner.
bool PairPartner(const MKPAIR& row, const char* name, char (&partner)[sizeof(MKPAIR::nameA) + 1]);

// The number at the start of text: optional white space, an optional sign, decimal digits
// up to the first other character (a hyphen ends it). nullopt when the value does not fit
// 32 bits; 0 when there are no digits.
std::optional<int32_t> ReadLeadingNumber(const char* text);

// Something that resolves a text to an index, or -1.
using Matcher = int (*)(const char* text);

// Retries a matcher on ever shorter beginnings of the text's leading number, written with
// one leading "0": 0166234567 tries 016623456, 01662345, ... down to 01. -1 when the text
// has no usable leading number or no beginning matches.
int ResolveByShortening(Matcher matcher, const char* text);

// FindMaIndex for the texts that shortening makes ("0", maybe "-", digits), but without a
// scan of the table for a text longer than anything a record answers to.
int FindMaIndexForShortening(const char* text);

// Index 0..3 of the special area (山口特例, 小郡特例, 福山特例, 尾道松永特例) one of whose
// prefix candidates equals the hyphen-free text, or -1. A bare area code is no candidate.
int FindSpecialArea(const char* text);

// Copies src into a fixed field of `size` bytes, NUL-padded, cutting it at a CP932
// character boundary when it would not fit with its NUL.
void CopyField(char* field, std::size_t size, const char* src);

// Writes the area-plus listing of MA record maIndex into out, never more than `size` bytes
// (NUL included). A listing that would not fit ends after its last whole line.
void BuildAreaPlus(int maIndex, char* out, std::size_t size);

}  // namespace meklan
