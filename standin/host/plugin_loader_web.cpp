// The plug-in in the WebAssembly build: linked into the one module with the server and the host
// program, so "loading" it takes the addresses of its three exports; the host program calls them
// through the same PluginModule as elsewhere.
#if defined(__EMSCRIPTEN__)

#include <cstdint>
#include <string>

#include "host/abi.h"
#include "host/short_string.h"
#include "standin/host/plugin_loader.h"

extern "C" {
std::uint8_t VIDERAVE_STDCALL RecognisedPCBFile(const std::uint8_t* file_name);
std::uint8_t VIDERAVE_STDCALL ImportFileIntoPcb(const std::uint8_t* file_name, const std::uint8_t* unused);
const char* VIDERAVE_STDCALL GetPcbImporterDescription();
}

PluginModule::PluginModule(const std::string&) {
  recognise_ = &RecognisedPCBFile;
  import_ = &ImportFileIntoPcb;
  describe_ = &GetPcbImporterDescription;
}

PluginModule::~PluginModule() = default;

bool PluginModule::Recognised(const std::string& file_name) const {
  const ShortString<255> name(file_name);
  return recognise_(name.Raw()) != 0;
}

bool PluginModule::Import(const std::string& file_name) const {
  const ShortString<255> name(file_name);
  const ShortString<255> unused;
  return import_(name.Raw(), unused.Raw()) != 0;
}

std::string PluginModule::Description() const { return describe_(); }

// The plug-in is part of this module: there is no file to name.
std::string DefaultPluginPath() { return {}; }

#endif
