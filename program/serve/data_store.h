// The postal data the service answers from, and its replacement while it runs.
//
// One issue of KEN_ALL.CSV and JIGYOSYO.CSV is loaded as a Dataset: the files are opened once,
// their indexes checked (built when stale) and every line read once, so that a broken file is
// refused before it serves. The searches then read the files through the descriptors held open
// (/proc/self/fd/N), so a request keeps reading the issue it started on even when the files are
// replaced under their names by the monthly update. The resolver's town tables are built from
// the same descriptors and belong to the Dataset, so a reload swaps them with the files. A
// reload builds the new Dataset beside the old one and swaps the pointer; requests in flight
// keep the old one alive until they finish.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "answer_cache.h"
#include "resolve.h"
#include "settings.h"

namespace tovra::serve {

// Where the data comes from: the settings file (paths, hyphen option, edition, indexes) and
// the one-run overrides of the command line.
struct DataSource {
  std::string ini_path;
  std::string program_dir;
  std::optional<std::string> ken, jig;
};

class Dataset {
 public:
  Dataset() = default;
  Dataset(const Dataset&) = delete;
  Dataset& operator=(const Dataset&) = delete;
  ~Dataset();

  // The settings record of this issue: paths name the held descriptors, both indexes built.
  Settings settings;
  std::string ken_path, jig_path;    // the names the files were opened by
  std::string ken_stamp, jig_stamp;  // their size and time at load ("" for a missing JIGYOSYO.CSV)
  bool has_business = false;         // JIGYOSYO.CSV was there and is served
  int generation = 0;                // 1 for the first load, one more for each reload
  int ken_fd = -1, jig_fd = -1;
  // Answers from this issue (the only part that changes while it serves).
  mutable AnswerCache answers;

  // Resolves a written address (CP932) against this towns (and its large offices when
  // `options.offices` and JIGYOSYO.CSV is served). Safe from any thread.
  resolve::Resolution Resolve(std::string_view address, resolve::ResolveOptions options) const;

  // Builds the resolver's towns from KEN_ALL.CSV and offices from JIGYOSYO.CSV (when served),
  // through the held descriptors; false with a message when either cannot be read.
  bool LoadTowns(std::string* error);

 private:
  resolve::Resolver resolver_;
  mutable std::mutex resolver_mutex_;  // the resolver caches its MA join: one thread at a time
};

// Reads the issue the source names. nullptr when KEN_ALL.CSV is missing or not a regular file,
// or either file does not fit the index or has a broken line; `log` says which (one line).
std::shared_ptr<const Dataset> LoadDataset(const DataSource& source, int generation, std::string* log);

class DataStore {
 public:
  explicit DataStore(DataSource source) : source_(std::move(source)) {}

  // Loads the files (again) and switches to them; the old data keeps serving when the new
  // data is refused. Returns whether the switch took place; `log` says what happened.
  bool Reload(std::string* log);

  // The data to answer one request from; nullptr before the first successful load.
  std::shared_ptr<const Dataset> Current() const;

  // Whether a file's size or time differs from those of the data being served, and from those
  // of files a reload refused, as a stamp check sees it. Does not load anything.
  bool FilesChanged() const;

 private:
  DataSource source_;
  std::mutex reload_mutex_;  // one reload at a time
  mutable std::mutex mutex_;
  std::shared_ptr<const Dataset> current_;
  std::string refused_stamps_;  // of the files the last refused reload found
  int generation_ = 0;
};

}  // namespace tovra::serve
