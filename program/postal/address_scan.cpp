// Search by address words or business name, the city list and city rows of a prefecture,
// and the search by local-government code.
#include <cctype>

#include "characters_data.h"
#include "cp932.h"
#include "key_fold.h"
#include "scan_loop.h"
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

bool TermMatches(std::string_view field, std::string_view term, WordMatch match) {
  if (match == WordMatch::kExact) return field == term;
  // Most fields hold no bytes of the term at all; only a raw hit needs the character walk.
  if (match == WordMatch::kContains) return LineMayHold(field, term) && cp932::Contains(field, term);
  return false;
}

// The fields address words are looked for in.
constexpr int kKenAllWordFields[] = {ken_field::kCityKana, ken_field::kTownKana, ken_field::kPrefecture,
                                     ken_field::kCity, ken_field::kTown};
constexpr int kJigyosyoWordFields[] = {jig_field::kCity, jig_field::kTown, jig_field::kStreet,
                                       jig_field::kBusinessKana, jig_field::kBusiness};

// Whether one of the five fields holds one of the term's forms.
bool AnyWordField(PostFile file, const PostRecord& record, const std::vector<std::string>& forms, WordMatch match) {
  const int* fields = file == PostFile::kKenAll ? kKenAllWordFields : kJigyosyoWordFields;
  for (int k = 0; k < 5; ++k) {
    for (const std::string& form : forms) {
      if (TermMatches(record[fields[k]], form, match)) return true;
    }
  }
  return false;
}

// What a scan looks for: the forms of the first term (the bytes every hit must hold) and, in
// kWords, of the second.
FoldedWords ScanTerms(PostFile file, std::string_view key, ScanMode mode) {
  if (mode == ScanMode::kWords) {
    return FoldWordKey(key, file == PostFile::kKenAll ? Readings::kKenAll : Readings::kJigyosyo);
  }
  if (mode == ScanMode::kDantai) return {{FoldCodeKey(key)}, {}};
  // City and prefecture names come from the lists the scans fill: taken as they are.
  return {{std::string(key)}, {}};
}

// Whether a record may hold the term in a joined field although none of its lines holds it
// whole: a term of two characters or more may span the cut between two lines; a joined field
// equals a term only if the term holds the "（" or "(" that opened it.
bool MaySpanLines(const std::vector<std::string>& forms, WordMatch match) {
  for (const std::string& form : forms) {
    if (match == WordMatch::kContains && cp932::BoundaryAtOrBefore(form, form.size() - 1) > 0) return true;
    if (match == WordMatch::kExact && (form.find('(') != std::string::npos || cp932::Contains(form, character::kOpenParen))) {
      return true;
    }
  }
  return false;
}

// What a scan of `mode` keeps of a record.
RecordSink KeepForMode(SearchContext& ctx, PostFile file, ScanMode mode, const FoldedWords& terms, WordMatch match) {
  const std::string first = terms.first.empty() ? std::string() : terms.first.front();
  const bool ken_all = file == PostFile::kKenAll;
  switch (mode) {
    case ScanMode::kCityList:
      return [&ctx, first, previous_city = std::string()](const PostRecord& record) mutable {
        if (record[ken_field::kPrefecture] != first || record[ken_field::kCity] == previous_city) return false;
        previous_city.assign(record[ken_field::kCity]);
        ctx.view.AddCity(previous_city);
        return true;
      };
    case ScanMode::kCity:
    case ScanMode::kDantai: {
      const int field = mode == ScanMode::kCity ? (ken_all ? ken_field::kCity : jig_field::kCity)
                                                : (ken_all ? ken_field::kDantaiCode : jig_field::kDantaiCode);
      return [&ctx, file, field, first](const PostRecord& record) {
        if (record[field] != first) return false;
        ctx.view.AddRow(PostalRow(ctx, file, record));
        return true;
      };
    }
    case ScanMode::kWords:
      return [&ctx, file, &terms, match](const PostRecord& record) {
        if (!AnyWordField(file, record, terms.first, match) ||
            (!terms.second.empty() && !AnyWordField(file, record, terms.second, match))) {
          return false;
        }
        ctx.view.AddRow(PostalRow(ctx, file, record));
        return true;
      };
  }
  return [](const PostRecord&) { return false; };
}

}  // namespace

namespace detail {

SearchResult ScanPostFile(SearchContext& ctx, PostFile file, std::string_view key, ScanMode mode,
                          WordMatch match, std::string_view prefecture, bool* missing_reported) {
  const bool ken_all = file == PostFile::kKenAll;
  if (mode != ScanMode::kCity && mode != ScanMode::kDantai && mode != ScanMode::kWords &&
      !(ken_all && mode == ScanMode::kCityList)) {
    return {};
  }
  const FoldedWords terms = ScanTerms(file, key, mode);
  PostFileBytes bytes;
  const Report report = missing_reported == nullptr || !*missing_reported ? Report::kProblems : Report::kNothing;
  if (SearchStatus opened = OpenPostFile(ctx, file, bytes, report); opened != SearchStatus::kOk) {
    if (missing_reported != nullptr && ken_all) *missing_reported = true;
    ctx.view.SetProgressPos(0);
    return {opened, 0};
  }
  // A key with nothing left after folding is no search (it would match every line).
  const bool by_prefecture = mode == ScanMode::kCityList || mode == ScanMode::kCity;
  if (!by_prefecture && (terms.first.empty() || terms.first.front().empty())) {
    ctx.view.SetProgressPos(0);
    return {};
  }
  const Stretch stretch =
      PrefectureStretch(ctx, file, bytes, !by_prefecture ? std::string_view() : mode == ScanMode::kCityList ? key : prefecture);
  // A joined record may hold a word across the cut between its lines that no line holds.
  ScanQuery query{terms.first, mode == ScanMode::kWords && MaySpanLines(terms.first, match)};
  return ScanRecords(ctx, file, bytes, stretch, std::move(query), KeepForMode(ctx, file, mode, terms, match));
}

}  // namespace detail

SearchResult ScanKenAll(SearchContext& ctx, std::string_view key, ScanMode mode, WordMatch match,
                        std::string_view prefecture) {
  return ScanPostFile(ctx, PostFile::kKenAll, key, mode, match, prefecture, nullptr);
}

SearchResult ScanJigyosyo(SearchContext& ctx, std::string_view key, ScanMode mode, WordMatch match,
                          std::string_view prefecture) {
  return ScanPostFile(ctx, PostFile::kJigyosyo, key, mode, match, prefecture, nullptr);
}

}  // namespace tovra
