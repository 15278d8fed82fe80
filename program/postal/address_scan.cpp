// Search by address words or business name, the city list and city rows of a prefecture,
// and the search by local-government code.
#include <cctype>

#include "cp932.h"
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

bool AnyWordField(PostFile file, const PostRecord& record, std::string_view term, int match) {
  const int* fields = file == PostFile::kKenAll ? kKenAllWordFields : kJigyosyoWordFields;
  for (int k = 0; k < 5; ++k) {
    if (TermMatches(record[fields[k]], term, match)) return true;
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
  const SearchTerms terms = SplitSearchTerms(CutKey(key));
  ProgressPacer progress(ctx.view, 0);
  LineReader reader;
  const bool report = missing_reported == nullptr || !*missing_reported;
  if (!OpenPostFile(ctx, file, reader, report)) {
    if (missing_reported != nullptr && ken_all) *missing_reported = true;
    ctx.view.SetProgressPos(0);
    return 0;
  }

  progress.Set(mode < 90 ? LimitToSelectedPrefecture(ctx, file, reader) : reader.Length());

  const int field_count = FieldCount(file);
  const int city_field = ken_all ? 8 : 5;
  int rows = 0;
  bool stopped = false;
  std::string previous_city;
  PostRecord record;
  std::string_view line;
  std::size_t consumed = 0;
  while (reader.ReadLineHolding(terms.first, line, consumed)) {
    progress.Add(consumed);
    SplitResult split = SplitPostLine(line, field_count, record);
    if (split == SplitResult::kBlank) continue;
    if (split == SplitResult::kLeadingComma) {
      stopped = true;
      break;
    }
    if (mode == kScanWords && terms.has_second && !LineMayHold(line, terms.second)) continue;
    UnquoteFields(record, field_count);
    switch (mode) {
      case kScanCityList:
        if (record[7] == terms.first && record[8] != previous_city) {
          ++rows;
          previous_city.assign(record[8]);
          ctx.view.AddCity(previous_city);
        }
        break;
      case kScanCity:
        if (record[city_field] == terms.first) {
          ++rows;
          ctx.view.AddRow(PostalRow(ctx, file, record));
        }
        break;
      case kScanDantai:
        if (record[1] == terms.first) {
          ++rows;
          ctx.view.AddRow(PostalRow(ctx, file, record));
        }
        break;
      case kScanWords:
        if (AnyWordField(file, record, terms.first, match) &&
            (!terms.has_second || AnyWordField(file, record, terms.second, match))) {
          ++rows;
          ctx.view.AddRow(PostalRow(ctx, file, record));
        }
        break;
    }
  }
  ctx.bytes_read += reader.BytesRead();
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
