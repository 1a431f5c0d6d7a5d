// Reader of the PG record: a polygon pour, or a split plane on one of the first four internal
// planes, with an outline whose edges may be arcs.
#include <algorithm>
#include <array>

#include "records/conventions.h"
#include "records/reader_support.h"
#include "records/readers.h"

using namespace records;

namespace {

constexpr std::int32_t kLastSegment = kSegmentCount - 1;

// The outline as read, before the layer decides the host object's kind.
struct Outline {
  std::int32_t point_count = 0;  // as stored: n, cut to the array's last entry
  std::array<TSegment, kSegmentCount> segments;
  std::array<bool, kSegmentCount> is_arc;
};

// One embedded arc record (its keyword line already skipped) into segment s: the same two
// lines as an FA record, of which only the centre, radius and angles count.
void ReadArcSegment(TInput& in, std::int32_t level, TSegment& s) {
  SkipInts(in, 2);
  const std::int32_t centre_x = in.ReadInt();
  const std::int32_t centre_y = in.ReadInt();
  const std::int32_t radius = in.ReadInt();
  double start = in.ReadReal();
  double end = in.ReadReal();
  SkipInts(in, 4);
  in.LineEnd();
  if (level >= 2) {
    SkipInts(in, level >= 9 ? 2 : 1);
    in.LineEnd();
  }
  // Both a zero-length sweep and an end at 0 mean the full turn to the host.
  if (start == end) {
    start = 0.0;
    end = 360.0;
  }
  if (end == 0.0) end = 360.0;
  s.SegmentKind = 1;
  s.CentreX = centre_x;
  s.CentreY = centre_y;
  s.Radius = radius;
  s.StartAngle = start;
  s.EndAngle = end;
}

// Vertex lines, the arc flag line and the embedded arc records of an outline of n edges.
//
// The host's array ends at segment 5000. A longer outline is still read to its end, so the file
// stays in step, but only segments 0 to 5000 are kept (the rest, their flags and their arc
// records are read and dropped). A count beyond what the file holds stops at the end of the
// data instead of reading zeros for billions of vertices. A negative count reads no vertex and
// no flag, and is kept as it is: an outline with no segment.
void ReadOutline(TInput& in, std::int32_t level, std::int32_t n, Outline& outline) {
  const std::int64_t edges = n;
  outline.point_count = static_cast<std::int32_t>(std::min<std::int64_t>(edges, kLastSegment));
  const std::int64_t kept = std::clamp<std::int64_t>(edges + 1, 0, kSegmentCount);
  std::fill_n(outline.segments.begin(), kept, TSegment{});
  std::fill_n(outline.is_arc.begin(), kept, false);

  for (std::int64_t i = 0; i <= edges && !in.AtEnd(); ++i) {
    const std::int32_t x = in.ReadInt();
    const std::int32_t y = in.ReadInt();
    in.LineEnd();
    if (i < kept) {
      outline.segments[static_cast<std::size_t>(i)].X = x;
      outline.segments[static_cast<std::size_t>(i)].Y = y;
    }
  }

  SkipInts(in, 1);
  std::int64_t dropped_arcs = 0;
  for (std::int64_t i = 0; i < edges && !in.AtEnd(); ++i) {
    const bool arc = in.ReadInt() != 0;
    if (i < kept) {
      outline.is_arc[static_cast<std::size_t>(i)] = arc;
    } else if (arc) {
      ++dropped_arcs;
    }
  }
  in.LineEnd();

  for (std::int64_t i = 0; i < kept && i < edges; ++i) {
    if (!outline.is_arc[static_cast<std::size_t>(i)]) continue;
    in.LineEnd();
    ReadArcSegment(in, level, outline.segments[static_cast<std::size_t>(i)]);
  }
  TSegment scratch{};
  for (std::int64_t i = 0; i < dropped_arcs && !in.AtEnd(); ++i) {
    in.LineEnd();
    ReadArcSegment(in, level, scratch);
  }
}

// Flags 2 and 3 of the record select the hatching.
std::uint8_t HatchStyleOf(bool flag2, bool flag3) {
  if (flag3) return flag2 ? 0 : 2;
  return flag2 ? 3 : 4;
}

template <typename Record>
void CopyOutline(const Outline& outline, Record& record) {
  record.PointCount = outline.point_count;
  const std::int32_t kept = std::clamp<std::int32_t>(outline.point_count + 1, 0, kSegmentCount);
  std::copy_n(outline.segments.begin(), kept, record.Segments.begin());
}

}  // namespace

// Layer, net, flags 1 to 5 (with an ignored value from level 4), grid and track size (level 10:
// minimum primitive length and an ignored value), the count n, n + 1 vertex lines, a line with
// an ignored value and n arc flags, then one FA-like record per arc:
//   PG
//   1
//   3
//   1 0 0 0 0 1
//   10000 8000 3000 0
//   4
//   0 0
//   10000 0
//   10000 10000
//   0 10000
//   0 0
//   0 0 0 0 0
std::uint32_t ReadPolygon(ReadContext& context) {
  if (context.abort) return 0;
  TInput& in = context.input;
  const std::int32_t level = context.format_level;
  const std::uint8_t layer = MapFileLayer(in.ReadInt());
  in.LineEnd();
  const std::int32_t net = in.ReadInt();
  in.LineEnd();
  const bool flag1 = in.ReadInt() != 0;
  const bool flag2 = in.ReadInt() != 0;
  const bool flag3 = in.ReadInt() != 0;
  const bool flag4 = in.ReadInt() != 0;
  if (level >= 4) SkipInts(in, 1);
  // Files before version 2.60 have no fifth flag; the host's default is on.
  const bool flag5 = level >= 8 ? in.ReadInt() != 0 : true;
  in.LineEnd();
  const std::int32_t grid_size = in.ReadInt();
  const std::int32_t track_size = in.ReadInt();
  std::int32_t min_prim_length = 0;
  if (level >= 10) {
    min_prim_length = in.ReadInt();
    SkipInts(in, 1);
  }
  in.LineEnd();
  const std::int32_t n = in.ReadInt();
  in.LineEnd();

  // One outline buffer for the run's thread: the record is read whole before the host object
  // exists, and the buffer is too large for the stack.
  static Outline outline;
  ReadOutline(in, level, n, outline);

  std::uint32_t handle = 0;
  if (layer >= host_layer::kInternalPlane1 && layer <= host_layer::kInternalPlane4) {
    auto plane = CreateRecord<TSplitPlane>(context, ObjectKind::kSplitPlane);
    plane->SetLayerNumber(layer);
    plane->Net = net;
    CopyOutline(outline, *plane);
    plane->Index = context.tables.Next(TIndexTables::Sequence::kPolygon);
    plane->ScaleToHostUnits();
    context.split_plane_nets.push_back(net);
    handle = StoreRecord(*plane);
  } else {
    auto polygon = CreateRecord<TPolygon>(context, ObjectKind::kPolygon);
    polygon->SetLayerNumber(layer);
    polygon->Net = net;
    polygon->PolygonFlag1 = flag1;
    polygon->PolygonFlag4 = flag4;
    polygon->PolygonFlag5 = flag5;
    polygon->GridSize = grid_size;
    polygon->TrackSize = track_size;
    polygon->MinPrimLength = min_prim_length;
    CopyOutline(outline, *polygon);
    polygon->Index = context.tables.Next(TIndexTables::Sequence::kPolygon);
    polygon->ScaleToHostUnits();
    polygon->HatchStyle = HatchStyleOf(flag2, flag3);
    handle = StoreRecord(*polygon);
  }
  context.tables.Enter(TIndexTables::Table::kPolygon, handle);
  return handle;
}
