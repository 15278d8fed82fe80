// The postal searches on the bundled real files, each beside the raw floors of the same run:
// reading the whole file and counting its lines, and `grep -c` with the same key.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "collecting_view.h"
#include "searches.h"
#include "sjis.h"

extern char** environ;

namespace tovra::bench {
namespace {

const std::string kKenAll = std::string(POSTAL_DATA_DIR) + "/ken_all.csv";
const std::string kJigyosyo = std::string(POSTAL_DATA_DIR) + "/jigyosyo.csv";


// The result list keeps the rows, so the searches are measured with a view that does too.
using CountingView = CollectingView;

Settings& IndexedSettings() {
  static Settings settings = [] {
    Settings s = DefaultSettings("/");
    s.ken_all_path = kKenAll;
    s.jigyosyo_path = kJigyosyo;
    CountingView view;
    SearchContext ctx{view, s};
    BuildPostIndex(ctx, PostFile::kKenAll);
    BuildPostIndex(ctx, PostFile::kJigyosyo);
    return s;
  }();
  return settings;
}

// Floors -----------------------------------------------------------------------------------

void RawCountLines(benchmark::State& state, const std::string& path) {
  std::vector<char> buf(256 * 1024);
  for (auto _ : state) {
    int fd = open(path.c_str(), O_RDONLY);
    std::int64_t lines = 0;
    ssize_t n;
    while ((n = read(fd, buf.data(), buf.size())) > 0) {
      for (const char* p = buf.data(); (p = static_cast<const char*>(std::memchr(p, '\n', buf.data() + n - p))) != nullptr; ++p) ++lines;
    }
    close(fd);
    benchmark::DoNotOptimize(lines);
  }
}

void GrepCount(benchmark::State& state, const std::string& key, const std::string& path) {
  std::vector<std::string> args = {"grep", "-c", "-F", "-e", key, path};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::string lc_all = "LC_ALL=C";
  char* envp[] = {lc_all.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // Not /dev/null: grep notices it and stops at the first match.
  posix_spawn_file_actions_addopen(&actions, 1, "/tmp/postal_bench_grep.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (auto _ : state) {
    pid_t pid;
    if (posix_spawnp(&pid, "grep", &actions, nullptr, argv.data(), envp) != 0) {
      state.SkipWithError("grep cannot be started");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

// The engine -------------------------------------------------------------------------------

void IndexBuild(benchmark::State& state, PostFile file) {
  Settings s = IndexedSettings();
  CountingView view;
  SearchContext ctx{view, s};
  for (auto _ : state) benchmark::DoNotOptimize(BuildPostIndex(ctx, file));
}

template <typename Search>
void RunSearch(benchmark::State& state, Search search) {
  Settings s = IndexedSettings();
  CountingView view;
  SearchContext ctx{view, s};
  std::size_t rows = 0;
  for (auto _ : state) {
    view.ClearRows();
    view.cities.clear();
    search(ctx, view);
    rows = view.Rows().size() + view.cities.size();
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["MB_read"] = static_cast<double>(ctx.bytes_read) / state.iterations() / 1e6;
}

void Register() {
  auto reg = [](const std::string& name, auto fn) {
    benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(benchmark::kMillisecond)->UseRealTime();
  };
  reg("floor/read+count_lines/ken_all", [](benchmark::State& s) { RawCountLines(s, kKenAll); });
  reg("floor/read+count_lines/jigyosyo", [](benchmark::State& s) { RawCountLines(s, kJigyosyo); });
  reg("index_build/ken_all", [](benchmark::State& s) { IndexBuild(s, PostFile::kKenAll); });
  reg("index_build/jigyosyo", [](benchmark::State& s) { IndexBuild(s, PostFile::kJigyosyo); });

  struct Case {
    std::string name;
    std::string grep_key;
    std::function<void(SearchContext&, CountingView&)> search;
  };
  const std::string sapporo = Sjis("札幌"), chuo = Sjis("中央"), chuo_ku = Sjis("札幌市中央区");
  const std::string hokkaido = Sjis("北海道"), tokyo = Sjis("東京都"), chiyoda = Sjis("千代田区");
  const std::vector<Case> cases = {
      {"postcode_exact/0600001", "0600001", [](SearchContext& c, CountingView&) { SearchPostCode(c, "0600001", PostCodeMatch::kExact); }},
      {"postcode_exact/9000001", "9000001", [](SearchContext& c, CountingView&) { SearchPostCode(c, "9000001", PostCodeMatch::kExact); }},
      {"postcode_prefix/060", "060", [](SearchContext& c, CountingView&) { SearchPostCode(c, "060", PostCodeMatch::kPrefix); }},
      {"postcode_contains/0001", "0001", [](SearchContext& c, CountingView&) { SearchPostCode(c, "0001", PostCodeMatch::kContains); }},
      {"address_exact/札幌市中央区", chuo_ku, [=](SearchContext& c, CountingView&) { ScanKenAll(c, chuo_ku, ScanMode::kWords, WordMatch::kExact); }},
      {"address_contains/札幌", sapporo, [=](SearchContext& c, CountingView&) { ScanKenAll(c, sapporo, ScanMode::kWords, WordMatch::kContains); }},
      {"address_contains/中央", chuo, [=](SearchContext& c, CountingView&) { ScanKenAll(c, chuo, ScanMode::kWords, WordMatch::kContains); }},
      {"two_terms/札幌+中央", sapporo, [=](SearchContext& c, CountingView&) { ScanKenAll(c, sapporo + "+" + chuo, ScanMode::kWords, WordMatch::kContains); }},
      {"dantai/13101", "13101", [](SearchContext& c, CountingView&) { ScanKenAll(c, "13101", ScanMode::kDantai); }},
      {"city_list/北海道", hokkaido, [=](SearchContext& c, CountingView&) { ScanKenAll(c, hokkaido, ScanMode::kCityList); }},
      {"city_list/東京都", tokyo, [=](SearchContext& c, CountingView&) { ScanKenAll(c, tokyo, ScanMode::kCityList); }},
      {"city_rows/東京都千代田区", chiyoda, [=](SearchContext& c, CountingView&) { ScanKenAll(c, chiyoda, ScanMode::kCity, WordMatch::kExact, tokyo); }},
      {"areacode_districts/0153", "", [](SearchContext& c, CountingView&) { SearchByAreaCode(c, "0153", AreaDisplay::kDistricts, false); }},
      {"areacode_postal/0153", "", [](SearchContext& c, CountingView&) { SearchByAreaCode(c, "0153", AreaDisplay::kPostal, false); }},
      {"areacode_postal/03", "", [](SearchContext& c, CountingView&) { SearchByAreaCode(c, "03", AreaDisplay::kPostal, false); }},
      // The settings' default is the current edition (every row joined with its MAs); the
      // tables of 2003 show what the join costs.
      {"areacode_postal_2003/0153", "", [](SearchContext& c, CountingView&) { c.settings.ma_edition = 0; SearchByAreaCode(c, "0153", AreaDisplay::kPostal, false); }},
      {"areacode_postal_2003/03", "", [](SearchContext& c, CountingView&) { c.settings.ma_edition = 0; SearchByAreaCode(c, "03", AreaDisplay::kPostal, false); }},
      {"areacode_postal/0539", "", [](SearchContext& c, CountingView&) { SearchByAreaCode(c, "0539", AreaDisplay::kPostal, false); }},
      {"dantai_2003/13101", "", [](SearchContext& c, CountingView&) { c.settings.ma_edition = 0; ScanKenAll(c, "13101", ScanMode::kDantai); }},
      {"postcode_prefix_2003/060", "", [](SearchContext& c, CountingView&) { c.settings.ma_edition = 0; SearchPostCode(c, "060", PostCodeMatch::kPrefix); }},
  };
  for (const Case& c : cases) {
    auto search = c.search;
    reg("search/" + c.name, [search](benchmark::State& s) { RunSearch(s, search); });
    if (!c.grep_key.empty()) {
      std::string key = c.grep_key;
      reg("floor/grep_c/" + c.name, [key](benchmark::State& s) { GrepCount(s, key, kKenAll); });
    }
  }
  const std::string company = Sjis("株式会社");
  reg("search/business_contains/株式会社", [company](benchmark::State& s) {
    RunSearch(s, [company](SearchContext& c, CountingView&) { ScanJigyosyo(c, company, ScanMode::kWords, WordMatch::kContains); });
  });
  reg("floor/grep_c/business_contains/株式会社", [company](benchmark::State& s) { GrepCount(s, company, kJigyosyo); });
}

}  // namespace
}  // namespace tovra::bench

int main(int argc, char** argv) {
  tovra::bench::Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
