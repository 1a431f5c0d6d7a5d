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
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>

#include "host/api/objects.h"
#include "host/api/vocabulary.h"
#include "standin/orvpcb/model.h"
#include "standin/orvpcb/object_api.h"

using api::I32;
using api::U32;
using api::U8;
using orv::Server;

namespace {

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

// The server, found once: these functions run hundreds of times per pad.
orv::Model& the_server = Server();

void TraceCall(const char* function, std::uint32_t handle, std::uint8_t layer) {
  the_server.TraceLine(std::string(function) + "(" + std::to_string(handle) + ", " + std::to_string(layer) + ") -> 0");
}

inline I32 Traced(const char* function, std::uint32_t handle, std::uint8_t layer) {
  if (the_server.Tracing()) TraceCall(function, handle, layer);
  return 0;
}

template <typename... Values>
I32 Traced(const char* function, std::uint32_t handle, std::uint8_t layer, Values... values) {
  orv::Model& model = the_server;
  if (model.Tracing()) {
    std::string line = std::string(function) + "(" + std::to_string(handle) + ", " + std::to_string(layer);
    ((line += ", " + std::to_string(values)), ...);
    model.TraceLine(line + ") -> 0");
  }
  return 0;
}

// What the per-layer functions need of one pad or via, read from its record once. A pad load asks
// for all 83 layers four times over, so the view of the object asked last is kept until the
// model changes (Revision) or a per-layer value is written.
struct ObjectView {
  std::uint32_t handle = 0;
  std::uint64_t revision = 0;
  std::uint8_t kind = 0;
  std::uint8_t layer = 0;  // the object's own layer number
  bool full_stack = false;
  std::uint8_t low = 0;  // a via's span
  std::uint8_t high = 0;
  std::array<std::uint8_t, 3> shape{};  // top, mid, bottom
  std::array<I32, 3> x_size{};
  std::array<I32, 3> y_size{};
  I32 size = 0;  // a via's diameter
  const PadLayers* layers = nullptr;
  // A pad's answers for layers 0 to 82, worked out when the view is made.
  std::array<std::uint8_t, orv::kPadLayerInstances> shape_on{};
  std::array<I32, orv::kPadLayerInstances> x_size_on{};
  std::array<I32, orv::kPadLayerInstances> y_size_on{};
  std::array<I32, orv::kPadLayerInstances> corner_radius_on{};
  std::array<std::uint8_t, orv::kPadLayerInstances> percentage_on{};
};

ObjectView cached_view;

// The fields of a kind's layout, found by name once.
class Fields {
 public:
  explicit Fields(std::uint8_t kind) : layout_(Server().LayoutOf(kind)) {}
  [[nodiscard]] const orv::FieldSlot* operator[](const char* name) const { return layout_.Find(name); }

 private:
  const orv::Layout& layout_;
};

double Read(const orv::Model& model, std::uint32_t handle, const orv::FieldSlot* slot) {
  if (slot == nullptr) return 0;
  const std::uint8_t* place = model.FieldData(handle, *slot);
  if (place == nullptr) return 0;
  switch (slot->def.type) {
    case orv::FieldType::kU8:
    case orv::FieldType::kLayerId:
      return place[0];
    case orv::FieldType::kU16: {
      std::uint16_t value;
      std::memcpy(&value, place, sizeof value);
      return value;
    }
    case orv::FieldType::kI32: {
      std::int32_t value;
      std::memcpy(&value, place, sizeof value);
      return value;
    }
    case orv::FieldType::kU32: {
      std::uint32_t value;
      std::memcpy(&value, place, sizeof value);
      return value;
    }
    case orv::FieldType::kF64: {
      double value;
      std::memcpy(&value, place, sizeof value);
      return value;
    }
    default:
      return 0;
  }
}

void FillPadLayers(ObjectView& pad);

const ObjectView& MakeView(std::uint32_t handle) {
  ObjectView& view = cached_view;
  const orv::Model& model = the_server;
  view = ObjectView{};
  view.handle = handle;
  view.revision = model.Revision();
  view.kind = model.KindOf(handle);
  if (view.kind == KindCode(ObjectKind::kPad)) {
    static const Fields pad(KindCode(ObjectKind::kPad));
    static const orv::FieldSlot* const kLayer = pad["Layer"];
    static const orv::FieldSlot* const kStackMode = pad["StackMode"];
    static const std::array<const orv::FieldSlot*, 3> kShape = {pad["ShapeTop"], pad["ShapeMid"], pad["ShapeBottom"]};
    static const std::array<const orv::FieldSlot*, 3> kXSize = {pad["XSizeTop"], pad["XSizeMid"], pad["XSizeBottom"]};
    static const std::array<const orv::FieldSlot*, 3> kYSize = {pad["YSizeTop"], pad["YSizeMid"], pad["YSizeBottom"]};
    view.layer = static_cast<std::uint8_t>(Read(model, handle, kLayer));
    view.full_stack = Read(model, handle, kStackMode) == kFullStack;
    for (std::size_t part = 0; part < 3; ++part) {
      view.shape[part] = static_cast<std::uint8_t>(Read(model, handle, kShape[part]));
      view.x_size[part] = static_cast<I32>(Read(model, handle, kXSize[part]));
      view.y_size[part] = static_cast<I32>(Read(model, handle, kYSize[part]));
    }
    if (!AllPadLayers().empty()) {
      const auto found = AllPadLayers().find(handle);
      if (found != AllPadLayers().end()) view.layers = found->second.get();
    }
    FillPadLayers(view);
  } else if (view.kind == KindCode(ObjectKind::kVia)) {
    static const Fields via(KindCode(ObjectKind::kVia));
    static const orv::FieldSlot* const kLayer = via["Layer"];
    static const orv::FieldSlot* const kLow = via["LowLayer"];
    static const orv::FieldSlot* const kHigh = via["HighLayer"];
    static const orv::FieldSlot* const kSize = via["Size"];
    view.layer = static_cast<std::uint8_t>(Read(model, handle, kLayer));
    view.low = static_cast<std::uint8_t>(Read(model, handle, kLow));
    view.high = static_cast<std::uint8_t>(Read(model, handle, kHigh));
    view.size = static_cast<I32>(Read(model, handle, kSize));
  }
  return view;
}

inline const ObjectView& View(std::uint32_t handle) {
  if (cached_view.handle == handle && cached_view.revision == the_server.Revision() && handle != 0) {
    return cached_view;
  }
  return MakeView(handle);
}

// A per-layer value was written: views made before it are out of date.
void ForgetView() { cached_view.handle = 0; }

// Whether the object has copper (or its own drawing) on the layer.
bool OnLayer(const ObjectView& object, std::uint8_t layer) {
  if (object.kind == KindCode(ObjectKind::kVia)) {
    return layer == host_layer::kMultiLayer ||
           (layer >= std::min(object.low, object.high) && layer <= std::max(object.low, object.high));
  }
  if (object.layer == host_layer::kMultiLayer) return layer == host_layer::kMultiLayer || host_layer::IsSignal(layer);
  return layer == object.layer;
}

// Which third of the simple stack a layer takes its values from: top, mid or bottom.
std::size_t Part(std::uint8_t layer) {
  if (layer == host_layer::kBottomLayer) return 2;
  if (host_layer::IsMidSignal(layer)) return 1;
  return 0;
}

std::uint8_t SimpleShape(const ObjectView& pad, std::uint8_t layer) {
  return OnLayer(pad, layer) ? pad.shape[Part(layer)] : 0;
}

std::pair<I32, I32> SimpleSize(const ObjectView& pad, std::uint8_t layer) {
  if (!OnLayer(pad, layer)) return {0, 0};
  return {pad.x_size[Part(layer)], pad.y_size[Part(layer)]};
}

// The pad's per-layer values, made from what the pad shows now the first time they are needed.
PadLayers& Own(std::uint32_t pad) {
  std::unique_ptr<PadLayers>& layers = AllPadLayers()[pad];
  if (!layers) {
    const ObjectView& view = View(pad);
    auto made = std::make_unique<PadLayers>();
    for (std::uint8_t layer = 0; layer < orv::kPadLayerInstances; ++layer) {
      made->shape[layer] = SimpleShape(view, layer);
      std::tie(made->x_size[layer], made->y_size[layer]) = SimpleSize(view, layer);
      made->percentage[layer] = kDefaultPercentage;
    }
    layers = std::move(made);
  }
  ForgetView();
  return *layers;
}

std::uint8_t ShapeOn(const ObjectView& pad, std::uint8_t layer) {
  return pad.layers != nullptr && pad.full_stack ? pad.layers->shape[layer] : SimpleShape(pad, layer);
}

std::pair<I32, I32> SizeOn(const ObjectView& pad, std::uint8_t layer) {
  if (pad.layers != nullptr && pad.full_stack) return {pad.layers->x_size[layer], pad.layers->y_size[layer]};
  return SimpleSize(pad, layer);
}

std::uint8_t PercentageOn(const ObjectView& pad, std::uint8_t layer) {
  if (pad.layers == nullptr) return kDefaultPercentage;
  if (pad.full_stack) return pad.layers->percentage[layer];
  const std::uint8_t kept = layer == host_layer::kBottomLayer ? host_layer::kBottomLayer
                            : host_layer::IsMidSignal(layer)  ? host_layer::kMidLayer1
                                                              : host_layer::kTopLayer;
  return pad.layers->percentage[kept];
}

// Only rounded rectangles have a corner: that percentage of half the smaller side.
I32 CornerRadius(std::uint8_t shape, I32 x, I32 y, std::uint8_t percentage) {
  return shape == kRoundedRectangle ? static_cast<I32>(std::min(x, y) / 2.0 * std::min<double>(percentage, 100) / 100)
                                    : 0;
}

// A pad nobody gave per-layer values (every pad of an import): each layer it is on shows the
// values of its third of the stack, with the default percentage. The view starts all zero.
void FillSimplePadLayers(ObjectView& pad) {
  std::array<I32, 3> radius{};
  for (std::size_t part = 0; part < 3; ++part) {
    radius[part] = CornerRadius(pad.shape[part], pad.x_size[part], pad.y_size[part], kDefaultPercentage);
  }
  pad.percentage_on.fill(kDefaultPercentage);
  for (std::uint8_t layer = 0; layer < orv::kPadLayerInstances; ++layer) {
    if (!OnLayer(pad, layer)) continue;
    const std::size_t part = Part(layer);
    pad.shape_on[layer] = pad.shape[part];
    pad.x_size_on[layer] = pad.x_size[part];
    pad.y_size_on[layer] = pad.y_size[part];
    pad.corner_radius_on[layer] = radius[part];
  }
}

void FillPadLayers(ObjectView& pad) {
  if (pad.layers == nullptr) {
    FillSimplePadLayers(pad);
    return;
  }
  for (std::uint8_t layer = 0; layer < orv::kPadLayerInstances; ++layer) {
    const std::uint8_t shape = ShapeOn(pad, layer);
    const auto [x, y] = SizeOn(pad, layer);
    const std::uint8_t percentage = PercentageOn(pad, layer);
    pad.shape_on[layer] = shape;
    pad.x_size_on[layer] = x;
    pad.y_size_on[layer] = y;
    pad.percentage_on[layer] = percentage;
    pad.corner_radius_on[layer] = CornerRadius(shape, x, y, percentage);
  }
}

// A pad whose per-layer values can be asked for: a live pad and a layer number 0 to 82.
bool PadLayer(const ObjectView& object, std::uint8_t layer) {
  return object.kind == KindCode(ObjectKind::kPad) && layer < orv::kPadLayerInstances;
}

// The pad asked about last, when its view is still good, the layer one of its 83 and no trace is
// written. A pad load asks 332 questions in a row: they are answered from here without a call,
// and everything else takes the general answers below.
inline const ObjectView* KeptPad(std::uint32_t handle, std::uint8_t layer) {
  const ObjectView& view = cached_view;
  if (view.handle != handle || handle == 0 || !PadLayer(view, layer)) return nullptr;
  const orv::Model& model = the_server;
  return view.revision == model.Revision() && !model.Tracing() ? &view : nullptr;
}

[[gnu::noinline]] I32 ShapeOnLayer(U32 handle, U8 layer, U8* shape) {
  if (shape != nullptr) {
    const ObjectView& object = View(handle);
    if (object.kind == KindCode(ObjectKind::kVia)) *shape = OnLayer(object, layer) ? kRoundShape : 0;
    if (PadLayer(object, layer)) *shape = object.shape_on[layer];
  }
  return Traced("PcbApi_QueryPadOrViaShapeOnLayer", handle, layer);
}

[[gnu::noinline]] I32 SizeOnLayer(U32 handle, U8 layer, I32* x_size, I32* y_size) {
  const ObjectView& object = View(handle);
  std::pair<I32, I32> size{-1, -1};
  if (object.kind == KindCode(ObjectKind::kVia)) {
    const I32 diameter = OnLayer(object, layer) ? object.size : 0;
    size = {diameter, diameter};
  }
  if (PadLayer(object, layer)) size = {object.x_size_on[layer], object.y_size_on[layer]};
  if (size.first >= 0 && x_size != nullptr) *x_size = size.first;
  if (size.second >= 0 && y_size != nullptr) *y_size = size.second;
  return Traced("PcbApi_QueryPadOrViaSizeOnLayer", handle, layer);
}

[[gnu::noinline]] I32 CornerRadiusOnLayer(U32 handle, U8 layer, I32* corner_radius) {
  if (corner_radius != nullptr) {
    const ObjectView& pad = View(handle);
    if (PadLayer(pad, layer)) *corner_radius = pad.corner_radius_on[layer];
  }
  return Traced("PcbApi_QueryPadCornerRadiusOnLayer", handle, layer);
}

[[gnu::noinline]] I32 PercentageOnLayer(U32 handle, U8 layer, U8* percentage) {
  if (percentage != nullptr) {
    const ObjectView& pad = View(handle);
    if (PadLayer(pad, layer)) *percentage = pad.percentage_on[layer];
  }
  return Traced("PcbApi_QueryPadCRPercentageOnLayer", handle, layer);
}

}  // namespace

extern "C" {

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadOrViaShapeOnLayer(U32 handle, U8 layer, U8* shape) {
  const ObjectView* pad = KeptPad(handle, layer);
  if (pad == nullptr || shape == nullptr) return ShapeOnLayer(handle, layer, shape);
  *shape = pad->shape_on[layer];
  return 0;
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadOrViaSizeOnLayer(U32 handle, U8 layer, I32* x_size,
                                                                     I32* y_size) {
  const ObjectView* pad = KeptPad(handle, layer);
  if (pad == nullptr || x_size == nullptr || y_size == nullptr) return SizeOnLayer(handle, layer, x_size, y_size);
  *x_size = pad->x_size_on[layer];
  *y_size = pad->y_size_on[layer];
  return 0;
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadCornerRadiusOnLayer(U32 handle, U8 layer, I32* corner_radius) {
  const ObjectView* pad = KeptPad(handle, layer);
  if (pad == nullptr || corner_radius == nullptr) return CornerRadiusOnLayer(handle, layer, corner_radius);
  *corner_radius = pad->corner_radius_on[layer];
  return 0;
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadCRPercentageOnLayer(U32 handle, U8 layer, U8* percentage) {
  const ObjectView* pad = KeptPad(handle, layer);
  if (pad == nullptr || percentage == nullptr) return PercentageOnLayer(handle, layer, percentage);
  *percentage = pad->percentage_on[layer];
  return 0;
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_SetPadShapeOnLayer(U32 handle, U8 layer, U8 shape) {
  if (PadLayer(View(handle), layer)) Own(handle).shape[layer] = shape;
  return Traced("PcbApi_SetPadShapeOnLayer", handle, layer, unsigned{shape});
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_SetPadSizeOnLayer(U32 handle, U8 layer, I32 x_size, I32 y_size) {
  if (PadLayer(View(handle), layer)) {
    PadLayers& layers = Own(handle);
    layers.x_size[layer] = x_size;
    layers.y_size[layer] = y_size;
  }
  return Traced("PcbApi_SetPadSizeOnLayer", handle, layer, x_size, y_size);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_SetCRPctOnLayer(U32 handle, U8 layer, U8 percentage) {
  if (PadLayer(View(handle), layer)) Own(handle).percentage[layer] = percentage;
  return Traced("PcbApi_SetCRPctOnLayer", handle, layer, unsigned{percentage});
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
