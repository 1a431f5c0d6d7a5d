// The host program on jemalloc: the allocator's settings and how the program ends (see
// process_end.h and CMakeLists.txt).
#include <cstdio>
#include <cstdlib>

#include "standin/host/process_end.h"

// jemalloc's settings, read by the allocator when the process starts (it looks the name up in the
// program: it must not be mangled or static). thp, metadata_thp: huge pages for the heap and the
// allocator's own tables. An import allocates its memory once and keeps it to the end, so the
// larger pages waste nothing and save a page fault per 4 KB. (On the 1M-primitive board the
// program on jemalloc imports 12 % faster than on the system's allocator, and writes KiCad 24 %
// faster: bench/RESULTS.md.) narenas:1: the KiCad export reads the rules on a second thread,
// which would otherwise get an arena of its own with huge pages of its own (9.5 MB more at the
// peak of the 1M board's import --kicad); the one arena serves both, each with its own cache.
extern "C" {
extern const char* malloc_conf;
const char* malloc_conf = "thp:always,metadata_thp:always,narenas:1";
}

int EndAfterWork(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

