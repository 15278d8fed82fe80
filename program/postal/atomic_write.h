// Replacing a file atomically: the new text goes to "<name>.tmp-XXXXXX" beside it, is synced,
// and is renamed over the file; a save that fails half-way leaves the old file untouched. A
// temporary file is removed when SIGINT or SIGTERM ends the process while it is written.
#pragma once

#include <sys/types.h>

#include <string>

namespace tovra {

// Writes `content` to `path` with permission bits `mode`; false (old file untouched) on any
// failure.
bool WriteFileAtomically(const std::string& path, const std::string& content, mode_t mode);

// Removes the temporary files of `path` that a killed save left behind. Only to be called
// under the save lock, when no other save is writing one.
void RemoveLeftoverTemporaries(const std::string& path);

}  // namespace tovra
