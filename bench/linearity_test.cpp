// Each step that scales with the file stays linear: the same step at a size and at eight times
// that size must cost at most 16 times as much processor time (a linear step gives about 8, a
// quadratic one 64). The faster of three runs counts, so that a busy machine does not fail it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "bench/bench_support.h"

namespace {

constexpr double kScale = 8;
constexpr double kAllowed = 16;

double CpuSeconds(const std::function<void()>& step) {
  double best = 1e300;
  for (int run = 0; run < 3; ++run) {
    const std::clock_t start = std::clock();
    step();
    best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
  }
  return best;
}

// The step at `small` and at eight times that; fails when the cost grew faster than allowed.
void ExpectLinear(const char* name, std::int64_t small, const std::function<void(std::int64_t)>& step) {
  const double at_small = CpuSeconds([&] { step(small); });
  const double at_large = CpuSeconds([&] { step(small * static_cast<std::int64_t>(kScale)); });
  std::printf("%s: %lld in %.4f s, %lld in %.4f s, ratio %.1f\n", name, static_cast<long long>(small), at_small,
              static_cast<long long>(small * static_cast<std::int64_t>(kScale)), at_large,
              at_small > 0 ? at_large / at_small : 0.0);
  EXPECT_LE(at_large, kAllowed * std::max(at_small, 0.002)) << name;
}

class Linearity : public ::testing::Test {
 protected:
  void TearDown() override { orv::Server().Reset(); }
};

TEST_F(Linearity, ClassifierNameChecks) {
  ExpectLinear("classifier", 16000, [](std::int64_t n) { EXPECT_GT(bench::ClassifyNames(n), 0); });
}

TEST_F(Linearity, RuleRemoval) {
  ExpectLinear("rule removal", 8000, [](std::int64_t n) { EXPECT_EQ(bench::RemoveRules(n), n); });
}

TEST_F(Linearity, IteratorsWhileMembersJoin) {
  ExpectLinear("iterators", 4000, [](std::int64_t n) { EXPECT_EQ(bench::JoinWhileIterating(n), n); });
}

TEST_F(Linearity, WholeImport) {
  const std::string path = ::testing::TempDir() + "viderave-linearity-import.PCB";
  ExpectLinear("import", 8000, [&](std::int64_t n) { EXPECT_NE(bench::ImportBoard(n, path), 0u); });
  std::remove(path.c_str());
}

TEST_F(Linearity, DocumentWriter) {
  const std::string path = ::testing::TempDir() + "viderave-linearity-document.PCB";
  std::uint32_t board = bench::ImportBoard(8000, path);
  const double at_small = CpuSeconds([&] { EXPECT_GT(bench::WriteDocument(board, path), 0); });
  board = bench::ImportBoard(64000, path);
  const double at_large = CpuSeconds([&] { EXPECT_GT(bench::WriteDocument(board, path), 0); });
  std::printf("document: ratio %.1f\n", at_small > 0 ? at_large / at_small : 0.0);
  EXPECT_LE(at_large, kAllowed * std::max(at_small, 0.002));
  std::remove(path.c_str());
}

}  // namespace
