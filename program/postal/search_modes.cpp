// The search modes as the front ends call them: KEN_ALL.CSV first, then JIGYOSYO.CSV when the
// business file is asked for, into one view.
#include "key_fold.h"
#include "search_common.h"

namespace tovra {

namespace {

// Runs `search` over KEN_ALL.CSV and, with the business file, over JIGYOSYO.CSV.
template <typename Search>
SearchOutcome BothFiles(Business business, Search search) {
  SearchOutcome outcome;
  outcome.ken_all = search(PostFile::kKenAll);
  if (business == Business::kInclude) outcome.jigyosyo = search(PostFile::kJigyosyo);
  return outcome;
}

constexpr SearchOutcome kRefused{{SearchStatus::kKeyTooLong, 0}, {}};

}  // namespace

SearchOutcome FindPostCode(SearchContext& ctx, std::string_view typed, PostCodeMatch match, Business business) {
  if (detail::KeyTooLong(ctx, {typed})) return kRefused;
  const std::string key = NormalisePostCodeKey(typed);
  return BothFiles(business, [&](PostFile file) {
    return file == PostFile::kKenAll ? SearchPostCode(ctx, key, match) : SearchJigPostCode(ctx, key, match);
  });
}

SearchOutcome FindWords(SearchContext& ctx, std::string_view key, WordMatch match, Business business) {
  if (detail::KeyTooLong(ctx, {key})) return kRefused;
  return BothFiles(business, [&](PostFile file) {
    return detail::ScanPostFile(ctx, file, key, ScanMode::kWords, match, {}, nullptr);
  });
}

SearchOutcome FindDantai(SearchContext& ctx, std::string_view code, Business business) {
  if (detail::KeyTooLong(ctx, {code})) return kRefused;
  return BothFiles(business, [&](PostFile file) {
    return detail::ScanPostFile(ctx, file, code, ScanMode::kDantai, WordMatch::kExact, {}, nullptr);
  });
}

SearchOutcome FindCityRows(SearchContext& ctx, std::string_view prefecture, std::string_view city,
                           Business business) {
  // Names as typed may carry blanks at either end, as a key does.
  prefecture = TrimBlanks(prefecture);
  city = TrimBlanks(city);
  if (detail::KeyTooLong(ctx, {prefecture, city})) return kRefused;
  return BothFiles(business, [&](PostFile file) {
    return detail::ScanPostFile(ctx, file, city, ScanMode::kCity, WordMatch::kExact, prefecture, nullptr);
  });
}

SearchResult ListCities(SearchContext& ctx, std::string_view prefecture) {
  prefecture = TrimBlanks(prefecture);
  if (detail::KeyTooLong(ctx, {prefecture})) return kRefused.ken_all;
  return ScanKenAll(ctx, prefecture, ScanMode::kCityList, WordMatch::kExact, prefecture);
}

}  // namespace tovra
