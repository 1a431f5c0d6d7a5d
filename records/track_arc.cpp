// Readers of the FT (track) and FA (arc) records.
#include "records/conventions.h"
#include "records/reader_support.h"
#include "records/readers.h"

using namespace records;

// A level 10 track: leading pair, X, Y, X2, Y2, width, layer, (ignored), net, (ignored); then
// polygon, (ignored), tag, coordinate, dimension. The second line exists from level 2 on.
//   FT
//   0 0 1000 2000 3000 2000 10000 1 0 3 0
//   0 0 0 0 0
std::uint32_t ReadTrack(ReadContext& context) {
  auto track = CreateRecord<TTrack>(context, ObjectKind::kTrack);
  TInput& in = context.input;
  const std::int32_t level = context.format_level;
  SkipInts(in, 2);
  track->X = in.ReadInt();
  track->Y = in.ReadInt();
  track->X2 = in.ReadInt();
  track->Y2 = in.ReadInt();
  track->Width = in.ReadInt();
  const std::int32_t layer = in.ReadInt();
  SkipInts(in, 1);
  const std::int32_t net = in.ReadInt();
  SkipInts(in, 1);
  in.LineEnd();
  track->SetLayerNumber(MapFileLayer(layer));
  if (level >= 2) {
    track->Polygon = in.ReadInt();
    if (level >= 9) {
      SkipInts(in, 1);
      track->Tag = LowByte(in.ReadInt());
    }
    if (level >= 10) {
      track->Coordinate = in.ReadInt();
      track->Dimension = in.ReadInt();
    }
    in.LineEnd();
  }
  track->Net = net;
  track->Flags = 0;
  track->ScaleToHostUnits(context.old_format);
  return StoreRecord(*track);
}

// A level 10 arc: leading pair, centre X, Y, radius, start and end angle, width, layer, net,
// (ignored); then polygon and tag. The second line exists from level 2 on.
//   FA
//   0 0 5000 5000 2500 0.000 90.000 1000 1 0 0
//   0 0
std::uint32_t ReadArc(ReadContext& context) {
  auto arc = CreateRecord<TArc>(context, ObjectKind::kArc);
  TInput& in = context.input;
  const std::int32_t level = context.format_level;
  SkipInts(in, 2);
  arc->X = in.ReadInt();
  arc->Y = in.ReadInt();
  arc->Radius = in.ReadInt();
  arc->StartAngle = in.ReadReal();
  arc->EndAngle = in.ReadReal();
  arc->Width = in.ReadInt();
  const std::int32_t layer = in.ReadInt();
  const std::int32_t net = in.ReadInt();
  SkipInts(in, 1);
  in.LineEnd();
  arc->SetLayerNumber(MapFileLayer(layer));
  if (level >= 2) {
    arc->Polygon = in.ReadInt();
    if (level >= 9) arc->Tag = LowByte(in.ReadInt());
    in.LineEnd();
  }
  // The format writes a full circle as 0 to 0; the host wants 0 to 360.
  if (arc->StartAngle == 0.0 && arc->EndAngle == 0.0) arc->EndAngle = 360.0;
  arc->Net = net;
  arc->Flags = 0;
  arc->ScaleToHostUnits(context.old_format);
  return StoreRecord(*arc);
}
