// Exchange of pads: the pad record, its stack mode and the per-layer shapes, sizes and corner
// radii the host keeps for every layer number 0 to 82.
#include "host/api/vocabulary.h"
#include "host/object_calls.h"
#include "host/pcb_objects.h"

namespace {

// Stack mode in which every layer has its own size, shape and corner radius.
constexpr std::uint8_t kFullStack = 2;
// Shape code of a rounded rectangle, the only shape with a corner radius.
constexpr std::uint8_t kRoundedRectangle = 9;

// A host function looked up once for the 83 calls of a layer loop; unbound, it gives 0.
template <typename Fn, typename... Args>
std::int32_t CallBound(Fn* function, Args... args) {
  return function == nullptr ? 0 : function(args...);
}

}  // namespace

std::int32_t TPcbPad::Exchange(bool load) {
  const std::uint8_t dir = load ? 1 : 0;
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  const std::int32_t record = host::PcbApi_QueryPad(
      dir, Handle, &Flags, &Index, &Layer, &Net, &Tag, &Component, &X, &Y, &XSizeTop, &YSizeTop, &XSizeMid, &YSizeMid,
      &XSizeBottom, &YSizeBottom, &HoleSize, &ShapeTop, &ShapeMid, &ShapeBottom, Name.Raw(), &Value20, &Rotation,
      &Value22, Value23.Raw(), Value24.Raw(), &Value25, &Value26, &Value27, &Value28, &Value29, &Value30, &Value31,
      &Value32, &Value33, &ExtraFlag1, &ExtraFlag2);
  result.Take(record);
  // A pad record the host did not exchange ends the exchange.
  if (record != 0) return result.value;
  result.Take(host::PcbApi_QueryPadStackMode(dir, Handle, &StackMode));
  auto* const shape_on_layer = host::PcbApi_QueryPadOrViaShapeOnLayer.Address();
  auto* const size_on_layer = host::PcbApi_QueryPadOrViaSizeOnLayer.Address();
  auto* const corner_radius_on_layer = host::PcbApi_QueryPadCornerRadiusOnLayer.Address();
  auto* const percentage_on_layer = host::PcbApi_QueryPadCRPercentageOnLayer.Address();
  for (int i = 0; i < kPadLayerCount; ++i) {
    const auto layer = static_cast<std::uint8_t>(i);
    if (load) {
      result.Take(CallBound(shape_on_layer, Handle, layer, &ShapeOnLayer[i]));
      result.Take(CallBound(size_on_layer, Handle, layer, &XSizeOnLayer[i], &YSizeOnLayer[i]));
      result.Take(CallBound(corner_radius_on_layer, Handle, layer, &CornerRadiusOnLayer[i]));
      result.Take(CallBound(percentage_on_layer, Handle, layer, &CRPercentageOnLayer[i]));
      // The top layer, the mid layers and the bottom layer stand for the stack's three percentages.
      if (layer == host_layer::kTopLayer) TopCRPercentage = CRPercentageOnLayer[i];
      if (host_layer::IsMidSignal(layer)) MidCRPercentage = CRPercentageOnLayer[i];
      if (layer == host_layer::kBottomLayer) BottomCRPercentage = CRPercentageOnLayer[i];
    } else if (StackMode == kFullStack) {
      result.Take(host::PcbApi_SetPadShapeOnLayer(Handle, layer, ShapeOnLayer[i]));
      result.Take(host::PcbApi_SetPadSizeOnLayer(Handle, layer, XSizeOnLayer[i], YSizeOnLayer[i]));
      result.Take(host::PcbApi_SetCRPctOnLayer(Handle, layer, CRPercentageOnLayer[i]));
    } else if (ShapeOnLayer[i] == kRoundedRectangle) {
      // Outside the full stack the host keeps one percentage each for top, mid and bottom.
      result.Take(host::PcbApi_SetCRPctOnLayer(Handle, host_layer::kTopLayer, TopCRPercentage));
      result.Take(host::PcbApi_SetCRPctOnLayer(Handle, host_layer::kBottomLayer, BottomCRPercentage));
      result.Take(host::PcbApi_SetCRPctOnLayer(Handle, host_layer::kMidLayer1, MidCRPercentage));
    }
  }
  return result.value;
}

void TPcbPad::GetSizeOnLayer(std::uint8_t layer, std::int32_t& x_size, std::int32_t& y_size) const {
  x_size = 0;
  y_size = 0;
  host::PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &x_size, &y_size);
}

std::uint8_t TPcbPad::GetShapeOnLayer(std::uint8_t layer) const {
  std::uint8_t shape = 0;
  host::PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &shape);
  return shape;
}

std::int32_t TPcbPad::GetCornerRadiusOnLayer(std::uint8_t layer) const {
  std::int32_t radius = 0;
  host::PcbApi_QueryPadCornerRadiusOnLayer(Handle, layer, &radius);
  return radius;
}
