// Scaling benchmarks: the steps that must stay linear in the size of the file, each at several
// sizes with the fitted complexity (Google Benchmark's BigO column should read N, with a small
// RMS). Run: viderave_bench --benchmark_filter=Scaling
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/bench_support.h"

namespace {

void BM_ScalingClassifier(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(bench::ClassifyNames(state.range(0)));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScalingClassifier)->RangeMultiplier(4)->Range(1 << 12, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

void BM_ScalingRuleRemoval(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(bench::RemoveRules(state.range(0)));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScalingRuleRemoval)->RangeMultiplier(4)->Range(1 << 12, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

void BM_ScalingIterators(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(bench::JoinWhileIterating(state.range(0)));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScalingIterators)->RangeMultiplier(4)->Range(1 << 12, 1 << 18)->Complexity()->Unit(benchmark::kMillisecond);

// The whole import (reading, classifier, rules, link pass) of generated boards.
void BM_ScalingImport(benchmark::State& state) {
  const std::string path = "/tmp/viderave-bench-scaling-" + std::to_string(state.range(0)) + ".PCB";
  for (auto _ : state) benchmark::DoNotOptimize(bench::ImportBoard(state.range(0), path));
  std::remove(path.c_str());
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScalingImport)->RangeMultiplier(4)->Range(10000, 160000)->Complexity()->Unit(benchmark::kMillisecond);

// The board document of an imported board, in bytes per second.
void BM_ScalingDocument(benchmark::State& state) {
  const std::string path = "/tmp/viderave-bench-document-" + std::to_string(state.range(0)) + ".PCB";
  const std::uint32_t board = bench::ImportBoard(state.range(0), path);
  long bytes = 0;
  for (auto _ : state) bytes = bench::WriteDocument(board, path);
  std::remove(path.c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScalingDocument)->RangeMultiplier(4)->Range(10000, 160000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
