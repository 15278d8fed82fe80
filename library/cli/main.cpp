// meklan: the library's exports from the shell. Only a front end: it converts text between
// the terminal and CP932, calls the exports and prints what they return.
#include <string>

#include "commands.h"
#include "meklan.h"

namespace meklan::cli {
namespace {

const Command kCommands[] = {
    {"ma", RunMa, "ma KEY [--pref PREFECTURE|INDEX] [--raw] [--edition 2003|current]",
     "MAs that a number, area code, name or reading belongs to",
     "Lists the distinct MA names that KEY can belong to, one per line, in the order the\n"
     "library finds them. KEY is a full or partial telephone number (hyphens are ignored),\n"
     "the beginning of an MA name or of its reading; \"0\" lists every MA.\n"
     "\n"
     "  --pref P   only MAs of prefecture P: its name (東京都) or its 0-based index in the\n"
     "             library's prefecture table (see 'meklan table prefectures'); 0 is 北海道\n"
     "  --raw      print the list as the library returns it (names each followed by $,\n"
     "             repeats kept)\n"
     "  --edition E  2003 (the default: the tables of the library's exports) or current\n"},
    {"areacode", RunAreaCode, "areacode KEY [--branch N] [--edition 2003|current]",
     "area codes and exchange prefixes of an MA",
     "Prints the area codes of the MA that KEY names (its name, reading, an area code, or an\n"
     "area code with one prefix such as 0153-5), e.g. 0153-[1,5,6].\n"
     "\n"
     "  --branch N  only the record with branch N of that MA\n"
     "  --edition E  2003 (the default) or current\n"},
    {"join", RunJoin, "join CODE TOWN [STREET] [--edition 2003|current]",
     "the MAs serving a postal row: local-government code and town",
     "Prints how the postal row of local government CODE (five digits, e.g. 22140) whose\n"
     "town field is TOWN (as KEN_ALL.CSV writes it, e.g. 石神 or 大通西（１～１９丁目）)\n"
     "meets the address table, then one line per serving MA: name and area codes. STREET is\n"
     "a JIGYOSYO address (e.g. ２丁目３－４) whose chome may decide a divided town. The way\n"
     "is one of: whole (one MA serves the code), part, straddling (several MAs serve parts\n"
     "of the row), catch-all (the row 以下に掲載がない場合), none. Exit 1 when none.\n"
     "\n"
     "  --edition E  2003 (the default) or current (today's municipalities)\n"},
    {"distance", RunDistance,
     "distance FROM TO [--json]\n       meklan distance --dialog [FROM [TO]] [--json]",
     "charging distance and class of a call between two MAs",
     "Resolves FROM and TO (each an MA name, reading, area code or telephone number; a\n"
     "number that names nothing is shortened until it does) and prints both MAs with their\n"
     "area codes and prefectures, the distance, the distance used for charging, the class of\n"
     "the pair and nttNo (0 within one eastern prefecture, 1 within one western, 2 across).\n"
     "\n"
     "  --json    print the result record as one JSON object (UTF-8) with its field names\n"
     "  --dialog  open the library's distance dialog instead, FROM and TO (both optional)\n"
     "            as its initial texts; prints what it returns and the record it filled\n"
     "            (with --json: {\"result\":N,\"record\":{...}}); a cancel prints -1\n"},
    {"areaplus", RunAreaPlus, "areaplus KEY", "adjacent and remote-island MAs of an MA",
     "Prints the MAs adjacent to the MA that KEY names (its name, reading, an area code or an\n"
     "area code with one prefix) with all their area codes, then, under a second header, the\n"
     "MAs linked to it by the remote-island rule.\n"},
    {"addresses", RunAddresses, "addresses PREFECTURE [CITY]",
     "local governments of a prefecture (or city) and their MAs, as TSV",
     "Prints the address records of PREFECTURE (spelled as in the prefecture table, e.g.\n"
     "東京都) or of one CITY in it (e.g. 夕張市) as tab-separated lines with a header: local-\n"
     "government code, MA name, branch, prefecture, city, town, chome note.\n"},
    {"info", RunInfo, "info", "library version, data date, table sizes and version texts",
     "Prints the library's version, compatibility number, data date, the sizes of its tables\n"
     "and the texts of its version resource.\n"},
    {"table", RunTable, "table ma|address|prefectures [--edition 2003|current]", "a built-in table as TSV",
     "Prints one of the library's built-in tables as tab-separated lines with a header:\n"
     "  ma           the MA records in table order\n"
     "  address      the address records in table order\n"
     "  prefectures  the prefecture table (index as used by 'meklan ma --pref')\n"
     "  --edition E  2003 (the default) or current; in the current address table the town\n"
     "               column holds the published wording of a part\n"},
};

std::string Version() {
  char version[MEKLAN_VERSION_SIZE];
  return MEKLAN_GetVersion(version);
}

}  // namespace
}  // namespace meklan::cli

const common::cli::Program common::cli::kThisProgram = {
    "meklan",
    meklan::cli::kCommands,
    {},
    "The telephone charging areas (MA) of Japan as of " MEKLAN_DATA_DATE ", from libmeklan.\n",
    "Text is read and written in the terminal's encoding (UTF-8 under the C locale).\n"
    "Exit status: 0 success, 1 nothing found, 2 usage error.\n",
    nullptr,
    meklan::cli::Version,
};
