#include "export_transcript.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

class Transcript {
 public:
  // One line: a label, then fields separated by tabs.
  template <typename... Fields>
  void Line(const char* label, const Fields&... fields) {
    text_ += label;
    ((text_ += '\t', Append(fields)), ...);
    text_ += '\n';
  }
  std::string Take() { return std::move(text_); }

 private:
  void Append(const char* s) { text_ += s != nullptr ? s : "(null)"; }
  void Append(const std::string& s) { text_ += s; }
  void Append(int v) { text_ += std::to_string(v); }
  std::string text_;
};

// A fixed char field in full, as hex: what lies after the NUL is part of the answer too.
std::string Hex(const char* bytes, std::size_t size) {
  std::string out;
  char pair[3];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
    out += pair;
  }
  return out;
}

std::string MaRecord(const MKMA& r) {
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "%d|%d|%d|%d|%d|%d", static_cast<int>(r.branch),
                static_cast<int>(r.posNS), static_cast<int>(r.posEW),
                static_cast<int>(r.areaCode), static_cast<int>(r.prefNo),
                static_cast<int>(r.regionCode));
  return std::string(r.maName) + "|" + r.maKana + "|" + r.prefixList + "|" + numbers;
}

std::string AddressRecord(const MKADDRESS& a) {
  return std::string(a.dantaiCode) + "|" + a.maName + "|" + std::to_string(a.branch) + "|" +
         a.prefName + "|" + a.cityName + "|" + a.townName + "|" + a.chomeNote;
}

// A buffer the library writes into: filled with a mark first, so that a write past the
// text shows up as a difference in the count of bytes left marked.
template <std::size_t N>
struct MarkedBuffer {
  char bytes[N];
  MarkedBuffer() { std::memset(bytes, 0x5a, N); }
  int Untouched() const {
    int n = 0;
    for (std::size_t i = N; i-- > 0 && bytes[i] == 0x5a;) ++n;
    return n;
  }
};

void Information(const MeklanExports& m, Transcript& t) {
  MarkedBuffer<64> version, day;
  const bool same = m.GetVersion(version.bytes) == version.bytes &&
                    m.GetDayData(day.bytes) == day.bytes;
  t.Line("info", version.bytes, version.Untouched(), day.bytes, day.Untouched(),
         m.GetVersionX(), m.GetVersionCompati(), m.GetNumOfMKMA(), m.GetNumOfAddress(),
         same ? "returns-out" : "returns-other");
}

void Tables(const MeklanExports& m, Transcript& t) {
  const MKMA* ma = m.GetMKMA();
  for (int i = 0; i < m.GetNumOfMKMA(); ++i) t.Line("mkma", i, MaRecord(ma[i]));
  const MKADDRESS* address = m.GetAddress();
  for (int i = 0; i < m.GetNumOfAddress(); ++i) t.Line("address", i, AddressRecord(address[i]));
}

// "0166" for area code 166. (Appended, not "0" + text: GCC 12 warns falsely on that.)
std::string AreaCodeText(int areaCode) {
  std::string text = "0";
  text += std::to_string(areaCode);
  return text;
}

// The keys a user types: names, readings, area codes, area codes with a prefix digit, and a
// few that name nothing or are too long.
std::vector<std::string> LookupKeys(const MeklanExports& m) {
  std::vector<std::string> keys = {"", "0", "abc", "0166234567", "011", "03", "06",
                                   std::string(300, '1'), "\x82\xa0"};
  const MKMA* ma = m.GetMKMA();
  for (int i = 0; i < m.GetNumOfMKMA(); ++i) {
    const std::string code = AreaCodeText(ma[i].areaCode);
    keys.push_back(ma[i].maName);
    keys.push_back(ma[i].maKana);
    keys.push_back(code);
    keys.push_back(code + std::to_string(i % 10));
  }
  return keys;
}

void Lookups(const MeklanExports& m, Transcript& t) {
  const std::vector<std::string> keys = LookupKeys(m);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::string& key = keys[i];
    const int prefIndex = static_cast<int>(i % 49) - 1;  // -1 (all) and 0..47
    MarkedBuffer<MEKLAN_MALIST_SIZE> list, listAll;
    const int r1 = m.GetMA(key.c_str(), listAll.bytes, -1);
    const int r2 = m.GetMA(key.c_str(), list.bytes, prefIndex);
    t.Line("ma", key, r1, listAll.bytes, prefIndex, r2, list.bytes, list.Untouched());
    MarkedBuffer<MEKLAN_AREACODE_SIZE> codes, branchCodes;
    const int r3 = m.GetAreaCode(key.c_str(), codes.bytes, -1);
    const int r4 = m.GetAreaCode(key.c_str(), branchCodes.bytes, static_cast<int>(i % 3));
    t.Line("areacode", key, r3, r3 == 1 ? codes.bytes : "", r4, r4 == 1 ? branchCodes.bytes : "",
           codes.Untouched());
    MarkedBuffer<MEKLAN_AREAPLUS_SIZE> plus;
    const int r5 = m.GetAreaPlus(key.c_str(), plus.bytes);
    t.Line("areaplus", key, r5, r5 == 1 ? plus.bytes : "", plus.Untouched());
  }
}

void Distances(const MeklanExports& m, Transcript& t) {
  const MKMA* ma = m.GetMKMA();
  const int n = m.GetNumOfMKMA();
  std::vector<std::pair<std::string, std::string>> pairs = {
      {"0166234567", "0112345678"}, {"東京", "大阪"}, {"", "03"}, {"nothing", "03"},
      {std::string(40, '9'), "06"}};
  for (int i = 0; i < n; ++i) {
    const MKMA& a = ma[i];
    const MKMA& b = ma[(i * 37 + 11) % n];
    const MKMA& c = ma[(i + 1) % n];  // neighbours in the table: often adjacent pairs
    pairs.emplace_back(a.maName, b.maName);
    pairs.emplace_back(a.maKana, c.maName);
    pairs.emplace_back(AreaCodeText(a.areaCode) + "1234", AreaCodeText(c.areaCode));
  }
  for (const auto& [from, to] : pairs) {
    MKDISTANCE rec;
    std::memset(&rec, 0x5a, sizeof rec);
    // As a caller fills them: a text of 32 bytes or more has no NUL in the field.
    std::memcpy(rec.fromName, from.c_str(), std::min(from.size() + 1, sizeof rec.fromName));
    std::memcpy(rec.toName, to.c_str(), std::min(to.size() + 1, sizeof rec.toName));
    const int r = m.GetDistance(&rec);
    t.Line("distance", from, to, r, Hex(rec.fromName, sizeof rec.fromName),
           Hex(rec.toName, sizeof rec.toName), static_cast<int>(rec.kind),
           static_cast<int>(rec.distance), static_cast<int>(rec.chargeDistance),
           static_cast<int>(rec.nttNo), Hex(rec.fromAreaCode, sizeof rec.fromAreaCode),
           Hex(rec.toAreaCode, sizeof rec.toAreaCode),
           Hex(rec.fromPrefName, sizeof rec.fromPrefName),
           Hex(rec.toPrefName, sizeof rec.toPrefName), r == 1 ? MaRecord(rec.fromMa) : "",
           r == 1 ? MaRecord(rec.toMa) : "");
  }
}

// One query of MEKLAN_GetAddressAreaList, its block returned through MEKLAN_MemFree.
void AreaList(const MeklanExports& m, Transcript& t, const char* pref, const char* city) {
  MKADDRESS* list = reinterpret_cast<MKADDRESS*>(&list);  // must be overwritten
  const int count = m.GetAddressAreaList(pref, city, 0, &list);
  const int countOnly = m.GetAddressAreaList(pref, city, 0, nullptr);
  std::string rows;
  for (int i = 0; i < count; ++i) rows += AddressRecord(list[i]) + ";";
  t.Line("arealist", pref, city, count, countOnly, list == nullptr ? "null" : "block", rows);
  if (count >= 0) m.MemFree(list);  // -1 (no memory) leaves list untouched
}

void AddressLists(const MeklanExports& m, Transcript& t) {
  std::set<std::string> prefectures;
  std::set<std::pair<std::string, std::string>> cities;
  const MKADDRESS* address = m.GetAddress();
  for (int i = 0; i < m.GetNumOfAddress(); ++i) {
    prefectures.insert(address[i].prefName);
    cities.emplace(address[i].prefName, address[i].cityName);
  }
  for (const std::string& pref : prefectures) AreaList(m, t, pref.c_str(), nullptr);
  for (const auto& [pref, city] : cities) AreaList(m, t, pref.c_str(), city.c_str());
  AreaList(m, t, nullptr, nullptr);
  AreaList(m, t, "東京", nullptr);
  m.MemFree(nullptr);
}

void CarrierClasses(const MeklanExports& m, Transcript& t) {
  std::string row;
  for (int a = -1; a <= 57; ++a) {
    row.clear();
    for (int b = -1; b <= 57; ++b) row += static_cast<char>('0' + m.GetNumOfNTT(a, b));
    t.Line("ntt", a, row);
  }
}

void Editions(const MeklanExports& m, Transcript& t) {
  for (int edition = -1; edition <= 2; ++edition) {
    MarkedBuffer<MEKLAN_DAYDATA_SIZE> day;
    const int r = m.EditionGetDayData(edition, day.bytes);
    const MKMA* ma = m.EditionGetMKMA(edition);
    const MKADDRESS* address = m.EditionGetAddress(edition);
    t.Line("edition", edition, r, r == 1 ? day.bytes : "", m.EditionGetNumOfMKMA(edition),
           m.EditionGetNumOfAddress(edition), ma == nullptr ? "null" : "table",
           address == nullptr ? "null" : "table");
  }
  const int edition = MEKLAN_EDITION_CURRENT;
  const MKMA* ma = m.EditionGetMKMA(edition);
  for (int i = 0; i < m.EditionGetNumOfMKMA(edition); ++i) {
    char list[64] = "";
    char codes[24] = "";
    const int need = m.EditionGetMA(edition, ma[i].maName, -1, list, sizeof list);
    const int needCodes = m.EditionGetAreaCode(edition, ma[i].maName, -1, codes, sizeof codes);
    t.Line("edition-ma", MaRecord(ma[i]), need, list, needCodes, needCodes > 0 ? codes : "");
  }
  const MKADDRESS* address = m.EditionGetAddress(edition);
  for (int i = 0; i < m.EditionGetNumOfAddress(edition); ++i) {
    MKJOIN join;
    std::memset(&join, 0, sizeof join);
    const int r = m.EditionJoin(edition, address[i].dantaiCode, address[i].townName, nullptr,
                                &join);
    std::string indexes;
    for (int k = 0; k < join.count && k < MEKLAN_JOIN_MAX; ++k) {
      indexes += std::to_string(join.maIndex[k]) + ",";
    }
    t.Line("join", AddressRecord(address[i]), r, static_cast<int>(join.how), indexes,
           join.maNames, join.areaCodes);
  }
  t.Line("join-null", m.EditionJoin(edition, "01101", "", nullptr, nullptr));
}

}  // namespace

std::string ExportTranscript(const MeklanExports& meklan) {
  Transcript t;
  Information(meklan, t);
  Tables(meklan, t);
  Lookups(meklan, t);
  Distances(meklan, t);
  AddressLists(meklan, t);
  CarrierClasses(meklan, t);
  Editions(meklan, t);
  return t.Take();
}
