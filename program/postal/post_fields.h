// The columns of the two published postal files, numbered from 1 as their layouts number
// them (PostRecord's operator[] takes these numbers).
#pragma once

namespace tovra {

// KEN_ALL.CSV: one line per town area.
namespace ken_field {
constexpr int kDantaiCode = 1;      // local-government code, five digits
constexpr int kOldCode = 2;         // old postal code, three or five digits padded with spaces
constexpr int kPostCode = 3;        // postal code, seven digits
constexpr int kPrefectureKana = 4;
constexpr int kCityKana = 5;
constexpr int kTownKana = 6;
constexpr int kPrefecture = 7;
constexpr int kCity = 8;
constexpr int kTown = 9;
constexpr int kHasChome = 12;       // "1" when the town is divided into chome
}  // namespace ken_field

// JIGYOSYO.CSV: one line per business office with a postal code of its own.
namespace jig_field {
constexpr int kDantaiCode = 1;
constexpr int kBusinessKana = 2;
constexpr int kBusiness = 3;
constexpr int kPrefecture = 4;
constexpr int kCity = 5;
constexpr int kTown = 6;
constexpr int kStreet = 7;          // block and building: the rest of the address
constexpr int kPostCode = 8;
constexpr int kOldCode = 9;
}  // namespace jig_field

}  // namespace tovra
