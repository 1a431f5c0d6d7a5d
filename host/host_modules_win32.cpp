// The host's modules on Windows: the server module by its file name among the loaded ones.
#if defined(_WIN32)

#include "host/host_modules.h"

#include <windows.h>

namespace host_modules {

void* FindServer() { return reinterpret_cast<void*>(GetModuleHandleA("OrvPcb.dll")); }
void* FindMainProgram() { return reinterpret_cast<void*>(GetModuleHandleA(nullptr)); }
void* Resolve(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

}  // namespace host_modules

#endif
