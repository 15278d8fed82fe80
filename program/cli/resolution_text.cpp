#include "resolution_text.h"

#include <iterator>

#include "cp932.h"
#include "field_text.h"

namespace tovra::cli {
namespace {

constexpr std::string_view kFieldNames[] = {"input", "level",      "postcode", "candidates", "dantaiCode", "areaCodes",
                                            "maName", "prefecture", "city",     "town",       "rest",       "note"};

}  // namespace

std::span<const std::string_view> ResolutionFieldNames() { return kFieldNames; }

std::vector<std::string> ResolutionFields(const resolve::Resolution& r) {
  std::string candidates;
  for (const resolve::Candidate& c : r.candidates)
    if (!c.postcode.empty()) candidates += (candidates.empty() ? "" : " ") + c.postcode;
  if (r.postcode.empty() && candidates.empty())
    for (const resolve::Candidate& c : r.candidates) candidates += (candidates.empty() ? "" : " ") + c.prefecture + c.city;
  const std::string_view texts[] = {r.postcode, candidates, r.dantai, r.area_codes, r.ma_names, r.prefecture,
                                    r.city,     r.town,     r.rest,   r.office.empty() ? r.note : r.office};
  std::vector<std::string> fields{std::to_string(r.level)};
  for (std::string& t : cp932::ToUtf8Each(texts)) fields.push_back(std::move(t));
  return fields;
}

std::string JsonObject(const std::vector<std::string>& keys, const std::vector<std::string>& utf8_fields) {
  std::string line = "{";
  for (std::size_t i = 0; i < utf8_fields.size(); ++i) {
    if (i > 0) line += ", ";
    line += clitext::JsonString(i < keys.size() ? keys[i] : "field" + std::to_string(i + 1)) + ": ";
    line += clitext::JsonString(utf8_fields[i]);
  }
  return line + "}";
}

std::string ResolutionJson(const std::string& utf8_input, const resolve::Resolution& r) {
  std::vector<std::string> fields{utf8_input};
  for (std::string& f : ResolutionFields(r)) fields.push_back(std::move(f));
  static const std::vector<std::string> keys(std::begin(kFieldNames), std::end(kFieldNames));
  return JsonObject(keys, fields);
}

}  // namespace tovra::cli
