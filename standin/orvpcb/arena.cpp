// Blocks from the system for the board model's bulk storage.
#include "standin/orvpcb/arena.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

// Under AddressSanitizer the blocks come from the heap: the leak checker scans heap blocks for the
// pointers the model keeps there (member lists and the like) but not mapped memory, and would
// report everything reachable only through the model as lost.
#if defined(__SANITIZE_ADDRESS__)
#define ORV_HEAP_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_HEAP_BLOCKS 1
#endif
#endif

#if defined(__linux__) && !defined(ORV_HEAP_BLOCKS)
#include <sys/mman.h>
#endif

namespace orv {
namespace {

// Under AddressSanitizer every run is an allocation of its own, so that the sanitizer's guard
// zones surround each record and text as they would without the arena.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kRunsApart = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kRunsApart = true;
#else
constexpr bool kRunsApart = false;
#endif
#else
constexpr bool kRunsApart = false;
#endif

}  // namespace

#if defined(__linux__) && !defined(ORV_HEAP_BLOCKS)

namespace {

// Mapped fresh (so already zero) and aligned to the huge page size, so that the system can back
// the block with huge pages.
void* MapBlock(std::size_t bytes) {
  const std::size_t mapped = bytes + kBlockBytes;
  void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kBlockBytes - 1) & ~(std::uintptr_t{kBlockBytes} - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + mapped;
  if (end > aligned + bytes) munmap(reinterpret_cast<void*>(aligned + bytes), end - (aligned + bytes));
  madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

void* AllocateBlock(std::size_t bytes) { return MapBlock(bytes); }

void FreeBlock(void* block, std::size_t bytes) {
  if (block != nullptr) munmap(block, bytes);
}

#else

void* AllocateBlock(std::size_t bytes) { return std::calloc(bytes, 1); }

void FreeBlock(void* block, std::size_t) { std::free(block); }

#endif

std::uint8_t* ByteArena::Allocate(std::size_t bytes) {
  if (kRunsApart) {
    auto* run = static_cast<std::uint8_t*>(std::calloc(std::max<std::size_t>(bytes, 1), 1));
    if (run == nullptr) throw std::bad_alloc();
    blocks_.emplace_back(run, 0);  // size 0: freed with free()
    return run;
  }
  bytes = std::max<std::size_t>((bytes + 7) & ~std::size_t{7}, 8);
  if (blocks_.empty() || used_ + bytes > blocks_.back().second) {
    // A record larger than a block gets a block of its own size.
    const std::size_t size = (bytes + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
    auto* block = static_cast<std::uint8_t*>(AllocateBlock(size));
    if (block == nullptr) throw std::bad_alloc();
    blocks_.emplace_back(block, size);
    used_ = 0;
  }
  std::uint8_t* place = blocks_.back().first + used_;
  used_ += bytes;
  return place;
}

void ByteArena::Clear() {
  for (const auto& [block, size] : blocks_) {
    if (size == 0) {
      std::free(block);
    } else {
      FreeBlock(block, size);
    }
  }
  blocks_.clear();
  used_ = 0;
}

void ByteArena::Empty() {
  if (blocks_.empty() || blocks_.front().second != kBlockBytes) {
    Clear();
    return;
  }
  // Only the bytes handed out were written: a single block has used_ of them, an earlier block
  // of several may have been filled to its end.
  const auto [first, size] = blocks_.front();
  std::memset(first, 0, blocks_.size() == 1 ? used_ : size);
  blocks_.erase(blocks_.begin());
  Clear();
  blocks_.emplace_back(first, size);
}

}  // namespace orv
