// Reading the government's wording of a part of a municipality. The wordings are a small
// legal idiom: a list of towns joined by "、", "及び" and, one level up, "並びに", closed by
// "を除く。" (everything but these) or "に限る。" (only these), or a bare town name; a town may
// carry chome ("一丁目", "三丁目から五丁目まで", a following "及び五丁目" continuing the same
// town) or a nested condition in brackets: chome ("岩田町（三丁目を除く。）") or the towns
// written under a name ("醍醐（一ノ切町及び二ノ切町に限る。）" = 醍醐一ノ切町, 醍醐二ノ切町).
#include <string_view>

#include "edition.h"

namespace meklan::gen {
namespace {

constexpr std::uint64_t kEveryChome = ~std::uint64_t{1};  // bits 1..63
constexpr int kMaxChome = 63;

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}
bool StartsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

std::string_view TrimBlanks(std::string_view text) {
  for (;;) {
    if (EndsWith(text, " ")) {
      text.remove_suffix(1);
    } else if (EndsWith(text, "\u3000")) {
      text.remove_suffix(3);
    } else {
      return text;
    }
  }
}

// The closing mark in either width ("。" or the half-width "｡" some rows use).
std::string_view DropFullStop(std::string_view text) {
  for (std::string_view stop : {"。", "｡"}) {
    if (EndsWith(text, stop)) return text.substr(0, text.size() - stop.size());
  }
  return text;
}

// Splits at every separator that stands outside brackets.
std::vector<std::string_view> SplitOutside(std::string_view text,
                                           std::initializer_list<std::string_view> separators) {
  std::vector<std::string_view> pieces;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::string_view rest = text.substr(i);
    if (StartsWith(rest, "（")) ++depth;
    if (StartsWith(rest, "）")) --depth;
    bool split = false;
    if (depth == 0) {
      for (std::string_view sep : separators) {
        if (StartsWith(rest, sep)) {
          pieces.push_back(text.substr(start, i - start));
          i += sep.size();
          start = i;
          split = true;
          break;
        }
      }
    }
    if (!split) i += 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

// One chome or a range: "三丁目" or "三丁目から五丁目まで" at the end of `item`; the town
// name before it is returned in `town`. False when the item names no chome.
bool TakeChome(std::string_view item, std::string_view& town, std::uint64_t& chome, std::string& rule) {
  std::string_view body = item;
  bool range = EndsWith(body, "丁目まで");
  if (range) body.remove_suffix(std::string_view("まで").size());
  if (!EndsWith(body, "丁目")) return false;
  body.remove_suffix(std::string_view("丁目").size());
  int last = 0;
  int first = 0;
  auto take_number = [&](std::string_view& text) {
    // Kanji numerals are three bytes each in UTF-8; take the longest numeral at the end.
    std::size_t n = 0;
    while (n + 3 <= text.size() && KanjiNumber(std::string(text.substr(text.size() - n - 3, 3))) > 0) n += 3;
    int value = n > 0 ? KanjiNumber(std::string(text.substr(text.size() - n))) : 0;
    text.remove_suffix(n);
    return value;
  };
  last = take_number(body);
  if (range) {
    if (!EndsWith(body, "丁目から")) {
      rule = "a range of chome without its start";
      return true;
    }
    body.remove_suffix(std::string_view("丁目から").size());
    first = take_number(body);
  } else {
    first = last;
  }
  if (first <= 0 || last < first || last > kMaxChome) {
    rule = "a chome number it cannot read";
    return true;
  }
  for (int n = first; n <= last; ++n) chome |= std::uint64_t{1} << n;
  town = body;
  return true;
}

// A town name must be a name: anything of the idiom left in it means a form not understood.
bool IsPlainName(std::string_view town) {
  for (std::string_view word : {"丁目", "から", "まで", "（", "）", "。", "｡", "除く", "限る", "及び", "並びに", "、"}) {
    if (town.find(word) != std::string_view::npos) return false;
  }
  return !town.empty();
}

// "（三丁目を除く。）" or "（一丁目及び二丁目に限る。）" after a town: its chome.
bool ReadNestedChome(std::string_view inner, std::uint64_t& chome, std::string& rule) {
  inner = DropFullStop(inner);
  bool except = EndsWith(inner, "を除く");
  if (!except && !EndsWith(inner, "に限る")) {
    rule = "a bracketed condition that is neither を除く nor に限る";
    return false;
  }
  inner.remove_suffix(std::string_view("を除く").size());
  std::uint64_t named = 0;
  for (std::string_view item : SplitOutside(inner, {"並びに", "、", "及び"})) {
    std::string_view town;
    if (!TakeChome(item, town, named, rule) || !rule.empty() || !town.empty()) {
      if (rule.empty()) rule = "a bracketed condition that names more than chome";
      return false;
    }
  }
  chome = except ? (kEveryChome & ~named) : named;
  return true;
}

// The towns of a bracketed "…に限る。" that names towns rather than chome; empty when it is
// not of that form.
std::vector<std::string> SubTowns(std::string_view inner) {
  inner = DropFullStop(inner);
  if (!EndsWith(inner, "に限る")) return {};
  inner.remove_suffix(std::string_view("に限る").size());
  std::vector<std::string> towns;
  for (std::string_view item : SplitOutside(inner, {"、", "及び"})) {
    if (!IsPlainName(item)) return {};
    towns.emplace_back(item);
  }
  return towns;
}

}  // namespace

bool IsFormerMunicipality(std::string_view utf8_town) {
  for (std::string_view mark : kFormerMunicipalityMarks) {
    if (EndsWith(utf8_town, mark)) return true;
  }
  return false;
}

int KanjiNumber(const std::string& utf8) {
  static const std::string_view kDigits[] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
  auto digit = [](std::string_view c) {
    for (int d = 1; d <= 9; ++d) {
      if (c == kDigits[d]) return d;
    }
    return 0;
  };
  std::string_view text = utf8;
  if (text.empty() || text.size() % 3 != 0 || text.size() > 9) return 0;
  std::size_t ten = text.find("十");
  if (ten == std::string_view::npos) return text.size() == 3 ? digit(text) : 0;
  if (ten % 3 != 0) return 0;
  int tens = 1;
  if (ten == 3) {
    tens = digit(text.substr(0, 3));
    if (tens == 0) return 0;
  } else if (ten != 0) {
    return 0;
  }
  std::string_view ones = text.substr(ten + 3);
  if (ones.empty()) return tens * 10;
  int one = ones.size() == 3 ? digit(ones) : 0;
  return one == 0 ? 0 : tens * 10 + one;
}

std::optional<PartWording> ReadPartWording(const std::string& utf8, std::string& rule) {
  rule.clear();
  PartWording result;
  std::string_view text = TrimBlanks(utf8);
  if (text.empty()) return result;
  text = DropFullStop(text);
  if (EndsWith(text, "を除く")) {
    result.mode = kWordingExcept;
    text.remove_suffix(std::string_view("を除く").size());
  } else if (EndsWith(text, "に限る")) {
    result.mode = kWordingOnly;
    text.remove_suffix(std::string_view("に限る").size());
  } else {
    result.mode = kWordingOnly;  // a bare town name stands for itself
  }
  for (std::string_view item : SplitOutside(text, {"並びに", "、", "及び"})) {
    item = TrimBlanks(item);  // "大方竈 、小方竈": a stray blank in the published text
    std::string_view name = item;
    std::uint64_t chome = 0;
    std::size_t open = item.find("（");
    if (open != std::string_view::npos) {
      if (!EndsWith(item, "）")) {
        rule = "text after a bracketed condition";
        return std::nullopt;
      }
      std::string_view inner = item.substr(open + 3, item.size() - open - 6);
      name = item.substr(0, open);
      if (!ReadNestedChome(inner, chome, rule)) {
        // "醍醐（一ノ切町、二ノ切町及び三ノ切町に限る。）": the towns written under 醍醐.
        std::vector<std::string> under = SubTowns(inner);
        if (under.empty() || !IsPlainName(name)) return std::nullopt;
        rule.clear();
        for (const std::string& sub : under) result.towns.push_back({std::string(name) + sub, 0, false});
        continue;
      }
    } else {
      std::string_view town;
      if (TakeChome(item, town, chome, rule)) {
        if (!rule.empty()) return std::nullopt;
        name = town;
        if (name.empty()) {
          // "及び三丁目から五丁目まで": more chome of the town before.
          if (result.towns.empty() || result.towns.back().chome == 0) {
            rule = "chome without a town";
            return std::nullopt;
          }
          result.towns.back().chome |= chome;
          continue;
        }
      }
    }
    if (!IsPlainName(name)) {
      rule = "a town it cannot read: \"" + std::string(item) + "\"";
      return std::nullopt;
    }
    result.towns.push_back({std::string(name), chome, chome == 0 && IsFormerMunicipality(name)});
  }
  return result;
}

}  // namespace meklan::gen
