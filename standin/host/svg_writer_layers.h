// The picture's layers: in which order the host layers are stacked and how each is coloured.
#pragma once

#include <cstdint>
#include <string_view>

namespace svg {

inline constexpr std::uint8_t kTopLayer = 1;
inline constexpr std::uint8_t kBottomLayer = 32;
inline constexpr std::uint8_t kMultiLayer = 74;
inline constexpr std::uint8_t kPadHoleLayer = 81;
inline constexpr std::uint8_t kViaHoleLayer = 82;
inline constexpr std::uint8_t kLastLayer = 82;

// Position of a host layer in the stack, 1 for the lowest; 0 for NoLayer and numbers beyond
// the host's table, which are not drawn.
std::uint16_t StackRank(std::uint8_t layer);

struct LayerLook {
  std::string_view colour;  // "#rrggbb"
  double opacity = 1.0;     // of the whole layer group
};
LayerLook LookOf(std::uint8_t layer);

}  // namespace svg
