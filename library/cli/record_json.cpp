#include "record_json.h"

#include <string_view>

#include "cp932.h"
#include "field_text.h"

namespace meklan::json {
namespace {

std::string Text(std::string_view cp932_text) { return clitext::JsonString(cp932::ToUtf8(cp932_text)); }

}  // namespace

std::string MaRecord(const MKMA& ma) {
  return "{\"maName\":" + Text(ma.maName) + ",\"branch\":" + std::to_string(ma.branch) +
         ",\"maKana\":" + Text(ma.maKana) + ",\"posNS\":" + std::to_string(ma.posNS) +
         ",\"posEW\":" + std::to_string(ma.posEW) + ",\"areaCode\":" + std::to_string(ma.areaCode) +
         ",\"prefixList\":" + Text(ma.prefixList) + ",\"prefNo\":" + std::to_string(ma.prefNo) +
         ",\"regionCode\":" + std::to_string(ma.regionCode) + "}";
}

std::string DistanceRecord(const MKDISTANCE& r) {
  return "{\"fromName\":" + Text(r.fromName) + ",\"toName\":" + Text(r.toName) +
         ",\"kind\":" + std::to_string(r.kind) + ",\"distance\":" + std::to_string(r.distance) +
         ",\"chargeDistance\":" + std::to_string(r.chargeDistance) + ",\"nttNo\":" + std::to_string(r.nttNo) +
         ",\"fromAreaCode\":" + Text(r.fromAreaCode) + ",\"toAreaCode\":" + Text(r.toAreaCode) +
         ",\"fromPrefName\":" + Text(r.fromPrefName) + ",\"toPrefName\":" + Text(r.toPrefName) +
         ",\"fromMa\":" + MaRecord(r.fromMa) + ",\"toMa\":" + MaRecord(r.toMa) + "}";
}

}  // namespace meklan::json
