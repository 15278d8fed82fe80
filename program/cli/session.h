// One run of tovra-search as the desktop program starts up: the settings file read, the
// one-run overrides of the command line applied, both indexes checked (and the settings file
// written back when one was rebuilt). The commands run their searches in a session and say
// what became of each; the exit status follows from those outcomes.
#pragma once

#include <optional>
#include <string>

#include "command_table.h"
#include "output.h"
#include "searches.h"
#include "settings.h"
#include "startup.h"
#include "terminal_view.h"

namespace tovra::cli {

using common::cli::Command;
using common::cli::ParsedArgs;

// The options every command accepts, before or after its name.
struct GlobalOptions {
  std::optional<std::string> ken, jig, ini;
  bool business = false;
  std::optional<int> hyphen;
  std::optional<int> edition;  // MEKLAN_EDITION_*: the telephone tables for this run
  Format format = Format::kTsv;
};

// The global options of a parsed command line; nullopt after a usage error (reported).
std::optional<GlobalOptions> ReadGlobalOptions(const Command& self, const ParsedArgs& args);

class Session {
 public:
  explicit Session(GlobalOptions options);

  // What the run does with the data files.
  enum class Run {
    kIndexedSearch,    // searches that go by the indexes (postal codes, area codes, cities)
    kWholeFileSearch,  // searches that read every line: no index is checked or built
    kIndexCommand,     // the index command: both indexes, no searches
  };

  // Reads the settings and checks both indexes. --business without its file is a warning and
  // a run without business rows (not for the index command); `rebuild` forgets both recorded
  // times so that both indexes are built afresh.
  void Start(Run run = Run::kIndexedSearch, bool rebuild = false);

  SearchContext& context() { return ctx_; }
  TerminalView& view() { return view_; }
  const GlobalOptions& options() const { return options_; }
  Settings& settings() { return settings_; }
  // Whether the searches also read JIGYOSYO.CSV.
  Business business() const { return options_.business ? Business::kInclude : Business::kLeaveOut; }
  bool Exists(PostFile file) const { return State(file).exists; }
  bool Rebuilt(PostFile file) const { return State(file).rebuilt; }

  // Takes note of a search's outcome for the exit status.
  void Note(PostFile file, const SearchResult& result) { Note(file, result.status); }
  void Note(const SearchOutcome& outcome) {
    Note(PostFile::kKenAll, outcome.ken_all);
    Note(PostFile::kJigyosyo, outcome.jigyosyo);
  }
  void Note(PostFile file, SearchStatus status);

  // 0, or 1 when a failure was reported on stderr.
  int ExitStatus() const { return failed_ ? 1 : 0; }
  // Prints the collected rows (or the city list) and returns the exit status.
  int PrintRows();
  int PrintCities();

 private:
  const IndexState& State(PostFile file) const {
    return file == PostFile::kKenAll ? started_.ken_all : started_.jigyosyo;
  }

  GlobalOptions options_;
  TerminalView view_;
  Settings settings_;
  SearchContext ctx_;
  StartedIndexes started_;
  bool failed_ = false;
};

}  // namespace tovra::cli
