// The host program on jemalloc: the allocator's settings, the heap's preparation for a large
// import, and how the program ends (see heap.h, process_end.h and CMakeLists.txt).
#include <jemalloc/jemalloc.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "standin/host/heap.h"
#include "standin/host/process_end.h"

// jemalloc's settings, read by the allocator when the process starts (it looks the name up in the
// program: it must not be mangled or static).
// - thp, metadata_thp: huge pages for the heap and the allocator's own tables. An import
//   allocates its memory once and keeps it to the end, so the larger pages waste nothing and
//   save a page fault per 4 KB.
// - narenas:1: one arena for every thread, so that what the warming thread gives back is what
//   the importing thread is given.
// - dirty_decay_ms:-1: memory given back stays with the process, ready, instead of being returned
//   to the system over the following seconds (which, for a burst like the warming's, returns most
//   of it at once). The program lives for one import; its peak is what the import holds.
// - lg_extent_max_active_fit:30: small requests may be cut from a large run of ready memory (by
//   default jemalloc cuts nothing from a run more than 64 times the request, and the warmed heap
//   is one run of tens of megabytes).
extern "C" {
extern const char* malloc_conf;
const char* malloc_conf = "thp:always,metadata_thp:always,narenas:1,dirty_decay_ms:-1,lg_extent_max_active_fit:30";
}

int EndAfterWork(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
// What the importing thread allocates before the warming starts: a board of some ten thousand
// objects gets there within milliseconds; a file of few objects never does.
constexpr std::uint64_t kManyObjects = 16 * kMiB;
// Warmed per byte of file: an import's heap peaks at about half the file's size (generated boards
// of 10 000 to 1 000 000 primitives; the records live in the server's own blocks). Four tenths
// measured best: warming all of it runs into the import's own use of fresh memory.
std::uint64_t WarmedFor(std::uintmax_t file_bytes) { return std::min<std::uint64_t>(file_bytes / 10 * 4, 1024 * kMiB); }
constexpr std::size_t kPiece = 2 * kMiB;
constexpr std::size_t kPage = 4096;
constexpr auto kLook = std::chrono::milliseconds(1);

// Takes `bytes` of heap, touches every page and gives it all back: the allocator keeps the pages
// and gives them out next.
void Touch(std::uint64_t bytes) {
  std::vector<void*> pieces;
  pieces.reserve(static_cast<std::size_t>(bytes / kPiece) + 1);
  for (std::uint64_t done = 0; done < bytes; done += kPiece) {
    auto* piece = static_cast<volatile unsigned char*>(std::malloc(kPiece));
    if (piece == nullptr) break;
    for (std::size_t at = 0; at < kPiece; at += kPage) piece[at] = 0;
    pieces.push_back(const_cast<unsigned char*>(piece));
  }
  for (void* piece : pieces) std::free(piece);
}

// The bytes the calling thread has allocated so far, as the allocator counts them; readable from
// another thread (one word, at worst a count behind).
const std::uint64_t* AllocatedCounter() {
  const std::uint64_t* counter = nullptr;
  std::size_t size = sizeof counter;
  return mallctl("thread.allocatedp", &counter, &size, nullptr, 0) == 0 ? counter : nullptr;
}

}  // namespace

struct HeapWarmer::Work {
  std::uint64_t bytes = 0;
  const std::uint64_t* importer_allocated = nullptr;  // the importing thread's count
  std::mutex mutex;
  std::condition_variable stop_asked;
  bool stopping = false;
  std::thread thread;

  void Run() {
    std::unique_lock lock(mutex);
    while (!stop_asked.wait_for(lock, kLook, [this] { return stopping; })) {
      if (*static_cast<const volatile std::uint64_t*>(importer_allocated) < kManyObjects) continue;
      lock.unlock();
      Touch(bytes);
      return;
    }
  }
};

HeapWarmer::HeapWarmer(std::uintmax_t file_bytes) : work_(std::make_unique<Work>()) {
  work_->bytes = WarmedFor(file_bytes);
  work_->importer_allocated = AllocatedCounter();
  if (work_->bytes < 8 * kPiece || work_->importer_allocated == nullptr) return;
  try {
    work_->thread = std::thread([work = work_.get()] { work->Run(); });
  } catch (const std::system_error&) {
    // No thread: the import touches its memory itself.
  }
}

HeapWarmer::~HeapWarmer() {
  {
    const std::lock_guard lock(work_->mutex);
    work_->stopping = true;
  }
  work_->stop_asked.notify_one();
  if (work_->thread.joinable()) work_->thread.join();
}
