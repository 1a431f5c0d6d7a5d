// The board's layer wrappers: TLayerObject for one of the host's 82 board layers, and
// TInternalPlane for the sixteen internal planes (layers 39 to 54), which carry the name of the
// net they are connected to. TPcbBoard owns them; each exchanges its layer's record and the
// dielectric under it with the host.
#pragma once

#include <array>
#include <cstdint>

#include "host/short_string.h"

// A dielectric: material, one byte, dielectric constant, height in host units. New wrappers hold
// the host's default board material.
struct TDielectric {
  ShortString<255> Material{"FR-4"};
  std::uint8_t Value2 = 1;
  double Constant = 4.8;
  std::int32_t Height = 126000;
};

class TLayerObject {
 public:
  // A layer as a new board has it: its name from the host's layer-name table, 32-bit value
  // 14000, every byte 0, the default dielectric.
  TLayerObject(std::uint32_t board, std::uint8_t number);
  virtual ~TLayerObject() = default;
  TLayerObject(const TLayerObject&) = delete;
  TLayerObject& operator=(const TLayerObject&) = delete;

  // PcbApi_QueryLayer, then PcbApi_QueryLayerDielectric; load true fills the wrapper.
  virtual std::int32_t Exchange(bool load);

  [[nodiscard]] std::uint8_t Number() const { return number_; }
  [[nodiscard]] std::uint8_t Flag() const { return Bytes[1]; }

  ShortString<255> Name;
  std::int32_t Value = 14000;
  std::array<std::uint8_t, 5> Bytes{};  // PcbApi_QueryLayer values 3 to 7; Bytes[1] is the flag
  TDielectric Dielectric;

 protected:
  std::int32_t ExchangeDielectric(std::uint8_t dir);

  std::uint32_t board_;
  std::uint8_t number_;
};

class TInternalPlane : public TLayerObject {
 public:
  TInternalPlane(std::uint32_t board, std::uint8_t number);

  // PcbApi_QueryInternalPlane (the first four bytes and the plane's net name), then the
  // dielectric; the fifth byte is not exchanged for planes.
  std::int32_t Exchange(bool load) override;

  ShortString<255> PlaneNetName{"(No Net)"};
};
