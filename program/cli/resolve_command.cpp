// tovra-search resolve: a front end of the resolver. It reads addresses (operands, lines of
// standard input, or one column of CSV rows), hands each to the engine and prints one row per
// input, in input order, as it goes: a file of millions of lines streams through.
#include "resolve_command.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cp932.h"
#include "field_text.h"
#include "resolution_text.h"
#include "resolve.h"
#include "session.h"

namespace tovra::cli {

const char kResolveUsage[] = "resolve [ADDRESS...] [--column N [--header]]";
const char kResolveSummary[] = "postal code, MAs and area codes of written addresses";
const char kResolveHelp[] =
    "Resolves written addresses (\"大阪府高槻市奈佐原２丁目１－２\", \"港区芝2-10-2 ビル3F\") to their\n"
    "KEN_ALL.CSV record and, through the telephone tables, to its MAs and area codes. With no\n"
    "ADDRESS, one address per line is read from standard input; one row comes out per input\n"
    "line, in input order (progress on stderr on a terminal).\n"
    "\n"
    "Fields: input, level, postcode, candidates, dantaiCode, areaCodes, maName, prefecture,\n"
    "city, town, rest, note. Levels: 0 nothing recognised, 1 prefecture, 2 city, 3 town (its\n"
    "records' postal codes in candidates: the address does not tell them apart), 4 one record.\n"
    "With --business, addresses of large offices resolve to the office's own postal code.\n"
    "--format json writes one object per line.\n"
    "\n"
    "  --column N  standard input is CSV: resolve column N (from 1) of each row and print the\n"
    "              row with the fields from level on appended (CSV unless --format is given)\n"
    "  --header    with --column: the first row is a header; the field names are appended\n";

namespace {

constexpr long kProgressEvery = 10000;

// The names of the fields of a printed row.
std::vector<std::string> FieldNames() {
  const std::span<const std::string_view> names = ResolutionFieldNames();
  return {names.begin(), names.end()};
}

// The input as UTF-8 for output: as typed on a UTF-8 terminal (characters CP932 lacks kept),
// converted otherwise; what does not convert shows as U+FFFD (or 〓).
std::string InputAsUtf8(const std::string& text, const std::optional<std::string>& cp932_text) {
  if (cp932::LocaleCharset() == "UTF-8" && cp932::IsUtf8(text)) return text;
  if (cp932_text) return cp932::ToUtf8(*cp932_text);
  std::string shown;
  for (unsigned char c : text) shown += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string("\xEF\xBF\xBD");
  return shown;
}

class Printer {
 public:
  explicit Printer(Format format) : format_(format) {}

  void Header(std::vector<std::string> names) {
    if (format_ == Format::kCsv) Line(names);
  }

  // One row; `keys` name the fields for JSON.
  void Row(const std::vector<std::string>& fields, const std::vector<std::string>& keys) {
    if (format_ != Format::kJson) return Line(fields);
    std::fputs((JsonObject(keys, fields) + "\n").c_str(), stdout);
  }

 private:
  void Line(const std::vector<std::string>& utf8_fields) {
    std::string line;
    for (std::size_t i = 0; i < utf8_fields.size(); ++i) {
      if (i > 0) line += format_ == Format::kCsv ? "," : "\t";
      line += format_ == Format::kCsv ? clitext::CsvField(utf8_fields[i]) : clitext::TsvField(utf8_fields[i]);
    }
    line = cp932::Utf8ToLocale(line);
    line += format_ == Format::kCsv ? "\r\n" : "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }

  Format format_;
};

// One CSV record (quoted fields may hold commas, quotes and line ends); false at the end.
bool ReadCsvRecord(std::istream& in, std::vector<std::string>& fields) {
  std::string line;
  if (!std::getline(in, line)) return false;
  fields.assign(1, "");
  bool quoted = false;
  for (std::size_t i = 0;; ++i) {
    if (i == line.size()) {
      if (!quoted || !std::getline(in, line)) break;
      fields.back() += '\n';
      i = static_cast<std::size_t>(-1);
      continue;
    }
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') fields.back() += line[++i];
    else if (c == '"') quoted = !quoted;
    else if (c == ',' && !quoted) fields.emplace_back();
    else if (c != '\r' || i + 1 != line.size()) fields.back() += c;
  }
  return true;
}

class Progress {
 public:
  Progress() : shown_(isatty(STDERR_FILENO) != 0) {}
  ~Progress() {
    if (shown_ && count_ >= kProgressEvery) std::fprintf(stderr, "\r%ld addresses\n", count_);
  }
  void Step() {
    if (++count_ % kProgressEvery == 0 && shown_) std::fprintf(stderr, "\r%ld addresses", count_);
  }

 private:
  bool shown_;
  long count_ = 0;
};

struct Run {
  const resolve::Resolver& resolver;
  resolve::ResolveOptions options;
  Printer printer;

  std::vector<std::string> Fields(const std::string& input) const {
    std::optional<std::string> address = cp932::FromLocale(input);
    // A UTF-8 address with a character CP932 lacks (a dash, a rare kanji) is read without it.
    if (!address && cp932::LocaleCharset() == "UTF-8") address = cp932::FromUtf8Lenient(input);
    resolve::Resolution r = address ? resolver.Resolve(*address, options) : resolve::Resolution{};
    if (!address) r.note = "the text has characters that CP932 cannot hold";
    std::vector<std::string> fields{InputAsUtf8(input, address)};
    for (std::string& f : ResolutionFields(r)) fields.push_back(std::move(f));
    return fields;
  }

  void Lines(std::istream& in) {
    const std::vector<std::string> keys = FieldNames();
    printer.Header(keys);
    Progress progress;
    for (std::string line; std::getline(in, line); progress.Step()) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      printer.Row(Fields(line), keys);
    }
  }

  void Column(std::istream& in, std::size_t column, bool header) {
    std::vector<std::string> keys;
    Progress progress;
    for (std::vector<std::string> row; ReadCsvRecord(in, row); progress.Step()) {
      const std::size_t width = row.size();
      if (keys.empty() && header) {
        keys = row;
        const std::vector<std::string> names = FieldNames();
        keys.insert(keys.end(), names.begin() + 1, names.end());
        printer.Header(keys);
        continue;
      }
      std::vector<std::string> fields = Fields(column <= width ? row[column - 1] : std::string());
      for (std::size_t i = 1; i < fields.size(); ++i) row.push_back(std::move(fields[i]));
      printer.Row(row, keys);
    }
  }
};

}  // namespace

int RunResolve(const common::cli::Command& self, const common::cli::Arguments& arguments) {
  auto args = ParseArguments(self, arguments, {{"--column", true}, {"--header", false}}, 0, static_cast<std::size_t>(-1));
  if (!args) return common::cli::kExitUsage;
  auto options = ReadGlobalOptions(self, *args);
  if (!options) return common::cli::kExitUsage;
  std::optional<int> column;
  if (const std::string* c = args->Value("--column")) {
    column = common::cli::ParseInt(*c);
    if (!column || *column < 1) return common::cli::UsageError(self, "--column takes a column number from 1");
    if (args->Count() > 0) return common::cli::UsageError(self, "--column reads standard input; give no ADDRESS");
    if (!args->Has("--format")) options->format = Format::kCsv;
  } else if (args->Has("--header")) {
    return common::cli::UsageError(self, "--header goes with --column");
  }
  Session session(*options);
  session.Start(Session::Run::kWholeFileSearch);  // the resolver reads every line itself
  resolve::Resolver resolver;
  std::string error;
  if (!resolver.Load(PostFilePath(session.settings(), PostFile::kKenAll), error))
    return common::cli::Fail(self, error, 1);
  const bool offices = session.business() == Business::kInclude;
  if (offices && !resolver.LoadOffices(PostFilePath(session.settings(), PostFile::kJigyosyo), error))
    return common::cli::Fail(self, error, 1);
  Run run{resolver, {offices, session.settings().ma_edition}, Printer(options->format)};
  if (column) {
    run.Column(std::cin, static_cast<std::size_t>(*column), args->Has("--header"));
  } else if (args->Count() == 0) {
    run.Lines(std::cin);
  } else {
    const std::vector<std::string> keys = FieldNames();
    run.printer.Header(keys);
    for (std::size_t i = 0; i < args->Count(); ++i) run.printer.Row(run.Fields((*args)[i]), keys);
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return common::cli::Fail(self, "cannot write the output", 1);
  return session.ExitStatus();
}

}  // namespace tovra::cli
