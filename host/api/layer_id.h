// Layer identifiers as the host exchanges them in 32-bit layer fields, and their relation to the
// one-byte layer numbers of the host's older functions and of the file.
//
// An identifier carries a layer class in bits 16 to 23 and an ordinal in bits 0 to 15: the stack
// position for mid signal layers (2 for MidLayer1), n for internal plane n and mechanical layer
// n, the layer number itself for the single layers. Number 0 and unknown identifiers mean none.
#pragma once

#include <cstdint>

#include "host/api/vocabulary.h"

namespace layer_id {

enum class LayerClass : std::uint8_t {
  kNone = 0,
  kTopSignal = 1,
  kMidSignal = 2,
  kBottomSignal = 3,
  kInternalPlane = 4,
  kMechanical = 5,
  kSingle = 6,  // overlays, paste, solder, drill guide, keep-out, drill drawing, multi-layer, ...
};

constexpr std::uint32_t Make(LayerClass layer_class, std::uint32_t ordinal) {
  return (static_cast<std::uint32_t>(layer_class) << 16) | (ordinal & 0xFFFFu);
}
constexpr LayerClass ClassOf(std::uint32_t id) { return static_cast<LayerClass>((id >> 16) & 0xFFu); }
constexpr std::uint32_t OrdinalOf(std::uint32_t id) { return id & 0xFFFFu; }

// One-to-one for 1 to 82; anything else has no identifier (0).
constexpr std::uint32_t FromNumber(std::uint8_t number) {
  if (number == host_layer::kTopLayer) return Make(LayerClass::kTopSignal, 1);
  if (number >= 2 && number <= 31) return Make(LayerClass::kMidSignal, number);
  if (number == host_layer::kBottomLayer) return Make(LayerClass::kBottomSignal, 32);
  if (host_layer::IsInternalPlane(number)) return Make(LayerClass::kInternalPlane, number - 38u);
  if (host_layer::IsMechanical(number)) {
    return Make(LayerClass::kMechanical, number - 56u);
  }
  if (number >= 33 && number <= host_layer::kLastLayer) return Make(LayerClass::kSingle, number);
  return 0;
}

// Layers the one-byte numbering cannot name are pinned to the last number of their class.
constexpr std::uint8_t ToNumber(std::uint32_t id) {
  const std::uint32_t ordinal = OrdinalOf(id);
  switch (ClassOf(id)) {
    case LayerClass::kTopSignal:
      return host_layer::kTopLayer;
    case LayerClass::kMidSignal:
      return ordinal < 2 ? 0 : static_cast<std::uint8_t>(ordinal > 31 ? 31 : ordinal);
    case LayerClass::kBottomSignal:
      return host_layer::kBottomLayer;
    case LayerClass::kInternalPlane:
      return ordinal < 1 ? 0 : static_cast<std::uint8_t>(ordinal > 16 ? host_layer::kInternalPlane16 : 38 + ordinal);
    case LayerClass::kMechanical:
      return ordinal < 1 ? 0 : static_cast<std::uint8_t>(ordinal > 16 ? host_layer::kMechanical16 : 56 + ordinal);
    case LayerClass::kSingle: {
      const bool named = (ordinal >= 33 && ordinal <= 38) || ordinal == 55 || ordinal == 56 ||
                         (ordinal >= 73 && ordinal <= host_layer::kLastLayer);
      return named ? static_cast<std::uint8_t>(ordinal) : 0;
    }
    default:
      return 0;
  }
}

}  // namespace layer_id
