// Reading and writing INI text in the layout of the Windows profile functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovra {

// Looks values up like GetPrivateProfileString/Int: sections and keys without regard to ASCII
// case, the first occurrence wins, blanks around keys and values and one pair of enclosing
// quotes are dropped, lines starting with ";" are comments.
class IniReader {
 public:
  explicit IniReader(std::string_view text);
  IniReader(const IniReader&) = delete;  // the entries point into its own copy of the text
  IniReader& operator=(const IniReader&) = delete;
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t fallback) const;

 private:
  struct Entry {
    std::string_view section, key, value;  // into text_
  };
  const Entry* Find(std::string_view section, std::string_view key) const;

  std::string text_;
  std::vector<Entry> entries_;        // each name once, its first occurrence
  std::vector<std::uint32_t> slots_;  // open-addressed hash of the names: entry index + 1, 0 when free
};

// Collects keys as WritePrivateProfileString would place them into a fresh file: a key goes to
// the end of its section, sections stay in the order they were first written. CR LF line ends.
class IniWriter {
 public:
  void Set(const std::string& section, const std::string& key, const std::string& value);
  void SetInt(const std::string& section, const std::string& key, std::int64_t value) {
    Set(section, key, std::to_string(value));
  }
  std::string Text() const;

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
  };
  std::vector<Section> sections_;
};

}  // namespace tovra
