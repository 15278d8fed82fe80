#include "session.h"

#include <unistd.h>

#include <cstdio>

#include "command_table.h"
#include "meklan.h"

namespace tovra::cli {

std::optional<GlobalOptions> ReadGlobalOptions(const Command& self, const ParsedArgs& args) {
  GlobalOptions o;
  if (const std::string* v = args.Value("--ken")) o.ken = *v;
  if (const std::string* v = args.Value("--jig")) o.jig = *v;
  if (const std::string* v = args.Value("--ini")) o.ini = *v;
  o.business = args.Has("--business");
  if (args.Has("--hyphen")) o.hyphen = 1;
  if (args.Has("--no-hyphen")) o.hyphen = 0;
  if (const std::string* e = args.Value("--edition")) {
    if (*e == "2003") o.edition = MEKLAN_EDITION_2003;
    else if (*e == "current") o.edition = MEKLAN_EDITION_CURRENT;
    else {
      common::cli::UsageError(self, "unknown edition '" + *e + "' (2003 or current)");
      return std::nullopt;
    }
  }
  if (const std::string* f = args.Value("--format")) {
    if (*f == "tsv") o.format = Format::kTsv;
    else if (*f == "csv") o.format = Format::kCsv;
    else if (*f == "json") o.format = Format::kJson;
    else {
      common::cli::UsageError(self, "unknown format '" + *f + "' (tsv, csv or json)");
      return std::nullopt;
    }
  }
  return o;
}

Session::Session(GlobalOptions options)
    : options_(std::move(options)), view_(isatty(STDERR_FILENO) != 0), ctx_{view_, settings_} {}

void Session::Start(bool for_index, bool rebuild) {
  const std::string program_dir = ProgramDirectory();
  const std::string ini_path = options_.ini ? *options_.ini : SettingsPath(program_dir);
  const std::string warning = SettingsFileWarning(ini_path, LoadSettings(ini_path, program_dir, settings_));
  if (!warning.empty()) std::fprintf(stderr, "tovra-search: warning: %s\n", common::cli::Printable(warning).c_str());
  // An index belongs to the file it was built from: another path forces a fresh check. An
  // override is for this run only, so nothing about that file is saved.
  const bool ken_overridden = options_.ken && *options_.ken != settings_.ken_all_path;
  const bool jig_overridden = options_.jig && *options_.jig != settings_.jigyosyo_path;
  if (ken_overridden) {
    settings_.ken_all_path = *options_.ken;
    settings_.ken_all_time.clear();
  }
  if (jig_overridden) {
    settings_.jigyosyo_path = *options_.jig;
    settings_.jigyosyo_time.clear();
  }
  if (options_.hyphen) settings_.add_hyphen = *options_.hyphen;
  if (options_.edition) settings_.ma_edition = *options_.edition;
  if (rebuild) {
    settings_.ken_all_time.clear();
    settings_.jigyosyo_time.clear();
  }

  // As the desktop program does at start: check both indexes, rebuild what changed.
  SearchStatus ken_built = SearchStatus::kOk, jig_built = SearchStatus::kOk;
  ken_exists_ = CheckPostIndex(ctx_, PostFile::kKenAll, &ken_rebuilt_, &ken_built);
  jig_exists_ = CheckPostIndex(ctx_, PostFile::kJigyosyo, &jig_rebuilt_, &jig_built);
  Note(PostFile::kKenAll, ken_built);
  Note(PostFile::kJigyosyo, jig_built);
  // Only the indexes this run rebuilt for the stored files are saved: another program may have
  // changed the rest meanwhile.
  const unsigned parts = (ken_rebuilt_ && !ken_overridden ? kKenAllIndexPart : 0u) |
                         (jig_rebuilt_ && !jig_overridden ? kJigyosyoIndexPart : 0u);
  if (parts != 0) {
    std::string message;
    bool saved = SaveSettings(ini_path, settings_, &message, parts);
    if (!message.empty()) {
      view_.ShowMessage(message, "");
      failed_ = true;
    }
    if (!saved && options_.ini) std::fprintf(stderr, "tovra-search: warning: cannot write %s\n", common::cli::Printable(ini_path).c_str());
  }
  // As the desktop program greys out 事業所データ使用 when the business file is missing, the
  // searches go on over KEN_ALL.CSV alone; the user is told why no business rows come.
  if (options_.business && !jig_exists_ && !for_index) {
    const bool there = ::access(settings_.jigyosyo_path.c_str(), F_OK) == 0;  // a directory or a pipe
    view_.ShowMessage("warning: " + settings_.jigyosyo_path + ": JIGYOSYO.CSV " +
                          (there ? "is not a regular file" : "not found") + "; --business lists KEN_ALL.CSV rows only",
                      "");
    options_.business = false;
  }
}

void Session::Note(PostFile file, SearchStatus status) {
  // The failures the engine reports on the screen; a missing business file is not one of
  // them (the desktop program greys out its check box instead).
  switch (status) {
    case SearchStatus::kOk:
    case SearchStatus::kMalformedLine:
      return;
    case SearchStatus::kFileMissing:
      if (file == PostFile::kKenAll) failed_ = true;
      return;
    case SearchStatus::kNotRegularFile:  // reported for either file
    case SearchStatus::kIndexOverflow:
    case SearchStatus::kKeyTooLong:
      failed_ = true;
      return;
  }
}

int Session::PrintRows() {
  tovra::cli::PrintRows(stdout, options_.format, view_.Rows());
  return ExitStatus();
}

int Session::PrintCities() {
  PrintLines(stdout, options_.format, view_.cities);
  return ExitStatus();
}

}  // namespace tovra::cli
