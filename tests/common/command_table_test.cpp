// The shared command table: where the command's name is found, what reaches the command,
// and the exit codes of the runner itself.
#include "command_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace common::cli {
namespace {

// What the last command run received.
std::string g_ran;
std::vector<std::string> g_positional;
std::string g_options;

int Record(const Command& self, const Arguments& args) {
  auto parsed = ParseArguments(self, args, {{"--match", true}, {"--raw", false}}, 1, 2);
  if (!parsed) return kExitUsage;
  g_ran = self.name;
  g_positional.clear();
  for (std::size_t i = 0; i < parsed->Count(); ++i) g_positional.push_back((*parsed)[i]);
  g_options.clear();
  for (const char* o : {"--match", "--raw", "--ken", "--business"}) {
    if (parsed->Has(o)) g_options += std::string(o) + "=" + *parsed->Value(o) + ";";
  }
  return kExitOk;
}

const Command kCommands[] = {
    {"find", Record, "find KEY [KEY] [--match M] [--raw]", "find things", "Finds things.\n"},
    {"list", Record, "list KEY", "list things", "Lists things.\n"},
};
constexpr OptionSpec kGlobals[] = {{"--ken", true}, {"--business", false}};
const Program kProgram = {"tool", kCommands, kGlobals, "A tool.\n", "Exit status: 0.\n", "  --ken FILE\n", nullptr};

struct Case {
  std::vector<std::string> argv;
  int code;
  std::string ran;  // "" when no command ran
  std::vector<std::string> positional;
  std::string options;
};

TEST(CommandTable, FindsTheCommandAndPassesGlobalOptionsFromAnywhere) {
  const std::vector<Case> cases = {
      {{"find", "a"}, 0, "find", {"a"}, ""},
      {{"--ken", "k.csv", "find", "a"}, 0, "find", {"a"}, "--ken=k.csv;"},
      {{"--ken=k.csv", "--business", "list", "a"}, 0, "list", {"a"}, "--ken=k.csv;--business=;"},
      {{"find", "a", "--ken", "k", "--match", "x", "b"}, 0, "find", {"a", "b"}, "--match=x;--ken=k;"},
      {{"find", "-0166", "--raw"}, 0, "find", {"-0166"}, "--raw=;"},  // a single dash is a key
      {{"find", "--", "--raw"}, 0, "find", {"--raw"}, ""},
      {{}, 2, "", {}, ""},
      {{"--ken", "k.csv"}, 2, "", {}, ""},       // no command
      {{"frobnicate"}, 2, "", {}, ""},
      {{"--match", "x", "find", "a"}, 2, "", {}, ""},  // a command's option is no global one
      {{"find"}, 2, "", {}, ""},
      {{"find", "a", "b", "c"}, 2, "", {}, ""},
      {{"find", "a", "--nope"}, 2, "", {}, ""},
      {{"find", "a", "--raw=1"}, 2, "", {}, ""},
      {{"find", "a", "--match"}, 2, "", {}, ""},
      {{"--help"}, 0, "", {}, ""},
      {{"--ken", "k", "-h", "find"}, 0, "", {}, ""},
      {{"find", "a", "--help"}, 0, "", {}, ""},
      {{"--version"}, 2, "", {}, ""},  // this program has none
  };
  for (const Case& c : cases) {
    g_ran.clear();
    std::vector<std::string> storage = {"tool"};
    storage.insert(storage.end(), c.argv.begin(), c.argv.end());
    std::vector<char*> argv;
    for (std::string& s : storage) argv.push_back(s.data());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int code = RunProgram(kProgram, static_cast<int>(argv.size()), argv.data());
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string shown = testing::PrintToString(c.argv);
    EXPECT_EQ(code, c.code) << shown << err;
    EXPECT_EQ(g_ran, c.ran) << shown;
    if (!c.ran.empty()) {
      EXPECT_EQ(g_positional, c.positional) << shown;
      EXPECT_EQ(g_options, c.options) << shown;
    }
    // Help goes to stdout, usage errors to stderr, each naming the program.
    if (c.code == kExitUsage) {
      EXPECT_NE(err.find("tool"), std::string::npos) << shown << err;
    }
    if (c.code == kExitOk && c.ran.empty()) {
      EXPECT_EQ(out.rfind("usage: tool ", 0), 0u) << shown << out;
    }
  }
}

TEST(CommandTable, OverviewShowsEveryUsageLineAndCommandHelpItsOwn) {
  std::vector<std::string> storage = {"tool", "--help"};
  std::vector<char*> argv = {storage[0].data(), storage[1].data()};
  testing::internal::CaptureStdout();
  RunProgram(kProgram, 2, argv.data());
  const std::string overview = testing::internal::GetCapturedStdout();
  EXPECT_NE(overview.find("\n  find KEY [KEY] [--match M] [--raw]  find things\n"), std::string::npos) << overview;
  EXPECT_NE(overview.find("\n  list KEY"), std::string::npos) << overview;
  EXPECT_NE(overview.find("--ken FILE"), std::string::npos) << overview;

  storage = {"tool", "help", "list"};
  argv = {storage[0].data(), storage[1].data(), storage[2].data()};
  testing::internal::CaptureStdout();
  RunProgram(kProgram, 3, argv.data());
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("usage: tool list KEY\nlist things.\n\nLists things.\n", 0), 0u);
}

}  // namespace
}  // namespace common::cli
