// Blocks from the system for the board model's bulk storage.
#include "standin/orvpcb/arena.h"

#include <algorithm>
#include <cstdlib>
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

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
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

// Blocks mapped and touched ahead of need by a thread of their own. The first touch of fresh
// memory is where the system zeroes it, and on a virtual machine where its host backs it too: for
// a board of a million objects that was a sixth of the import, spent by the thread that reads
// the file. A thread on the other core does it beforehand; the reader takes blocks ready to use
// and maps its own only when the thread falls behind.
class BlockReserve {
 public:
  ~BlockReserve() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wanted_.notify_one();
    if (worker_.joinable()) worker_.join();
    for (void* block : ready_) munmap(block, kBlockBytes);
  }

  // A touched block of kBlockBytes, or nullptr when none is ready.
  void* Take() {
    std::unique_lock lock(mutex_);
    if (taken_ < kSmallBoardBlocks) {
      ++taken_;
      return nullptr;  // a small board: nothing to gain, and no memory touched for nothing
    }
    if (!started_) {
      started_ = true;
      try {
        worker_ = std::thread([this] { Work(); });
      } catch (const std::system_error&) {
        return nullptr;  // no thread to be had: every block is mapped when it is needed
      }
    }
    void* block = nullptr;
    if (!ready_.empty()) {
      block = ready_.back();
      ready_.pop_back();
    }
    lock.unlock();
    wanted_.notify_one();
    return block;
  }

 private:
  // Enough for the records of some ten thousand objects: the reader never waits for the thread
  // while the file comes in at full speed, and an idle host holds no more than this touched.
  static constexpr std::size_t kAhead = 8;
  // Blocks a board takes before the thread starts: a board of some ten thousand objects needs no
  // more, and maps them as it goes.
  static constexpr std::size_t kSmallBoardBlocks = 8;

  void Work() {
    std::unique_lock lock(mutex_);
    while (true) {
      wanted_.wait(lock, [this] { return stopping_ || ready_.size() < kAhead; });
      if (stopping_) return;
      lock.unlock();
      void* block = MapBlock(kBlockBytes);
      if (block != nullptr) {
        auto* bytes = static_cast<volatile std::uint8_t*>(block);
        for (std::size_t at = 0; at < kBlockBytes; at += 4096) bytes[at] = 0;
      }
      lock.lock();
      if (block == nullptr) return;  // out of memory: leave mapping to the callers
      ready_.push_back(block);
    }
  }

  std::mutex mutex_;
  std::condition_variable wanted_;
  std::vector<void*> ready_;
  std::thread worker_;
  std::size_t taken_ = 0;
  bool started_ = false;
  bool stopping_ = false;
};

BlockReserve& Reserve() {
  static BlockReserve reserve;
  return reserve;
}

}  // namespace

void* AllocateBlock(std::size_t bytes) {
  if (bytes == kBlockBytes) {
    if (void* block = Reserve().Take()) return block;
  }
  return MapBlock(bytes);
}

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

}  // namespace orv
