// Sizes shared by the object record schemas (object_schemas.cpp) and the object functions of the
// stand-in server (object_api*.cpp).
#pragma once

#include <cstdint>

#include "host/api/vocabulary.h"

namespace orv {

// Per-layer pad values: one record per layer number 0 to 82, layer n at instance n + 1.
inline constexpr std::uint16_t kPadLayerInstances = host_layer::kLayerSlots;
// Reference points a dimension can hold; a store of more keeps the first ones.
inline constexpr std::int32_t kMaxDimensionReferences = 1024;

}  // namespace orv
