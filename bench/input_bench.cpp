// Micro-benchmarks of the value reader: integer, real and line reading over a large in-memory
// file, as the record readers use them. Reported in bytes per second of the text.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "host/short_string.h"
#include "records/input.h"

namespace {

constexpr std::size_t kTextBytes = std::size_t{8} << 20;

// Lines as a level 10 track record has them: eleven integers, then five.
const std::string& IntegerText() {
  static const std::string text = [] {
    std::string out;
    for (std::int64_t i = 0; out.size() < kTextBytes; ++i) {
      out += "0 0 " + std::to_string(1000 + i % 90000) + " " + std::to_string(20000 + i % 7777) + " " +
             std::to_string(-3000 - i % 500) + " 2000 10000 " + std::to_string(1 + i % 16) + " 0 " +
             std::to_string(i % 2000) + " 0\r\n0 0 0 0 0\r\n";
    }
    return out;
  }();
  return text;
}

// Reals as arcs and rotations have them.
const std::string& RealText() {
  static const std::string text = [] {
    std::string out;
    for (std::int64_t i = 0; out.size() < kTextBytes; ++i) {
      out += std::to_string(i % 360) + ".000 " + std::to_string((i * 7) % 360) + ".500 -" +
             std::to_string(i % 1000) + ".125 1.5e3\r\n";
    }
    return out;
  }();
  return text;
}

// Keyword and string lines.
const std::string& LineText() {
  static const std::string text = [] {
    std::string out;
    for (std::int64_t i = 0; out.size() < kTextBytes; ++i) {
      out += "FT\r\nCOMP\r\nU" + std::to_string(i) + " DIP" + std::to_string(i % 40) +
             " Some component comment text\r\n";
    }
    return out;
  }();
  return text;
}

void BM_ReadInt(benchmark::State& state) {
  const std::string& text = IntegerText();
  TInput input;
  std::int64_t sum = 0;
  for (auto _ : state) {
    state.PauseTiming();
    input.OpenText(text);
    state.ResumeTiming();
    while (!input.AtEnd()) sum += input.ReadInt();
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadInt)->Unit(benchmark::kMillisecond);

void BM_ReadReal(benchmark::State& state) {
  const std::string& text = RealText();
  TInput input;
  double sum = 0;
  for (auto _ : state) {
    state.PauseTiming();
    input.OpenText(text);
    state.ResumeTiming();
    while (!input.AtEnd()) sum += input.ReadReal();
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadReal)->Unit(benchmark::kMillisecond);

void BM_ReadLine(benchmark::State& state) {
  const std::string& text = LineText();
  TInput input;
  ShortString<255> line;
  std::int64_t chars = 0;
  for (auto _ : state) {
    state.PauseTiming();
    input.OpenText(text);
    state.ResumeTiming();
    while (!input.AtEnd()) {
      input.ReadLine(line);
      chars += static_cast<std::int64_t>(line.View().size());
    }
  }
  benchmark::DoNotOptimize(chars);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadLine)->Unit(benchmark::kMillisecond);

// The progress total of an old file: one pass over the data counting lines.
void BM_CountRemainingLines(benchmark::State& state) {
  const std::string& text = LineText();
  TInput input;
  input.OpenText(text);
  std::int64_t lines = 0;
  for (auto _ : state) lines += input.CountRemainingLines();
  benchmark::DoNotOptimize(lines);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CountRemainingLines)->Unit(benchmark::kMillisecond);

}  // namespace
