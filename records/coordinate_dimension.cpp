// Readers of the FD (coordinate marker) and FI (dimension) records. Both are group objects that
// tracks and strings join later by number; both are written in 1/1000 mil at every level.
#include "records/conventions.h"
#include "records/reader_support.h"
#include "records/readers.h"

using namespace records;

// X, Y, layer, five values for the host, style.
//   FD
//   150000 200000 17 1500 0 0 10000 60000 1
std::uint32_t ReadCoordinate(ReadContext& context) {
  auto coordinate = CreateRecord<TCoordinate>(context, ObjectKind::kCoordinate);
  TInput& in = context.input;
  coordinate->X = in.ReadInt();
  coordinate->Y = in.ReadInt();
  const std::int32_t layer = in.ReadInt();
  for (auto& value : coordinate->CoordinateValues) value = in.ReadInt();
  coordinate->CoordinateStyle = LowByte(in.ReadInt());
  in.LineEnd();
  coordinate->SetLayerNumber(MapFileLayer(layer));
  coordinate->Index = context.tables.Next(TIndexTables::Sequence::kCoordinate);
  coordinate->ScaleToHostUnits();
  const std::uint32_t handle = StoreRecord(*coordinate);
  context.tables.Enter(TIndexTables::Table::kCoordinate, handle);
  return handle;
}

// Start X, Y, end X, Y, layer, five values for the host, style.
//   FI
//   100000 100000 400000 100000 29 3000 0 10000 60000 0 1
std::uint32_t ReadDimension(ReadContext& context) {
  auto dimension = CreateRecord<TDimension>(context, ObjectKind::kDimension);
  TInput& in = context.input;
  dimension->X = in.ReadInt();
  dimension->Y = in.ReadInt();
  dimension->X2 = in.ReadInt();
  dimension->Y2 = in.ReadInt();
  const std::int32_t layer = in.ReadInt();
  for (auto& value : dimension->DimensionValues) value = in.ReadInt();
  dimension->DimensionStyle = LowByte(in.ReadInt());
  in.LineEnd();
  dimension->SetLayerNumber(MapFileLayer(layer));
  dimension->Index = context.tables.Next(TIndexTables::Sequence::kDimension);
  dimension->ScaleToHostUnits();
  const std::uint32_t handle = StoreRecord(*dimension);
  context.tables.Enter(TIndexTables::Table::kDimension, handle);
  return handle;
}
