// Runs of meklan-gen in the tests of its rules: a scratch table folder, and what the
// generator reports on its error stream.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

// A fresh folder in the temporary directory, named after `prefix`; empty when none can be made.
inline std::filesystem::path MakeScratchDir(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  return mkdtemp(pattern.data()) != nullptr ? std::filesystem::path(pattern) : std::filesystem::path();
}

// The "file:line: rule" messages of a run, without the closing "meklan-gen: ..." lines.
inline std::vector<std::string> RuleMessages(const std::string& err) {
  std::vector<std::string> messages;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("meklan-gen:", 0) != 0) messages.push_back(line);
  }
  return messages;
}
