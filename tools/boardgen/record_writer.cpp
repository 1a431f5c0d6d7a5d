// Record layouts per format level (see record_writer.h). Each function shows a sample of the
// record it writes at level 10; values marked "0" in the samples are ones the format ignores.
#include "boardgen/record_writer.h"

namespace boardgen {

// FT
// 0 0 x1 y1 x2 y2 width layer 0 net 0
// polygon 0 tag coordinate dimension
void RecordWriter::Track(const TrackRecord& r, bool nested) {
  out_.Line(nested ? "CT" : "FT");
  out_.Int(0);
  out_.Int(0);
  Length(r.x1);
  Length(r.y1);
  Length(r.x2);
  Length(r.y2);
  Length(r.width);
  out_.Int(r.layer);
  out_.Int(0);
  out_.Int(r.net);
  out_.Int(0);
  out_.EndLine();
  if (level_ < 2) return;
  out_.Int(r.polygon);
  if (level_ >= 9) {
    out_.Int(0);
    out_.Int(r.tag);
  }
  if (level_ >= 10) {
    out_.Int(r.coordinate);
    out_.Int(r.dimension);
  }
  out_.EndLine();
}

// The arc's first value line, shared with the arcs embedded in polygon outlines.
void RecordWriter::ArcValues(const ArcRecord& r) {
  out_.Int(0);
  out_.Int(0);
  Length(r.cx);
  Length(r.cy);
  Length(r.radius);
  out_.Real(r.start_angle);
  out_.Real(r.end_angle);
  Length(r.width);
  out_.Int(r.layer);
  out_.Int(r.net);
  out_.Int(0);
  out_.EndLine();
}

// FA
// 0 0 cx cy radius start end width layer net 0
// polygon tag
void RecordWriter::Arc(const ArcRecord& r, bool nested) {
  out_.Line(nested ? "CA" : "FA");
  ArcValues(r);
  if (level_ < 2) return;
  out_.Int(r.polygon);
  if (level_ >= 9) out_.Int(r.tag);
  out_.EndLine();
}

// FV
// 0 0 x y size hole 0 pair_code net 0 0 0 tag 0 0 low_layer high_layer
void RecordWriter::Via(const ViaRecord& r, bool nested) {
  out_.Line(nested ? "CV" : "FV");
  out_.Int(0);
  out_.Int(0);
  Length(r.x);
  Length(r.y);
  Length(r.size);
  Length(r.hole);
  out_.Int(0);
  out_.Int(r.pair_code);
  out_.Int(r.net);
  out_.Int(0);
  if (level_ >= 9) {
    out_.Int(0);
    out_.Int(0);
    out_.Int(r.tag);
  }
  if (level_ >= 10) {
    out_.Int(0);
    out_.Int(0);
    out_.Int(r.low_layer);
    out_.Int(r.high_layer);
  }
  out_.EndLine();
}

// FP (levels 0 to 6: one size and shape for all layers)
// 0 0 x y x_size y_size shape hole connect layer net 0
// name
// FP (level 7 on: top, middle, bottom; level 9 adds rotation and rule values, level 10 seven zeros)
// 0 0 x y xt yt st xm ym sm xb yb sb hole connect layer net 0 rot solder paste c1 c2 clear c3 tag 0 0 0 0 0 0 0
// name
void RecordWriter::Pad(const PadRecord& r, bool nested) {
  out_.Line(nested ? "CP" : "FP");
  out_.Int(0);
  out_.Int(0);
  Length(r.x);
  Length(r.y);
  const int layer_sizes = level_ >= 7 ? 3 : 1;
  for (int i = 0; i < layer_sizes; ++i) {
    Length(r.x_size[i]);
    Length(r.y_size[i]);
    out_.Int(r.shape[i]);
  }
  Length(r.hole);
  out_.Int(r.connect_style);
  out_.Int(r.layer);
  out_.Int(r.net);
  out_.Int(0);
  if (level_ >= 9) {
    out_.Real(r.rotation);
    out_.Int(r.solder_mask);
    out_.Int(r.paste_mask);
    out_.Int(r.connect1);
    out_.Int(r.connect2);
    out_.Int(r.plane_clearance);
    out_.Int(r.connect3);
    out_.Int(r.tag);
  }
  if (level_ >= 10) {
    for (int i = 0; i < 7; ++i) out_.Int(0);
  }
  out_.EndLine();
  out_.Line(r.name);
}

// FF
// 0 0 x1 y1 x2 y2 layer net
// polygon tag rotation
void RecordWriter::Fill(const FillRecord& r, bool nested) {
  out_.Line(nested ? "CF" : "FF");
  out_.Int(0);
  out_.Int(0);
  Length(r.x1);
  Length(r.y1);
  Length(r.x2);
  Length(r.y2);
  out_.Int(r.layer);
  out_.Int(r.net);
  out_.EndLine();
  if (level_ < 3) return;
  out_.Int(r.polygon);
  if (level_ >= 9) out_.Int(r.tag);
  if (level_ >= 10) out_.Real(r.rotation);
  out_.EndLine();
}

// The string body after its keyword line, also used for a component's designator and comment:
// 0 0 x y height rotation mirrored font layer 0 0 0 0 width tag coordinate dimension
// text
void RecordWriter::StringBody(const StringRecord& r) {
  out_.Int(0);
  out_.Int(0);
  Length(r.x);
  Length(r.y);
  Length(r.height);
  out_.Real(r.rotation);
  out_.Int(r.mirrored);
  out_.Int(r.font);
  out_.Int(r.layer);
  if (level_ >= 1) {
    for (int i = 0; i < 4; ++i) out_.Int(0);
  }
  if (level_ >= 9) {
    Length(r.width);
    out_.Int(r.tag);
  }
  if (level_ >= 10) {
    out_.Int(r.coordinate);
    out_.Int(r.dimension);
  }
  out_.EndLine();
  out_.Line(r.text);
}

void RecordWriter::String(const StringRecord& r, bool nested) {
  out_.Line(nested ? "CS" : "FS");
  StringBody(r);
}

// PG: layer, net, flags, sizes, n, n + 1 vertex lines, the arc flag line, then one FA-style
// arc per arc edge. Outlines use 1/1000 mil at every level.
void RecordWriter::Polygon(const PolygonRecord& r) {
  out_.Line("PG");
  out_.Int(r.layer);
  out_.EndLine();
  out_.Int(r.net);
  out_.EndLine();
  for (int i = 0; i < 4; ++i) out_.Int(r.flags[i] ? 1 : 0);
  if (level_ >= 4) out_.Int(0);
  if (level_ >= 8) out_.Int(r.flags[4] ? 1 : 0);
  out_.EndLine();
  out_.Int(r.grid);
  out_.Int(r.track);
  if (level_ >= 10) {
    out_.Int(r.min_length);
    out_.Int(0);
  }
  out_.EndLine();
  const auto edges = static_cast<int64_t>(r.vertices.size()) - 1;
  out_.Int(edges);
  out_.EndLine();
  for (const PolygonVertex& v : r.vertices) {
    out_.Int(v.x);
    out_.Int(v.y);
    out_.EndLine();
  }
  out_.Int(0);
  for (int64_t i = 0; i < edges; ++i) out_.Int(r.vertices[i].arc ? 1 : 0);
  out_.EndLine();
  for (int64_t i = 0; i < edges; ++i) {
    const PolygonVertex& v = r.vertices[i];
    if (!v.arc) continue;
    out_.Line("FA");
    out_.Int(0);
    out_.Int(0);
    out_.Int(v.cx);
    out_.Int(v.cy);
    out_.Int(v.radius);
    out_.Real(v.start_angle);
    out_.Real(v.end_angle);
    out_.Int(r.track);
    out_.Int(r.layer);
    out_.Int(r.net);
    out_.Int(0);
    out_.EndLine();
    if (level_ >= 2) {
      out_.Int(r.number);
      if (level_ >= 9) out_.Int(0);
      out_.EndLine();
    }
  }
}

// FD
// x y layer v1 v2 v3 v4 v5 style      (1/1000 mil at every level)
void RecordWriter::Coordinate(const CoordinateRecord& r) {
  out_.Line("FD");
  out_.Int(r.x);
  out_.Int(r.y);
  out_.Int(r.layer);
  for (int32_t v : r.values) out_.Int(v);
  out_.Int(r.style);
  out_.EndLine();
}

// FI
// x1 y1 x2 y2 layer v1 v2 v3 v4 v5 style      (1/1000 mil at every level)
void RecordWriter::Dimension(const DimensionRecord& r) {
  out_.Line("FI");
  out_.Int(r.x1);
  out_.Int(r.y1);
  out_.Int(r.x2);
  out_.Int(r.y2);
  out_.Int(r.layer);
  for (int32_t v : r.values) out_.Int(v);
  out_.Int(r.style);
  out_.EndLine();
}

// COMP
// pattern
// 0 0 x y name_shown comment_shown tag^1 0 0 0 0 rotation tag extra layer
// CS
// designator string body
// CS
// comment string body
void RecordWriter::ComponentStart(const ComponentHead& head, const StringRecord& designator,
                                  const StringRecord& comment) {
  out_.Line("COMP");
  out_.Line(head.pattern);
  out_.Int(0);
  out_.Int(0);
  Length(head.x);
  Length(head.y);
  out_.Int(head.name_shown);
  out_.Int(head.comment_shown);
  // Before version 2.70 the tag was written with its lowest bit inverted.
  out_.Int(head.tag ^ 1);
  if (level_ >= 1) {
    for (int i = 0; i < 4; ++i) out_.Int(0);
  }
  if (level_ >= 9) {
    out_.Real(head.rotation);
    out_.Int(head.tag);
    out_.Int(head.extra);
  }
  if (level_ >= 10) out_.Int(head.layer);
  out_.EndLine();
  out_.Line("CS");
  StringBody(designator);
  out_.Line("CS");
  StringBody(comment);
}

void RecordWriter::EndComponent() { out_.Line("ENDCOMP"); }

// NETDEF
// name
// width via_size topology priority
// (
// U1-1
// )
// {
// }
// 0 0 0
// plane_layer attribute 0
void RecordWriter::NetDef(const NetRecord& r) {
  out_.Line("NETDEF");
  out_.Line(r.name);
  if (level_ >= 1) {
    out_.Int(r.width);
    out_.Int(r.via_size);
    out_.Int(r.topology);
    out_.Int(r.priority);
    out_.EndLine();
  }
  out_.Line("(");
  for (std::string_view member : r.members) out_.Line(member);
  out_.Line(")");
  out_.Line("{");
  out_.Line("}");
  if (level_ >= 3) {
    out_.Int(0);
    out_.Int(0);
    if (level_ >= 4) out_.Int(0);
    out_.EndLine();
  }
  if (level_ >= 5) {
    out_.Int(r.plane_layer);
    if (level_ >= 9) {
      out_.UInt(r.attribute);
      out_.Int(0);
    }
    out_.EndLine();
  }
}

}  // namespace boardgen
