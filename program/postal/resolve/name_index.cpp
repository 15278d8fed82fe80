#include "name_index.h"

#include <algorithm>

namespace tovra::resolve {

std::uint64_t NameIndex::Start(char tag, std::uint32_t scope) {
  std::uint64_t h = kFnvOffset;
  h = Step(h, static_cast<unsigned char>(tag));
  for (int i = 0; i < 4; ++i) h = Step(h, static_cast<unsigned char>(scope >> (8 * i)));
  return h;
}

void NameIndex::Reserve(std::size_t names) {
  std::size_t size = 16;
  while (size < names * 2) size *= 2;
  if (size <= slots_.size()) return;
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(size, Slot{});
  const std::size_t mask = size - 1;
  for (const Slot& s : old) {
    if (s.hash == 0) continue;
    std::size_t i = Home(s.hash);
    while (slots_[i].hash != 0) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

void NameIndex::Grow() {
  if ((used_ + 1) * 2 > slots_.size()) Reserve(std::max<std::size_t>(used_ * 2, 64));
}

void NameIndex::Add(char tag, std::uint32_t scope, std::string_view key, std::uint32_t value) {
  std::uint64_t h = Start(tag, scope);
  for (char c : key) h = Step(h, static_cast<unsigned char>(c));
  h = Finish(h);
  bool present = false;
  ForEachValue(h, scope, tag, key, [&](std::uint32_t v) { present = present || v == value; });
  if (present) return;
  Grow();
  Slot slot;
  slot.hash = h;
  slot.key_at = static_cast<std::uint32_t>(pool_.size());
  slot.key_size = static_cast<std::uint32_t>(key.size() + 5);
  slot.value = value;
  pool_ += tag;
  pool_.append(reinterpret_cast<const char*>(&scope), 4);
  pool_.append(key);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = Home(h);
  while (slots_[i].hash != 0) i = (i + 1) & mask;
  slots_[i] = slot;
  ++used_;
  std::size_t& longest = longest_[static_cast<unsigned char>(tag) & 127];
  longest = std::max(longest, key.size());
}

bool NameIndex::Find(char tag, std::uint32_t scope, std::string_view key, std::vector<std::uint32_t>& values) const {
  std::int64_t first = -1;
  std::uint64_t h = Start(tag, scope);
  for (char c : key) h = Step(h, static_cast<unsigned char>(c));
  ForEachValue(Finish(h), scope, tag, key, [&](std::uint32_t v) {
    if (first < 0) first = v;
    values.push_back(v);
  });
  return first >= 0;
}

std::int64_t NameIndex::FindFirst(char tag, std::uint32_t scope, std::string_view key) const {
  std::int64_t first = -1;
  std::uint64_t h = Start(tag, scope);
  for (char c : key) h = Step(h, static_cast<unsigned char>(c));
  ForEachValue(Finish(h), scope, tag, key, [&](std::uint32_t v) {
    if (first < 0) first = v;
  });
  return first;
}

}  // namespace tovra::resolve
