// Where the host's functions are found on each system: the PCB server module and the main
// program as module handles, and a function's address by name in one of them. One source file
// per system implements it: host_modules_dl.cpp (the dynamic loader), host_modules_win32.cpp
// (the loaded modules of the process), host_modules_web.cpp (the WebAssembly build, which has
// no loader: its build provides tables of names and addresses).
#pragma once

#include <cstddef>

namespace host_modules {

// A module's functions by name, as the WebAssembly build provides them (web/host_functions.py
// writes them from the signatures in host/api/).
struct NamedFunction {
  const char* name;
  void* address;
};
struct FunctionTable {
  const NamedFunction* functions;
  std::size_t count;
};

// The host's PCB server module if it is loaded already (the plug-in never loads it), else nullptr.
void* FindServer();
// The program that started the process, which exports the client and system functions.
void* FindMainProgram();
// The address of the function `name` in `module`, or nullptr when the module has none.
void* Resolve(void* module, const char* name);

}  // namespace host_modules
