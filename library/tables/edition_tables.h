// The two editions of the built-in data side by side: the 2003 tables the sixteen exports
// answer from, and the current edition imported from today's public lists. Both are
// generated at build time; each address record carries the towns its part covers or
// excludes, read by meklan-gen from the part's wording, so that the join needs no parsing.
#pragma once

#include <cstdint>

#include "meklan.h"

namespace meklan {

// How an address record's towns are meant.
enum class PartMode : std::int32_t {
  kWhole,   // the whole local government
  kOnly,    // only the listed towns ("…に限る。", or a bare town name)
  kExcept,  // everything but the listed towns ("…を除く。")
  kRest,    // what no other record of the code covers (2003 records without a town)
};

// A town a part names. `chome` has bit n set for n丁目; 0 means the town with every chome;
// bit 0 marks an unnamed part of the town (the postal file lists the town as one row).
// `under` is set when the name is a former municipality (kFormerMunicipalityMarks) that
// also stands at the start of the towns written under it ("安富町" covers "安富町安志").
struct PartTown {
  const char* town;  // CP932
  std::uint64_t chome;
  std::int32_t under;
};

// The join data of one address record (same index as the MKADDRESS record).
struct AddressPart {
  std::int32_t ma;         // index of the serving record in the edition's MA table
  PartMode mode;
  std::int32_t firstTown;  // into the edition's PartTown array
  std::int32_t townCount;
  // Some listed town has no row in the postal file: an address there takes the catch-all
  // row ("以下に掲載がない場合"), which this part then serves too.
  std::int32_t unlistedTowns;
};

struct Edition {
  const char* dataDate;      // "2003/12/01"
  const MKMA* ma;
  int maCount;
  const MKADDRESS* address;
  int addressCount;
  const AddressPart* parts;  // one per address record
  const PartTown* towns;
  const int* byCode;         // address indexes ordered by dantaiCode (table order within a code)
};

extern const Edition kEdition2003;
extern const Edition kEditionCurrent;

// A letter the government's list and the postal file write differently in one name ("新館"
// and "新舘"), and the letter both are compared as (library/tables/letter_variants.tsv).
struct LetterVariant {
  const char* letter;  // CP932, one double-byte letter
  const char* sameAs;
};
extern const LetterVariant kLetterVariants[];
extern const int kLetterVariantCount;

// The last letters of a former municipality's name ("町", "村", "区"): the towns of a merged
// municipality are written under it ("安塚区上方", "土成町秋月").
extern const char* const kFormerMunicipalityMarks[];
extern const int kFormerMunicipalityMarkCount;

}  // namespace meklan
