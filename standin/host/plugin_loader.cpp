// Loading the plug-in module and calling its exports (plugin_loader_win32.cpp on Windows,
// plugin_loader_web.cpp in the WebAssembly build).
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include "standin/host/plugin_loader.h"

#include <dlfcn.h>

#include <array>
#include <cstdlib>
#include <filesystem>

#include "host/short_string.h"

PluginModule::PluginModule(const std::string& path) {
  module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module_ == nullptr) {
    const char* reason = dlerror();
    error_ = reason != nullptr ? reason : "cannot load " + path;
    return;
  }
  recognise_ = reinterpret_cast<decltype(recognise_)>(dlsym(module_, "RecognisedPCBFile"));
  import_ = reinterpret_cast<decltype(import_)>(dlsym(module_, "ImportFileIntoPcb"));
  describe_ = reinterpret_cast<decltype(describe_)>(dlsym(module_, "GetPcbImporterDescription"));
  if (!Loaded()) error_ = path + " lacks the importer's exports";
}

PluginModule::~PluginModule() {
  if (module_ != nullptr) dlclose(module_);
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
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (error ? std::filesystem::path(".") : self.parent_path()) / "libviderave.so";
}

#endif
