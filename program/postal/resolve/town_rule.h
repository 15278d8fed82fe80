// What a KEN_ALL.CSV town field says about the addresses its record covers.
//
// A town with several records tells them apart in the town field's parentheses, in the file's
// own wording: chome ranges and lists (（１～１９丁目）, （４、５丁目）), block ranges and lists
// (（１～５０番地）), the parts of a town with or without chome (（丁目）, （番地）, （大字）), the
// rest of the town (（その他）), the floors of a named building (（１７階）, （地階・階層不明）),
// the names of its parts (（栄町）), or in Kyoto the street directions of each part
// (（釜座通竹屋町下る、夷川通釜座西入）). ParseTownField reads that wording into a TownRule;
// MatchTownRule tells whether a written address falls under it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovra::resolve {

enum class RuleKind : std::uint8_t {
  kPlain,           // no parentheses, or （次のビルを除く）: the town as such
  kItems,           // a list of chome, block ranges or part names
  kOther,           // （その他）: what the town's other records do not list
  kWithChome,       // （丁目）: the parts of the town that have chome
  kWithoutChome,    // （番地）, （大字）: the parts without chome
  kFloor,           // （１７階）: one floor of a named building
  kBasementOrUnknown,  // （地階・階層不明）
  kCatchAll,        // 以下に掲載がない場合, 一円: a city's towns the file does not list
  kNextIsBanchi,    // …の次に番地がくる場合: a city whose addresses go on with a number
};

// One item of a list. Numbers are chome, or blocks as block * 100000 + sub-number.
struct RuleItem {
  enum class Unit : std::uint8_t { kNone, kChome, kBlock, kName } unit = RuleItem::Unit::kNone;
  std::int32_t chome = -1;          // a block range inside one chome (（２丁目１～５番地）)
  std::int64_t low = 0, high = 0;   // inclusive
  std::string name;                 // key form, for kName
  bool partial = false;             // a named part of a chome (（１丁目東）): never decides alone
};

struct TownRule {
  RuleKind kind = RuleKind::kPlain;
  std::int32_t floor = 0;           // kFloor
  std::vector<RuleItem> items;      // kItems
};

// A town field split into the town's name and its rule: the name is the text before the
// parentheses (with a named building's 高層棟 kept), both in key form.
struct TownField {
  std::string base;
  TownRule rule;
};
TownField ParseTownField(std::string_view cp932_field);

// The numbers of a written address after its town: chome, block, sub-number (-1 when absent).
struct AddressNumbers {
  std::int32_t chome = -1;
  std::int32_t block = -1;
  std::int32_t sub = -1;
  bool block_word = false;   // the block was written with 番地 or 番, so no chome came first
  std::size_t length = 0;    // bytes of the key-form text the numbers took
};
// Reads the numbers at the start of `rest` (key form). `town_has_chome` says how to take the
// first of "2-10-2": as chome in a town with chome, as the block otherwise.
AddressNumbers ReadAddressNumbers(std::string_view rest, bool town_has_chome);

enum class RuleMatch : std::uint8_t { kNo, kYes, kUnknown };

// Whether an address (its key-form text after the town, and its numbers) falls under a rule.
// kUnknown when the address does not say (no chome given where the rule needs one). `around`
// is the whole key-form text after the city, for the street directions of Kyoto, which people
// write before or after the town.
RuleMatch MatchTownRule(const TownRule& rule, std::string_view rest, const AddressNumbers& numbers,
                        std::string_view around);

// The floor written in a building's part of an address (key form): 17 for "17階", "17F";
// 0 for a basement ("地下1階", "B1F"); -1 when none is written.
int ReadFloor(std::string_view text);

}  // namespace tovra::resolve
