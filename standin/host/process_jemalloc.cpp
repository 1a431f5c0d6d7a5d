// The host program on jemalloc: the allocator's settings and how the program ends (see
// process_end.h and CMakeLists.txt).
#include <cstdio>
#include <cstdlib>

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

