#include "ini_file.h"

#include "fnv_hash.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace tovra {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Sections and keys are found without regard to ASCII case (FNV-1a over the lower case).
std::size_t NameHash(std::string_view section, std::string_view key) {
  std::uint64_t h = kFnvOffset;
  auto mix = [&h](char c) { h = FnvStep(h, static_cast<unsigned char>(AsciiLower(c))); };
  for (char c : section) mix(c);
  mix('\n');  // cannot occur inside a section or key name
  for (char c : key) mix(c);
  return static_cast<std::size_t>(h);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace

IniReader::IniReader(std::string_view text) : text_(text) {
  std::string_view rest = text_;
  std::string_view section;
  while (!rest.empty()) {
    std::size_t nl = rest.find('\n');
    std::string_view line = Trim(rest.substr(0, nl));
    rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      section = Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    entries_.push_back({section, Trim(line.substr(0, eq)), value});
  }
  // Looked up by hash, without a string built per name; the first occurrence of a name wins,
  // as with the profile reader.
  std::size_t capacity = 16;
  while (capacity < entries_.size() * 2) capacity *= 2;
  slots_.assign(capacity, 0);
  std::size_t kept = 0;
  for (std::size_t n = 0; n < entries_.size(); ++n) {
    const Entry e = entries_[n];
    if (Find(e.section, e.key) != nullptr) continue;  // among the entries kept so far
    entries_[kept++] = e;
    for (std::size_t i = NameHash(e.section, e.key);; ++i) {
      std::uint32_t& slot = slots_[i & (capacity - 1)];
      if (slot == 0) {
        slot = static_cast<std::uint32_t>(kept);
        break;
      }
    }
  }
  entries_.resize(kept);
}

const IniReader::Entry* IniReader::Find(std::string_view section, std::string_view key) const {
  if (slots_.empty()) return nullptr;
  for (std::size_t i = NameHash(section, key);; ++i) {
    const std::uint32_t slot = slots_[i & (slots_.size() - 1)];
    if (slot == 0) return nullptr;
    const Entry& e = entries_[slot - 1];
    if (SameName(e.section, section) && SameName(e.key, key)) return &e;
  }
}

std::optional<std::string> IniReader::Get(std::string_view section, std::string_view key) const {
  // The first occurrence of a key wins, as with the profile reader.
  const Entry* e = Find(section, key);
  if (e == nullptr) return std::nullopt;
  return std::string(e->value);
}

std::int32_t IniReader::GetInt(std::string_view section, std::string_view key, std::int32_t fallback) const {
  std::optional<std::string> value = Get(section, key);
  if (!value) return fallback;
  // Like the profile reader: leading decimal digits with a sign, anything else reads as 0.
  errno = 0;
  long long n = std::strtoll(value->c_str(), nullptr, 10);
  if (n > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (n < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(n);
}

void IniWriter::Set(const std::string& section, const std::string& key, const std::string& value) {
  for (Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (auto& kv : s.keys) {
      if (SameName(kv.first, key)) {
        kv.second = value;
        return;
      }
    }
    s.keys.emplace_back(key, value);
    return;
  }
  sections_.push_back({section, {{key, value}}});
}

namespace {

// The profile reader drops blanks around a value and one pair of enclosing quotes; a value
// that would lose something that way is written inside quotes, so it reads back unchanged.
std::string ProfileValue(const std::string& value) {
  if (value.empty()) return value;
  bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front();
  if (IsBlank(value.front()) || IsBlank(value.back()) || quoted) return '"' + value + '"';
  return value;
}

}  // namespace

std::string IniWriter::Text() const {
  std::string out;
  for (const Section& s : sections_) {
    out += '[' + s.name + "]\r\n";
    for (const auto& kv : s.keys) out += kv.first + '=' + ProfileValue(kv.second) + "\r\n";
  }
  return out;
}

}  // namespace tovra
