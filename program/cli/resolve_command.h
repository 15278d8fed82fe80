// tovra-search resolve: written addresses to postal codes, MAs and area codes.
#pragma once

#include "command_table.h"

namespace tovra::cli {

int RunResolve(const common::cli::Command& self, const common::cli::Arguments& arguments);

extern const char kResolveUsage[];
extern const char kResolveSummary[];
extern const char kResolveHelp[];

}  // namespace tovra::cli
