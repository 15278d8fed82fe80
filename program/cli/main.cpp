// tovra-search: every search of the desktop program from the command line. Only a front end:
// one small function per command reads its arguments, runs the engine's searches in a
// session and prints what they found.
#include <cstdio>
#include <functional>
#include <string>

#include "command_table.h"
#include "cp932.h"
#include "key_fold.h"
#include "meklan.h"
#include "resolve_command.h"
#include "session.h"

namespace tovra::cli {
namespace {

using common::cli::Arguments;
using common::cli::kExitUsage;
using common::cli::OptionSpec;
using common::cli::ToCp932;
using common::cli::UsageError;

// The choices of an option that names one of a few values.
template <typename T>
struct Choice {
  const char* name;
  T value;
};

// The value named by `option` (the first choice when it is not given); nullopt after a
// usage error listing the choices.
template <typename T, std::size_t N>
std::optional<T> Choose(const Command& self, const ParsedArgs& args, const char* option, const Choice<T> (&choices)[N]) {
  const std::string* given = args.Value(option);
  if (given == nullptr) return choices[0].value;
  std::string names;
  for (const Choice<T>& c : choices) {
    if (*given == c.name) return c.value;
    names += names.empty() ? c.name : std::string(", ") + c.name;
  }
  UsageError(self, "unknown " + std::string(option) + " '" + *given + "' (" + names + ")");
  return std::nullopt;
}

constexpr Choice<PostCodeMatch> kPostCodeMatches[] = {
    {"exact", PostCodeMatch::kExact}, {"prefix", PostCodeMatch::kPrefix}, {"contains", PostCodeMatch::kContains}};
constexpr Choice<WordMatch> kWordMatches[] = {{"exact", WordMatch::kExact}, {"contains", WordMatch::kContains}};
constexpr Choice<AreaDisplay> kDisplays[] = {{"postal", AreaDisplay::kPostal}, {"districts", AreaDisplay::kDistricts}};

// A prefecture operand in CP932, refused when it names no prefecture.
std::optional<std::string> PrefectureOperand(const Command& self, const std::string& text) {
  std::optional<std::string> name = ToCp932(self, text, "the prefecture");
  if (name && PrefectureIndex(TrimBlanks(*name)) < 0) {
    UsageError(self, "'" + text + "' is not a prefecture name (e.g. 北海道, 東京都)");
    return std::nullopt;
  }
  return name;
}

// A search key in CP932, refused when nothing is left of it once the engine folds it (blanks,
// "〒" or "+" alone).
std::optional<std::string> KeyOperand(const Command& self, const std::string& text, KeyKind kind) {
  std::optional<std::string> key = ToCp932(self, text, "the key");
  if (key && !IsSearchKey(kind, *key)) {
    UsageError(self, "the key '" + text + "' leaves nothing to search for");
    return std::nullopt;
  }
  return key;
}

// A command's own arguments and the global options; nullopt after a usage error (reported).
struct Invocation {
  ParsedArgs args;
  GlobalOptions options;
};

std::optional<Invocation> Read(const Command& self, const Arguments& arguments, std::initializer_list<OptionSpec> own,
                               std::size_t operands) {
  auto args = ParseArguments(self, arguments, own, operands, operands);
  if (!args) return std::nullopt;
  auto options = ReadGlobalOptions(self, *args);
  if (!options) return std::nullopt;
  return Invocation{std::move(*args), std::move(*options)};
}

using Run = Session::Run;

// Runs `body` in a session started as the desktop program starts; returns its exit status.
int InSession(const GlobalOptions& options, const std::function<int(Session&)>& body, Run run = Run::kIndexedSearch,
              bool rebuild = false) {
  Session s(options);
  s.Start(run, rebuild);
  return body(s);
}

// One search mode in a session: its outcome noted for the exit status, its rows printed.
int RunSearch(const GlobalOptions& options, const std::function<SearchOutcome(Session&)>& search,
              Run run = Run::kIndexedSearch) {
  return InSession(
      options,
      [&](Session& s) {
        s.Note(search(s));
        return s.PrintRows();
      },
      run);
}

// A search by one key whose `option` chooses how it matches or what it shows:
// find(context, key, choice, business).
template <typename T, std::size_t N, typename Find>
int RunKeySearch(const Command& self, const Arguments& arguments, KeyKind kind, const char* option,
                 const Choice<T> (&choices)[N], Find find, Run run = Run::kIndexedSearch) {
  auto in = Read(self, arguments, {{option, true}}, 1);
  auto choice = in ? Choose(self, in->args, option, choices) : std::nullopt;
  auto key = choice ? KeyOperand(self, in->args[0], kind) : std::nullopt;
  if (!key) return kExitUsage;
  return RunSearch(
      in->options, [&](Session& s) { return find(s.context(), *key, *choice, s.business()); }, run);
}

int RunPostcode(const Command& self, const Arguments& arguments) {
  return RunKeySearch(self, arguments, KeyKind::kPostCode, "--match", kPostCodeMatches, FindPostCode);
}

int RunAddress(const Command& self, const Arguments& arguments) {
  return RunKeySearch(self, arguments, KeyKind::kWords, "--match", kWordMatches, FindWords, Run::kWholeFileSearch);
}

int RunDantai(const Command& self, const Arguments& arguments) {
  auto in = Read(self, arguments, {}, 1);
  auto code = in ? KeyOperand(self, in->args[0], KeyKind::kDantai) : std::nullopt;
  if (!code) return kExitUsage;
  return RunSearch(
      in->options, [&](Session& s) { return FindDantai(s.context(), *code, s.business()); }, Run::kWholeFileSearch);
}

int RunAreaCode(const Command& self, const Arguments& arguments) {
  return RunKeySearch(self, arguments, KeyKind::kAreaCode, "--show", kDisplays, FindAreaCode);
}

int RunCities(const Command& self, const Arguments& arguments) {
  auto in = Read(self, arguments, {}, 1);
  auto prefecture = in ? PrefectureOperand(self, in->args[0]) : std::nullopt;
  if (!prefecture) return kExitUsage;
  return InSession(in->options, [&](Session& s) {
    s.Note(PostFile::kKenAll, ListCities(s.context(), *prefecture));
    return s.PrintCities();
  });
}

int RunCity(const Command& self, const Arguments& arguments) {
  auto in = Read(self, arguments, {}, 2);
  auto prefecture = in ? PrefectureOperand(self, in->args[0]) : std::nullopt;
  auto city = prefecture ? ToCp932(self, in->args[1], "the city") : std::nullopt;
  if (!city) return kExitUsage;
  return RunSearch(in->options, [&](Session& s) { return FindCityRows(s.context(), *prefecture, *city, s.business()); });
}

const char* kFileNames[2] = {"ken_all", "jigyosyo"};

void PrintIndex(Session& s, PostFile file) {
  const char* state = !s.Exists(file) ? "missing" : s.Rebuilt(file) ? "rebuilt" : "unchanged";
  const char* name = kFileNames[file == PostFile::kKenAll ? 0 : 1];
  std::printf("%s\tfile\t%s\t%s\t%s\n", name, PostFilePath(s.settings(), file).c_str(),
              PostFileTime(s.settings(), file).c_str(), state);
  const PostIndex& index = PostFileIndex(s.settings(), file);
  for (int i = 0; i < kPrefectureCount; ++i) {
    const PrefRange& r = index.pref[static_cast<std::size_t>(i)];
    std::printf("%s\tpref\t%d\t%s\t%d\t%d\n", name, i,
                cp932::ToLocale(PrefectureNames()[static_cast<std::size_t>(i)]).c_str(), r.start, r.size);
  }
  for (int i = 0; i < kDigitRunCount; ++i) {
    const DigitRun& r = index.run[static_cast<std::size_t>(i)];
    if (r.num == -1) continue;
    std::printf("%s\trun\t%d\t%d\t%d\t%d\n", name, i, r.num, r.start, r.size);
  }
}

// The data dates of both editions of the telephone tables, the one in use marked.
void PrintTableDates(Session& s) {
  for (int edition : {MEKLAN_EDITION_2003, MEKLAN_EDITION_CURRENT}) {
    char date[MEKLAN_DAYDATA_SIZE] = {};
    MEKLAN_EditionGetDayData(edition, date);
    std::printf("tables\t%s\t%s\t%s\n", edition == MEKLAN_EDITION_2003 ? "2003" : "current", date,
                s.settings().ma_edition == edition ? "in use" : "");
  }
}

int RunIndex(const Command& self, const Arguments& arguments) {
  auto in = Read(self, arguments, {{"--rebuild", false}}, 0);
  if (!in) return kExitUsage;
  return InSession(
      in->options,
      [](Session& s) {
        PrintIndex(s, PostFile::kKenAll);
        PrintIndex(s, PostFile::kJigyosyo);
        PrintTableDates(s);
        return s.ExitStatus();
      },
      Run::kIndexCommand, in->args.Has("--rebuild"));
}

const Command kCommands[] = {
    {"postcode", RunPostcode, "postcode KEY [--match exact|prefix|contains]", "rows by postal code",
     "Lists the rows whose postal code matches KEY. 060-0001 is taken as 0600001.\n"
     "\n"
     "  --match exact     the whole code (default); also takes old 3- and 5-digit codes\n"
     "  --match prefix    codes beginning with KEY\n"
     "  --match contains  codes containing KEY\n"},
    {"address", RunAddress, "address KEY [--match exact|contains]", "rows by address words or business name",
     "Lists the rows whose prefecture, city, town (or their kana), or with --business the business\n"
     "name, equals KEY (default) or contains it (--match contains). \"A+B\" needs both words.\n"},
    {"dantai", RunDantai, "dantai CODE", "rows by five-digit local-government code",
     "Lists the rows of the local government whose five-digit code is CODE.\n"},
    {"areacode", RunAreaCode, "areacode KEY [--show postal|districts]", "rows by telephone area code, number or MA name",
     "Finds the MAs that KEY names (an area code, a telephone number or the beginning of an MA\n"
     "name) and lists the areas they serve.\n"
     "\n"
     "  --show postal     the postal rows of those areas (default)\n"
     "  --show districts  one row per local-government area, with the MA's area codes\n"},
    {"cities", RunCities, "cities PREFECTURE", "the cities of a prefecture, one per line",
     "Lists the cities of PREFECTURE (e.g. 北海道, 東京都) in the order of the file.\n"},
    {"city", RunCity, "city PREFECTURE CITY", "the rows of one city",
     "Lists the rows of CITY in PREFECTURE.\n"},
    {"index", RunIndex, "index [--rebuild]", "check (or rebuild) and print both indexes",
     "Checks both indexes as the program does at start (rebuilding a stale one) and prints\n"
     "them: per file its path, time and state, the prefecture ranges and the digit runs;\n"
     "then the data date of each edition of the telephone tables, the one in use marked.\n"
     "\n"
     "  --rebuild  build both indexes afresh\n"},
    {"resolve", RunResolve, kResolveUsage, kResolveSummary, kResolveHelp},
};

constexpr OptionSpec kGlobalOptions[] = {
    {"--ken", true},     {"--jig", true},       {"--ini", true},   {"--business", false},
    {"--hyphen", false}, {"--no-hyphen", false}, {"--format", true}, {"--edition", true},
};

}  // namespace
}  // namespace tovra::cli

const common::cli::Program common::cli::kThisProgram = {
    "tovra-search",
    tovra::cli::kCommands,
    tovra::cli::kGlobalOptions,
    "Searches the postal files KEN_ALL.CSV and JIGYOSYO.CSV as the TOVRA program does.\n",
    "Rows have twelve fields: postal code, local-government code, area codes, MA name,\n"
    "prefecture, city, town, the three in kana, business name and its kana; sorted by postal code.\n"
    "Exit status: 0 (also when nothing is found), 1 when a file is missing or broken, 2 on usage\n"
    "errors. The settings file is written back only when the index of a file it names had to be\n"
    "rebuilt; --ken and --jig apply to this run only and are never saved.\n",
    "  --ken FILE          KEN_ALL.CSV to search (default: the settings' path)\n"
    "  --jig FILE          JIGYOSYO.CSV to search (default: the settings' path)\n"
    "  --ini FILE          settings file (default: ini/tovra.ini beside the program, or\n"
    "                      ~/.config/tovra/tovra.ini when that ini/ is not writable)\n"
    "  --business          also search JIGYOSYO.CSV (business offices); without that file,\n"
    "                      a warning and the KEN_ALL.CSV rows\n"
    "  --hyphen            show postal codes as 060-0001 (default: the settings' choice)\n"
    "  --no-hyphen         show postal codes as 0600001\n"
    "  --format FMT        tsv (default, no header), csv (with header) or json\n"
    "  --edition E         telephone tables: current (today's MAs; every row shows its MAs) or\n"
    "                      2003 (the library's documented tables; rows leave 局番/MA名 empty);\n"
    "                      default: the settings' choice (current unless set otherwise)\n"
    "  -h, --help          show this help\n",
    nullptr,
};
