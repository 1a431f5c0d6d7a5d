// TPCBObject: the fields every host object shares, their exchange, layer conversions, flag bits
// and the host queries that work on any object.
#include "host/pcb_object.h"

#include "host/api/layer_id.h"
#include "host/core_calls.h"
#include "host/object_calls.h"

namespace {

// The host reports the kind in the low seven bits; the eighth is its own.
constexpr std::uint8_t kKindMask = 0x7F;

constexpr std::uint8_t Direction(bool load) { return load ? 1 : 0; }

}  // namespace

TPCBObject::TPCBObject(std::uint32_t handle) : Handle(handle) {
  if (handle != 0) ObjectId = host::PcbApi_GetObjectIdFromObjectHandle(handle) & kKindMask;
}

TPCBObject::TPCBObject(std::uint32_t handle, ObjectKind kind)
    : Handle(handle), ObjectId(static_cast<std::uint8_t>(kind)) {}

std::int32_t TPCBObject::ExchangeBitFields(std::uint8_t dir) {
  FirstResult result;
  result.Take(host::PcbApi_GetObjectBitField2(dir, Handle, &BitField2));
  result.Take(host::PcbApi_GetObjectBitField3(dir, Handle, &BitField3));
  return result.value;
}

std::int32_t TPCBObject::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryPrimitive(dir, Handle, &Flags, &Index, &Layer, &Net, &Component, &Tag));
  return result.value;
}

std::uint8_t TPCBObject::LayerNumber() const { return layer_id::ToNumber(Layer); }

void TPCBObject::SetLayerNumber(std::uint8_t number) { Layer = layer_id::FromNumber(number); }

TRectangle TPCBObject::BoundingRectangle() const {
  TRectangle r;
  host::PcbApi_QueryObjectBoundingRectangle(Handle, &r.Left, &r.Bottom, &r.Right, &r.Top);
  return r;
}

bool TPCBObject::PlacedByUser() const { return host::PcbApi_QueryObjectImport_FromUser(Handle) == 0; }

void TPCBObject::GraphicallyInvalidate() const { host::PcbApi_QueryObjectGraphicallyInvalidate(Handle); }

void TPCBObject::MoveBy(std::int32_t dx, std::int32_t dy) {
  X += dx;
  Y += dy;
}

void TPCBObject::SetFlag(std::uint16_t mask, bool value) {
  Flags = static_cast<std::uint16_t>(value ? (Flags | mask) : (Flags & ~mask));
}

void TPCBObject::SetFlagAndStore(std::uint16_t mask, bool value) {
  SetFlag(mask, value);
  Store();
}

void TPCBObject::SetFlagClearAndStore(std::uint16_t mask, bool value) {
  SetFlag(mask, !value);
  Store();
}

void TPCBObject::SetBitField3(int bit, bool value) {
  const auto mask = static_cast<std::uint8_t>(1u << bit);
  BitField3 = static_cast<std::uint8_t>(value ? (BitField3 | mask) : (BitField3 & ~mask));
}

void TPCBObject::SetBitField3Bits1And2(bool value) {
  SetBitField3(1, value);
  SetBitField3(2, value);
}

void TPCBObject::GetSizeOnLayer(std::uint8_t, std::int32_t& x_size, std::int32_t& y_size) const {
  x_size = 0;
  y_size = 0;
}

std::uint8_t TPCBObject::GetShapeOnLayer(std::uint8_t) const { return 0; }
