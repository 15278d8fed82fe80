#include "session.h"

#include <unistd.h>

#include <cstdio>

#include "command_table.h"
#include "edition_option.h"
#include "startup.h"

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
    o.edition = common::cli::EditionNamed(self, *e);
    if (!o.edition) return std::nullopt;
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

void Session::Start(Run run, bool rebuild) {
  const std::string program_dir = ProgramDirectory();
  const std::string ini_path = options_.ini ? *options_.ini : SettingsPath(program_dir);
  const std::string warning = SettingsFileWarning(ini_path, LoadSettings(ini_path, program_dir, settings_));
  if (!warning.empty()) std::fprintf(stderr, "tovra-search: warning: %s\n", common::cli::Printable(warning).c_str());
  RunOverrides overrides;
  overrides.ken_all_path = options_.ken;
  overrides.jigyosyo_path = options_.jig;
  overrides.add_hyphen = options_.hyphen;
  overrides.edition = options_.edition;
  overrides.rebuild = rebuild;
  const IndexNeed need = run == Run::kWholeFileSearch ? IndexNeed::kNone : IndexNeed::kUsed;
  started_ = CheckIndexesAndSave(ctx_, ini_path, ApplyOverrides(overrides, settings_), need);
  Note(PostFile::kKenAll, started_.ken_all.built);
  Note(PostFile::kJigyosyo, started_.jigyosyo.built);
  if (!started_.save_message.empty()) {
    view_.ShowMessage(started_.save_message, "");
    failed_ = true;
  }
  if (!started_.saved && options_.ini)
    std::fprintf(stderr, "tovra-search: warning: cannot write %s\n", common::cli::Printable(ini_path).c_str());
  // As the desktop program greys out 事業所データ使用 when the business file is missing, the
  // searches go on over KEN_ALL.CSV alone; the user is told why no business rows come.
  if (options_.business && !Exists(PostFile::kJigyosyo) && run != Run::kIndexCommand) {
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
