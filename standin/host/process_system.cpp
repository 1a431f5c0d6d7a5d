// The host program on the system's allocator: it ends as any program does (see process_end.h).
#include "standin/host/process_end.h"

int EndAfterWork(int status) { return status; }
