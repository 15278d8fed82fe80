// Saving the settings file while other processes save it too, are killed half-way, or find it
// behind a link or with a mode of its own.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "test_support.h"

namespace tovra::test {
namespace {

// Runs `body` in a child process; the child's exit status is 0 when it returned true.
pid_t Spawn(const std::function<bool()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body() ? 0 : 1);
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct ProcessChange {
  unsigned part;
  std::function<void(Settings&)> apply;
  std::function<void(const Settings&)> check;
};

std::vector<ProcessChange> EightChanges() {
  PostIndex built;
  ResetPostIndex(built);
  built.run[0] = {'0', 0, 99};
  return {
      {kWindowPart, [](Settings& s) { s.window = {11, 22, 633, 544}; },
       [](const Settings& s) { EXPECT_EQ(s.window, (WindowRect{11, 22, 633, 544})); }},
      {kKenAllPathPart, [](Settings& s) { s.ken_all_path = "/data/ken.csv"; },
       [](const Settings& s) { EXPECT_EQ(s.ken_all_path, "/data/ken.csv"); }},
      {kJigyosyoPathPart, [](Settings& s) { s.jigyosyo_path = "/data/jig.csv"; },
       [](const Settings& s) { EXPECT_EQ(s.jigyosyo_path, "/data/jig.csv"); }},
      {kHyphenPart, [](Settings& s) { s.add_hyphen = 0; }, [](const Settings& s) { EXPECT_EQ(s.add_hyphen, 0); }},
      {kColumnsPart, [](Settings& s) { s.column_width[2] = 77; },
       [](const Settings& s) { EXPECT_EQ(s.column_width[2], 77); }},
      {kKenAllIndexPart,
       [built](Settings& s) {
         s.ken_all_time = "Wed Dec  9 09:28:02 2026";
         s.ken_all_index = built;
       },
       [built](const Settings& s) {
         EXPECT_EQ(s.ken_all_time, "Wed Dec  9 09:28:02 2026");
         EXPECT_EQ(s.ken_all_index.run[0], built.run[0]);
       }},
      {kJigyosyoIndexPart, [](Settings& s) { s.jigyosyo_time = "Thu Dec 10 10:00:00 2026"; },
       [](const Settings& s) { EXPECT_EQ(s.jigyosyo_time, "Thu Dec 10 10:00:00 2026"); }},
      // A second command line that rebuilt the same index at the same time.
      {kKenAllIndexPart,
       [built](Settings& s) {
         s.ken_all_time = "Wed Dec  9 09:28:02 2026";
         s.ken_all_index = built;
       },
       [](const Settings&) {}},
  };
}

// All eight read the file before any of them saves, then save at once: each change survives.
TEST(ConcurrentSaves, EightProcessesEachKeepWhatTheyChanged) {
  TempDir dir;
  const std::string path = dir.Path("tovra.ini");
  ASSERT_TRUE(SaveSettings(path, DefaultSettings("/p/"), nullptr));
  const std::vector<ProcessChange> changes = EightChanges();
  int ready[2], start[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> children;
  for (const ProcessChange& change : changes) {
    children.push_back(Spawn([&] {
      close(ready[0]);
      close(start[1]);
      Settings s;
      LoadSettings(path, "/p/", s);
      change.apply(s);
      char c = 0;
      if (write(ready[1], &c, 1) != 1) return false;
      (void)read(start[0], &c, 1);  // returns at end of file: the parent let everyone go
      return SaveSettings(path, s, nullptr, change.part);
    }));
  }
  close(ready[1]);
  close(start[0]);
  char c;
  for (std::size_t i = 0; i < changes.size(); ++i) ASSERT_EQ(read(ready[0], &c, 1), 1);
  close(start[1]);
  for (pid_t pid : children) EXPECT_EQ(WaitFor(pid), 0);
  close(ready[0]);

  Settings result;
  LoadSettings(path, "/p/", result);
  for (const ProcessChange& change : changes) change.check(result);
}

// A save keeps the permissions the user gave the file.
TEST(SaveKeepsTheFile, Mode) {
  for (mode_t mode : {0600, 0640, 0664, 0444}) {
    TempDir dir;
    const std::string path = dir.Write("tovra.ini", "[WINDOW]\r\nLEFT=1\r\n");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    Settings s = DefaultSettings("/p/");
    s.window.left = 2;
    ASSERT_TRUE(SaveSettings(path, s, nullptr));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
  }
}

// A settings file reached through links: the save replaces the final target, the links stay.
struct LinkCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> links;  // link name -> what it holds
};

class SaveThroughLinks : public ::testing::TestWithParam<LinkCase> {};

TEST_P(SaveThroughLinks, ReplacesTheTargetAndKeepsTheLinks) {
  TempDir dir;
  std::filesystem::create_directories(dir.Path("ini"));
  std::filesystem::create_directories(dir.Path("real"));
  const std::string target = dir.Write("real/tovra.ini", "[WINDOW]\r\nLEFT=1\r\n");
  for (const auto& [link, holds] : GetParam().links) {
    std::string to = holds;
    if (to.starts_with("%d")) to.replace(0, 2, dir.Path(""));
    std::filesystem::create_symlink(to, dir.Path(link));
  }
  const std::string path = dir.Path(GetParam().links.front().first);
  Settings s;
  ASSERT_EQ(LoadSettings(path, "/p/", s), SettingsFileStatus::kRead);
  EXPECT_EQ(s.window.left, 1);
  s.window.left = 2;
  ASSERT_TRUE(SaveSettings(path, s, nullptr));

  for (const auto& link : GetParam().links) EXPECT_TRUE(std::filesystem::is_symlink(dir.Path(link.first)));
  Settings back;
  LoadSettings(target, "/p/", back);
  EXPECT_EQ(back.window.left, 2);
  // Only the target and the lock file are in the target's directory; the links' is untouched.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("real")), {}), 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("ini")), {}),
            static_cast<long>(GetParam().links.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveThroughLinks,
    ::testing::Values(LinkCase{"Absolute", {{"ini/tovra.ini", "%dreal/tovra.ini"}}},
                      LinkCase{"Relative", {{"ini/tovra.ini", "../real/tovra.ini"}}},
                      LinkCase{"TwoLinks", {{"ini/tovra.ini", "other.ini"}, {"ini/other.ini", "../real/tovra.ini"}}}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

// A save stopped by a signal while it writes its temporary file.
int g_stopped_pipe = -1;
long TellAndWaitForEver(int, const void*, std::size_t) {
  char c = 0;
  (void)write(g_stopped_pipe, &c, 1);
  for (;;) pause();
}

// Entries beside the settings file other than its lock file.
int Temporaries(const std::string& dir) {
  int n = 0;
  for (auto& e : std::filesystem::directory_iterator(dir)) {
    n += e.path().filename() != "tovra.ini" && e.path().extension() != ".lock";
  }
  return n;
}

struct StopCase {
  const char* name;
  int signal;
  int left_behind;  // temporaries after the signal, before the next save
};

class SaveStoppedBySignal : public ::testing::TestWithParam<StopCase> {};

TEST_P(SaveStoppedBySignal, LeavesNoTemporaryAfterTheNextSave) {
  TempDir dir;
  const std::string path = dir.Path("tovra.ini");
  Settings s = DefaultSettings("/p/");
  ASSERT_TRUE(SaveSettings(path, s, nullptr));
  const std::string before = ReadAll(path);
  int stopped[2];
  ASSERT_EQ(pipe(stopped), 0);
  const pid_t child = Spawn([&] {
    g_stopped_pipe = stopped[1];
    test_seams::SetSettingsWriteFunction(TellAndWaitForEver);
    s.window.left = 99;
    return SaveSettings(path, s, nullptr);
  });
  close(stopped[1]);
  char c;
  ASSERT_EQ(read(stopped[0], &c, 1), 1);
  close(stopped[0]);
  kill(child, GetParam().signal);
  EXPECT_EQ(WaitFor(child), 128 + GetParam().signal);
  EXPECT_EQ(Temporaries(dir.Path("")), GetParam().left_behind);
  EXPECT_EQ(ReadAll(path), before);

  s.window.left = 7;
  ASSERT_TRUE(SaveSettings(path, s, nullptr));
  EXPECT_EQ(Temporaries(dir.Path("")), 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, SaveStoppedBySignal,
                         ::testing::Values(StopCase{"Interrupt", SIGINT, 0}, StopCase{"Terminate", SIGTERM, 0},
                                           StopCase{"Kill", SIGKILL, 1}),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tovra::test
