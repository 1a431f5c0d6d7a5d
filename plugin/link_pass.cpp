// The link pass at the end of a run: every primitive's Net, Polygon, Coordinate and Dimension
// number becomes the owner's handle (0 when the number names no owner), and the primitive
// joins its owner.
#include "plugin/link_pass.h"

#include <array>
#include <bitset>
#include <memory>

#include "host/api/vocabulary.h"
#include "host/board.h"
#include "host/core_calls.h"
#include "host/object_access.h"
#include "host/pcb_object.h"
#include "records/index_tables.h"

namespace {

using Table = TIndexTables::Table;

enum class Step { kNet, kPolygonOrNet, kCoordinate, kDimension, kNetFieldOnly };

struct KindSteps {
  ObjectKind kind;
  std::array<Step, 3> steps;
  int count;
};

// Kinds in the order they are linked, with their steps in order.
constexpr std::array<KindSteps, 8> kLinkOrder = {{
    {ObjectKind::kPad, {Step::kNet}, 1},
    {ObjectKind::kTrack, {Step::kPolygonOrNet, Step::kCoordinate, Step::kDimension}, 3},
    {ObjectKind::kVia, {Step::kNet}, 1},
    {ObjectKind::kArc, {Step::kPolygonOrNet}, 1},
    {ObjectKind::kFill, {Step::kPolygonOrNet}, 1},
    {ObjectKind::kText, {Step::kCoordinate, Step::kDimension}, 2},
    {ObjectKind::kPolygon, {Step::kNetFieldOnly}, 1},
    {ObjectKind::kSplitPlane, {Step::kNetFieldOnly}, 1},
}};

// TopLayer to ConnectLayer.
std::bitset<88> LinkLayers() {
  std::bitset<88> layers;
  for (std::size_t layer = host_layer::kTopLayer; layer <= host_layer::kConnectLayer; ++layer) layers.set(layer);
  return layers;
}

std::uint32_t Join(std::uint32_t owner, std::uint32_t object) {
  if (owner != 0) host::PcbApi_AddObjectToContainer(owner, object);
  return owner;
}

std::int32_t AsLink(std::uint32_t handle) { return static_cast<std::int32_t>(handle); }

void LinkNet(const TIndexTables& tables, TPCBObject& object) {
  const std::uint32_t net = tables.Lookup(Table::kNet, object.Net);
  object.Net = AsLink(net);
  Join(net, object.Handle);
}

void ApplyStep(const TIndexTables& tables, Step step, TPCBObject& object) {
  switch (step) {
    case Step::kNet:
      LinkNet(tables, object);
      break;
    case Step::kPolygonOrNet: {
      // A primitive poured as part of a polygon belongs to the polygon, not to a net.
      const std::uint32_t polygon = tables.Lookup(Table::kPolygon, object.GetPolygonLink());
      object.SetPolygonLink(AsLink(polygon));
      if (Join(polygon, object.Handle) != 0) {
        object.Net = 0;
      } else {
        LinkNet(tables, object);
      }
      break;
    }
    case Step::kCoordinate: {
      const std::uint32_t coordinate = tables.Lookup(Table::kCoordinate, object.GetCoordinateLink());
      object.SetCoordinateLink(AsLink(coordinate));
      Join(coordinate, object.Handle);
      break;
    }
    case Step::kDimension: {
      const std::uint32_t dimension = tables.Lookup(Table::kDimension, object.GetDimensionLink());
      object.SetDimensionLink(AsLink(dimension));
      Join(dimension, object.Handle);
      break;
    }
    case Step::kNetFieldOnly:
      // Polygons and split planes name their net but are not its members.
      object.Net = AsLink(tables.Lookup(Table::kNet, object.Net));
      break;
  }
}

// The wrapper a row's steps need. A pad's only link is its Net, which the primitive record every
// object shares (TPCBObject, PcbApi_QueryPrimitive) carries: the pad's own record would also load
// its shape, size and corner on each of 83 layers, 332 host calls, for nothing the step changes.
// Every other kind gets the wrapper of its kind.
std::unique_ptr<TPCBObject> LinkWrapper(const KindSteps& row, std::uint32_t handle) {
  if (row.kind == ObjectKind::kPad) return std::make_unique<TPCBObject>(handle);  // asks the host for the kind
  const auto kind = static_cast<std::uint8_t>(host::PcbApi_GetObjectIdFromObjectHandle(handle) & 0x7F);
  return MakeWrapper(kind, handle);
}

// One object's steps through one wrapper: loaded, every link field of the row changed and its
// owners joined, stored once, freed. A wrapper per step would load and store the same fields
// again for each step.
void LinkObject(const TIndexTables& tables, const KindSteps& row, std::uint32_t handle) {
  if (handle == 0) return;
  const std::unique_ptr<TPCBObject> object = LinkWrapper(row, handle);
  // An object the host does not load stays as the host holds it, unlinked: stored, the wrapper's
  // empty fields would be written over it.
  if (!object || object->Load() != 0) return;
  for (int i = 0; i < row.count; ++i) ApplyStep(tables, row.steps[static_cast<std::size_t>(i)], *object);
  object->Store();
}

}  // namespace

void LinkPass(const TIndexTables& tables, std::uint32_t board_handle) {
  TPcbBoard board(board_handle);
  board.Load();
  const std::bitset<88> layers = LinkLayers();
  for (const KindSteps& row : kLinkOrder) {
    std::bitset<32> kinds;
    kinds.set(KindCode(row.kind));
    board.IterateObjects([&](std::uint32_t object) { LinkObject(tables, row, object); }, kinds, 0, layers);
  }
}
