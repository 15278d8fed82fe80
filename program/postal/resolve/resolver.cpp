#include "resolve.h"

#include <algorithm>

#include "address_fold.h"
#include "address_parse.h"
#include "characters_data.h"
#include "cp932.h"
#include "mapped_file.h"
#include "meklan.h"
#include "post_line.h"
#include "resolve_words.h"

namespace tovra::resolve {
namespace {

// How far a reading of the text got: the prefecture, the city (or the cities a name may
// mean), the town, and the decision between its records.
struct Reading {
  int level = 0;
  int prefecture = -1;
  std::int32_t city = -1;
  std::vector<std::uint32_t> cities;  // a name several cities bear, none telling itself apart
  std::int32_t town = -1;
  std::size_t rest = 0;               // key-form offset of the text not used
  std::size_t city_end = 0;           // key-form offset of the text after the city
  Decision decision;
  bool office = false;                // decision.records are offices
  bool town_found = false;
};

// Which of two readings got further: a town found beats a record decided for a city's unlisted
// towns, which beats a city, several cities, a prefecture.
int Rank(const Reading& r) { return r.town_found ? 100 : r.level * 2 + (r.cities.empty() ? 0 : 1); }

bool OpenFile(const std::string& path, PostFileBytes& file, std::string& error) {
  if (!file.Open(path)) {
    error = path + (file.LastOpenFailure() == PostFileBytes::OpenFailure::kNotRegularFile
                        ? ": not a regular file"
                        : ": cannot be opened");
    return false;
  }
  return true;
}

// Where the address proper begins: after a leading 〒 and postal code ("335-0022", "3350022",
// in ASCII or full-width digits, any dash), which the key form would run into a city written
// in kanji numerals ("〒068-2155 三笠市").
struct WrittenPostcode {
  std::size_t end = 0;  // where the address proper begins
  std::string code;     // seven digits, or empty
};

WrittenPostcode AfterPostcode(std::string_view written) {
  using cp932::CodeOf;
  constexpr unsigned kFullZero = CodeOf(character::kFullZero);
  std::size_t at = 0;
  std::string head;
  bool stopped = false;
  cp932::ForEachChar(written.substr(0, 64), [&](unsigned code, std::string_view bytes) {
    if (stopped) return;
    const bool digit = (code >= '0' && code <= '9') || (code >= kFullZero && code <= kFullZero + 9);
    const bool dash = code == '-' || code == CodeOf(character::kHalfLongVowel) || code == CodeOf(character::kFullMinus) ||
                      code == CodeOf(character::kHyphen) || code == CodeOf(character::kLongVowel) ||
                      code == CodeOf(character::kHorizontalBar);
    const bool blank = code == ' ' || code == '\t' || code == CodeOf(character::kFullSpace);
    const bool mark = code == CodeOf(character::kPostMark);
    stopped = !(digit || dash || ((blank || mark) && head.empty()));
    if (stopped) return;
    if (digit || dash) head += FoldAddress(bytes);
    at = static_cast<std::size_t>(bytes.data() - written.data()) + bytes.size();
  });
  const bool code = (head.size() == 7 && head.find('-') == std::string::npos) ||
                    (head.size() == 8 && head[3] == '-' && head.find('-', 4) == std::string::npos);
  if (!code) return {};
  head.erase(std::remove(head.begin(), head.end(), '-'), head.end());
  return {at, head};
}

class Reader {
 public:
  // `code`: the postal code written before the address, which tells apart the cities or the
  // records the address itself does not.
  Reader(const TownTables& t, std::string_view text, std::string_view code, const ResolveOptions& options)
      : t_(t), text_(text), code_(code), options_(options) {}

  // The reading that gets furthest: with the prefecture as written, short (大阪 for 大阪府) or
  // not at all.
  Reading Read(std::size_t start) const {
    Reading best;
    std::vector<NameHit> prefectures = NamesStarting(t_, kPrefectureTag, 0, text_.substr(start));
    prefectures.push_back({{}, 0});
    for (const NameHit& p : prefectures) {
      const int prefecture = p.values.empty() ? -1 : static_cast<int>(p.values.front());
      Reading r = FromCity(prefecture, start + p.length);
      if (r.town_found) return r;
      if (Rank(r) > Rank(best)) best = std::move(r);
    }
    return best;
  }

 private:
  Reading FromCity(int prefecture, std::size_t at) const {
    Reading fallback;
    fallback.level = prefecture >= 0 ? 1 : 0;
    fallback.prefecture = prefecture;
    fallback.rest = at;
    const std::string_view text = text_.substr(at);
    const auto scope = static_cast<std::uint32_t>(prefecture + 1);
    std::vector<std::uint32_t> tried;  // cities a longer name named: a shorter one does not undo it
    for (const NameHit& hit : NamesStarting(t_, kCityTag, scope, text)) {
      const bool named_before = std::any_of(hit.values.begin(), hit.values.end(), [&](std::uint32_t c) {
        return std::find(tried.begin(), tried.end(), c) != tried.end();
      });
      if (named_before) continue;  // 京都市 after 京都市上京区 found no town there
      tried.insert(tried.end(), hit.values.begin(), hit.values.end());
      std::vector<std::pair<std::uint32_t, TownHit>> found;
      std::size_t longest = 0;
      for (std::uint32_t c : hit.values) {
        const TownHit town = FindTown(t_, c, text.substr(hit.length));
        if (town.town < 0 || town.end < longest) continue;
        if (town.end > longest) found.clear();  // 日本橋兜町 of one 中央区 over 日本橋 of another
        longest = town.end;
        found.emplace_back(c, town);
      }
      if (found.size() > 1) KeepCitiesWithCode(found);
      if (found.size() == 1) return InTown(prefecture, found.front().first, found.front().second, at + hit.length);
      if (found.size() > 1) {
        std::vector<std::uint32_t> cities;
        for (const auto& f : found) cities.push_back(f.first);
        return Ambiguous(prefecture, cities, at + hit.length);
      }
      if (fallback.level >= 2 || !fallback.cities.empty()) continue;
      if (hit.values.size() > 1) fallback = Ambiguous(prefecture, hit.values, at + hit.length);
      else fallback = InCity(prefecture, hit.values.front(), at + hit.length);
    }
    return fallback;
  }

  void KeepCitiesWithCode(std::vector<std::pair<std::uint32_t, TownHit>>& found) const {
    if (code_.empty()) return;
    std::vector<std::pair<std::uint32_t, TownHit>> kept;
    for (const auto& f : found) {
      const Town& town = t_.towns[static_cast<std::size_t>(f.second.town)];
      for (std::uint32_t r : town.records)
        if (t_.records[r].postcode == code_) {
          kept.push_back(f);
          break;
        }
    }
    if (!kept.empty()) found = std::move(kept);
  }

  // Level 3 with the written postal code among the candidates: the writer has told which.
  void DecideByCode(Decision& d) const {
    if (d.level != 3 || code_.empty()) return;
    for (std::uint32_t r : d.records) {
      if (t_.records[r].postcode != code_) continue;
      d.level = 4;
      d.records = {r};
      d.note.clear();
      return;
    }
  }

  // With the offices asked for, an office at the address decides over the town's records.
  void OfficeAt(Reading& r) const {
    Decision d = DecideOffice(t_, static_cast<std::uint32_t>(r.city), text_.substr(r.city_end));
    if (d.records.empty()) return;
    r.decision = std::move(d);
    r.office = true;
    r.level = r.decision.level;
  }

  Reading InCity(int prefecture, std::uint32_t city, std::size_t at) const {
    Reading r;
    r.prefecture = prefecture;
    r.city = static_cast<std::int32_t>(city);
    r.rest = at;
    r.city_end = at;
    r.decision = DecideWithoutTown(t_, t_.cities[city], text_.substr(at));
    r.level = r.decision.level;
    if (options_.offices) OfficeAt(r);
    return r;
  }

  Reading InTown(int prefecture, std::uint32_t city, const TownHit& hit, std::size_t at) const {
    Reading r;
    r.prefecture = prefecture;
    r.city = static_cast<std::int32_t>(city);
    r.town = hit.town;
    r.rest = at + hit.end;
    r.city_end = at;
    r.town_found = true;
    const Town& town = t_.towns[static_cast<std::size_t>(hit.town)];
    const std::string_view rest = text_.substr(r.rest);
    if (options_.offices) OfficeAt(r);
    if (r.office) return r;
    r.decision = DecideInTown(t_, town, rest, text_.substr(at));
    DecideByCode(r.decision);
    r.level = r.decision.level;
    r.town_found = true;
    return r;
  }

  Reading Ambiguous(int prefecture, const std::vector<std::uint32_t>& cities, std::size_t at) const {
    Reading r;
    r.prefecture = prefecture;
    r.cities = cities;
    r.rest = at;
    bool one_prefecture = true;
    for (std::uint32_t c : cities) one_prefecture = one_prefecture && t_.cities[c].prefecture == t_.cities[cities[0]].prefecture;
    if (one_prefecture) r.prefecture = t_.cities[cities[0]].prefecture;
    r.level = r.prefecture >= 0 ? 1 : 0;
    r.decision.note = "the city name is that of several cities";
    return r;
  }

  const TownTables& t_;
  std::string_view text_;
  std::string_view code_;
  const ResolveOptions& options_;
};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (text.starts_with(character::kFullSpace)) text.remove_prefix(2);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

Candidate CityCandidate(const TownTables& t, std::uint32_t c) {
  const City& city = t.cities[c];
  return Candidate{"", city.dantai, t.prefectures[static_cast<std::size_t>(city.prefecture)], city.name, "", ""};
}

}  // namespace

bool Resolver::Load(const std::string& path, std::string& error) {
  PostFileBytes file;
  return OpenFile(path, file, error) && LoadBytes(file.Bytes(), error);
}

bool Resolver::LoadBytes(std::string_view ken_all, std::string& error) {
  joins_[0].clear();
  joins_[1].clear();
  return BuildTownTables(ken_all, tables_, error);
}

bool Resolver::LoadOffices(const std::string& path, std::string& error) {
  PostFileBytes file;
  if (!OpenFile(path, file, error)) return false;
  LoadOfficeBytes(file.Bytes());
  return true;
}

void Resolver::LoadOfficeBytes(std::string_view jigyosyo) { AddOffices(jigyosyo, tables_); }

const Resolver::Join& Resolver::JoinOf(int edition, std::uint32_t record) const {
  Join& join = joins_[edition == MEKLAN_EDITION_2003 ? 0 : 1][record];
  if (join.done) return join;
  const TownRecord& r = tables_.records[record];
  MKJOIN result{};
  if (MEKLAN_EditionJoin(edition, r.dantai, r.town_field.c_str(), nullptr, &result) > 0) {
    join.ma_names = result.maNames;
    join.area_codes = result.areaCodes;
  }
  join.done = true;
  return join;
}

// The MAs of the records, when they all have the same.
void Resolver::AddMas(const ResolveOptions& options, Resolution& out, const std::vector<std::uint32_t>& records) const {
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Join& join = JoinOf(options.edition, records[i]);
    if (i > 0 && join.ma_names != out.ma_names) {
      out.ma_names.clear();
      out.area_codes.clear();
      return;
    }
    out.ma_names = join.ma_names;
    out.area_codes = join.area_codes;
  }
}

namespace {

void FillRecords(const TownTables& t, const Decision& d, Resolution& out) {
  for (std::uint32_t i : d.records) {
    const TownRecord& r = t.records[i];
    if (d.level == 4) {
      out.postcode = r.postcode;
      out.town = r.town_field;
    } else {
      out.candidates.push_back(Candidate{r.postcode, r.dantai, out.prefecture, out.city, r.town_field, ""});
    }
  }
}

void FillOffices(const TownTables& t, const Decision& d, int edition, Resolution& out) {
  for (std::uint32_t i : d.records) {
    const Office& o = t.offices[i];
    if (d.level < 4) {
      out.candidates.push_back(Candidate{o.postcode, out.dantai, out.prefecture, out.city, o.town + o.street, o.name});
      continue;
    }
    out.postcode = o.postcode;
    out.town = o.town;
    out.office = o.name;
    MKJOIN join{};
    if (MEKLAN_EditionJoin(edition, out.dantai.c_str(), o.town.c_str(), o.street.c_str(), &join) > 0) {
      out.ma_names = join.maNames;
      out.area_codes = join.areaCodes;
    }
  }
}

// The MAs of a city that one MA serves whole.
void AddCityMas(int edition, Resolution& out) {
  MKJOIN join{};
  if (MEKLAN_EditionJoin(edition, out.dantai.c_str(), "", nullptr, &join) > 0 && join.how == MEKLAN_JOIN_WHOLE) {
    out.ma_names = join.maNames;
    out.area_codes = join.areaCodes;
  }
}

}  // namespace

Resolution Resolver::Resolve(std::string_view address, const ResolveOptions& options) const {
  Resolution out;
  const WrittenPostcode written = AfterPostcode(address);
  const std::size_t start = written.end;
  std::vector<std::uint32_t> offsets;
  const std::string text = FoldAddress(address.substr(start), &offsets);
  const Reading r = Reader(tables_, text, written.code, options).Read(0);
  out.level = r.level;
  out.note = r.decision.note;
  out.rest = Trimmed(address.substr(start + offsets[r.rest]));
  if (r.prefecture >= 0) out.prefecture = tables_.prefectures[static_cast<std::size_t>(r.prefecture)];
  for (std::uint32_t c : r.cities) out.candidates.push_back(CityCandidate(tables_, c));
  if (r.city < 0) {
    if (out.note.empty()) out.note = out.level == 0 ? "no prefecture or city recognised" : "no city recognised";
    return out;
  }
  const City& city = tables_.cities[static_cast<std::size_t>(r.city)];
  out.prefecture = tables_.prefectures[static_cast<std::size_t>(city.prefecture)];
  out.city = city.name;
  out.dantai = city.dantai;
  if (r.office) {
    FillOffices(tables_, r.decision, options.edition, out);
    return out;
  }
  FillRecords(tables_, r.decision, out);
  if (out.level == 4 && !written.code.empty() && out.postcode != written.code)
    out.note = "the postal code written before the address is " + written.code;
  if (out.level >= 3) AddMas(options, out, r.decision.records);
  else AddCityMas(options.edition, out);
  return out;
}

}  // namespace tovra::resolve
