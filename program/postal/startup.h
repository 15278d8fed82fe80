// How a front end without a window starts a run: the stored settings with this run's
// overrides on top, both indexes checked as the desktop program checks them at start, and the
// indexes rebuilt for the stored files saved back. A file named for this run only keeps its
// index in the user's cache (index_cache.h), never in the settings; a run whose searches read
// every line anyway builds no index at all. The front ends only say what to override and what
// they search, and show what became of it.
#pragma once

#include <optional>
#include <string>

#include "index_cache.h"
#include "searches.h"
#include "settings.h"

namespace tovra {

// Settings that hold for one run only and are never saved.
struct RunOverrides {
  std::optional<std::string> ken_all_path, jigyosyo_path;
  std::optional<int> add_hyphen;
  std::optional<int> edition;  // MEKLAN_EDITION_*
  bool rebuild = false;        // forget both recorded times: both indexes are built afresh
};

// Which stored file paths an override replaced: an index belongs to the file it was built
// from, so another path forces a fresh check, and nothing about that file is saved.
struct OverriddenFiles {
  bool ken_all = false, jigyosyo = false;
  bool rebuild = false;  // both indexes are built afresh: no cached one is taken either
};

OverriddenFiles ApplyOverrides(const RunOverrides& overrides, Settings& settings);

// What the check of one file's index found.
struct IndexState {
  bool exists = false;   // the file's time could be read
  bool rebuilt = false;  // a build ran
  SearchStatus built = SearchStatus::kOk;
};

struct StartedIndexes {
  IndexState ken_all, jigyosyo;
  bool saved = true;         // the settings file took the rebuilt indexes (or none was due)
  std::string save_message;  // what the save reported, shown to the user when not empty
};

// Whether the run's searches go by the indexes. Address words, local-government codes and
// written addresses read every line of both files anyway: for them no index is checked or
// built, only whether the files are there.
enum class IndexNeed { kNone, kUsed };

// Checks both indexes in `ctx` (rebuilding what changed) and saves to `ini_path` only the
// indexes rebuilt for the stored files: another program may have changed the rest meanwhile.
// The index of an overridden file is looked up in and stored to `cache_folder` (none when
// empty).
StartedIndexes CheckIndexesAndSave(SearchContext& ctx, const std::string& ini_path, OverriddenFiles overridden,
                                   IndexNeed need = IndexNeed::kUsed,
                                   const std::string& cache_folder = IndexCacheFolder());

}  // namespace tovra
