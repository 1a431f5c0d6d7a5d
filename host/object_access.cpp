// Per-handle property access: the kind-to-class table and the load-read-free (or
// load-change-store-free) sequence behind each function.
#include "host/object_access.h"

#include <functional>

#include "host/core_calls.h"
#include "host/pcb_objects.h"

std::unique_ptr<TPCBObject> MakeWrapper(std::uint8_t kind, std::uint32_t handle) {
  switch (static_cast<ObjectKind>(kind)) {
    case ObjectKind::kArc: return std::make_unique<TPcbArc>(handle);
    case ObjectKind::kPad: return std::make_unique<TPcbPad>(handle);
    case ObjectKind::kVia: return std::make_unique<TPcbVia>(handle);
    case ObjectKind::kTrack: return std::make_unique<TPcbTrack>(handle);
    case ObjectKind::kText: return std::make_unique<TPcbText>(handle);
    case ObjectKind::kFill: return std::make_unique<TPcbFill>(handle);
    case ObjectKind::kFromTo: return std::make_unique<TPcbFromTo>(handle);
    case ObjectKind::kNet: return std::make_unique<TPcbNet>(handle);
    case ObjectKind::kComponent: return std::make_unique<TPcbComponent>(handle);
    case ObjectKind::kPolygon: return std::make_unique<TPcbPolygon>(handle);
    case ObjectKind::kRegion: return std::make_unique<TPCBRegion>(handle);
    case ObjectKind::kComponentBody: return std::make_unique<TPcbComponentBody>(handle);
    case ObjectKind::kDimension: return std::make_unique<TPcbDimension>(handle);
    case ObjectKind::kCoordinate: return std::make_unique<TPcbCoordinate>(handle);
    case ObjectKind::kObjectClass: return std::make_unique<TPCBObjectClass>(handle);
    case ObjectKind::kRule: return std::make_unique<TPcbRule>(handle);
    case ObjectKind::kManualFromTo: return std::make_unique<TPcbManualFromTo>(handle);
    case ObjectKind::kDifferentialPair: return std::make_unique<TPcbDifferentialPair>(handle);
    case ObjectKind::kViolation: return std::make_unique<TPcbViolation>(handle);
    case ObjectKind::kEmbedded: return std::make_unique<TPcbEmbedded>(handle);
    case ObjectKind::kEmbeddedBoard: return std::make_unique<TPcbEmbeddedBoard>(handle);
    case ObjectKind::kSplitPlane: return std::make_unique<TPcbSplitPlane>(handle);
    case ObjectKind::kBoardOutline: return std::make_unique<TPcbBoardOutline>(handle);
  }
  return nullptr;
}

namespace {

// The loaded wrapper of the handle's kind; nullptr for a zero handle, a kind without a class, or
// an object the host would not load: the wrapper's empty fields are not the object's, and stored
// they would be written over it.
std::unique_ptr<TPCBObject> Load(std::uint32_t handle) {
  if (handle == 0) return nullptr;
  const auto kind = static_cast<std::uint8_t>(host::PcbApi_GetObjectIdFromObjectHandle(handle) & 0x7F);
  std::unique_ptr<TPCBObject> wrapper = MakeWrapper(kind, handle);
  if (!wrapper || wrapper->Load() != 0) return nullptr;
  return wrapper;
}

template <typename Result>
Result Read(std::uint32_t handle, const std::function<Result(const TPCBObject&)>& read) {
  const std::unique_ptr<TPCBObject> wrapper = Load(handle);
  return wrapper ? read(*wrapper) : Result{};
}

void Change(std::uint32_t handle, const std::function<void(TPCBObject&)>& change) {
  const std::unique_ptr<TPCBObject> wrapper = Load(handle);
  if (!wrapper) return;
  change(*wrapper);
  wrapper->Store();
}

}  // namespace

std::uint16_t GetIndex(std::uint32_t handle) {
  return Read<std::uint16_t>(handle, [](const TPCBObject& o) { return o.Index; });
}

std::uint8_t GetLayerNumber(std::uint32_t handle) {
  return Read<std::uint8_t>(handle, [](const TPCBObject& o) { return o.LayerNumber(); });
}

std::int32_t GetNetLink(std::uint32_t handle) {
  return Read<std::int32_t>(handle, [](const TPCBObject& o) { return o.Net; });
}

std::int32_t GetPolygonLink(std::uint32_t handle) {
  return Read<std::int32_t>(handle, [](const TPCBObject& o) { return o.GetPolygonLink(); });
}

std::int32_t GetCoordinateLink(std::uint32_t handle) {
  return Read<std::int32_t>(handle, [](const TPCBObject& o) { return o.GetCoordinateLink(); });
}

std::int32_t GetDimensionLink(std::uint32_t handle) {
  return Read<std::int32_t>(handle, [](const TPCBObject& o) { return o.GetDimensionLink(); });
}

ShortString<255> GetText(std::uint32_t handle) {
  return Read<ShortString<255>>(handle, [](const TPCBObject& o) { return o.GetTextString(); });
}

void SetNetLink(std::uint32_t handle, std::int32_t net) {
  Change(handle, [net](TPCBObject& o) { o.Net = net; });
}

void SetComponentLink(std::uint32_t handle, std::uint32_t component) {
  Change(handle, [component](TPCBObject& o) { o.Component = component; });
}

void SetPolygonLink(std::uint32_t handle, std::int32_t polygon) {
  Change(handle, [polygon](TPCBObject& o) { o.SetPolygonLink(polygon); });
}

void SetCoordinateLink(std::uint32_t handle, std::int32_t coordinate) {
  Change(handle, [coordinate](TPCBObject& o) { o.SetCoordinateLink(coordinate); });
}

void SetDimensionLink(std::uint32_t handle, std::int32_t dimension) {
  Change(handle, [dimension](TPCBObject& o) { o.SetDimensionLink(dimension); });
}
