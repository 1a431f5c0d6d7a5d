// The stand-in server's core PcbApi functions: board lookup, objects, containers, iterators,
// rule creation, progress bar and host commands. Each traces its call when tracing is on.
#include <string>
#include <type_traits>

#include "host/api/core.h"
#include "host/api/layer_id.h"
#include "host/short_string.h"
#include "standin/orvpcb/host_faults.h"
#include "standin/orvpcb/model.h"

namespace {

using orv::Server;

std::string Arg(std::int64_t value) { return std::to_string(value); }
std::string Arg(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The arguments are formatted only when the trace is on: these functions run for every object.
template <typename Result, typename... Args>
Result Traced(const char* function, Result result, const Args&... args) {
  orv::Model& model = Server();
  if (model.Tracing()) {
    std::string line = function;
    line += '(';
    bool first = true;
    ((line += (first ? "" : ", "), line += Arg(args), first = false), ...);
    line += ") -> ";
    line += std::to_string(result);
    model.TraceLine(line);
  }
  return result;
}

// A creation made to fail: no object, but its handle is used up (Model::SkipHandle).
bool Refused(orv::HostCall kind, const char* function) {
  orv::HostFaults& faults = orv::Faults();
  if (!faults.Armed()) return false;
  orv::Model& model = Server();
  if (!faults.Fails(kind, function, model.HandleLimit())) return false;
  model.SkipHandle();
  return true;
}

}  // namespace

extern "C" {

VIDERAVE_EXPORT std::uint32_t VIDERAVE_STDCALL PcbApi_GetBoardHandleFromFullFileName(const std::uint8_t* file_name) {
  const std::string_view name = CountedView(file_name);
  return Traced("PcbApi_GetBoardHandleFromFullFileName", Server().BoardByFileName(name), name);
}

VIDERAVE_EXPORT std::uint32_t VIDERAVE_STDCALL PcbApi_CreateObject(std::uint8_t object_kind) {
  const std::uint8_t kind = object_kind;
  // Rules and boards are made by their own functions.
  const bool creatable = kind != 0 && kind != orv::kBoardKind && kind != KindCode(ObjectKind::kRule);
  if (creatable && Refused(orv::HostCall::kCreate, "PcbApi_CreateObject"))
    return Traced("PcbApi_CreateObject", 0u, kind);
  return Traced("PcbApi_CreateObject", creatable ? Server().Create(kind) : 0u, kind);
}

VIDERAVE_EXPORT std::uint8_t VIDERAVE_STDCALL PcbApi_GetObjectIdFromObjectHandle(std::uint32_t object) {
  return Traced("PcbApi_GetObjectIdFromObjectHandle", Server().KindOf(object), object);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_AddObjectToContainer(std::uint32_t container,
                                                                          std::uint32_t object) {
  return Traced("PcbApi_AddObjectToContainer", Server().AddToContainer(container, object) ? 1 : 0, container,
                object);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_DeleteObjectFromContainer(std::uint32_t container,
                                                                               std::uint32_t object) {
  return Traced("PcbApi_DeleteObjectFromContainer", Server().DeleteFromContainer(container, object) ? 1 : 0,
                container, object);
}

VIDERAVE_EXPORT std::uint32_t VIDERAVE_STDCALL PcbApi_CreateIterator(std::uint32_t container, std::uint8_t object_kind,
                                                                     std::uint8_t method, std::uint32_t layer) {
  const std::uint32_t iterator =
      Server().CreateIterator(container, object_kind, method, layer_id::ToNumber(layer));
  return Traced("PcbApi_CreateIterator", iterator, container, object_kind, method, layer);
}

VIDERAVE_EXPORT std::uint32_t VIDERAVE_STDCALL PcbApi_GetFirstObject(std::uint32_t iterator) {
  return Traced("PcbApi_GetFirstObject", Server().FirstObject(iterator), iterator);
}

VIDERAVE_EXPORT std::uint32_t VIDERAVE_STDCALL PcbApi_GetNextObject(std::uint32_t iterator) {
  return Traced("PcbApi_GetNextObject", Server().NextObject(iterator), iterator);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_DestroyIterator(std::uint32_t iterator) {
  return Traced("PcbApi_DestroyIterator", Server().DestroyIterator(iterator) ? 1 : 0, iterator);
}

VIDERAVE_EXPORT std::uint32_t VIDERAVE_STDCALL PcbApi_CreateRuleObject(std::uint8_t rule_kind) {
  if (Refused(orv::HostCall::kCreate, "PcbApi_CreateRuleObject"))
    return Traced("PcbApi_CreateRuleObject", 0u, rule_kind);
  orv::Model& model = Server();
  const std::uint32_t rule = model.Create(KindCode(ObjectKind::kRule));
  model.SetNumber(rule, "RuleKind", rule_kind);
  return Traced("PcbApi_CreateRuleObject", rule, rule_kind);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_Percent_Init(const std::uint8_t* caption, std::int32_t total) {
  if (orv::Faults().Fails(orv::HostCall::kProgress, "PcbApi_Percent_Init")) {
    return Traced("PcbApi_Percent_Init", 1, CountedView(caption), total);
  }
  orv::Model& model = Server();
  model.progress.caption = std::string(CountedView(caption));
  model.progress.total = total;
  if (model.observers.on_percent_init) model.observers.on_percent_init(model.progress.caption, total);
  return Traced("PcbApi_Percent_Init", 0, model.progress.caption, total);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_Percent_Update() {
  if (orv::Faults().Fails(orv::HostCall::kProgress, "PcbApi_Percent_Update")) return Traced("PcbApi_Percent_Update", 1);
  orv::Model& model = Server();
  ++model.progress.updates;
  const std::int32_t result = Traced("PcbApi_Percent_Update", 0);
  if (model.observers.on_percent_update) model.observers.on_percent_update(model.progress.updates);
  return result;
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_Percent_Finish() {
  if (orv::Faults().Fails(orv::HostCall::kProgress, "PcbApi_Percent_Finish")) return Traced("PcbApi_Percent_Finish", 1);
  orv::Model& model = Server();
  ++model.progress.finished;
  if (model.observers.on_percent_finish) model.observers.on_percent_finish();
  return Traced("PcbApi_Percent_Finish", 0);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_SendCommand(const char* process, char* parameters,
                                                                 std::uint16_t buffer_size, std::int32_t reserved) {
  orv::Model& model = Server();
  std::string process_text = process == nullptr ? std::string() : std::string(process);
  std::string parameter_text;
  if (parameters != nullptr) {
    std::size_t n = 0;
    while (n < buffer_size && parameters[n] != '\0') ++n;
    parameter_text.assign(parameters, n);
  }
  model.commands.push_back({process_text, parameter_text});
  if (model.observers.on_command) model.observers.on_command(process_text, parameter_text);
  return Traced("PcbApi_SendCommand", 0, process_text, parameter_text, buffer_size, reserved);
}

}  // extern "C"

// The definitions must match the signatures the plug-in binds.
static_assert(std::is_same_v<decltype(PcbApi_CreateObject), api::PcbApi_CreateObject>);
static_assert(std::is_same_v<decltype(PcbApi_CreateIterator), api::PcbApi_CreateIterator>);
static_assert(std::is_same_v<decltype(PcbApi_SendCommand), api::PcbApi_SendCommand>);
static_assert(std::is_same_v<decltype(PcbApi_Percent_Init), api::PcbApi_Percent_Init>);
static_assert(std::is_same_v<decltype(PcbApi_GetBoardHandleFromFullFileName),
                             api::PcbApi_GetBoardHandleFromFullFileName>);
