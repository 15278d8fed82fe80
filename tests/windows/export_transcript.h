// Every export of MEKLAN run over a large set of cases drawn from the library's own tables,
// written as one text: the Linux library's transcript is the oracle that meklan.dll, loaded
// under wine by name, must reproduce byte for byte.
#pragma once

#include <string>

#include "meklan.h"

// The exports by name, each with the type of its declaration (calling convention included).
#define MEKLAN_TRANSCRIPT_EXPORTS(X)                                                       \
  X(GetVersion) X(GetVersionX) X(GetVersionCompati) X(GetDayData) X(GetNumOfMKMA)          \
  X(GetMKMA) X(GetNumOfAddress) X(GetAddress) X(GetAddressAreaList) X(MemFree)             \
  X(GetNumOfNTT) X(GetMA) X(GetAreaCode) X(GetDistance) X(GetAreaPlus)                     \
  X(GetDistanceWithDialog) X(EditionGetDayData) X(EditionGetNumOfMKMA) X(EditionGetMKMA)   \
  X(EditionGetNumOfAddress) X(EditionGetAddress) X(EditionGetMA) X(EditionGetAreaCode)     \
  X(EditionJoin)

struct MeklanExports {
#define MEKLAN_TRANSCRIPT_FIELD(name) decltype(&MEKLAN_##name) name;
  MEKLAN_TRANSCRIPT_EXPORTS(MEKLAN_TRANSCRIPT_FIELD)
#undef MEKLAN_TRANSCRIPT_FIELD
};

// The transcript of every case, one line per answer (texts as the library's CP932 bytes).
// The distance dialog is not run here: it needs a person, or a test of its own.
std::string ExportTranscript(const MeklanExports& meklan);
