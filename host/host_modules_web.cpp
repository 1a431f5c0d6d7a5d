// The host's modules in the WebAssembly build: the plug-in, the server and the host program are
// one module there, with no dynamic loader to ask. The build provides a table of the server's
// functions and one of the main program's (both written from host/api/), and a name is looked
// up in the table of the module it belongs to, as the loader would look in that module.
#if defined(__EMSCRIPTEN__)

#include <algorithm>
#include <string_view>

#include "host/host_modules.h"

namespace host_modules {

// Defined by the build (host_functions.cpp in the build folder).
const FunctionTable& ServerFunctions();
const FunctionTable& MainProgramFunctions();

void* FindServer() { return const_cast<FunctionTable*>(&ServerFunctions()); }
void* FindMainProgram() { return const_cast<FunctionTable*>(&MainProgramFunctions()); }

void* Resolve(void* module, const char* name) {
  const auto* table = static_cast<const FunctionTable*>(module);
  const NamedFunction* end = table->functions + table->count;
  const NamedFunction* found = std::find_if(table->functions, end, [name](const NamedFunction& function) {
    return std::string_view(function.name) == name;
  });
  return found == end ? nullptr : found->address;
}

}  // namespace host_modules

#endif
