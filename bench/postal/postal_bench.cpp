// The postal searches on the bundled real files, each beside the raw floors of the same run:
// reading the whole file and counting its lines, counting the key's occurrences in the mapped
// file in this process, and `grep -c` with the same key.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
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

// Occurrences of the key in the mapped file: candidates where the key's first and last bytes
// stand sixteen positions at a time, confirmed by a compare. Nothing else is done per byte.
std::size_t CountKey(const char* base, std::size_t size, const std::string& key) {
  std::size_t count = 0;
  std::size_t p = 0;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(key.front());
  const __m128i last = _mm_set1_epi8(key.back());
  for (; p + 16 + key.size() <= size; p += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + p + key.size() - 1));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
    for (; mask != 0; mask &= mask - 1) {
      count += std::memcmp(base + p + static_cast<std::size_t>(__builtin_ctz(mask)), key.data(), key.size()) == 0;
    }
  }
#endif
  for (; p + key.size() <= size; ++p) count += std::memcmp(base + p, key.data(), key.size()) == 0;
  return count;
}

// The same bytes as the engine's scan: the file mapped afresh each time, the key counted.
void MappedCountKey(benchmark::State& state, const std::string& key, const std::string& path) {
  for (auto _ : state) {
    int fd = open(path.c_str(), O_RDONLY);
    struct stat st {};
    fstat(fd, &st);
    const auto size = static_cast<std::size_t>(st.st_size);
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    close(fd);
    benchmark::DoNotOptimize(CountKey(static_cast<const char*>(map), size, key));
    munmap(map, size);
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
  const std::string kawasaki = Sjis("川崎"), kawasaki_kana = Sjis("かわさき"), tokyo_kana = Sjis("トウキョウ");
  const std::string hokkaido = Sjis("北海道"), tokyo = Sjis("東京都"), chiyoda = Sjis("千代田区");
  const std::vector<Case> cases = {
      {"postcode_exact/0600001", "0600001", [](SearchContext& c, CountingView&) { SearchPostCode(c, "0600001", PostCodeMatch::kExact); }},
      {"postcode_exact/9000001", "9000001", [](SearchContext& c, CountingView&) { SearchPostCode(c, "9000001", PostCodeMatch::kExact); }},
      {"postcode_prefix/060", "060", [](SearchContext& c, CountingView&) { SearchPostCode(c, "060", PostCodeMatch::kPrefix); }},
      {"postcode_contains/0001", "0001", [](SearchContext& c, CountingView&) { SearchPostCode(c, "0001", PostCodeMatch::kContains); }},
      {"address_exact/札幌市中央区", chuo_ku, [=](SearchContext& c, CountingView&) { ScanKenAll(c, chuo_ku, ScanMode::kWords, WordMatch::kExact); }},
      {"address_contains/札幌", sapporo, [=](SearchContext& c, CountingView&) { ScanKenAll(c, sapporo, ScanMode::kWords, WordMatch::kContains); }},
      // A key the file does not hold: the scan alone, no record read and no row built.
      {"address_contains_absent/鬱金", Sjis("鬱金"), [](SearchContext& c, CountingView&) { ScanKenAll(c, Sjis("鬱金"), ScanMode::kWords, WordMatch::kContains); }},
      {"address_contains/川崎", kawasaki, [=](SearchContext& c, CountingView&) { ScanKenAll(c, kawasaki, ScanMode::kWords, WordMatch::kContains); }},
      // A reading typed in hiragana: looked for as ｶﾜｻｷ and as typed.
      {"address_contains_folded/かわさき", Sjis("ｶﾜｻｷ"), [=](SearchContext& c, CountingView&) { ScanKenAll(c, kawasaki_kana, ScanMode::kWords, WordMatch::kContains); }},
      {"postcode_exact_old/19901", "19901", [](SearchContext& c, CountingView&) { SearchPostCode(c, "19901", PostCodeMatch::kExact); }},
      {"address_contains/中央", chuo, [=](SearchContext& c, CountingView&) { ScanKenAll(c, chuo, ScanMode::kWords, WordMatch::kContains); }},
      {"two_terms/札幌+中央", sapporo, [=](SearchContext& c, CountingView&) { ScanKenAll(c, sapporo + "+" + chuo, ScanMode::kWords, WordMatch::kContains); }},
      {"dantai/13101", "13101", [](SearchContext& c, CountingView&) { ScanKenAll(c, "13101", ScanMode::kDantai); }},
      {"city_list/北海道", hokkaido, [=](SearchContext& c, CountingView&) { ScanKenAll(c, hokkaido, ScanMode::kCityList); }},
      {"city_list/東京都", tokyo, [=](SearchContext& c, CountingView&) { ScanKenAll(c, tokyo, ScanMode::kCityList); }},
      {"city_rows/東京都千代田区", chiyoda, [=](SearchContext& c, CountingView&) { ScanKenAll(c, chiyoda, ScanMode::kCity, WordMatch::kExact, tokyo); }},
      {"areacode_districts/0153", "", [](SearchContext& c, CountingView&) { FindAreaCode(c, "0153", AreaDisplay::kDistricts, Business::kLeaveOut); }},
      {"areacode_postal/0153", "", [](SearchContext& c, CountingView&) { FindAreaCode(c, "0153", AreaDisplay::kPostal, Business::kLeaveOut); }},
      {"areacode_postal/03", "", [](SearchContext& c, CountingView&) { FindAreaCode(c, "03", AreaDisplay::kPostal, Business::kLeaveOut); }},
      // The settings' default is the current edition (every row joined with its MAs); the
      // tables of 2003 show what the join costs.
      {"areacode_postal_2003/0153", "", [](SearchContext& c, CountingView&) { c.settings.ma_edition = 0; FindAreaCode(c, "0153", AreaDisplay::kPostal, Business::kLeaveOut); }},
      {"areacode_postal_2003/03", "", [](SearchContext& c, CountingView&) { c.settings.ma_edition = 0; FindAreaCode(c, "03", AreaDisplay::kPostal, Business::kLeaveOut); }},
      {"areacode_postal/0539", "", [](SearchContext& c, CountingView&) { FindAreaCode(c, "0539", AreaDisplay::kPostal, Business::kLeaveOut); }},
      {"dantai_2003/13101", "", [](SearchContext& c, CountingView&) { c.settings.ma_edition = 0; ScanKenAll(c, "13101", ScanMode::kDantai); }},
      {"postcode_prefix_2003/060", "", [](SearchContext& c, CountingView&) { c.settings.ma_edition = 0; SearchPostCode(c, "060", PostCodeMatch::kPrefix); }},
  };
  for (const Case& c : cases) {
    auto search = c.search;
    reg("search/" + c.name, [search](benchmark::State& s) { RunSearch(s, search); });
    if (!c.grep_key.empty()) {
      std::string key = c.grep_key;
      reg("floor/grep_c/" + c.name, [key](benchmark::State& s) { GrepCount(s, key, kKenAll); });
      reg("floor/count_key/" + c.name, [key](benchmark::State& s) { MappedCountKey(s, key, kKenAll); });
    }
  }
  const std::string company = Sjis("株式会社");
  reg("search/business_contains/株式会社", [company](benchmark::State& s) {
    RunSearch(s, [company](SearchContext& c, CountingView&) { ScanJigyosyo(c, company, ScanMode::kWords, WordMatch::kContains); });
  });
  reg("floor/grep_c/business_contains/株式会社", [company](benchmark::State& s) { GrepCount(s, company, kJigyosyo); });
  reg("floor/count_key/business_contains/株式会社", [company](benchmark::State& s) { MappedCountKey(s, company, kJigyosyo); });
  reg("search/business_contains_folded/トウキョウ", [tokyo_kana](benchmark::State& s) {
    RunSearch(s, [tokyo_kana](SearchContext& c, CountingView&) { ScanJigyosyo(c, tokyo_kana, ScanMode::kWords, WordMatch::kContains); });
  });
}

}  // namespace
}  // namespace tovra::bench

int main(int argc, char** argv) {
  tovra::bench::Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
