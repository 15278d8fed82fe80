// Whole processes: `tovra-search address KEY --match contains` beside `LC_ALL=C grep -c KEY`
// on the same file, run in turns (the order drawn afresh each round) so that a machine that
// speeds up or slows down meanwhile weighs on both alike. Prints the median wall time of each
// and their ratio.
//
// grep is timed twice: writing its count to a file, when it reads the whole file, and with its
// output on /dev/null, when GNU grep stops at the first line that matches (it then has nothing
// to count for anybody) and so reads only a part of the file.
//
//   postal_process_bench [ROUNDS] [KEY...]     (keys in UTF-8; default: 川崎 札幌 中央)
//
// With BASELINE=/path/to/an/older/tovra-search in the environment, that program runs in the same
// turns (output to a file), for a before-and-after figure.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "collecting_view.h"
#include "searches.h"
#include "sjis.h"

namespace {

const std::string kKenAll = std::string(POSTAL_DATA_DIR) + "/ken_all.csv";
const std::string kTovraSearch = std::string(DIST_DIR) + "/tovra-search";

struct Program {
  std::string label;
  std::vector<std::string> argv;
  std::vector<std::string> env;
  const char* output;
  int worst_exit = 0;  // the highest exit status of a run that did its work
};

// Wall time of one run in milliseconds; negative when it could not be started or failed.
double RunOnce(const Program& p) {
  std::vector<char*> argv, envp;
  for (const std::string& a : p.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : p.env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, p.output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid;
  int status = -1;
  const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
  if (started) waitpid(pid, &status, 0);
  const auto end = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!started || !WIFEXITED(status) || WEXITSTATUS(status) > p.worst_exit) return -1;
  return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// A settings file that names the bundled KEN_ALL.CSV, its index built, as a user's would be
// after the first start.
std::string WriteSettings() {
  char dir[] = "/tmp/postal_process_bench.XXXXXX";
  if (mkdtemp(dir) == nullptr) return {};
  const std::string ini = std::string(dir) + "/tovra.ini";
  tovra::Settings s = tovra::DefaultSettings(std::string(DIST_DIR) + "/");
  s.ken_all_path = kKenAll;
  s.jigyosyo_path = std::string(POSTAL_DATA_DIR) + "/jigyosyo.csv";
  tovra::CollectingView view;
  tovra::SearchContext ctx{view, s};
  tovra::BuildPostIndex(ctx, tovra::PostFile::kKenAll);
  tovra::BuildPostIndex(ctx, tovra::PostFile::kJigyosyo);
  std::string message;
  return tovra::SaveSettings(ini, s, &message) ? ini : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  std::vector<std::string> keys;
  for (int i = 2; i < argc; ++i) keys.emplace_back(argv[i]);
  if (keys.empty()) keys = {"川崎", "札幌", "中央"};
  const std::string ini = WriteSettings();
  if (ini.empty()) {
    std::fprintf(stderr, "postal_process_bench: cannot write the settings file\n");
    return 1;
  }
  const std::string out = ini + ".out";
  std::mt19937 order(12345);
  std::printf("%-8s %-28s %10s %10s\n", "key", "program", "median ms", "ratio");
  for (const std::string& key : keys) {
    const std::string cp932 = Sjis(key.c_str());
    // grep -c exits 1 when it counts no line: still a run of the whole file.
    const std::vector<Program> programs = {
        {"tovra-search > file", {kTovraSearch, "--ini", ini, "address", key, "--match", "contains"}, {"LC_ALL=C.UTF-8"}, out.c_str()},
        {"grep -c > file", {"grep", "-c", "-F", "-e", cp932, kKenAll}, {"LC_ALL=C"}, out.c_str(), 1},
        {"grep -c > /dev/null", {"grep", "-c", "-F", "-e", cp932, kKenAll}, {"LC_ALL=C"}, "/dev/null", 1},
        {"tovra-search > /dev/null", {kTovraSearch, "--ini", ini, "address", key, "--match", "contains"}, {"LC_ALL=C.UTF-8"}, "/dev/null"},
    };
    std::vector<Program> all = programs;
    if (const char* baseline = std::getenv("BASELINE")) {
      all.push_back({"baseline > file", {baseline, "--ini", ini, "address", key, "--match", "contains"}, {"LC_ALL=C.UTF-8"}, out.c_str()});
    }
    std::vector<std::vector<double>> times(all.size());
    std::vector<std::size_t> turn(all.size());
    for (std::size_t i = 0; i < turn.size(); ++i) turn[i] = i;
    for (int r = 0; r < rounds + 10; ++r) {
      std::shuffle(turn.begin(), turn.end(), order);
      for (std::size_t i : turn) {
        const double ms = RunOnce(all[i]);
        if (ms < 0) {
          std::fprintf(stderr, "postal_process_bench: %s failed\n", all[i].label.c_str());
          return 1;
        }
        if (r >= 10) times[i].push_back(ms);  // the first rounds warm the caches
      }
    }
    const double tovra_file = Median(times[0]), grep_file = Median(times[1]);
    const double grep_null = Median(times[2]), tovra_null = Median(times[3]);
    std::printf("%-8s %-28s %10.3f\n", key.c_str(), programs[1].label.c_str(), grep_file);
    std::printf("%-8s %-28s %10.3f %9.2fx\n", key.c_str(), programs[0].label.c_str(), tovra_file, tovra_file / grep_file);
    std::printf("%-8s %-28s %10.3f\n", key.c_str(), programs[2].label.c_str(), grep_null);
    std::printf("%-8s %-28s %10.3f %9.2fx\n", key.c_str(), programs[3].label.c_str(), tovra_null, tovra_null / grep_null);
    if (all.size() > programs.size()) {
      const double baseline = Median(times.back());
      std::printf("%-8s %-28s %10.3f %9.2fx\n", key.c_str(), all.back().label.c_str(), baseline, baseline / grep_file);
    }
  }
  unlink(out.c_str());
  unlink(ini.c_str());
  unlink((ini + ".lock").c_str());
  rmdir(ini.substr(0, ini.rfind('/')).c_str());
  return 0;
}
