// Layouts of the records of the text PCB file at each format level: which values a record holds
// from which level and how they fall into lines. The callers choose the values; this module
// only writes them, in the file unit of the level.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "boardgen/line_writer.h"

namespace boardgen {

// All lengths below are in 1/1000 mil. Layers are file layer numbers.
struct TrackRecord {
  int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0, width = 0;
  int layer = 1, net = 0, polygon = 0, coordinate = 0, dimension = 0, tag = 0;
};

struct ArcRecord {
  int64_t cx = 0, cy = 0, radius = 0, width = 0;
  double start_angle = 0, end_angle = 0;
  int layer = 1, net = 0, polygon = 0, tag = 0;
};

struct ViaRecord {
  int64_t x = 0, y = 0, size = 0, hole = 0;
  int pair_code = 0;                   // below level 10
  int low_layer = 1, high_layer = 16;  // level 10
  int net = 0, tag = 0;
};

// Below level 7 only the top size and shape are written.
struct PadRecord {
  int64_t x = 0, y = 0, hole = 0;
  int64_t x_size[3] = {}, y_size[3] = {};  // top, middle, bottom
  int shape[3] = {1, 1, 1};
  int connect_style = 0, layer = 34, net = 0, tag = 0;
  double rotation = 0;
  int32_t solder_mask = 0, paste_mask = 0, connect1 = 0, connect2 = 0, plane_clearance = 0, connect3 = 0;
  std::string_view name;
};

struct FillRecord {
  int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int layer = 1, net = 0, polygon = 0, tag = 0;
  double rotation = 0;
};

struct StringRecord {
  int64_t x = 0, y = 0, height = 0, width = 0;  // width from level 9
  double rotation = 0;
  int mirrored = 0, font = 0, layer = 17, tag = 0, coordinate = 0, dimension = 0;
  std::string_view text;
};

// Outline vertex; the edge from this vertex to the next is an arc when `arc` is set.
struct PolygonVertex {
  int64_t x = 0, y = 0;
  bool arc = false;
  int64_t cx = 0, cy = 0, radius = 0;
  double start_angle = 0, end_angle = 0;
};

struct PolygonRecord {
  int layer = 1, net = 0;
  int number = 0;  // the record's own sequence number, repeated in its embedded arcs
  bool flags[5] = {true, false, true, false, true};
  int64_t grid = 0, track = 0, min_length = 0;
  std::span<const PolygonVertex> vertices;  // n + 1, the last equal to the first
};

struct CoordinateRecord {
  int64_t x = 0, y = 0;
  int layer = 29, style = 0;
  int32_t values[5] = {};
};

struct DimensionRecord {
  int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int layer = 29, style = 0;
  int32_t values[5] = {};
};

struct ComponentHead {
  std::string_view pattern;
  int64_t x = 0, y = 0;
  int name_shown = 1, comment_shown = 0, tag = 0, extra = 0, layer = 1;
  double rotation = 0;
};

struct NetRecord {
  std::string_view name;
  int32_t width = 0, via_size = 0;
  int topology = 0, priority = 0, plane_layer = 0;
  uint64_t attribute = 0;
  std::span<const std::string_view> members;
};

class RecordWriter {
 public:
  RecordWriter(LineWriter& out, int level) : out_(out), level_(level) {}

  // `nested` writes the component form of the keyword (CT, CA, CV, CP, CF, CS).
  void Track(const TrackRecord& r, bool nested);
  void Arc(const ArcRecord& r, bool nested);
  void Via(const ViaRecord& r, bool nested);
  void Pad(const PadRecord& r, bool nested);
  void Fill(const FillRecord& r, bool nested);
  void String(const StringRecord& r, bool nested);
  void Polygon(const PolygonRecord& r);
  void Coordinate(const CoordinateRecord& r);
  void Dimension(const DimensionRecord& r);
  // COMP line to the comment's body; the nested records and EndComponent follow.
  void ComponentStart(const ComponentHead& head, const StringRecord& designator, const StringRecord& comment);
  void EndComponent();
  void NetDef(const NetRecord& r);

 private:
  // A length of a primitive or component record: whole mils at levels 0 and 1.
  void Length(int64_t fine) { out_.Int(level_ <= 1 ? fine / 1000 : fine); }
  void StringBody(const StringRecord& r);
  void ArcValues(const ArcRecord& r);

  LineWriter& out_;
  int level_;
};

}  // namespace boardgen
