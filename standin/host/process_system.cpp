// The host program on the system's allocator: it ends as any program does and prepares no heap
// (see process_end.h and heap.h).
#include "standin/host/heap.h"
#include "standin/host/process_end.h"

int EndAfterWork(int status) { return status; }

struct HeapWarmer::Work {};

HeapWarmer::HeapWarmer(std::uintmax_t) {}

HeapWarmer::~HeapWarmer() = default;
