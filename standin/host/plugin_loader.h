// The host program's view of the plug-in module: loaded by path, its three exports called by
// name, as the real host does.
#pragma once

#include <cstdint>
#include <string>

#include "host/abi.h"

class PluginModule {
 public:
  // Loads the module; Error() says why when it could not be loaded.
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  [[nodiscard]] bool Loaded() const { return recognise_ != nullptr && import_ != nullptr && describe_ != nullptr; }
  [[nodiscard]] const std::string& Error() const { return error_; }

  // The file name crosses as a counted string of at most 255 characters.
  bool Recognised(const std::string& file_name) const;
  bool Import(const std::string& file_name) const;
  [[nodiscard]] std::string Description() const;

 private:
  [[maybe_unused]] void* module_ = nullptr;  // none in the WebAssembly build, which links the plug-in in
  std::string error_;
  std::uint8_t(VIDERAVE_STDCALL* recognise_)(const std::uint8_t*) = nullptr;
  std::uint8_t(VIDERAVE_STDCALL* import_)(const std::uint8_t*, const std::uint8_t*) = nullptr;
  const char*(VIDERAVE_STDCALL* describe_)() = nullptr;
};

// The module beside the running program (libviderave.so, Viderave.dll on Windows), unless
// VIDERAVE_PLUGIN names another.
std::string DefaultPluginPath();
