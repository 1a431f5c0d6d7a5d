// Values at any byte of a packed record: the host's records have no alignment, so every value
// is copied in and out rather than read through a cast pointer.
#pragma once

#include <cstdint>
#include <cstring>

namespace orv {

template <typename T>
T Load(const std::uint8_t* place) {
  T value;
  std::memcpy(&value, place, sizeof value);
  return value;
}

template <typename T>
void Save(std::uint8_t* place, T value) {
  std::memcpy(place, &value, sizeof value);
}

}  // namespace orv
