// meklan distance, meklan areaplus: the distance and area-plus exports.
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "commands.h"
#include "meklan.h"
#include "record_json.h"

namespace meklan::cli {
namespace {

const char* KindInWords(int kind) {
  switch (kind) {
    case 0: return "ordinary, charged by distance";
    case 1: return "adjacent (adjacent-pair table)";
    case 2: return "adjacent by distance (20 km or less)";
    case 4: return "remote-island rule";
    default: return "unknown";
  }
}

const char* NttInWords(int nttNo) {
  switch (nttNo) {
    case 0: return "within one eastern prefecture";
    case 1: return "within one western prefecture";
    case 2: return "across prefectures";
    default: return "unknown";
  }
}

// One end of the call into its 32-byte field; a text that would not fit is a usage error.
bool SetEnd(const Command& self, const std::string& typed, const char* what, char (&field)[32]) {
  auto text = ToCp932(self, typed, what);
  if (!text) return false;
  if (text->size() >= sizeof field) {
    UsageError(self, std::string(what) + " '" + typed + "' is longer than " +
                         std::to_string(sizeof field - 1) + " bytes in CP932");
    return false;
  }
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text->data(), text->size());
  return true;
}

// The library tells only that some end failed; asking for each end alone tells which.
bool EndResolves(const char (&field)[32]) {
  MKDISTANCE probe{};
  std::memcpy(probe.fromName, field, sizeof field);
  std::memcpy(probe.toName, field, sizeof field);
  return MEKLAN_GetDistance(&probe) == 1;
}

// The record with its own field names; JSON text is UTF-8 whatever the terminal uses.
void PrintJson(const MKDISTANCE& r, const char* end = "\n") { std::cout << json::DistanceRecord(r) << end; }

std::string EndLine(const char* label, const char* name, const char* areaCode, const char* pref) {
  return std::string(label) + name + " (" + areaCode + ", " + pref + ")";
}

void PrintReport(const MKDISTANCE& r) {
  PrintLine(EndLine("from             ", r.fromName, r.fromAreaCode, r.fromPrefName));
  PrintLine(EndLine("to               ", r.toName, r.toAreaCode, r.toPrefName));
  std::cout << "distance         " << r.distance << " km\n"
            << "charge distance  " << r.chargeDistance << " km\n"
            << "class            " << r.kind << " " << KindInWords(r.kind) << "\n"
            << "nttNo            " << r.nttNo << " " << NttInWords(r.nttNo) << "\n";
}

// The library's own dialog, opened with the typed ends as its initial texts.
int RunDistanceDialog(const Command& self, MKDISTANCE& rec, bool json) {
  const int result = MEKLAN_GetDistanceWithDialog(nullptr, &rec, 1);
  if (result == -1) {
    std::cout << (json ? "{\"result\":-1}\n" : "result           -1\n");
    return Fail(self, "cancelled, or the dialog could not be shown (no display, or "
                      "libmeklan-dialog.so found neither beside libmeklan.so nor in its meklan/)");
  }
  if (json) {
    std::cout << "{\"result\":" << result << ",\"record\":";
    PrintJson(rec, "}\n");
  } else {
    std::cout << "result           " << result << "\n";
    PrintReport(rec);
  }
  return kExitOk;
}

}  // namespace

int RunDistance(const Command& self, const Arguments& args) {
  auto parsed = ParseArguments(self, args, {{"--json", false}, {"--dialog", false}}, 0, 2);
  if (!parsed) return kExitUsage;
  const bool dialog = parsed->Has("--dialog");
  if (!dialog && parsed->Count() < 2) return UsageError(self, "missing argument");
  MKDISTANCE rec{};
  if ((parsed->Count() > 0 && !SetEnd(self, (*parsed)[0], "FROM", rec.fromName)) ||
      (parsed->Count() > 1 && !SetEnd(self, (*parsed)[1], "TO", rec.toName))) {
    return kExitUsage;
  }
  if (dialog) return RunDistanceDialog(self, rec, parsed->Has("--json"));
  const MKDISTANCE request = rec;
  if (MEKLAN_GetDistance(&rec) == 0) {
    std::string message;
    if (!EndResolves(request.fromName)) message = "FROM '" + (*parsed)[0] + "' names no MA";
    if (!EndResolves(request.toName)) {
      message += (message.empty() ? "" : "; ") + std::string("TO '") + (*parsed)[1] + "' names no MA";
    }
    if (message.empty()) message = "no distance for '" + (*parsed)[0] + "' and '" + (*parsed)[1] + "'";
    return Fail(self, message);
  }
  if (parsed->Has("--json")) {
    PrintJson(rec);
  } else {
    PrintReport(rec);
  }
  return kExitOk;
}

int RunAreaPlus(const Command& self, const Arguments& args) {
  auto parsed = ParseArguments(self, args, {}, 1, 1);
  if (!parsed) return kExitUsage;
  auto key = ToCp932(self, (*parsed)[0], "key");
  if (!key) return kExitUsage;
  char listing[MEKLAN_AREAPLUS_SIZE];
  if (MEKLAN_GetAreaPlus(key->c_str(), listing) == 0) {
    return Fail(self, "'" + (*parsed)[0] + "' names no MA");
  }
  // The library ends lines with CR LF for a text box; a terminal gets LF.
  std::string_view rest = listing;
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    PrintLine(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
  }
  return kExitOk;
}

}  // namespace meklan::cli
