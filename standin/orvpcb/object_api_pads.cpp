// The stand-in server's per-layer pad (and via) functions.
//
// A pad in the simple stack modes has one size and shape each for the top, the mid layers and the
// bottom (its record's XSizeTop ... ShapeBottom) and one corner-radius percentage each, kept on
// layers 1, 2 and 32. Only a pad in full-stack mode (stack mode 2) has values of its own on every
// layer. Per-layer values are therefore kept beside the model, made for a pad the first time one
// is written, so that the pads of an import (which never writes them) cost nothing extra. A via
// is round and of its size on every layer it reaches.
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>

#include "host/api/objects.h"
#include "standin/orvpcb/model.h"
#include "standin/orvpcb/object_api.h"

using api::I32;
using api::U32;
using api::U8;
using orv::Server;

namespace {

constexpr std::uint8_t kPadKind = 2;
constexpr std::uint8_t kViaKind = 3;
constexpr std::uint8_t kTopLayer = 1;
constexpr std::uint8_t kFirstMidLayer = 2;
constexpr std::uint8_t kLastMidLayer = 31;
constexpr std::uint8_t kBottomLayer = 32;
constexpr std::uint8_t kMultiLayer = 74;
constexpr std::uint8_t kRoundShape = 1;
constexpr std::uint8_t kRoundedRectangle = 9;
constexpr std::uint8_t kFullStack = 2;
constexpr std::uint8_t kDefaultPercentage = 50;

struct PadLayers {
  std::array<std::uint8_t, orv::kPadLayerInstances> shape{};
  std::array<I32, orv::kPadLayerInstances> x_size{};
  std::array<I32, orv::kPadLayerInstances> y_size{};
  std::array<std::uint8_t, orv::kPadLayerInstances> percentage{};
};

std::unordered_map<std::uint32_t, std::unique_ptr<PadLayers>>& AllPadLayers() {
  static std::unordered_map<std::uint32_t, std::unique_ptr<PadLayers>> layers;
  return layers;
}

I32 Traced(const char* function, std::uint32_t handle, std::uint8_t layer, std::string extra = {}) {
  orv::Model& model = Server();
  if (model.Tracing()) {
    model.TraceLine(std::string(function) + "(" + std::to_string(handle) + ", " + std::to_string(layer) + extra +
                    ") -> 0");
  }
  return 0;
}

double Number(std::uint32_t handle, const char* field) { return Server().GetNumber(handle, field); }

bool FullStack(std::uint32_t pad) { return Number(pad, "StackMode") == kFullStack; }

// Whether the object has copper (or its own drawing) on the layer.
bool OnLayer(std::uint32_t handle, std::uint8_t layer) {
  const auto own = static_cast<std::uint8_t>(Number(handle, "Layer"));
  if (Server().KindOf(handle) == kViaKind) {
    const auto low = static_cast<std::uint8_t>(Number(handle, "LowLayer"));
    const auto high = static_cast<std::uint8_t>(Number(handle, "HighLayer"));
    return layer == kMultiLayer || (layer >= std::min(low, high) && layer <= std::max(low, high));
  }
  if (own == kMultiLayer) return layer == kMultiLayer || (layer >= kTopLayer && layer <= kBottomLayer);
  return layer == own;
}

// Which third of the simple stack a layer takes its values from.
const char* Part(std::uint8_t layer) {
  if (layer == kBottomLayer) return "Bottom";
  if (layer >= kFirstMidLayer && layer <= kLastMidLayer) return "Mid";
  return "Top";
}

std::uint8_t SimpleShape(std::uint32_t pad, std::uint8_t layer) {
  if (!OnLayer(pad, layer)) return 0;
  return static_cast<std::uint8_t>(Number(pad, (std::string("Shape") + Part(layer)).c_str()));
}

std::pair<I32, I32> SimpleSize(std::uint32_t pad, std::uint8_t layer) {
  if (!OnLayer(pad, layer)) return {0, 0};
  const std::string part = Part(layer);
  return {static_cast<I32>(Number(pad, ("XSize" + part).c_str())),
          static_cast<I32>(Number(pad, ("YSize" + part).c_str()))};
}

PadLayers* Find(std::uint32_t pad) {
  const auto found = AllPadLayers().find(pad);
  return found == AllPadLayers().end() ? nullptr : found->second.get();
}

// The pad's per-layer values, made from what the pad shows now the first time they are needed.
PadLayers& Own(std::uint32_t pad) {
  std::unique_ptr<PadLayers>& layers = AllPadLayers()[pad];
  if (!layers) {
    layers = std::make_unique<PadLayers>();
    for (std::uint8_t layer = 0; layer < orv::kPadLayerInstances; ++layer) {
      layers->shape[layer] = SimpleShape(pad, layer);
      std::tie(layers->x_size[layer], layers->y_size[layer]) = SimpleSize(pad, layer);
      layers->percentage[layer] = kDefaultPercentage;
    }
  }
  return *layers;
}

std::uint8_t ShapeOn(std::uint32_t pad, std::uint8_t layer) {
  const PadLayers* layers = Find(pad);
  return layers != nullptr && FullStack(pad) ? layers->shape[layer] : SimpleShape(pad, layer);
}

std::pair<I32, I32> SizeOn(std::uint32_t pad, std::uint8_t layer) {
  const PadLayers* layers = Find(pad);
  if (layers != nullptr && FullStack(pad)) return {layers->x_size[layer], layers->y_size[layer]};
  return SimpleSize(pad, layer);
}

std::uint8_t PercentageOn(std::uint32_t pad, std::uint8_t layer) {
  const PadLayers* layers = Find(pad);
  if (layers == nullptr) return kDefaultPercentage;
  if (FullStack(pad)) return layers->percentage[layer];
  const std::uint8_t kept = layer == kBottomLayer ? kBottomLayer
                            : (layer >= kFirstMidLayer && layer <= kLastMidLayer) ? kFirstMidLayer
                                                                                 : kTopLayer;
  return layers->percentage[kept];
}

// A pad whose per-layer values can be asked for: a live pad and a layer number 0 to 82.
bool PadLayer(std::uint32_t handle, std::uint8_t layer) {
  return Server().KindOf(handle) == kPadKind && layer < orv::kPadLayerInstances;
}

}  // namespace

extern "C" {

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadOrViaShapeOnLayer(U32 handle, U8 layer, U8* shape) {
  if (shape != nullptr) {
    if (Server().KindOf(handle) == kViaKind) *shape = OnLayer(handle, layer) ? kRoundShape : 0;
    if (PadLayer(handle, layer)) *shape = ShapeOn(handle, layer);
  }
  return Traced("PcbApi_QueryPadOrViaShapeOnLayer", handle, layer);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadOrViaSizeOnLayer(U32 handle, U8 layer, I32* x_size,
                                                                     I32* y_size) {
  std::pair<I32, I32> size{-1, -1};
  if (Server().KindOf(handle) == kViaKind) {
    const auto diameter = OnLayer(handle, layer) ? static_cast<I32>(Number(handle, "Size")) : 0;
    size = {diameter, diameter};
  }
  if (PadLayer(handle, layer)) size = SizeOn(handle, layer);
  if (size.first >= 0 && x_size != nullptr) *x_size = size.first;
  if (size.second >= 0 && y_size != nullptr) *y_size = size.second;
  return Traced("PcbApi_QueryPadOrViaSizeOnLayer", handle, layer);
}

// Only rounded rectangles have a corner: that percentage of half the smaller side.
VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadCornerRadiusOnLayer(U32 handle, U8 layer, I32* corner_radius) {
  if (corner_radius != nullptr && PadLayer(handle, layer)) {
    const auto [x, y] = SizeOn(handle, layer);
    const double percent = std::min<double>(PercentageOn(handle, layer), 100);
    *corner_radius =
        ShapeOn(handle, layer) == kRoundedRectangle ? static_cast<I32>(std::min(x, y) / 2.0 * percent / 100) : 0;
  }
  return Traced("PcbApi_QueryPadCornerRadiusOnLayer", handle, layer);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadCRPercentageOnLayer(U32 handle, U8 layer, U8* percentage) {
  if (percentage != nullptr && PadLayer(handle, layer)) *percentage = PercentageOn(handle, layer);
  return Traced("PcbApi_QueryPadCRPercentageOnLayer", handle, layer);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_SetPadShapeOnLayer(U32 handle, U8 layer, U8 shape) {
  if (PadLayer(handle, layer)) Own(handle).shape[layer] = shape;
  return Traced("PcbApi_SetPadShapeOnLayer", handle, layer, ", " + std::to_string(shape));
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_SetPadSizeOnLayer(U32 handle, U8 layer, I32 x_size, I32 y_size) {
  if (PadLayer(handle, layer)) {
    PadLayers& layers = Own(handle);
    layers.x_size[layer] = x_size;
    layers.y_size[layer] = y_size;
  }
  return Traced("PcbApi_SetPadSizeOnLayer", handle, layer,
                ", " + std::to_string(x_size) + ", " + std::to_string(y_size));
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_SetCRPctOnLayer(U32 handle, U8 layer, U8 percentage) {
  if (PadLayer(handle, layer)) Own(handle).percentage[layer] = percentage;
  return Traced("PcbApi_SetCRPctOnLayer", handle, layer, ", " + std::to_string(percentage));
}

}  // extern "C"

// The definitions must match the signatures the plug-in binds.
static_assert(std::is_same_v<decltype(PcbApi_QueryPadOrViaShapeOnLayer), api::PcbApi_QueryPadOrViaShapeOnLayer>);
static_assert(std::is_same_v<decltype(PcbApi_QueryPadOrViaSizeOnLayer), api::PcbApi_QueryPadOrViaSizeOnLayer>);
static_assert(std::is_same_v<decltype(PcbApi_QueryPadCornerRadiusOnLayer), api::PcbApi_QueryPadCornerRadiusOnLayer>);
static_assert(std::is_same_v<decltype(PcbApi_QueryPadCRPercentageOnLayer), api::PcbApi_QueryPadCRPercentageOnLayer>);
static_assert(std::is_same_v<decltype(PcbApi_SetPadShapeOnLayer), api::PcbApi_SetPadShapeOnLayer>);
static_assert(std::is_same_v<decltype(PcbApi_SetPadSizeOnLayer), api::PcbApi_SetPadSizeOnLayer>);
static_assert(std::is_same_v<decltype(PcbApi_SetCRPctOnLayer), api::PcbApi_SetCRPctOnLayer>);
