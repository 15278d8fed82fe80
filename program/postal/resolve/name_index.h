// Names looked up by a tag, a scope and a key-form text: prefectures, the names of cities,
// the towns of a city, the offices at an address. One open-addressing table over one pool of
// key bytes: filling it costs a few allocations in all, and a lookup none.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fnv_hash.h"

namespace tovra::resolve {

class NameIndex {
 public:
  // Adds a value under a name; a value already there under the same name is not added again.
  void Add(char tag, std::uint32_t scope, std::string_view key, std::uint32_t value);

  // Appends to `values` the values under the name; false when there are none.
  bool Find(char tag, std::uint32_t scope, std::string_view key, std::vector<std::uint32_t>& values) const;
  // The first value under the name, or -1.
  std::int64_t FindFirst(char tag, std::uint32_t scope, std::string_view key) const;

  // Every name that starts `text` (at a character boundary), longest first: calls
  // each(length, value) for each of its values. One pass over the text hashes every prefix.
  template <typename Each>
  void ForEachPrefix(char tag, std::uint32_t scope, std::string_view text, Each each) const;

  std::size_t LongestKey(char tag) const { return longest_[static_cast<unsigned char>(tag) & 127]; }
  std::size_t MemoryBytes() const { return slots_.capacity() * sizeof(Slot) + pool_.capacity(); }
  void Reserve(std::size_t names);

 private:
  struct Slot {
    std::uint64_t hash = 0;  // 0: empty
    std::uint32_t key_at = 0, key_size = 0;
    std::uint32_t value = 0;
  };
  static std::uint64_t Start(char tag, std::uint32_t scope);
  static std::uint64_t Step(std::uint64_t h, unsigned char byte) { return FnvStep(h, byte); }
  static std::uint64_t Finish(std::uint64_t h) { return h | 1; }
  // The first slot to look at: from the high bits, which the last multiplication mixed best.
  std::size_t Home(std::uint64_t hash) const { return static_cast<std::size_t>(hash >> 32) & (slots_.size() - 1); }
  template <typename Each>
  void ForEachValue(std::uint64_t hash, std::uint32_t scope, char tag, std::string_view key, Each each) const;
  void Grow();

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::string pool_;  // each key as tag, scope (4 bytes), key bytes
  std::size_t longest_[128] = {};
};

template <typename Each>
void NameIndex::ForEachValue(std::uint64_t hash, std::uint32_t scope, char tag, std::string_view key, Each each) const {
  if (slots_.empty()) return;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = Home(hash); slots_[i].hash != 0; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.hash != hash || s.key_size != key.size() + 5) continue;
    const std::string_view stored = std::string_view(pool_).substr(s.key_at, s.key_size);
    std::uint32_t stored_scope = 0;
    stored.substr(1, 4).copy(reinterpret_cast<char*>(&stored_scope), 4);
    if (stored[0] == tag && stored_scope == scope && stored.substr(5) == key) each(s.value);
  }
}

template <typename Each>
void NameIndex::ForEachPrefix(char tag, std::uint32_t scope, std::string_view text, Each each) const {
  const std::size_t limit = std::min(text.size(), LongestKey(tag));
  std::uint64_t hashes[512];
  std::size_t ends[512];
  std::size_t count = 0;
  std::uint64_t h = Start(tag, scope);
  for (std::size_t i = 0; i < limit && count < 512;) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t width = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
    if (i + width > limit) break;
    for (std::size_t k = 0; k < width; ++k) h = Step(h, static_cast<unsigned char>(text[i + k]));
    i += width;
    hashes[count] = Finish(h);
    ends[count++] = i;
  }
  while (count-- > 0) {
    const std::size_t length = ends[count];
    ForEachValue(hashes[count], scope, tag, text.substr(0, length), [&](std::uint32_t v) { each(length, v); });
  }
}

}  // namespace tovra::resolve
