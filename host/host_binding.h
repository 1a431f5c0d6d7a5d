// Binding of the functions the plug-in does not own. The host's PCB server module exports the
// PcbApi_* functions; the host's main program exports the ClientAPI_* and VFSAPI_* functions and,
// outside Windows, the system services of system_services.h. The plug-in never links against
// them: it looks each one up by name in the module that is already loaded, and a name that is
// missing gives a call that does nothing and returns 0.
//
// A forwarding object is declared once per function, next to its signature:
//   inline const HostFunction<api::PcbApi_CreateObject> PcbApi_CreateObject{
//       HostModule::kPcbServer, "PcbApi_CreateObject"};
// and called like the function itself: host::PcbApi_CreateObject(4).
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

enum class HostModule { kPcbServer, kMainProgram };

class HostBinding {
 public:
  // Registers a name; returns its slot. Called while the plug-in's static objects are built.
  static std::size_t Register(HostModule module, const char* name);
  // The address bound to a slot, or nullptr. While the module's handle is 0 every call binds
  // the whole table again, so a server module loaded after the plug-in is still found.
  static void* Lookup(std::size_t slot);
  // Binds every registered name; called when the plug-in is loaded.
  static void BindAll();
};

template <typename Fn>
class HostFunction {
  static_assert(std::is_function_v<Fn>, "HostFunction takes a function type");

 public:
  HostFunction(HostModule module, const char* name) : slot_(HostBinding::Register(module, name)) {}

  template <typename... Args>
  auto operator()(Args&&... args) const {
    using Result = std::invoke_result_t<Fn*, Args...>;
    auto* function = reinterpret_cast<Fn*>(HostBinding::Lookup(slot_));
    if (function == nullptr) return Result();
    return function(std::forward<Args>(args)...);
  }

  [[nodiscard]] bool Bound() const { return HostBinding::Lookup(slot_) != nullptr; }

 private:
  std::size_t slot_;
};
