#include "distance_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "cp932.h"

namespace meklan_dialog {

const char kNotFoundMessage[] = "該当ありません";
const char kMessageCaption[] = "MEKLAN";

namespace {

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

}  // namespace

std::vector<std::string> DistinctNames(std::string_view nameList) {
  std::vector<std::string> names;
  std::unordered_set<std::string_view> seen;
  for (std::string_view name : cp932::SplitNameList(nameList))
    if (!name.empty() && seen.insert(name).second) names.emplace_back(name);
  return names;
}

std::string FieldText(const char* field, std::size_t size) {
  const std::string_view text(field, strnlen(field, size));
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t width = cp932::IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > text.size()) break;  // a lead byte whose trail byte was cut off
    end += width;
  }
  return std::string(text.substr(0, end));
}

void StoreField(char* field, std::size_t size, std::string_view text) {
  if (size == 0) return;
  const std::size_t length = cp932::BoundaryAtOrBefore(text, size - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

int IsdnDigitalModeKm(const MKDISTANCE& rec) {
  // Every island pair of the built-in tables is more than 20 km apart, in no adjacent pair
  // and outside Okinawa, so its ordinary charging distance is the distance itself.
  return rec.distance;
}

DistanceOutcome DescribeDistance(const MKDISTANCE& rec) {
  const std::string from = cp932::ToUtf8(FieldText(rec.fromName));
  const std::string fromCode = cp932::ToUtf8(FieldText(rec.fromAreaCode));
  const std::string to = cp932::ToUtf8(FieldText(rec.toName));
  const std::string toCode = cp932::ToUtf8(FieldText(rec.toAreaCode));
  const char* f = from.c_str();
  const char* fc = fromCode.c_str();
  const char* t = to.c_str();
  const char* tc = toCode.c_str();

  switch (rec.kind) {
    case 1:
    case 2:
      return {Format("%s(%s) から %s(%s) までは 隣接区域内です ※エリアプラス適用可", f, fc, t, tc),
              rec.chargeDistance};
    case 4:
      return {Format("%s(%s) から %s(%s) までは %dkmです ※離島特例対象 (ISDNデジタルモードは%dkm)", f,
                     fc, t, tc, rec.distance, IsdnDigitalModeKm(rec)),
              rec.chargeDistance};
    default:  // 0; the distance export produces no other kind
      if (rec.distance == 0) {
        return {Format("%s(%s) から %s(%s) までは 同一区域内です", f, fc, t, tc), rec.distance};
      }
      return {Format("%s(%s) から %s(%s) までは %dkmです", f, fc, t, tc, rec.distance), rec.distance};
  }
}

}  // namespace meklan_dialog
