// The process's plan of host calls made to fail.
#include "standin/orvpcb/host_faults.h"

#include <charconv>

#include "standin/orvpcb/model.h"

namespace orv {
namespace {

constexpr std::array<std::string_view, kHostCallKinds> kNames = {
    "create", "load", "store", "progress", "stream-create", "stream-write", "message-box", "dialog"};

// Constant-initialised, so that the server's functions may keep a reference to it from the
// start of the process. Where the C++ library's vector cannot be made at compile time
// (WebAssembly's), it is made as the module starts, before anything can plan a failure.
#if defined(__cpp_lib_constexpr_vector)
constinit HostFaults the_faults;
#else
HostFaults the_faults;
#endif

}  // namespace

std::string_view HostCallName(HostCall kind) { return kNames[static_cast<std::size_t>(kind)]; }

HostFaults& Faults() { return the_faults; }

void HostFaults::Begin() {
  calls_.fill(0);
  fired_.clear();
  armed_ = true;
}

bool HostFaults::Count(HostCall kind, const char* function, std::uint32_t object) {
  const std::uint64_t call = ++calls_[static_cast<std::size_t>(kind)];
  for (const PlannedCall& planned : planned_) {
    if (planned.kind == kind && planned.call == call) {
      fired_.push_back({kind, call, function, object, Server().HandleLimit()});
      return true;
    }
  }
  return false;
}

bool HostFaults::ParsePlan(std::string_view text, std::string& error) {
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (item == "count") {
      counts_asked_ = true;
      continue;
    }
    const std::size_t colon = item.find(':');
    const std::string_view name = item.substr(0, colon);
    std::size_t kind = 0;
    while (kind < kHostCallKinds && kNames[kind] != name) ++kind;
    std::uint64_t call = 0;
    const std::string_view number = colon == std::string_view::npos ? std::string_view() : item.substr(colon + 1);
    const auto [end, status] = std::from_chars(number.data(), number.data() + number.size(), call);
    if (kind == kHostCallKinds || colon == std::string_view::npos || status != std::errc() ||
        end != number.data() + number.size() || call == 0) {
      error = "\"" + std::string(item) +
              "\" is neither count nor KIND:N with N from 1 and KIND one of create, "
              "load, store, progress, stream-create, stream-write, message-box, dialog";
      return false;
    }
    Plan(static_cast<HostCall>(kind), call);
  }
  return true;
}

std::string HostFaults::CallCounts() const {
  std::string text;
  for (std::size_t kind = 0; kind < kHostCallKinds; ++kind) {
    if (kind != 0) text += ", ";
    text += kNames[kind];
    text += ' ';
    text += std::to_string(calls_[kind]);
  }
  return text;
}

}  // namespace orv
