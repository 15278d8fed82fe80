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
// The edition named by --edition (2003 when absent); a usage error and nullopt otherwise.
std::optional<int> EditionOption(const Command& self, const ParsedArgs& parsed);

// distance_commands.cpp
int RunDistance(const Command& self, const Arguments& args);
int RunAreaPlus(const Command& self, const Arguments& args);

}  // namespace meklan::cli
