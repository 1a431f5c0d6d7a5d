// The host's 82 layers on KiCad 6's layer set. Signal layers keep their stack order: the top
// layer is F.Cu, the bottom layer B.Cu, and only the mid layers and internal planes that hold
// something become inner copper (In1.Cu, In2.Cu, ... with no gaps, as KiCad wants), the planes
// as layers of type power; KiCad takes only an even number of copper layers, so an odd stack
// gets an empty inner layer named "Unused". Overlay, paste and solder mask layers are F/B.SilkS, F/B.Paste,
// F/B.Mask; the keep-out layer, where boards of this family draw their outline, is Edge.Cuts;
// Mechanical1 to 9 are User.1 to User.9. Layers with no counterpart (the multi layer, which
// only pads and vias use, and the screen-only layers) are not carried over.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/api/vocabulary.h"

namespace kicad {

using host_layer::kBottomLayer;
using host_layer::kBottomOverlay;
using host_layer::kKeepOutLayer;
using host_layer::kMultiLayer;
using host_layer::kNoLayer;
using host_layer::kTopLayer;
using host_layer::kTopOverlay;
inline constexpr std::uint8_t kFirstPlane = host_layer::kInternalPlane1;
inline constexpr std::uint8_t kLastPlane = host_layer::kInternalPlane16;
inline constexpr std::uint8_t kLastHostLayer = host_layer::kLastLayer;

// KiCad 6 has 30 inner copper layers (In1.Cu to In30.Cu).
inline constexpr int kMaxInnerLayers = 30;

using HostLayers = std::bitset<kLastHostLayer + 1>;

constexpr bool IsMidLayer(std::uint8_t layer) { return host_layer::IsMidSignal(layer); }
constexpr bool IsPlane(std::uint8_t layer) { return host_layer::IsInternalPlane(layer); }
constexpr bool IsSignalOrPlane(std::uint8_t layer) {
  return layer == kTopLayer || layer == kBottomLayer || IsMidLayer(layer) || IsPlane(layer);
}

struct KicadLayer {
  int id = 0;             // KiCad's layer number in the (layers ...) list
  std::string name;       // canonical name, e.g. "In2.Cu"
  std::string_view type;  // "signal", "power" or "user"
  std::string user_name;  // the host's name, shown by KiCad in place of the canonical one
};

class LayerTable {
 public:
  // `used`: the host layers anything lies on (via spans included); `host_names`: the board's
  // names of the host layers (empty: the host's standard names).
  LayerTable(const HostLayers& used, const std::array<std::string, kLastHostLayer + 1>& host_names);

  // KiCad name of a host layer, or empty when it is not carried over.
  [[nodiscard]] std::string_view NameOf(std::uint8_t host) const;
  [[nodiscard]] bool IsCopper(std::uint8_t host) const;
  // Position in the copper stack, 0 for F.Cu; -1 when not copper.
  [[nodiscard]] int StackPosition(std::uint8_t host) const;
  [[nodiscard]] int CopperCount() const { return 2 + inner_count_; }
  [[nodiscard]] const std::vector<KicadLayer>& Layers() const { return layers_; }
  // The layer KiCad puts a footprint's graphic item on when it turns the footprint over: the
  // other side's (F.SilkS and B.SilkS), an inner copper layer counted from the other face; the
  // layer itself when it has no side.
  [[nodiscard]] std::string_view Flipped(std::string_view name) const;

 private:
  std::array<std::string, kLastHostLayer + 1> names_{};
  std::array<int, kLastHostLayer + 1> stack_{};
  int inner_count_ = 0;
  std::vector<KicadLayer> layers_;
};

// The host's standard name of a layer ("MidLayer3"), empty beyond the table.
std::string HostLayerName(std::uint8_t host);

}  // namespace kicad
