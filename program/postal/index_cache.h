// The indexes of data files named for one run (tovra-search --ken/--jig, the usual way to
// search one's own download), kept in the user's cache folder, "$XDG_CACHE_HOME/tovra"
// (default ~/.cache/tovra), so that the next run with the same file takes its index instead of
// reading the file again. The settings file never holds them: it belongs to the files the
// desktop program is set to.
//
// One small file per data file, "<hash of the full path>.ini", holding the full path, the
// file's time and stamp at the build and the index tables (the keys of the settings file).
// An entry is only taken for the path it names; whether the time and stamp are still the
// file's, and whether the tables fit it, is the index check's to decide as for any stored
// index. The folder keeps the entries of the kCachedIndexesMax files used last.
#pragma once

#include <optional>
#include <string>

#include "post_index.h"

namespace tovra {

constexpr int kCachedIndexesMax = 32;

struct CachedIndex {
  std::string time;   // GetFileDateText at the build
  std::string stamp;  // GetFileStampText at the build
  PostIndex index;
};

// The cache folder; empty when neither XDG_CACHE_HOME nor HOME names one.
std::string IndexCacheFolder();

// The entry of `data_path` in `folder`; nullopt when there is none for that file (or it is
// unreadable, or another file's).
std::optional<CachedIndex> LoadCachedIndex(const std::string& folder, const std::string& data_path);

// Stores the entry (creating the folder 0700) and drops the entries used least lately beyond
// kCachedIndexesMax; false when it could not be written. Nothing else depends on the cache:
// a failure only means the next run builds the index again.
bool StoreCachedIndex(const std::string& folder, const std::string& data_path, const CachedIndex& entry);

}  // namespace tovra
