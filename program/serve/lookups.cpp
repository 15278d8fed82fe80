#include "lookups.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "cp932.h"
#include "meklan.h"
#include "record_json.h"

namespace tovra::serve {
namespace {

const char* EditionName(int edition) { return edition == MEKLAN_EDITION_2003 ? "2003" : "current"; }

// The area-code text of an MA of the edition; "" when the key names none.
std::string AreaCodes(int edition, const std::string& key, int branch, bool* found) {
  std::vector<char> out(MEKLAN_AREACODE_SIZE);
  int need = MEKLAN_EditionGetAreaCode(edition, key.c_str(), branch, out.data(), static_cast<int>(out.size()));
  if (need > static_cast<int>(out.size())) {
    out.resize(static_cast<std::size_t>(need));
    need = MEKLAN_EditionGetAreaCode(edition, key.c_str(), branch, out.data(), need);
  }
  *found = need > 0;
  return need > 0 ? std::string(out.data()) : std::string();
}

// The names of the library's list "名前$名前$", each once, in the order found.
std::vector<std::string> DistinctNames(std::string_view list) {
  std::vector<std::string> names;
  for (std::string_view name : cp932::SplitNameList(list))
    if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
  return names;
}

Reply Mas(const Query& q) {
  const int edition = q.edition.value_or(MEKLAN_EDITION_CURRENT);
  std::vector<char> out(MEKLAN_MALIST_SIZE);
  int need = MEKLAN_EditionGetMA(edition, q.key.c_str(), q.pref_index, out.data(), static_cast<int>(out.size()));
  if (need > static_cast<int>(out.size())) {
    out.resize(static_cast<std::size_t>(need));
    MEKLAN_EditionGetMA(edition, q.key.c_str(), q.pref_index, out.data(), need);
  }
  std::string body = "{\"key\":" + JsonCp932(q.key) + ",\"edition\":\"" + EditionName(edition) + "\",\"mas\":[";
  bool first = true;
  for (const std::string& name : DistinctNames(out.data())) {
    bool found = false;
    const std::string codes = AreaCodes(edition, name, -1, &found);
    body += std::string(first ? "" : ",") + "{\"name\":" + JsonCp932(name) + ",\"areaCodes\":" + JsonCp932(codes) + "}";
    first = false;
  }
  return Reply{200, body + "]}\n"};
}

Reply MaAreaCodes(const Query& q) {
  const int edition = q.edition.value_or(MEKLAN_EDITION_CURRENT);
  bool found = false;
  const std::string codes = AreaCodes(edition, q.key, q.branch, &found);
  if (!found) return ErrorReply(404, "'" + cp932::ToUtf8(q.key) + "' names no MA");
  return Reply{200, "{\"ma\":" + JsonCp932(q.key) + ",\"edition\":\"" + EditionName(edition) +
                        "\",\"areaCodes\":" + JsonCp932(codes) + "}\n"};
}

void SetEnd(char (&field)[32], const std::string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
}

// The library tells only that some end failed; asking for each end alone tells which.
bool EndResolves(const std::string& end) {
  MKDISTANCE probe{};
  SetEnd(probe.fromName, end);
  SetEnd(probe.toName, end);
  return MEKLAN_GetDistance(&probe) == 1;
}

Reply Distance(const Query& q) {
  MKDISTANCE rec{};
  SetEnd(rec.fromName, q.key);
  SetEnd(rec.toName, q.second);
  if (MEKLAN_GetDistance(&rec) == 1) return Reply{200, meklan::json::DistanceRecord(rec) + "\n"};
  std::string message;
  if (!EndResolves(q.key)) message = "from '" + cp932::ToUtf8(q.key) + "' names no MA";
  if (!EndResolves(q.second)) message += (message.empty() ? "" : "; ") + ("to '" + cp932::ToUtf8(q.second) + "' names no MA");
  return ErrorReply(404, message.empty() ? "no distance for these ends" : message);
}

Reply AreaPlus(const Query& q) {
  char out[MEKLAN_AREAPLUS_SIZE] = {};
  if (MEKLAN_GetAreaPlus(q.key.c_str(), out) != 1) return ErrorReply(404, "'" + cp932::ToUtf8(q.key) + "' names no MA");
  // The listing is made to be shown (CRLF lines); the lines are given one by one as well.
  std::string body = "{\"ma\":" + JsonCp932(q.key) + ",\"text\":" + JsonCp932(out) + ",\"lines\":[";
  std::string_view rest = out;
  bool first = true;
  while (!rest.empty()) {
    std::size_t end = rest.find("\r\n");
    body += std::string(first ? "" : ",") + JsonCp932(rest.substr(0, end));
    first = false;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 2);
  }
  return Reply{200, body + "]}\n"};
}

}  // namespace

Reply RunLookup(const Query& q) {
  switch (q.route) {
    case Route::kMa: return Mas(q);
    case Route::kMaAreaCodes: return MaAreaCodes(q);
    case Route::kDistance: return Distance(q);
    case Route::kAreaPlus: return AreaPlus(q);
    default: return ErrorReply(500, "not a look-up of the library");
  }
}

}  // namespace tovra::serve
