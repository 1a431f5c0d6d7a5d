// Helpers for the PcbApi_* shims of the stand-in server: each shim hands its field pointers, in
// record order, to the model's table-driven exchange.
#pragma once

#include <cstdint>
#include <string>

#include "host/abi.h"
#include "standin/orvpcb/host_faults.h"
#include "standin/orvpcb/model.h"

namespace orv {

// The id of a registered schema, looked up once per shim.
inline int SchemaId(const char* function) { return Server().FindSchema(function); }

// For the exchange functions that do not go through the model's exchange: true when this load
// or store is one made to fail (host_faults.h); the function then answers 1 and does nothing.
inline bool ExchangeRefused(std::uint8_t dir, const char* function, std::uint32_t handle) {
  return Faults().Fails(dir != 0 ? HostCall::kLoad : HostCall::kStore, function, handle);
}

template <typename... Fields>
std::int32_t ExchangeRecord(int schema, std::uint8_t dir, std::uint32_t handle, Fields*... fields) {
  static Model& server = Server();
  void* pointers[] = {static_cast<void*>(fields)..., nullptr};
  return server.Exchange(schema, dir, handle, 0, pointers);
}

// For functions that take an index (layer, slot, pen) after the handle.
template <typename... Fields>
std::int32_t ExchangeIndexed(int schema, std::uint8_t dir, std::uint32_t handle, std::uint32_t index,
                             Fields*... fields) {
  static Model& server = Server();
  void* pointers[] = {static_cast<void*>(fields)..., nullptr};
  return server.Exchange(schema, dir, handle, index, pointers);
}

}  // namespace orv
