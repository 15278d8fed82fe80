// The subcommands of `meklan`, one group per source file; main.cpp lists them in its table.
#pragma once

#include "command_table.h"

namespace meklan::cli {

// The shared command table, parser and helpers, by their short names.
using namespace common::cli;

// lookup_commands.cpp
int RunMa(const Command& self, const Arguments& args);
int RunAreaCode(const Command& self, const Arguments& args);

// table_commands.cpp
int RunAddresses(const Command& self, const Arguments& args);
int RunTable(const Command& self, const Arguments& args);
int RunInfo(const Command& self, const Arguments& args);

// edition_commands.cpp
int RunJoin(const Command& self, const Arguments& args);

// The arguments of a command that also takes --edition, and the edition it names (2003 when
// not given).
struct EditionArgs {
  ParsedArgs args;
  int edition;  // MEKLAN_EDITION_*
};
// ParseArguments with --edition added to `options`; nullopt after a usage error (reported).
std::optional<EditionArgs> ParseWithEdition(const Command& self, const Arguments& args,
                                            std::initializer_list<OptionSpec> options, std::size_t min_positional,
                                            std::size_t max_positional);

// distance_commands.cpp
int RunDistance(const Command& self, const Arguments& args);
int RunAreaPlus(const Command& self, const Arguments& args);

}  // namespace meklan::cli
