// Written-address resolution on the bundled real files: start-up (building the town tables
// from KEN_ALL.CSV), their memory, addresses per second on one core over the written-address
// set and over ten times that input, and the accuracy against the set's oracle.
//
//   resolve_bench [--wrong N]   N: print up to N addresses resolved wrongly (stderr)
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "cp932.h"
#include "resolve.h"
#include "written_addresses.h"

namespace {

using Clock = std::chrono::steady_clock;
using resolve_oracle::WrittenAddress;
using tovra::resolve::Resolution;
using tovra::resolve::Resolver;
using tovra::resolve::ResolveOptions;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// CPU time of this thread: on a machine shared with other work, wall time measures the others.
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

struct Tally {
  long total = 0, decided_right = 0, decided_wrong = 0, among_candidates = 0, city_right = 0;
};

Tally Measure(const Resolver& resolver, const std::vector<WrittenAddress>& set, const ResolveOptions& options,
              int& show_wrong) {
  Tally t;
  for (const WrittenAddress& a : set) {
    const Resolution r = resolver.Resolve(a.text, options);
    ++t.total;
    if (r.level >= 2 && r.dantai == a.dantai) ++t.city_right;
    const bool right = r.level == 4 && r.postcode == a.postcode;
    if (right) ++t.decided_right;
    if (r.level == 4 && !right) ++t.decided_wrong;
    if (r.level == 3 && std::any_of(r.candidates.begin(), r.candidates.end(),
                                    [&](const auto& c) { return c.postcode == a.postcode; }))
      ++t.among_candidates;
    if (!right && show_wrong > 0) {
      --show_wrong;
      std::fprintf(stderr, "%s\texpected %s\tgot %d %s %s %s\n", cp932::ToUtf8(a.text).c_str(), a.postcode.c_str(),
                   r.level, r.postcode.c_str(), cp932::ToUtf8(r.city + r.town).c_str(), r.note.c_str());
    }
  }
  return t;
}

void Report(const char* name, const Tally& t) {
  auto pct = [&](long n) { return 100.0 * static_cast<double>(n) / static_cast<double>(std::max(1L, t.total)); };
  std::printf("%-34s %7ld  postcode right %6.2f%%  wrong at level 4 %5.2f%%  among level-3 candidates %5.2f%%  "
              "prefecture+city right %6.2f%%\n",
              name, t.total, pct(t.decided_right), pct(t.decided_wrong), pct(t.among_candidates), pct(t.city_right));
}

// Addresses per second of this thread's CPU time.
double Rate(const Resolver& resolver, const std::vector<WrittenAddress>& set, int repeat, const ResolveOptions& options) {
  const double start = CpuSeconds();
  long checksum = 0;
  for (int i = 0; i < repeat; ++i)
    for (const WrittenAddress& a : set) checksum += resolver.Resolve(a.text, options).level;
  const double seconds = CpuSeconds() - start;
  if (checksum < 0) std::puts("");
  return static_cast<double>(set.size()) * repeat / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  int show_wrong = argc > 2 && std::strcmp(argv[1], "--wrong") == 0 ? std::atoi(argv[2]) : 0;
  const std::string dir = POSTAL_DATA_DIR;
  const std::string ken = resolve_oracle::ReadWholeFile(dir + "/ken_all.csv");
  const std::string jig = resolve_oracle::ReadWholeFile(dir + "/jigyosyo.csv");

  const long rss_before = ResidentKb();
  std::vector<double> loads, load_cpu;
  Resolver resolver;
  std::string error;
  long rss_after = 0;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    const double cpu = CpuSeconds();
    if (!resolver.Load(dir + "/ken_all.csv", error)) {
      std::fprintf(stderr, "resolve_bench: %s\n", error.c_str());
      return 1;
    }
    loads.push_back(Seconds(start) * 1000);
    load_cpu.push_back((CpuSeconds() - cpu) * 1000);
    if (i == 0) rss_after = ResidentKb();
  }
  std::sort(loads.begin(), loads.end());
  std::sort(load_cpu.begin(), load_cpu.end());
  std::printf("start-up (town tables from KEN_ALL.CSV, file read included): CPU min %.1f ms, median %.1f ms; "
              "wall min %.1f ms, median %.1f ms\n",
              load_cpu[0], load_cpu[2], loads[0], loads[2]);
  std::printf("memory: tables %.1f MB (estimate), resident growth at the first load %.1f MB\n",
              static_cast<double>(resolver.MemoryBytes()) / 1e6, static_cast<double>(rss_after - rss_before) / 1e3);

  const std::vector<WrittenAddress> ken_set = resolve_oracle::FromKenAll(ken);
  const std::vector<WrittenAddress> jig_set = resolve_oracle::FromJigyosyo(jig);
  const int wrong_per_set = show_wrong;
  Report("KEN_ALL records, written", Measure(resolver, ken_set, {}, show_wrong));
  show_wrong = 0;
  Tally jig_towns = Measure(resolver, jig_set, {}, show_wrong);
  jig_towns.decided_right = jig_towns.decided_wrong = jig_towns.among_candidates = 0;  // no KEN_ALL oracle
  Report("JIGYOSYO addresses (towns)", jig_towns);
  Resolver offices;
  offices.Load(dir + "/ken_all.csv", error);
  offices.LoadOffices(dir + "/jigyosyo.csv", error);
  show_wrong = wrong_per_set;
  Report("JIGYOSYO addresses (--business)", Measure(offices, jig_set, {true, 1}, show_wrong));

  std::vector<WrittenAddress> all = ken_set;
  all.insert(all.end(), jig_set.begin(), jig_set.end());
  Rate(resolver, all, 1, {});  // warm the MA join cache as a long run would
  const double once = Rate(resolver, all, 1, {});
  const double tenfold = Rate(resolver, all, 10, {});
  std::printf("throughput, one core (CPU time): %.0f addresses/s over %zu addresses; %.0f addresses/s over 10x (%zu)\n", once,
              all.size(), tenfold, all.size() * 10);
  return 0;
}
