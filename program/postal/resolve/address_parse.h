// The steps of reading a written address (in key form) against the town tables: prefecture,
// city, town, and the decision between the records of the town.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "town_tables.h"

namespace tovra::resolve {

// Where a name was found at the start of a text: what it names and how many bytes it took.
struct NameHit {
  std::vector<std::uint32_t> values;
  std::size_t length = 0;
};

// Every name under (tag, scope) that starts `text`, longest first.
std::vector<NameHit> NamesStarting(const TownTables& t, char tag, std::uint32_t scope, std::string_view text);

// The town of `city` that starts `text` (the text after the city), or that follows Kyoto's
// street directions there ("河原町通三条上る恵比須町"). town -1 when none does.
struct TownHit {
  std::int32_t town = -1;
  std::size_t end = 0;  // where the text after the town begins
};
TownHit FindTown(const TownTables& t, std::uint32_t city, std::string_view text);

// The records an address may mean: one (level 4), or several the text does not tell apart
// (level 3), or none (a city without its town: level 2).
struct Decision {
  int level = 2;
  std::vector<std::uint32_t> records;
  std::string note;  // why the decision is not certain
};

// Decides between the records of a town by the text after it (`rest`); `around` is the whole
// text after the city.
Decision DecideInTown(const TownTables& t, const Town& town, std::string_view rest, std::string_view around);
// What the file says of a city's address whose town it does not list: 以下に掲載がない場合 for
// a named town, …の次に番地がくる場合 for a number right after the city.
Decision DecideWithoutTown(const TownTables& t, const City& city, std::string_view text);
// The large offices at the address `text` after the city: one office decides (or several that
// share a postal code); otherwise the candidates; no records when no office is there.
Decision DecideOffice(const TownTables& t, std::uint32_t city, std::string_view text);

}  // namespace tovra::resolve
