// MEKLAN_GetMA and FindMaIndex on a mix of the keys people type: full numbers, area codes,
// area codes with a prefix, names, name beginnings and readings. Each benchmark also runs
// every kind of key alone, so that a slow kind shows.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "lookup/lookup.h"
#include "meklan.h"
#include "sjis.h"

namespace {


const std::vector<std::string>& Keys(int kind) {
  static const std::vector<std::vector<std::string>> kinds = {
      {"0166-22-1234", "03-1234-5678", "098-861-1234", "0598-21-0000", "0120-123-456", "011-555-1234"},
      {"0153", "03", "0598", "098", "0255", "082"},
      {"0153-5", "082-90", "0598-2", "013379", "0133-6", "083-92"},
      {Sjis("旭川"), Sjis("東京"), Sjis("松阪"), Sjis("八重山"), Sjis("旭"), Sjis("那")},
      {Sjis("あさひかわ"), Sjis("いしかり"), Sjis("とうきょう"), Sjis("なは"), Sjis("おの"), Sjis("せんだい")},
  };
  return kinds[static_cast<std::size_t>(kind)];
}

std::vector<std::string> AllKeys() {
  std::vector<std::string> all;
  for (int kind = 0; kind < 5; ++kind) all.insert(all.end(), Keys(kind).begin(), Keys(kind).end());
  return all;
}

const char* const kKindNames[] = {"full numbers", "area codes", "code+prefix", "names", "readings"};

void RunGetMA(benchmark::State& state, const std::vector<std::string>& keys) {
  char out[MEKLAN_MALIST_SIZE];
  std::size_t i = 0;
  for (auto _ : state) {
    MEKLAN_GetMA(keys[i].c_str(), out, -1);
    benchmark::DoNotOptimize(out);
    if (++i == keys.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void RunFindMaIndex(benchmark::State& state, const std::vector<std::string>& keys) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(meklan::FindMaIndex(keys[i].c_str()));
    if (++i == keys.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_GetMA_Mix(benchmark::State& state) { RunGetMA(state, AllKeys()); }
void BM_GetMA_Kind(benchmark::State& state) {
  state.SetLabel(kKindNames[state.range(0)]);
  RunGetMA(state, Keys(static_cast<int>(state.range(0))));
}
void BM_GetMA_AllMas(benchmark::State& state) { RunGetMA(state, {"0"}); }
void BM_FindMaIndex_Mix(benchmark::State& state) { RunFindMaIndex(state, AllKeys()); }
void BM_FindMaIndex_Kind(benchmark::State& state) {
  state.SetLabel(kKindNames[state.range(0)]);
  RunFindMaIndex(state, Keys(static_cast<int>(state.range(0))));
}

}  // namespace

BENCHMARK(BM_GetMA_Mix);
BENCHMARK(BM_GetMA_Kind)->DenseRange(0, 4);
BENCHMARK(BM_GetMA_AllMas);
BENCHMARK(BM_FindMaIndex_Mix);
BENCHMARK(BM_FindMaIndex_Kind)->DenseRange(0, 4);

BENCHMARK_MAIN();
