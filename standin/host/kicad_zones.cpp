// Polygons, split planes, copper fills and internal planes as KiCad zones.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "standin/host/kicad_board.h"

namespace kicad {
namespace {

using nlohmann::json;

// Zone settings KiCad needs and the host's rules may not give: 0.2 mm clearance (KiCad's own
// default net class), fills at least 0.254 mm wide, 0.508 mm thermal gaps and spokes.
constexpr double kDefaultClearance = 0.2 * kHostUnitsPerMm;
constexpr double kMinThickness = 0.254 * kHostUnitsPerMm;
constexpr double kDefaultThermal = 0.508 * kHostUnitsPerMm;

// Priorities: plane zones under split planes under polygons under fills.
constexpr int kPlanePriority = 0, kSplitPlanePriority = 1, kPolygonPriority = 1, kFillPriority = 2;

Point Vertex(const json& segment) {
  return {static_cast<double>(Length(segment, "X")), static_cast<double>(Length(segment, "Y"))};
}

bool Same(Point a, Point b) { return std::lround(a.x) == std::lround(b.x) && std::lround(a.y) == std::lround(b.y); }

// The outline of a polygon or split plane as points: vertices 0 to PointCount, an arc edge
// (its fields on the vertex where it starts) as chords. The arc runs counter-clockwise from its
// start to its end angle; it is followed in whichever direction joins its ends to the edge's
// two vertices.
std::vector<Point> OutlinePoints(const json& outline) {
  std::vector<Point> points;
  const auto segments = outline.find("Segments");
  const std::int64_t point_count = Int(outline, "PointCount");
  if (segments == outline.end() || !segments->is_array() || point_count < 1) return points;
  const std::size_t count = std::min<std::size_t>(segments->size(), static_cast<std::size_t>(point_count) + 1);
  auto push = [&](Point p) {
    if (points.empty() || !Same(points.back(), p)) points.push_back(p);
  };
  for (std::size_t i = 0; i < count; ++i) {
    const json& segment = (*segments)[i];
    const Point vertex = Vertex(segment);
    push(vertex);
    const double radius = Length(segment, "Radius");
    if (Int(segment, "SegmentKind") != 1 || radius <= 0) continue;
    const Point next = Vertex((*segments)[i + 1 < count ? i + 1 : 0]);
    const Point centre{static_cast<double>(Length(segment, "CentreX")), static_cast<double>(Length(segment, "CentreY"))};
    const double start = std::fmod(Real(segment, "StartAngle"), 360.0);
    double sweep = ArcSweep(start, std::fmod(Real(segment, "EndAngle"), 360.0));
    if (sweep == 0) sweep = 360.0;
    const Point a = OnCircle(centre, radius, start), b = OnCircle(centre, radius, start + sweep);
    const double forward = std::hypot(vertex.x - a.x, vertex.y - a.y) + std::hypot(next.x - b.x, next.y - b.y);
    const double backward = std::hypot(vertex.x - b.x, vertex.y - b.y) + std::hypot(next.x - a.x, next.y - a.y);
    const auto chords = forward <= backward ? ArcChords(centre, radius, start, sweep)
                                            : ArcChords(centre, radius, start + sweep, -sweep);
    for (const Point p : chords) push(p);
  }
  while (points.size() > 1 && Same(points.front(), points.back())) points.pop_back();
  return points;
}

}  // namespace

void BoardWriter::IncludeExtent(const json& object) {
  auto include = [&](double x, double y) {
    if (extent_empty_) {
      min_ = max_ = {x, y};
      extent_empty_ = false;
      return;
    }
    min_ = {std::min(min_.x, x), std::min(min_.y, y)};
    max_ = {std::max(max_.x, x), std::max(max_.y, y)};
  };
  switch (Int(object, "ObjectId")) {
    case kTrackKind:
    case kFillKind:
    case kDimensionKind: include(Length(object, "X2"), Length(object, "Y2")); [[fallthrough]];
    case kArcKind:
    case kPadKind:
    case kViaKind:
    case kTextKind:
    case kCoordinateKind:
    case kComponentKind: include(Length(object, "X"), Length(object, "Y")); break;
    case kPolygonKind:
    case kSplitPlaneKind:
      for (const Point p : OutlinePoints(object)) include(p.x, p.y);
      break;
    default: break;
  }
}

void BoardWriter::Zone(std::string& out, int net, std::string_view layer, int priority, bool solid,
                       std::int32_t clearance, const std::vector<Point>& outline) {
  const Placement board;
  out += "  (zone (net " + std::to_string(net) + ") (net_name " + Quoted(net_names_[static_cast<std::size_t>(net)]) +
         ")";
  if (layer == "Edge.Cuts") {
    // A polygon on the keep-out layer keeps copper out of its area on every copper layer.
    out += " (layers \"*.Cu\") (hatch edge 0.508)\n    (connect_pads (clearance 0))\n    (min_thickness " +
           Mm(kMinThickness) +
           ")\n    (keepout (tracks not_allowed) (vias not_allowed) (pads allowed) (copperpour not_allowed) "
           "(footprints allowed))\n";
  } else {
    out += " (layer " + Quoted(layer) + ") (hatch edge 0.508)\n";
    if (priority > 0) out += "    (priority " + std::to_string(priority) + ")\n";
    out += std::string("    (connect_pads") + (solid ? " yes" : "") + " (clearance " + Mm(clearance) + "))\n";
    out += "    (min_thickness " + Mm(kMinThickness) + ")\n";
  }
  std::int32_t gap = static_cast<std::int32_t>(kDefaultThermal), spoke = gap;
  if (rules_.plane_connect) {
    if (rules_.plane_connect->thermal_gap > 0) gap = rules_.plane_connect->thermal_gap;
    if (rules_.plane_connect->thermal_width > 0) spoke = rules_.plane_connect->thermal_width;
  }
  out += "    (fill (thermal_gap " + Mm(gap) + ") (thermal_bridge_width " + Mm(spoke) + "))\n";
  out += "    (polygon (pts";
  for (std::size_t i = 0; i < outline.size(); ++i) {
    out += i % 4 == 0 ? "\n      " : " ";
    out += "(xy " + board.XY(outline[i]) + ")";
  }
  out += "))\n  )\n";
  ++counts_.zones;
}

void BoardWriter::WriteOutlineZone(std::string& out, const json& outline) {
  const std::uint8_t layer = LayerOf(outline);
  const std::string_view name = layers_->NameOf(layer);
  const std::vector<Point> points = OutlinePoints(outline);
  if (name.empty() || points.size() < 3) {
    ++counts_.left_out;
    return;
  }
  const bool copper = layers_->IsCopper(layer);
  const bool split = Int(outline, "ObjectId") == kSplitPlaneKind;
  const auto general = static_cast<std::int32_t>(rules_.clearance.value_or(static_cast<std::int32_t>(kDefaultClearance)));
  const std::int32_t clearance = split ? rules_.plane_clearance.value_or(general) : general;
  Zone(out, copper ? NetOf(outline) : 0, name, split ? kSplitPlanePriority : kPolygonPriority, false, clearance,
       points);
}

void BoardWriter::WriteFillZone(std::string& out, const json& fill) {
  const Point a{static_cast<double>(Length(fill, "X")), static_cast<double>(Length(fill, "Y"))};
  const Point b{static_cast<double>(Length(fill, "X2")), static_cast<double>(Length(fill, "Y2"))};
  if (a.x == b.x || a.y == b.y) {
    ++counts_.left_out;
    return;
  }
  const Point centre{(a.x + b.x) / 2, (a.y + b.y) / 2};
  const double r = Real(fill, "Rotation") * std::numbers::pi / 180.0, c = std::cos(r), s = std::sin(r);
  std::vector<Point> corners;
  for (const Point corner : {a, Point{b.x, a.y}, b, Point{a.x, b.y}}) {
    const double dx = corner.x - centre.x, dy = corner.y - centre.y;
    corners.push_back({centre.x + dx * c - dy * s, centre.y + dx * s + dy * c});
  }
  // A fill is solid copper joined to whatever touches it.
  Zone(out, NetOf(fill), layers_->NameOf(LayerOf(fill)), kFillPriority, true,
       rules_.clearance.value_or(static_cast<std::int32_t>(kDefaultClearance)), corners);
}

void BoardWriter::WritePlaneZones(std::string& out) {
  if (extent_empty_) return;
  const std::vector<Point> board{min_, {max_.x, min_.y}, max_, {min_.x, max_.y}};
  if (min_.x == max_.x || min_.y == max_.y) return;
  for (std::uint8_t plane = kFirstPlane; plane <= kLastPlane; ++plane) {
    if (plane_nets_[plane].empty() || !layers_->IsCopper(plane)) continue;
    const auto net = std::find(net_names_.begin(), net_names_.end(), plane_nets_[plane]) - net_names_.begin();
    Zone(out, static_cast<int>(net), layers_->NameOf(plane), kPlanePriority, false,
         rules_.plane_clearance.value_or(rules_.clearance.value_or(static_cast<std::int32_t>(kDefaultClearance))),
         board);
  }
}

}  // namespace kicad
