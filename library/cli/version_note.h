// Reads the version texts that libmeklan.so carries as an ELF note (owner "MEKLAN", type 1)
// from a library file on disk, so that `meklan info` shows what the loaded file says about
// itself rather than what the command was built with.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace meklan::cli {

// The "Name=value" texts of the note, in their order (UTF-8). nullopt when the file cannot be
// read, is not an ELF file of this machine's class, or has no such note.
std::optional<std::vector<std::pair<std::string, std::string>>> ReadVersionNote(
    const std::string& library_file);

}  // namespace meklan::cli
