// Preparing the host program's heap for a large import. Builds on jemalloc (process_jemalloc.cpp)
// warm it; builds on the system's allocator (process_system.cpp) leave it alone.
#pragma once

#include <cstdint>
#include <memory>

// Once the import has shown itself to be one of many objects (its thread has allocated some
// megabytes), a thread of its own touches part of the heap importing a file of `file_bytes` bytes
// will take and gives it back to the allocator, which hands the same (now ready) memory to the
// import. The first touch of fresh memory is where the system zeroes it (and a virtual machine's
// host backs it): done there on the other core, instead of in the middle of reading. A file of
// few objects, however large, warms nothing. The destructor stops the thread.
class HeapWarmer {
 public:
  explicit HeapWarmer(std::uintmax_t file_bytes);
  ~HeapWarmer();
  HeapWarmer(const HeapWarmer&) = delete;
  HeapWarmer& operator=(const HeapWarmer&) = delete;

 private:
  struct Work;
  std::unique_ptr<Work> work_;
};
