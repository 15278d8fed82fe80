// tovra-search: every search of the desktop program from the command line.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cp932.h"
#include "key_fold.h"
#include "output.h"
#include "searches.h"
#include "settings.h"
#include "terminal_view.h"

namespace tovra::cli {
namespace {

constexpr const char kUsage[] =
    "Usage: tovra-search [OPTIONS] COMMAND ARGS...\n"
    "\n"
    "Searches the postal files KEN_ALL.CSV and JIGYOSYO.CSV as the TOVRA program does.\n"
    "\n"
    "Commands:\n"
    "  postcode KEY [--match exact|prefix|contains]   by postal code (default exact; 060-0001 =\n"
    "                                                 0600001; exact also takes old 3/5-digit codes)\n"
    "  address KEY [--match exact|contains]           by address words or business name (default\n"
    "                                                 exact); \"A+B\" needs both words\n"
    "  dantai CODE                                    by five-digit local-government code\n"
    "  areacode KEY [--show postal|districts]         by telephone area code, number or MA name\n"
    "                                                 (default postal: the postal rows of the areas)\n"
    "  cities PREFECTURE                              the cities of a prefecture, one per line\n"
    "  city PREFECTURE CITY                           the rows of one city\n"
    "  index [--rebuild]                              check (or rebuild) and print both indexes\n"
    "\n"
    "Options:\n"
    "  --ken FILE          KEN_ALL.CSV to search (default: the settings' path)\n"
    "  --jig FILE          JIGYOSYO.CSV to search (default: the settings' path)\n"
    "  --ini FILE          settings file (default: ini/tovra.ini beside the program)\n"
    "  --business          also search JIGYOSYO.CSV (business offices)\n"
    "  --hyphen            show postal codes as 060-0001 (default: the settings' choice)\n"
    "  --no-hyphen         show postal codes as 0600001\n"
    "  --format FMT        tsv (default, no header), csv (with header) or json\n"
    "  -h, --help          show this help\n"
    "\n"
    "Rows have twelve fields: postal code, local-government code, area codes, MA name,\n"
    "prefecture, city, town, the three in kana, business name and its kana; sorted by postal code.\n"
    "Exit status: 0 (also when nothing is found), 1 when a file is missing or broken, 2 on usage\n"
    "errors. The settings file is written back only when an index had to be rebuilt.\n";

struct Options {
  std::optional<std::string> ken, jig, ini;
  bool business = false;
  std::optional<int> hyphen;
  Format format = Format::kTsv;
  std::optional<std::string> match, show;
  bool rebuild = false;
  std::vector<std::string> args;  // command and its operands
};

struct UsageError {
  std::string text;
};

// Options may stand anywhere; "--" ends them.
Options ParseOptions(int argc, char** argv) {
  Options o;
  bool operands_only = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* name) {
      if (i + 1 >= argc) throw UsageError{std::string(name) + " needs a value"};
      return std::string(argv[++i]);
    };
    if (operands_only || a.size() < 2 || a[0] != '-' || (a[1] != '-' && a != "-h")) {
      o.args.push_back(a);
    } else if (a == "--") {
      operands_only = true;
    } else if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (a == "--ken") {
      o.ken = value("--ken");
    } else if (a == "--jig") {
      o.jig = value("--jig");
    } else if (a == "--ini") {
      o.ini = value("--ini");
    } else if (a == "--business") {
      o.business = true;
    } else if (a == "--hyphen") {
      o.hyphen = 1;
    } else if (a == "--no-hyphen") {
      o.hyphen = 0;
    } else if (a == "--format") {
      std::string f = value("--format");
      if (f == "tsv") o.format = Format::kTsv;
      else if (f == "csv") o.format = Format::kCsv;
      else if (f == "json") o.format = Format::kJson;
      else throw UsageError{"unknown format '" + f + "' (tsv, csv or json)"};
    } else if (a == "--match") {
      o.match = value("--match");
    } else if (a == "--show") {
      o.show = value("--show");
    } else if (a == "--rebuild") {
      o.rebuild = true;
    } else {
      throw UsageError{"unknown option '" + a + "'"};
    }
  }
  return o;
}

std::string ToCp932(const std::string& arg, const char* what) {
  std::optional<std::string> text = cp932::FromLocale(arg);
  if (!text) throw UsageError{std::string(what) + " '" + arg + "' has characters that CP932 cannot hold"};
  return *text;
}

void ExpectOperands(const Options& o, std::size_t n, const char* synopsis) {
  if (o.args.size() != n + 1) throw UsageError{std::string("usage: tovra-search ") + synopsis};
}

int MatchOption(const Options& o, bool prefix_allowed) {
  if (!o.match || *o.match == "exact") return kMatchExact;
  if (*o.match == "contains") return kMatchContains;
  if (prefix_allowed && *o.match == "prefix") return kMatchPrefix;
  throw UsageError{"unknown --match '" + *o.match + (prefix_allowed ? "' (exact, prefix or contains)" : "' (exact or contains)")};
}

const char* kFileNames[2] = {"ken_all", "jigyosyo"};

void PrintIndex(Settings& settings, PostFile file, const char* state) {
  const int f = file == PostFile::kKenAll ? 0 : 1;
  std::printf("%s\tfile\t%s\t%s\t%s\n", kFileNames[f], PostFilePath(settings, file).c_str(),
              PostFileTime(settings, file).c_str(), state);
  const PostIndex& index = PostFileIndex(settings, file);
  for (int i = 0; i < kPrefectureCount; ++i) {
    const PrefRange& r = index.pref[static_cast<std::size_t>(i)];
    std::printf("%s\tpref\t%d\t%s\t%d\t%d\n", kFileNames[f], i,
                cp932::ToLocale(PrefectureNames()[static_cast<std::size_t>(i)]).c_str(), r.start, r.size);
  }
  for (int i = 0; i < kDigitRunCount; ++i) {
    const DigitRun& r = index.run[static_cast<std::size_t>(i)];
    if (r.num == -1) continue;
    std::printf("%s\trun\t%d\t%d\t%d\t%d\n", kFileNames[f], i, r.num, r.start, r.size);
  }
}

int Run(int argc, char** argv) {
  Options o = ParseOptions(argc, argv);
  if (o.args.empty()) throw UsageError{"no command given (try --help)"};
  const std::string& command = o.args[0];

  const std::string program_dir = ProgramDirectory();
  const std::string ini_path = o.ini ? *o.ini : SettingsPath(program_dir);
  Settings stored;
  LoadSettings(ini_path, program_dir, stored);
  Settings settings = stored;
  // An index belongs to the file it was built from: another path forces a fresh check.
  if (o.ken && *o.ken != settings.ken_all_path) {
    settings.ken_all_path = *o.ken;
    settings.ken_all_time.clear();
  }
  if (o.jig && *o.jig != settings.jigyosyo_path) {
    settings.jigyosyo_path = *o.jig;
    settings.jigyosyo_time.clear();
  }
  if (o.hyphen) settings.add_hyphen = *o.hyphen;
  if (o.rebuild) {
    settings.ken_all_time.clear();
    settings.jigyosyo_time.clear();
  }

  TerminalView view(isatty(STDERR_FILENO) != 0);
  view.SetUseBusinessData(o.business);
  SearchContext ctx{view, settings};

  // Validate the command before any work is done.
  std::string key;
  if (command == "postcode" || command == "address" || command == "dantai" || command == "areacode") {
    ExpectOperands(o, 1, (command + " KEY").c_str());
    key = ToCp932(o.args[1], "the key");
    const KeyKind kind = command == "postcode" ? KeyKind::kPostCode
                         : command == "address" ? KeyKind::kWords
                         : command == "dantai"  ? KeyKind::kDantai
                                                : KeyKind::kAreaCode;
    if (!IsSearchKey(kind, key)) throw UsageError{"the key '" + o.args[1] + "' leaves nothing to search for"};
  } else if (command == "cities") {
    ExpectOperands(o, 1, "cities PREFECTURE");
  } else if (command == "city") {
    ExpectOperands(o, 2, "city PREFECTURE CITY");
  } else if (command == "index") {
    ExpectOperands(o, 0, "index [--rebuild]");
  } else {
    throw UsageError{"unknown command '" + command + "' (try --help)"};
  }
  const int postcode_mode = command == "postcode" ? MatchOption(o, true) : 0;
  const int word_match = command == "address" ? MatchOption(o, false) : 0;
  int display = kShowPostal;
  if (o.show) {
    if (*o.show == "districts") display = kShowDistricts;
    else if (*o.show != "postal") throw UsageError{"unknown --show '" + *o.show + "' (postal or districts)"};
  }
  std::string prefecture;
  if (command == "cities" || command == "city") {
    prefecture = ToCp932(o.args[1], "the prefecture");
    if (PrefectureIndex(prefecture) < 0) throw UsageError{"'" + o.args[1] + "' is not a prefecture name (e.g. 北海道, 東京都)"};
  }

  // As the desktop program does at start: check both indexes, rebuild what changed.
  bool ken_rebuilt = false, jig_rebuilt = false;
  bool ken_exists = CheckPostIndex(ctx, PostFile::kKenAll, &ken_rebuilt);
  bool jig_exists = CheckPostIndex(ctx, PostFile::kJigyosyo, &jig_rebuilt);
  if (ken_rebuilt || jig_rebuilt) {
    Settings to_save = stored;
    to_save.ken_all_path = settings.ken_all_path;
    to_save.ken_all_time = settings.ken_all_time;
    to_save.ken_all_index = settings.ken_all_index;
    to_save.jigyosyo_path = settings.jigyosyo_path;
    to_save.jigyosyo_time = settings.jigyosyo_time;
    to_save.jigyosyo_index = settings.jigyosyo_index;
    std::string message;
    bool saved = SaveSettings(ini_path, to_save, &message);
    if (!message.empty()) view.ShowMessage(message, "");
    if (!saved && o.ini) std::fprintf(stderr, "tovra-search: warning: cannot write %s\n", ini_path.c_str());
  }
  if (o.business && !jig_exists && command != "index") {
    std::fprintf(stderr, "tovra-search: %s: JIGYOSYO.CSV not found (needed by --business)\n",
                 settings.jigyosyo_path.c_str());
    return 1;
  }

  if (command == "index") {
    PrintIndex(settings, PostFile::kKenAll, !ken_exists ? "missing" : ken_rebuilt ? "rebuilt" : "unchanged");
    PrintIndex(settings, PostFile::kJigyosyo, !jig_exists ? "missing" : jig_rebuilt ? "rebuilt" : "unchanged");
    return view.MessageCount() > 0 ? 1 : 0;
  }
  if (command == "postcode") {
    std::string normalised = NormalisePostCodeKey(key);
    SearchPostCode(ctx, normalised, postcode_mode);
    if (o.business) SearchJigPostCode(ctx, normalised, postcode_mode);
  } else if (command == "address") {
    ScanKenAll(ctx, key, kScanWords, word_match);
    if (o.business) ScanJigyosyo(ctx, key, kScanWords, word_match);
  } else if (command == "dantai") {
    ScanKenAll(ctx, key, kScanDantai, kWordExact);
    if (o.business) ScanJigyosyo(ctx, key, kScanDantai, kWordExact);
  } else if (command == "areacode") {
    SearchByAreaCode(ctx, key, display);
  } else if (command == "cities") {
    view.SelectPrefecture(prefecture);
    view.ClearCities();
    ScanKenAll(ctx, prefecture, kScanCityList, kWordExact);
    PrintLines(stdout, o.format, view.Cities());
    return view.MessageCount() > 0 ? 1 : 0;
  } else if (command == "city") {
    std::string city = ToCp932(o.args[2], "the city");
    view.SelectPrefecture(prefecture);
    ScanKenAll(ctx, city, kScanCity, kWordExact);
    if (o.business) ScanJigyosyo(ctx, city, kScanCity, kWordExact);
  }
  PrintRows(stdout, o.format, view.SortedRows());
  return view.MessageCount() > 0 ? 1 : 0;
}

}  // namespace
}  // namespace tovra::cli

int main(int argc, char** argv) {
  cp932::InitLocale();
  try {
    return tovra::cli::Run(argc, argv);
  } catch (const tovra::cli::UsageError& e) {
    std::fprintf(stderr, "tovra-search: %s\n", e.text.c_str());
    return 2;
  }
}
