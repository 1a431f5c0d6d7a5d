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
#include <vector>

enum class HostModule { kPcbServer, kMainProgram };

class HostBinding {
 public:
  // Registers a name; returns its slot. Called while the plug-in's static objects are built.
  static std::size_t Register(HostModule module, const char* name);
  // The address bound to a slot, or nullptr. While the module's handle is 0 every call binds
  // the whole table again, so a server module loaded after the plug-in is still found.
  // Once everything is bound the address comes from a flat table: an import makes hundreds of
  // millions of host calls.
  static void* Lookup(std::size_t slot) {
    if (slot < bound_count_ && bound_[slot] != Unresolved()) return bound_[slot];
    return LookupSlow(slot);
  }
  // Binds every registered name; called when the plug-in is loaded.
  static void BindAll();
  // For tests: binds every name again but leaves `withheld` unbound, as a host that does not
  // export it would (nullptr: every name bound).
  static void BindAllExcept(const char* withheld);
  // Every registered name, in registration order.
  static std::vector<const char*> Names();
  // Sends every later Lookup the slow way (the table's storage is going away).
  static void Unpublish();

 private:
  static void* LookupSlow(std::size_t slot);
  static void Publish();
  // Marks a slot of the flat table whose name was not looked up yet.
  static void* Unresolved() { return const_cast<char*>(&unresolved_mark_); }

  // Addresses of slots 0 to bound_count_ - 1 once the server module was found (Unresolved() for
  // names not looked up yet).
  static inline const char unresolved_mark_ = 0;
  static inline void* const* bound_ = nullptr;
  static inline std::size_t bound_count_ = 0;
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
  // The bound address (nullptr when unbound), for a loop that calls the function many times.
  [[nodiscard]] Fn* Address() const { return reinterpret_cast<Fn*>(HostBinding::Lookup(slot_)); }

 private:
  std::size_t slot_;
};
