// Search by address words or business name, the city list and city rows of a prefecture,
// and the search by local-government code.
#include <cctype>

#include "cp932.h"
#include "key_fold.h"
#include "record_scan.h"
#include "search_common.h"

namespace tovra {

using namespace detail;

SearchTerms SplitSearchTerms(std::string_view key) {
  SearchTerms terms;
  std::size_t plus = key.find('+');
  if (plus == std::string_view::npos) {
    terms.first = key;
    return terms;
  }
  auto is_space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  std::size_t i = 0;
  while (i < plus && is_space(key[i])) ++i;
  std::string first(key.substr(i, plus - i));
  std::size_t j = plus + 1;
  while (j < key.size() && is_space(key[j])) ++j;
  std::size_t next_plus = key.find('+', j);
  std::string second(key.substr(j, next_plus == std::string_view::npos ? key.size() - j : next_plus - j));
  if (first.empty()) {
    terms.first = std::move(second);
  } else {
    terms.first = std::move(first);
    terms.second = std::move(second);
    terms.has_second = !terms.second.empty();
  }
  return terms;
}

namespace {

bool TermMatches(std::string_view field, std::string_view term, int match) {
  if (match == kWordExact) return field == term;
  // Most fields hold no bytes of the term at all; only a raw hit needs the character walk.
  if (match == kWordContains) return LineMayHold(field, term) && cp932::Contains(field, term);
  return false;
}

// Fields of mode 99: KEN_ALL.CSV city and town kana, prefecture, city, town; JIGYOSYO.CSV
// city, town, rest of the address, business name kana and kanji.
constexpr int kKenAllWordFields[] = {5, 6, 7, 8, 9};
constexpr int kJigyosyoWordFields[] = {5, 6, 7, 2, 3};

// Whether one of the five fields holds one of the term's forms.
bool AnyWordField(PostFile file, const PostRecord& record, const std::vector<std::string>& forms, int match) {
  const int* fields = file == PostFile::kKenAll ? kKenAllWordFields : kJigyosyoWordFields;
  for (int k = 0; k < 5; ++k) {
    for (const std::string& form : forms) {
      if (TermMatches(record[fields[k]], form, match)) return true;
    }
  }
  return false;
}

// What a scan looks for: the forms of the first term (the bytes every hit must hold) and, in
// mode 99, of the second.
FoldedWords ScanTerms(std::string_view key, int mode) {
  if (mode == kScanWords) return FoldWordKey(key);
  if (mode == kScanDantai) return {{FoldCodeKey(key)}, {}};
  // City names come from the lists the scans fill: taken as they are.
  return {{std::string(key)}, {}};
}

// Whether a record may hold the term in a joined field although none of its lines holds it
// whole: a term of two characters or more may span the cut between two lines; a joined field
// equals a term only if the term holds the "（" or "(" that opened it.
bool MaySpanLines(const std::vector<std::string>& forms, int match) {
  for (const std::string& form : forms) {
    if (match == kWordContains && cp932::BoundaryAtOrBefore(form, form.size() - 1) > 0) return true;
    if (match == kWordExact && (form.find('(') != std::string::npos || cp932::Contains(form, "\x81\x69"))) return true;
  }
  return false;
}

}  // namespace

namespace detail {

int ScanPostFile(SearchContext& ctx, PostFile file, std::string_view key, int mode, int match,
                 bool* missing_reported) {
  const bool ken_all = file == PostFile::kKenAll;
  if (mode != kScanCity && mode != kScanDantai && mode != kScanWords && !(ken_all && mode == kScanCityList)) {
    return 0;
  }
  const FoldedWords terms = ScanTerms(CutKey(key), mode);
  const std::string first = terms.first.empty() ? std::string() : terms.first.front();
  ProgressPacer progress(ctx.view, 0);
  PostFileBytes bytes;
  const bool report = missing_reported == nullptr || !*missing_reported;
  if (!OpenPostFile(ctx, file, bytes, report)) {
    if (missing_reported != nullptr && ken_all) *missing_reported = true;
    ctx.view.SetProgressPos(0);
    return 0;
  }
  // A key with nothing left after folding is no search (it would match every line).
  if (mode != kScanCityList && mode != kScanCity && first.empty()) {
    ctx.view.SetProgressPos(0);
    return 0;
  }

  RecordScanner scanner(bytes, FieldCount(file), ken_all);
  std::int64_t limit = static_cast<std::int64_t>(bytes.Bytes().size());
  const PostIndex& index = PostFileIndex(ctx.settings, file);
  if (mode < 90 && HasPrefectureIndex(index) && IndexFitsFile(ctx, file, limit)) {
    int p = PrefectureIndex(ctx.view.SelectedPrefecture());
    if (p >= 0) {
      const PrefRange& range = index.pref[static_cast<std::size_t>(p)];
      scanner.SetWindow(range.start, static_cast<std::int64_t>(range.start) + range.size + 1);
      bytes.Prefetch(range.start, static_cast<std::int64_t>(range.start) + range.size + 1);
      limit = range.size;
    }
  }
  if (limit == static_cast<std::int64_t>(bytes.Bytes().size())) bytes.Prefetch(0, limit);
  progress.Set(limit);
  // A joined record may hold a word across the cut between its lines that no line holds.
  scanner.Look(terms.first, mode == kScanWords && MaySpanLines(terms.first, match));

  const int city_field = ken_all ? 8 : 5;
  const bool hyphen = ctx.settings.add_hyphen != 0;
  int rows = 0;
  bool stopped = false;
  std::string previous_city;
  PostRecord record;
  std::size_t consumed = 0;
  for (RecordScanner::Step step; (step = scanner.Next(record, consumed)) != RecordScanner::Step::kEnd;) {
    progress.Add(consumed);
    if (step == RecordScanner::Step::kLeadingComma) {
      stopped = true;
      break;
    }
    switch (mode) {
      case kScanCityList:
        if (record[7] == first && record[8] != previous_city) {
          ++rows;
          previous_city.assign(record[8]);
          ctx.view.AddCity(previous_city);
        }
        break;
      case kScanCity:
        if (record[city_field] == first) {
          ++rows;
          ctx.view.AddRow(FileRow(file, record, hyphen));
        }
        break;
      case kScanDantai:
        if (record[1] == first) {
          ++rows;
          ctx.view.AddRow(FileRow(file, record, hyphen));
        }
        break;
      case kScanWords:
        if (AnyWordField(file, record, terms.first, match) &&
            (terms.second.empty() || AnyWordField(file, record, terms.second, match))) {
          ++rows;
          ctx.view.AddRow(FileRow(file, record, hyphen));
        }
        break;
    }
  }
  ctx.bytes_read += scanner.BytesRead();
  ctx.view.SetProgressPos(0);
  return stopped ? 0 : rows;
}

}  // namespace detail

int ScanKenAll(SearchContext& ctx, std::string_view key, int mode, int match) {
  return ScanPostFile(ctx, PostFile::kKenAll, key, mode, match, nullptr);
}

int ScanJigyosyo(SearchContext& ctx, std::string_view key, int mode, int match) {
  return ScanPostFile(ctx, PostFile::kJigyosyo, key, mode, match, nullptr);
}

}  // namespace tovra
