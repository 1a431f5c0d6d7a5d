// Loading the plug-in module and calling its exports on Windows: LoadLibraryA and the exports'
// plain names, as the real host does.
#if defined(_WIN32)

#include <windows.h>

#include <cstdlib>
#include <string>

#include "host/short_string.h"
#include "standin/host/plugin_loader.h"
#include "standin/host/win32_host.h"

namespace {

template <typename Function>
Function Export(void* module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name)));
}

}  // namespace

PluginModule::PluginModule(const std::string& path) {
  module_ = LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    error_ = "cannot load " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
    return;
  }
  recognise_ = Export<decltype(recognise_)>(module_, "RecognisedPCBFile");
  import_ = Export<decltype(import_)>(module_, "ImportFileIntoPcb");
  describe_ = Export<decltype(describe_)>(module_, "GetPcbImporterDescription");
  if (!Loaded()) {
    error_ = path + " lacks the importer's exports";
    return;
  }
  InterceptMessageBoxes(module_);
}

PluginModule::~PluginModule() {
  if (module_ != nullptr) FreeLibrary(static_cast<HMODULE>(module_));
}

bool PluginModule::Recognised(const std::string& file_name) const {
  const ShortString<255> name(file_name);
  return recognise_ != nullptr && recognise_(name.Raw()) != 0;
}

bool PluginModule::Import(const std::string& file_name) const {
  const ShortString<255> name(file_name);
  const ShortString<255> unused;
  return import_ != nullptr && import_(name.Raw(), unused.Raw()) != 0;
}

std::string PluginModule::Description() const { return describe_ != nullptr ? describe_() : ""; }

std::string DefaultPluginPath() {
  if (const char* path = std::getenv("VIDERAVE_PLUGIN"); path != nullptr && *path != '\0') return path;
  char self[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string folder(self, length < MAX_PATH ? length : 0);
  const std::size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
  return folder + "\\Viderave.dll";
}

#endif
