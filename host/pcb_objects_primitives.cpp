// Exchanges of the drawing primitives: tracks, arcs, vias, fills and texts.
#include "host/api/layer_id.h"
#include "host/object_calls.h"
#include "host/pcb_objects.h"

namespace {

constexpr std::uint8_t Direction(bool load) { return load ? 1 : 0; }

}  // namespace

std::int32_t TPcbTrack::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryTrack(dir, Handle, &Flags, &Index, &Layer, &Net, &Tag, &Component, &X, &Y, &X2, &Y2,
                                      &Width, &Polygon, &Coordinate, &Dimension));
  return result.value;
}

void TPcbTrack::MoveBy(std::int32_t dx, std::int32_t dy) {
  TPCBObject::MoveBy(dx, dy);
  X2 += dx;
  Y2 += dy;
}

std::int32_t TPcbArc::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryArc(dir, Handle, &Flags, &Index, &Layer, &Net, &Tag, &Component, &X, &Y, &Radius,
                                    &StartAngle, &EndAngle, &Width, &Polygon));
  return result.value;
}

// The via record carries its layer as a one-byte number: the identifier is converted around the
// call, so a load gives the host's layer as an identifier again.
std::int32_t TPcbVia::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  std::uint8_t layer_number = layer_id::ToNumber(Layer);
  result.Take(host::PcbApi_QueryVia(dir, Handle, &Flags, &Index, &layer_number, &Net, &Tag, &Component, &X, &Y, &Size,
                                    &HoleSize, &LowLayer, &HighLayer, &ExtraFlag1, &ExtraFlag2));
  Layer = layer_id::FromNumber(layer_number);
  return result.value;
}

void TPcbVia::GetSizeOnLayer(std::uint8_t layer, std::int32_t& x_size, std::int32_t& y_size) const {
  x_size = 0;
  y_size = 0;
  host::PcbApi_QueryPadOrViaSizeOnLayer(Handle, layer, &x_size, &y_size);
}

std::uint8_t TPcbVia::GetShapeOnLayer(std::uint8_t layer) const {
  std::uint8_t shape = 0;
  host::PcbApi_QueryPadOrViaShapeOnLayer(Handle, layer, &shape);
  return shape;
}

std::int32_t TPcbFill::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryFill(dir, Handle, &Flags, &Index, &Layer, &Net, &Tag, &Component, &X, &Y, &X2, &Y2,
                                     &Polygon, &Rotation));
  return result.value;
}

void TPcbFill::MoveBy(std::int32_t dx, std::int32_t dy) {
  TPCBObject::MoveBy(dx, dy);
  X2 += dx;
  Y2 += dy;
}

std::int32_t TPcbText::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryText(dir, Handle, &Flags, &Index, &Layer, &Net, &Tag, &Component, &X, &Y, &Height,
                                     &FontStyle, &Rotation, &Mirrored, Text.Raw(), &Width, &Coordinate, &Dimension));
  result.Take(host::PcbApi_QueryTrueTypeTextInfo(dir, Handle, &TrueTypeValue1, FontName.Raw(), &TrueTypeValues[0],
                                                 &TrueTypeValues[1], &TrueTypeValues[2], &TrueTypeValues[3]));
  // The display string is the host's view of Text; it is fetched, never written. A whole
  // counted string's room is offered, so a host that writes one character too many harms nothing.
  ShortString<255> display;
  host::PcbApi_GetDesignatorDisplayString(Handle, display.Raw());
  DisplayString.Assign(display.View());
  result.Take(host::PcbApi_QueryBarCodeTextInfo(dir, Handle, &BarCodeValues[0], &BarCodeValues[1], &BarCodeValues[2],
                                                &BarCodeValue4));
  return result.value;
}
