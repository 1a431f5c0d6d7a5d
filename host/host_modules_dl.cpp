// The host's modules through the dynamic loader (Linux and the other systems with dlopen).
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)

#include "host/host_modules.h"

#include <dlfcn.h>

namespace host_modules {

// RTLD_NOLOAD: the server module is taken only if the host has loaded it already.
void* FindServer() { return dlopen("libOrvPcb.so", RTLD_NOW | RTLD_NOLOAD); }
void* FindMainProgram() { return dlopen(nullptr, RTLD_NOW); }
void* Resolve(void* module, const char* name) { return dlsym(module, name); }

}  // namespace host_modules

#endif
