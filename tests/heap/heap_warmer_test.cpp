// The release host program's heap warmer against jemalloc itself: a small import's memory is left
// alone, and a large one's is touched ahead on the warmer's thread and is then what the importing
// thread is given (so the import's own fresh memory stays small).
#include <jemalloc/jemalloc.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "standin/host/heap.h"

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

std::size_t Statistic(const char* name) {
  std::uint64_t epoch = 1;
  std::size_t size = sizeof epoch;
  mallctl("epoch", &epoch, &size, &epoch, sizeof epoch);
  std::size_t value = 0;
  size = sizeof value;
  EXPECT_EQ(mallctl(name, &value, &size, nullptr, 0), 0) << name;
  return value;
}

// Bytes of heap the allocator holds in memory now.
std::size_t Resident() { return Statistic("stats.resident"); }

// Bytes the allocator holds touched and free, ready to give out.
std::size_t Ready() { return Statistic("stats.arenas.0.pdirty") * 4096; }

// Allocates `bytes` in small pieces, as an import does, each written once.
void Allocate(std::vector<std::unique_ptr<char[]>>& held, std::size_t bytes) {
  constexpr std::size_t kPiece = 64 * 1024;
  for (std::size_t done = 0; done < bytes; done += kPiece) {
    held.emplace_back(new char[kPiece]);
    for (std::size_t at = 0; at < kPiece; at += 4096) held.back()[at] = 1;
  }
}

TEST(HeapWarmer, LeavesAnImportOfFewObjectsAlone) {
  const std::size_t before = Resident();
  std::vector<std::unique_ptr<char[]>> held;
  {
    const HeapWarmer warmer(std::uintmax_t{1} << 30);  // a large file...
    Allocate(held, 4 * kMiB);                           // ...of few objects
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_LT(Resident() - before, 12 * kMiB);
}

TEST(HeapWarmer, WarmsALargeImportAheadWithMemoryItIsThenGiven) {
  const std::size_t file_bytes = 200 * kMiB;  // four tenths warmed: 80 MB
  std::vector<std::unique_ptr<char[]>> held;
  const HeapWarmer warmer(file_bytes);
  Allocate(held, 17 * kMiB);  // the import shows itself a large one
  for (int wait = 0; wait < 500 && Ready() < 70 * kMiB; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_GE(Ready(), 70 * kMiB) << "the warmer touched heap ahead of the import and gave it back";
  const std::size_t warmed = Resident();
  Allocate(held, 60 * kMiB);
  EXPECT_LT(Resident(), warmed + 12 * kMiB) << "the import was given the warmed memory, not fresh memory";
}

}  // namespace
