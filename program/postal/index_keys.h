// The index tables as INI keys: "pfu0start", "pfu0size" ... for the prefecture blocks and
// "pfc0num", "pfc0start", "pfc0size" ... for the runs of first digits, in [POSTCODE]. The
// settings file keeps both files' tables so (JIGYOSYO.CSV under the stems "pfuj" and "pfcj"),
// and the cache of one-run indexes uses the same keys.
#pragma once

#include "ini_file.h"
#include "post_index.h"

namespace tovra {

// Stems of the keys of one file's tables.
struct IndexKeyStems {
  const char* pref;  // the prefecture blocks
  const char* run;   // the digit runs
};
constexpr IndexKeyStems kKenAllIndexStems{"pfu", "pfc"};
constexpr IndexKeyStems kJigyosyoIndexStems{"pfuj", "pfcj"};

// Missing keys read as 0.
void ReadIndexKeys(const IniReader& ini, IndexKeyStems stems, PostIndex& index);
void WritePrefRangeKeys(IniWriter& ini, const char* stem, const PostIndex& index);
void WriteDigitRunKeys(IniWriter& ini, const char* stem, const PostIndex& index);

}  // namespace tovra
