#include "town_rule.h"

#include <limits>

#include "address_fold.h"
#include "characters_data.h"
#include "cp932.h"
#include "resolve_words.h"

namespace tovra::resolve {
namespace {

constexpr std::int64_t kBlockScale = 100000;
constexpr std::int64_t kNoEnd = std::numeric_limits<std::int64_t>::max();

// A number with an optional sub-number: "12" or "12-3".
struct Bound {
  std::int64_t main = -1, sub = -1;
};

Bound TakeBound(std::string_view& s) {
  Bound b;
  b.main = TakeNumber(s);
  if (b.main < 0) return b;
  std::string_view probe = s;
  const bool block_word = TakeWord(probe, word::kBanchi) || TakeWord(probe, word::kBan);
  if (TakeWord(probe, "-") || TakeWord(probe, character::kNo) || (block_word && !probe.empty() && probe[0] >= '0' && probe[0] <= '9')) {
    const int sub = TakeNumber(probe);
    if (sub >= 0) {
      b.sub = sub;
      s = probe;
    }
  }
  return b;
}

std::int64_t BlockLow(const Bound& b) { return b.main * kBlockScale + (b.sub < 0 ? 0 : b.sub); }
std::int64_t BlockHigh(const Bound& b) { return b.main * kBlockScale + (b.sub < 0 ? kBlockScale - 1 : b.sub); }

RuleItem NameItem(std::string_view piece) {
  RuleItem item;
  item.unit = RuleItem::Unit::kName;
  item.name = std::string(piece);
  return item;
}

// A unit word after a number or range: 丁目, or 番地 / 番 / 号.
RuleItem::Unit TakeUnit(std::string_view& s) {
  if (TakeWord(s, word::kChome)) return RuleItem::Unit::kChome;
  if (TakeWord(s, word::kBanchi) || TakeWord(s, word::kBan) || TakeWord(s, word::kGo)) return RuleItem::Unit::kBlock;
  return RuleItem::Unit::kNone;
}

// One item of a list in key form: "4", "1～19丁目", "88-2", "2丁目1～5番地", "430番地以上",
// or a part's name.
RuleItem ParseNumbers(std::string_view piece);

// "中島505～518番地": a part's name followed by its blocks.
RuleItem ParseItem(std::string_view piece) {
  const std::size_t digit = piece.find_first_of("0123456789");
  if (digit == 0 || digit == std::string_view::npos) return ParseNumbers(piece);
  RuleItem item = ParseNumbers(piece.substr(digit));
  if (item.unit == RuleItem::Unit::kName || item.chome >= 0) return NameItem(piece);
  item.unit = RuleItem::Unit::kBlock;
  item.name = std::string(piece.substr(0, digit));
  return item;
}

RuleItem ParseNumbers(std::string_view piece) {
  std::string_view s = piece;
  RuleItem item;
  Bound low = TakeBound(s);
  if (low.main < 0) return NameItem(piece);
  std::string_view after_chome = s;
  if (TakeWord(after_chome, word::kChome) && !after_chome.empty() && after_chome[0] >= '0' && after_chome[0] <= '9') {
    item.chome = static_cast<std::int32_t>(low.main);  // a block range inside one chome
    s = after_chome;
    low = TakeBound(s);
  }
  Bound high = low;
  std::string_view before_range = s;
  const RuleItem::Unit low_unit = TakeUnit(before_range);  // "1番地～2061番地"
  if (before_range.starts_with(word::kRangeMark)) s = before_range;
  if (TakeWord(s, word::kRangeMark)) {
    high = TakeBound(s);
    if (high.main < 0) return NameItem(piece);
  }
  item.unit = TakeUnit(s);
  if (item.unit == RuleItem::Unit::kNone) item.unit = low_unit;
  if (item.chome >= 0) item.unit = RuleItem::Unit::kBlock;
  const bool open_end = TakeWord(s, word::kAbove);
  const bool open_start = TakeWord(s, word::kBelow);
  // "1丁目東": a part of a chome the address cannot be told to be in, only not to be out of.
  item.partial = !s.empty() && item.unit == RuleItem::Unit::kChome && low.main == high.main;
  if (!s.empty() && !item.partial) return NameItem(piece);
  item.low = item.unit == RuleItem::Unit::kChome ? low.main : BlockLow(low);
  item.high = item.unit == RuleItem::Unit::kChome ? high.main : BlockHigh(high);
  if (open_end) item.high = kNoEnd;
  if (open_start) item.low = 0;
  return item;
}

// The text without its exceptions in 「」 (and 〔〕 notes), which the records they name cover.
std::string WithoutQuoted(std::string_view text) {
  std::string out;
  int depth = 0;
  using cp932::CodeOf;
  cp932::ForEachChar(text, [&](unsigned code, std::string_view bytes) {
    if (code == CodeOf(word::kQuoteOpen) || code == CodeOf(character::kShellOpen)) ++depth;
    else if ((code == CodeOf(word::kQuoteClose) || code == CodeOf(character::kShellClose)) && depth > 0) --depth;
    else if (depth == 0) out += bytes;
  });
  return out;
}

std::vector<RuleItem> ParseItems(std::string_view folded) {
  std::vector<RuleItem> items;
  const std::string text = WithoutQuoted(folded);
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t comma = std::min(cp932::Find(rest, word::kListComma), cp932::Find(rest, word::kAnd));
    std::string_view piece = rest.substr(0, comma);
    const std::size_t gap = rest.substr(comma == std::string_view::npos ? 0 : comma).starts_with(word::kAnd) ? 4 : 2;
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + gap);
    if (piece.empty() || cp932::EndsWith(piece, word::kExcluding) || cp932::EndsWith(piece, word::kBesides)) continue;
    items.push_back(ParseItem(piece));
  }
  // "4、5丁目", "13、14番地": the unit written last is that of every bare number before it.
  RuleItem::Unit unit = RuleItem::Unit::kBlock;
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if (it->unit == RuleItem::Unit::kChome || it->unit == RuleItem::Unit::kBlock) unit = it->unit;
    if (it->unit != RuleItem::Unit::kNone) continue;
    it->unit = unit;
    if (unit == RuleItem::Unit::kChome) {  // read as blocks, now chome
      it->low /= kBlockScale;
      it->high = it->high == kNoEnd ? kNoEnd : it->high / kBlockScale;
    }
  }
  return items;
}

// The rule of the text inside a town field's parentheses (as written, not folded).
TownRule RuleOf(std::string_view inner) {
  TownRule rule;
  if (inner == word::kOther) rule.kind = RuleKind::kOther;
  else if (inner == word::kBasementOrUnknown) rule.kind = RuleKind::kBasementOrUnknown;
  else if (inner == word::kExceptBuildings) rule.kind = RuleKind::kPlain;
  else if (inner == word::kChome) rule.kind = RuleKind::kWithChome;
  else if (inner == word::kBanchi || inner == word::kOaza) rule.kind = RuleKind::kWithoutChome;
  if (rule.kind != RuleKind::kPlain || inner == word::kExceptBuildings) return rule;
  const std::string folded = FoldAddress(inner);
  std::string_view s = folded;
  const int floor = TakeNumber(s);
  if (floor >= 0 && s == word::kFloor) {
    rule.kind = RuleKind::kFloor;
    rule.floor = floor;
    return rule;
  }
  rule.items = ParseItems(folded);
  if (!rule.items.empty()) rule.kind = RuleKind::kItems;
  return rule;
}

bool InRange(const RuleItem& item, std::int64_t value) { return value >= item.low && value <= item.high; }

// A block against a range whose ends may name sub-numbers: an address without its sub-number
// at such an end may lie on either side.
RuleMatch MatchBlock(const RuleItem& item, const AddressNumbers& n) {
  if (n.sub >= 0) return InRange(item, n.block * kBlockScale + n.sub) ? RuleMatch::kYes : RuleMatch::kNo;
  const std::int64_t first = n.block * kBlockScale, last = first + kBlockScale - 1;
  if (last < item.low || first > item.high) return RuleMatch::kNo;
  if (first >= item.low && last <= item.high) return RuleMatch::kYes;
  return RuleMatch::kUnknown;
}

bool HasDirection(std::string_view text) {
  return cp932::Contains(text, word::kUpward) || cp932::Contains(text, word::kDownward) ||
         cp932::Contains(text, word::kEastward) || cp932::Contains(text, word::kWestward);
}

RuleMatch MatchItem(const RuleItem& item, std::string_view rest, const AddressNumbers& n, std::string_view around) {
  switch (item.unit) {
    case RuleItem::Unit::kChome:
      if (n.chome < 0) return n.block_word ? RuleMatch::kNo : RuleMatch::kUnknown;
      if (!InRange(item, n.chome)) return RuleMatch::kNo;
      return item.partial ? RuleMatch::kUnknown : RuleMatch::kYes;
    case RuleItem::Unit::kBlock:
      if (!item.name.empty()) {
        if (!rest.starts_with(item.name)) return rest.empty() ? RuleMatch::kUnknown : RuleMatch::kNo;
        const AddressNumbers after = ReadAddressNumbers(rest.substr(item.name.size()), false);
        return after.block < 0 ? RuleMatch::kUnknown : MatchBlock(item, after);
      }
      if (item.chome >= 0 && n.chome >= 0 && n.chome != item.chome) return RuleMatch::kNo;
      if (n.block < 0 || (item.chome >= 0 && n.chome < 0)) return RuleMatch::kUnknown;
      return MatchBlock(item, n);
    default:
      break;
  }
  if (rest.starts_with(item.name)) return RuleMatch::kYes;
  if (HasDirection(item.name)) {
    if (cp932::Contains(around, item.name)) return RuleMatch::kYes;
    return HasDirection(around) ? RuleMatch::kNo : RuleMatch::kUnknown;
  }
  return rest.empty() ? RuleMatch::kUnknown : RuleMatch::kNo;
}

// 番地, 番, 号, '-' or ノ between two numbers (番地ノ1 counts as one).
bool TakeSeparator(std::string_view& s) {
  const bool word = TakeWord(s, word::kBanchi) || TakeWord(s, word::kBan) || TakeWord(s, word::kGo);
  const bool dash = TakeWord(s, "-") || TakeWord(s, character::kNo);
  return word || dash;
}

}  // namespace

TownField ParseTownField(std::string_view field) {
  TownField out;
  if (field == word::kCatchAll || cp932::EndsWith(field, word::kWholeArea)) {
    out.rule.kind = RuleKind::kCatchAll;
    return out;
  }
  if (cp932::EndsWith(field, word::kNextIsBanchi)) {
    out.rule.kind = RuleKind::kNextIsBanchi;
    return out;
  }
  const std::size_t open = cp932::Find(field, character::kOpenParen);
  if (open == std::string_view::npos) {
    out.base = FoldAddress(field);
    return out;
  }
  std::string base(field.substr(0, open));
  std::string_view inner = field.substr(open + 2);
  if (cp932::EndsWith(inner, character::kCloseParen)) inner.remove_suffix(2);
  const std::string high_rise = std::string(word::kHighRise) + character::kCloseParen + character::kOpenParen;
  if (inner.starts_with(high_rise)) {
    base += word::kHighRise;
    inner.remove_prefix(high_rise.size());
  }
  out.base = FoldAddress(base);
  out.rule = RuleOf(inner);
  return out;
}

AddressNumbers ReadAddressNumbers(std::string_view rest, bool town_has_chome) {
  AddressNumbers a;
  std::string_view s = rest;
  int n = TakeNumber(s);
  if (n < 0) return a;
  if (TakeWord(s, word::kChome) || TakeWord(s, word::kChomeShort)) {
    a.chome = n;
    TakeSeparator(s);
    n = TakeNumber(s);
  } else if (s.starts_with(word::kBanchi) || s.starts_with(word::kBan)) {
    a.block_word = true;
  } else if (town_has_chome) {
    a.chome = n;
    std::string_view probe = s;
    n = TakeSeparator(probe) ? TakeNumber(probe) : -1;
    if (n >= 0) s = probe;
  }
  if (n >= 0) {
    a.block = n;
    std::string_view probe = s;
    const int sub = TakeSeparator(probe) ? TakeNumber(probe) : -1;
    if (sub >= 0) {
      a.sub = sub;
      s = probe;
      TakeSeparator(s);
    } else {
      TakeWord(s, word::kBanchi) || TakeWord(s, word::kBan);
    }
  }
  a.length = rest.size() - s.size();
  return a;
}

RuleMatch MatchTownRule(const TownRule& rule, std::string_view rest, const AddressNumbers& n,
                        std::string_view around) {
  switch (rule.kind) {
    case RuleKind::kWithChome:
      if (n.chome >= 0) return RuleMatch::kYes;
      return n.block_word ? RuleMatch::kNo : RuleMatch::kUnknown;
    case RuleKind::kWithoutChome:
      if (n.chome >= 0) return RuleMatch::kNo;
      return n.block >= 0 ? RuleMatch::kYes : RuleMatch::kUnknown;
    case RuleKind::kItems: {
      RuleMatch best = RuleMatch::kNo;
      for (const RuleItem& item : rule.items) {
        const RuleMatch m = MatchItem(item, rest, n, around);
        if (m == RuleMatch::kYes) return m;
        if (m == RuleMatch::kUnknown) best = m;
      }
      return best;
    }
    default:
      return RuleMatch::kNo;
  }
}

int ReadFloor(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); i += cp932::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
    const bool basement = text.substr(i).starts_with(word::kBasement) || (text[i] == 'B' && i + 1 < text.size() &&
                                                                          text[i + 1] >= '0' && text[i + 1] <= '9');
    std::string_view s = text.substr(i + (text[i] == 'B' ? 1 : basement ? 4 : 0));
    const int n = TakeNumber(s);
    if (n < 0) continue;
    if (basement) return 0;
    if (s.starts_with(word::kFloor) || s.starts_with("F")) return n;
    i = text.size() - s.size() - 1;  // past the number
  }
  return -1;
}

}  // namespace tovra::resolve
