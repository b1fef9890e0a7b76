// Costs the panels pay per file name: building short names (inline, no heap),
// sorting comparisons and mask matching.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "foundation/Westring.h"
#include "foundation/Wildcard.h"

namespace {

std::vector<Westring> Names(int count) {
  std::vector<Westring> names;
  for (int i = 0; i < count; ++i)
    names.emplace_back(("Report_" + std::to_string(i * 7919 % 100000) + ".txt").c_str());
  return names;
}

void ShortNameConstruction(benchmark::State& state) {
  for (auto _ : state) {
    Westring name(L"readme.txt");
    benchmark::DoNotOptimize(name.c_str());
  }
}
BENCHMARK(ShortNameConstruction);

void NameSortCompareOfTenThousandNames(benchmark::State& state) {
  const std::vector<Westring> names = Names(10000);
  for (auto _ : state) {
    int sum = 0;
    for (size_t i = 1; i < names.size(); ++i) sum += NameSortCompare(names[i - 1], names[i]) < 0;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(names.size()));
}
BENCHMARK(NameSortCompareOfTenThousandNames);

void WildcardMaskOfTenThousandNames(benchmark::State& state) {
  const std::vector<Westring> names = Names(10000);
  for (auto _ : state) {
    int hits = 0;
    for (const Westring& name : names) hits += WildcardMatch(L"*[0-4]?.{txt,doc}", name.c_str());
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(names.size()));
}
BENCHMARK(WildcardMaskOfTenThousandNames);

}  // namespace

BENCHMARK_MAIN();
