// Cost of one distance or area-plus call through the C ABI. A distance call scans the MA
// table several times per end (more while a number is shortened) and the pair tables once.
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "meklan.h"
#include "sjis.h"

namespace {


void RunDistance(benchmark::State& state, const std::string& from, const std::string& to) {
  MKDISTANCE rec;
  for (auto _ : state) {
    std::memset(&rec, 0, sizeof rec);
    std::memcpy(rec.fromName, from.c_str(), from.size() + 1);
    std::memcpy(rec.toName, to.c_str(), to.size() + 1);
    benchmark::DoNotOptimize(MEKLAN_GetDistance(&rec));
    benchmark::ClobberMemory();
  }
}

// Names late in the table: the lookups scan almost all of it.
void BM_DistanceByName(benchmark::State& state) {
  RunDistance(state, Sjis("那覇"), Sjis("鹿屋"));
}
BENCHMARK(BM_DistanceByName);

void BM_DistanceByAreaCode(benchmark::State& state) { RunDistance(state, "0166", "03"); }
BENCHMARK(BM_DistanceByAreaCode);

// Full numbers resolve only after shortening, one MA-table scan per dropped digit.
void BM_DistanceShortening(benchmark::State& state) {
  RunDistance(state, "0166234567", "0987654321");
}
BENCHMARK(BM_DistanceShortening);

void BM_DistanceSpecialArea(benchmark::State& state) {
  RunDistance(state, "0839012345", "0839801234");
}
BENCHMARK(BM_DistanceSpecialArea);

void BM_DistanceUnresolved(benchmark::State& state) {
  RunDistance(state, "0000000000", "0166-23");
}
BENCHMARK(BM_DistanceUnresolved);

void RunAreaPlus(benchmark::State& state, const std::string& key) {
  std::vector<char> out(MEKLAN_AREAPLUS_SIZE);
  for (auto _ : state) {
    benchmark::DoNotOptimize(MEKLAN_GetAreaPlus(key.c_str(), out.data()));
    benchmark::ClobberMemory();
  }
}

// The longest listing, and the one with the most scans (an Okinawa MA).
void BM_AreaPlusKagoshima(benchmark::State& state) { RunAreaPlus(state, Sjis("鹿児島")); }
BENCHMARK(BM_AreaPlusKagoshima);

void BM_AreaPlusNaha(benchmark::State& state) { RunAreaPlus(state, Sjis("那覇")); }
BENCHMARK(BM_AreaPlusNaha);

void BM_AreaPlusAsahikawa(benchmark::State& state) { RunAreaPlus(state, "0166"); }
BENCHMARK(BM_AreaPlusAsahikawa);

}  // namespace
