// The picture's layers: in which order the host layers are stacked and how each is coloured.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/api/vocabulary.h"

namespace svg {

using host_layer::kBottomLayer;
using host_layer::kLastLayer;
using host_layer::kMultiLayer;
using host_layer::kPadHoleLayer;
using host_layer::kTopLayer;
using host_layer::kViaHoleLayer;

// Position of a host layer in the stack, 1 for the lowest; 0 for NoLayer and numbers beyond
// the host's table, which are not drawn.
std::uint16_t StackRank(std::uint8_t layer);

struct LayerLook {
  std::string_view colour;  // "#rrggbb"
  double opacity = 1.0;     // of the whole layer group
};
LayerLook LookOf(std::uint8_t layer);

}  // namespace svg
