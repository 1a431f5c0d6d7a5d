// Polygons, split planes, copper fills and internal planes as KiCad zones.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "viewers/kicad_board.h"

namespace kicad {
namespace {

using view::Object;

// Zone settings KiCad needs and the host's rules may not give: 0.2 mm clearance (KiCad's own
// default net class), fills at least 0.254 mm wide, 0.508 mm thermal gaps and spokes.
constexpr double kDefaultClearance = 0.2 * kHostUnitsPerMm;
constexpr double kMinThickness = 0.254 * kHostUnitsPerMm;
constexpr double kDefaultThermal = 0.508 * kHostUnitsPerMm;

// Without it KiCad 6 takes a zone for a version-5 one and traces its fill with a pen of the
// minimum width, so every zone would grow by half that width all round once filled.
constexpr const char* kFilledAreasThickness = "(filled_areas_thickness no)";
// On the host a fill is solid copper, and the copper of a pour or a plane is there whether or
// not anything of its net touches it. KiCad by default removes the islands its zone filler makes
// that connect to nothing, which would pour a fill or a pour of an unconnected net to nothing:
// every zone keeps its islands (mode 1: never remove). KiCad's connectivity check may then list
// them as unconnected copper, as the source board's own state.
constexpr const char* kKeepIslands = "(island_removal_mode 1)";

// Priorities: plane zones under split planes under polygons under fills.
constexpr int kPlanePriority = 0, kSplitPlanePriority = 1, kPolygonPriority = 1, kFillPriority = 2;

Point Vertex(const view::Segment& segment) {
  return {static_cast<double>(segment.x), static_cast<double>(segment.y)};
}

bool Same(Point a, Point b) { return std::lround(a.x) == std::lround(b.x) && std::lround(a.y) == std::lround(b.y); }

// The outline of a polygon or split plane as points: vertices 0 to PointCount, an arc edge
// (its fields on the vertex where it starts) as chords. The arc runs counter-clockwise from its
// start to its end angle; it is followed in whichever direction joins its ends to the edge's
// two vertices.
std::vector<Point> OutlinePoints(const view::BoardView& view, const Object& outline) {
  std::vector<Point> points;
  const view::Segment* segments = view.SegmentsOf(outline);
  const std::int32_t point_count = outline.point_count;
  if (point_count < 1) return points;
  const std::size_t count = std::min<std::size_t>(outline.segment_count, static_cast<std::size_t>(point_count) + 1);
  auto push = [&](Point p) {
    if (points.empty() || !Same(points.back(), p)) points.push_back(p);
  };
  for (std::size_t i = 0; i < count; ++i) {
    const view::Segment& segment = segments[i];
    const Point vertex = Vertex(segment);
    push(vertex);
    const double radius = segment.radius;
    if (segment.kind != 1 || radius <= 0) continue;
    const Point next = Vertex(segments[i + 1 < count ? i + 1 : 0]);
    const Point centre{static_cast<double>(segment.centre_x), static_cast<double>(segment.centre_y)};
    const double start = std::fmod(segment.start_angle, 360.0);
    double sweep = ArcSweep(start, std::fmod(segment.end_angle, 360.0));
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

void BoardWriter::IncludeExtent(const view::Object& object) {
  auto include = [&](double x, double y) {
    if (extent_empty_) {
      min_ = max_ = {x, y};
      extent_empty_ = false;
      return;
    }
    min_ = {std::min(min_.x, x), std::min(min_.y, y)};
    max_ = {std::max(max_.x, x), std::max(max_.y, y)};
  };
  switch (object.kind) {
    case KindCode(ObjectKind::kTrack):
    case KindCode(ObjectKind::kFill):
    case KindCode(ObjectKind::kDimension): include(object.x2, object.y2); [[fallthrough]];
    case KindCode(ObjectKind::kArc):
    case KindCode(ObjectKind::kPad):
    case KindCode(ObjectKind::kVia):
    case KindCode(ObjectKind::kText):
    case KindCode(ObjectKind::kCoordinate):
    case KindCode(ObjectKind::kComponent): include(object.x, object.y); break;
    case KindCode(ObjectKind::kPolygon):
    case KindCode(ObjectKind::kSplitPlane):
      for (const Point p : OutlinePoints(*window_.view, object)) include(p.x, p.y);
      break;
    default: break;
  }
}

void BoardWriter::Zone(std::string& out, int net, std::string_view layer, int priority, bool solid,
                       std::int32_t clearance, const std::vector<Point>& outline) {
  const Placement board = OnBoard();
  out += "  (zone (net " + std::to_string(net) + ") (net_name " + Quoted(net_names_[static_cast<std::size_t>(net)]) +
         ")";
  if (layer == "Edge.Cuts") {
    // A polygon on the keep-out layer keeps copper out of its area on every copper layer.
    out += " (layers \"*.Cu\") (hatch edge 0.508)\n    (connect_pads (clearance 0))\n    (min_thickness " +
           Mm(kMinThickness) + ") " + kFilledAreasThickness +
           "\n    (keepout (tracks not_allowed) (vias not_allowed) (pads allowed) (copperpour not_allowed) "
           "(footprints allowed))\n";
  } else {
    out += " (layer " + Quoted(layer) + ") (hatch edge 0.508)\n";
    if (priority > 0) out += "    (priority " + std::to_string(priority) + ")\n";
    out += std::string("    (connect_pads") + (solid ? " yes" : "") + " (clearance " + Mm(clearance) + "))\n";
    out += "    (min_thickness " + Mm(kMinThickness) + ") " + kFilledAreasThickness + "\n";
  }
  std::int32_t gap = static_cast<std::int32_t>(kDefaultThermal), spoke = gap;
  if (rules_.plane_connect) {
    if (rules_.plane_connect->thermal_gap > 0) gap = rules_.plane_connect->thermal_gap;
    if (rules_.plane_connect->thermal_width > 0) spoke = rules_.plane_connect->thermal_width;
  }
  out += "    (fill (thermal_gap " + Mm(gap) + ") (thermal_bridge_width " + Mm(spoke) + ") " + kKeepIslands + ")\n";
  out += "    (polygon (pts";
  for (std::size_t i = 0; i < outline.size(); ++i) {
    out += i % 4 == 0 ? "\n      " : " ";
    out += "(xy ";
    board.AppendXY(out, outline[i]);
    out += ')';
  }
  out += "))\n  )\n";
  ++counts_.zones;
}

void BoardWriter::WriteOutlineZone(std::string& out, const view::Object& outline) {
  const std::uint8_t layer = LayerOf(outline);
  const std::string_view name = layers_->NameOf(layer);
  const std::vector<Point> points = OutlinePoints(*window_.view, outline);
  if (name.empty() || points.size() < 3) {
    ++counts_.left_out;
    return;
  }
  const bool copper = layers_->IsCopper(layer);
  const bool split = outline.kind == KindCode(ObjectKind::kSplitPlane);
  const auto general = static_cast<std::int32_t>(rules_.clearance.value_or(static_cast<std::int32_t>(kDefaultClearance)));
  const std::int32_t clearance = split ? rules_.plane_clearance.value_or(general) : general;
  Zone(out, copper ? NetOf(outline) : 0, name, split ? kSplitPlanePriority : kPolygonPriority, false, clearance,
       points);
}

void BoardWriter::WriteFillZone(std::string& out, const view::Object& fill) {
  const Point a{static_cast<double>(fill.x), static_cast<double>(fill.y)};
  const Point b{static_cast<double>(fill.x2), static_cast<double>(fill.y2)};
  if (a.x == b.x || a.y == b.y) {
    ++counts_.left_out;
    return;
  }
  const Point centre{(a.x + b.x) / 2, (a.y + b.y) / 2};
  const double r = fill.rotation * std::numbers::pi / 180.0, c = std::cos(r), s = std::sin(r);
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
