// Elements of the board picture, one per shape, and their extents. Host angles run
// counter-clockwise from +X with Y up; the picture's Y points down, so a host rotation r
// becomes rotate(-r) and a counter-clockwise arc has the SVG sweep flag 0.
#include "viewers/svg_writer_shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "viewers/svg_writer_format.h"

namespace svg {
namespace {

constexpr double kMil = 10000.0;                   // host units per mil
constexpr double kMarkArm = 20 * kMil;             // half a coordinate marker's cross
constexpr double kMarkStroke = 2 * kMil;           // line width of markers and dimensions
constexpr double kMarkTextHeight = 20 * kMil;
constexpr double kArrowLength = 15 * kMil;
constexpr double kArrowHalfWidth = 5 * kMil;
constexpr double kGlyphAdvance = 0.6;              // text width per character, in heights

struct Point {
  double x = 0, y = 0;
};

Point ArcPoint(double cx, double cy, double radius, double degrees) {
  const double r = degrees * std::numbers::pi / 180.0;
  return {cx + radius * std::cos(r), cy + radius * std::sin(r)};
}

Point Rotated(Point p, double degrees) {
  const double r = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(r), s = std::sin(r);
  return {p.x * c - p.y * s, p.x * s + p.y * c};
}

double Distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

void IncludeArc(Bounds& bounds, double cx, double cy, double radius, double start, double end, double pad) {
  const double span = ArcSpan(start, end);
  auto include = [&](Point p) {
    bounds.Include(p.x - pad, p.y - pad);
    bounds.Include(p.x + pad, p.y + pad);
  };
  include(ArcPoint(cx, cy, radius, start));
  include(ArcPoint(cx, cy, radius, end));
  for (int quadrant = 0; quadrant < 4; ++quadrant) {
    const double axis = 90.0 * quadrant;
    if (span == 0 || ArcSpan(start, axis) <= span) include(ArcPoint(cx, cy, radius, axis));
  }
}

// The box from (left, bottom) to (right, top) in a frame turned by `degrees` about `about`.
void IncludeBox(Bounds& bounds, Point about, double left, double bottom, double right, double top, double degrees) {
  for (const Point local : {Point{left, bottom}, Point{right, bottom}, Point{left, top}, Point{right, top}}) {
    const Point p = Rotated(local, degrees);
    bounds.Include(about.x + p.x, about.y + p.y);
  }
}

std::size_t CodePoints(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

void Open(std::string& out, const char* element, const Shape& shape, const char* css_class) {
  out += '<';
  out += element;
  out += (shape.flags & kSecondary) != 0 ? " data-of=\"" : " data-handle=\"";
  AppendUnsigned(out, shape.handle);
  out += "\" class=\"";
  out += css_class;
  out += '"';
}

void Attribute(std::string& out, const char* name, double host_length) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendMils(out, host_length);
  out += '"';
}

void FlippedAttribute(std::string& out, const char* name, double host_y) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendFlippedMils(out, host_y);
  out += '"';
}

void PathPoint(std::string& out, char command, Point p) {
  out += command;
  AppendMils(out, p.x);
  out += ' ';
  AppendFlippedMils(out, p.y);
}

// " A r r 0 large sweep x y": the arc of `radius` to `to`, counter-clockwise unless reversed.
void PathArc(std::string& out, double radius, double span, bool reversed, Point to) {
  out += " A";
  AppendMils(out, radius);
  out += ' ';
  AppendMils(out, radius);
  out += span > 180.0 ? " 0 1 " : " 0 0 ";
  out += reversed ? '1' : '0';
  out += ' ';
  AppendMils(out, to.x);
  out += ' ';
  AppendFlippedMils(out, to.y);
}

// rotate(-r x y) about a host point, when the rotation turns anything.
void RotateAbout(std::string& out, double degrees, Point about) {
  if (std::fmod(degrees, 360.0) == 0) return;
  out += " transform=\"rotate(";
  AppendDegrees(out, -degrees);
  out += ' ';
  AppendMils(out, about.x);
  out += ' ';
  AppendFlippedMils(out, about.y);
  out += ")\"";
}

// The rest of a <text> element whose name and own attributes the caller has written.
void AppendTextBody(std::string& out, Point origin, double height, double rotation, bool mirrored,
                    std::string_view text) {
  out += " transform=\"translate(";
  AppendMils(out, origin.x);
  out += ' ';
  AppendFlippedMils(out, origin.y);
  out += ')';
  if (std::fmod(rotation, 360.0) != 0) {
    out += " rotate(";
    AppendDegrees(out, -rotation);
    out += ')';
  }
  if (mirrored) out += " scale(-1 1)";
  out += "\" font-size=\"";
  AppendMils(out, height);
  out += "\">";
  AppendEscaped(out, text);
  out += "</text>";
}

std::string MilsText(double host) {
  std::string text;
  AppendScaled(text, Whole(host / 10.0) * 10);  // a thousandth of a mil is as fine as files go
  return text;
}

// Outline: vertices joined by straight edges, except where a segment carries an arc. The file
// puts an arc edge's fields on the vertex where the edge starts; an arc that instead runs from
// the pen to its own vertex (fields on the vertex where it ends) is joined that way, so either
// outline stays closed and the same.
void AppendOutlinePath(std::string& out, const OutlinePoint* points, std::size_t count) {
  const Point first{static_cast<double>(points[0].x), static_cast<double>(points[0].y)};
  Point pen = first;
  PathPoint(out, 'M', pen);
  auto same = [](Point p, Point q) { return Whole(p.x) == Whole(q.x) && Whole(p.y) == Whole(q.y); };
  auto line_to = [&](Point p) {
    if (same(p, pen)) return;
    out += ' ';
    PathPoint(out, 'L', p);
    pen = p;
  };
  for (std::size_t i = 0; i < count; ++i) {
    const OutlinePoint& s = points[i];
    const Point vertex{static_cast<double>(s.x), static_cast<double>(s.y)};
    const double span = ArcSpan(s.start_angle, s.end_angle);
    if (!s.arc || s.radius <= 0 || span == 0) {
      // The closing edge back to the first vertex is the path's own close.
      if (i > 0 && !(i + 1 == count && same(vertex, first))) line_to(vertex);
      continue;
    }
    const Point a = ArcPoint(s.centre_x, s.centre_y, s.radius, s.start_angle);
    const Point b = ArcPoint(s.centre_x, s.centre_y, s.radius, s.end_angle);
    // Gaps left by joining the arc between pen and vertex, against joining it at the vertex.
    const double between_forward = Distance(pen, a) + Distance(vertex, b);
    const double between_backward = Distance(pen, b) + Distance(vertex, a);
    const double at_vertex = std::min(Distance(vertex, a), Distance(vertex, b));
    const bool between = i > 0 && std::min(between_forward, between_backward) <= at_vertex;
    bool reversed = false;
    if (between) {
      reversed = between_backward < between_forward;
    } else {
      line_to(vertex);
      reversed = Distance(vertex, b) < Distance(vertex, a);
    }
    line_to(reversed ? b : a);
    PathArc(out, s.radius, span, reversed, reversed ? a : b);
    pen = reversed ? a : b;
    if (between) line_to(vertex);
  }
  out += " Z";
}

}  // namespace

double ArcSpan(double start, double end) {
  double span = std::fmod(end - start, 360.0);
  if (span < 0) span += 360.0;
  return span >= 360.0 ? 0.0 : span;
}

Bounds ShapeBounds(const Shape& shape, const std::vector<OutlinePoint>& points, std::string_view text) {
  Bounds bounds;
  const auto* v = shape.v;
  const Point at{static_cast<double>(v[0]), static_cast<double>(v[1])};
  switch (shape.kind) {
    case ShapeKind::kTrack: {
      const double half = v[4] / 2.0;
      bounds.Include(std::min<double>(v[0], v[2]) - half, std::min<double>(v[1], v[3]) - half);
      bounds.Include(std::max<double>(v[0], v[2]) + half, std::max<double>(v[1], v[3]) + half);
      break;
    }
    case ShapeKind::kArc:
      IncludeArc(bounds, at.x, at.y, v[2], shape.a, shape.b, v[3] / 2.0);
      break;
    case ShapeKind::kVia:
    case ShapeKind::kHole:
      bounds.Include(at.x - v[2] / 2.0, at.y - v[2] / 2.0);
      bounds.Include(at.x + v[2] / 2.0, at.y + v[2] / 2.0);
      break;
    case ShapeKind::kPad:
      IncludeBox(bounds, at, -v[2] / 2.0, -v[3] / 2.0, v[2] / 2.0, v[3] / 2.0, shape.a);
      break;
    case ShapeKind::kFill: {
      const Point centre{(at.x + v[2]) / 2.0, (at.y + v[3]) / 2.0};
      const double half_w = std::abs(v[2] - at.x) / 2.0, half_h = std::abs(v[3] - at.y) / 2.0;
      IncludeBox(bounds, centre, -half_w, -half_h, half_w, half_h, shape.a);
      break;
    }
    case ShapeKind::kOutline:
      for (std::size_t i = 0; i < static_cast<std::uint32_t>(v[1]); ++i) {
        const OutlinePoint& p = points[static_cast<std::uint32_t>(v[0]) + i];
        bounds.Include(p.x, p.y);
        if (p.arc && p.radius > 0) IncludeArc(bounds, p.centre_x, p.centre_y, p.radius, p.start_angle, p.end_angle, 0);
      }
      break;
    case ShapeKind::kText: {
      const double width = kGlyphAdvance * v[2] * static_cast<double>(CodePoints(text));
      const double right = (shape.flags & kMirrored) != 0 ? -width : width;
      IncludeBox(bounds, at, std::min(0.0, right), 0, std::max(0.0, right), v[2], shape.a);
      break;
    }
    case ShapeKind::kCoordinate: {
      const double label = kGlyphAdvance * kMarkTextHeight * 24;
      bounds.Include(at.x - kMarkArm, at.y - kMarkArm);
      bounds.Include(at.x + kMarkArm + label, at.y + kMarkArm + kMarkTextHeight);
      break;
    }
    case ShapeKind::kDimension: {
      const double pad = kArrowHalfWidth + kMarkTextHeight * 1.5;
      bounds.Include(std::min<double>(v[0], v[2]) - pad, std::min<double>(v[1], v[3]) - pad);
      bounds.Include(std::max<double>(v[0], v[2]) + pad, std::max<double>(v[1], v[3]) + pad);
      break;
    }
  }
  return bounds;
}

void AppendShape(std::string& out, const Shape& shape, const std::vector<OutlinePoint>& points,
                 std::string_view text, bool hidden) {
  const auto* v = shape.v;
  const Point at{static_cast<double>(v[0]), static_cast<double>(v[1])};
  switch (shape.kind) {
    case ShapeKind::kTrack:
      Open(out, "line", shape, "t");
      Attribute(out, "x1", v[0]);
      FlippedAttribute(out, "y1", v[1]);
      Attribute(out, "x2", v[2]);
      FlippedAttribute(out, "y2", v[3]);
      Attribute(out, "stroke-width", v[4]);
      out += "/>";
      break;
    case ShapeKind::kArc: {
      const double span = ArcSpan(shape.a, shape.b);
      if (span == 0) {
        Open(out, "circle", shape, "t");
        Attribute(out, "cx", v[0]);
        FlippedAttribute(out, "cy", v[1]);
        Attribute(out, "r", v[2]);
      } else {
        Open(out, "path", shape, "t");
        out += " d=\"";
        PathPoint(out, 'M', ArcPoint(at.x, at.y, v[2], shape.a));
        PathArc(out, v[2], span, false, ArcPoint(at.x, at.y, v[2], shape.b));
        out += '"';
      }
      Attribute(out, "stroke-width", v[3]);
      out += "/>";
      break;
    }
    case ShapeKind::kVia:
    case ShapeKind::kHole:
      Open(out, "circle", shape, "s");
      Attribute(out, "cx", v[0]);
      FlippedAttribute(out, "cy", v[1]);
      Attribute(out, "r", v[2] / 2.0);
      out += "/>";
      break;
    case ShapeKind::kPad: {
      const double w = v[2], h = v[3];
      constexpr std::uint8_t kRound = 1, kOctagon = 3;
      if (shape.form == kRound && w == h) {
        Open(out, "circle", shape, "s");
        Attribute(out, "cx", at.x);
        FlippedAttribute(out, "cy", at.y);
        Attribute(out, "r", w / 2.0);
      } else if (shape.form == kOctagon) {
        // Corners cut by a quarter of the narrower side.
        const double c = std::min(w, h) / 4.0, x = w / 2.0, y = h / 2.0;
        const Point corners[] = {{-x + c, -y}, {x - c, -y}, {x, -y + c}, {x, y - c},
                                 {x - c, y},   {-x + c, y}, {-x, y - c}, {-x, -y + c}};
        Open(out, "polygon", shape, "s");
        out += " points=\"";
        for (const Point& corner : corners) {
          if (&corner != corners) out += ' ';
          AppendMils(out, at.x + corner.x);
          out += ',';
          AppendFlippedMils(out, at.y + corner.y);
        }
        out += '"';
      } else {
        Open(out, "rect", shape, "s");
        Attribute(out, "x", at.x - w / 2.0);
        FlippedAttribute(out, "y", at.y + h / 2.0);
        Attribute(out, "width", w);
        Attribute(out, "height", h);
        if (shape.form == kRound) Attribute(out, "rx", std::min(w, h) / 2.0);
      }
      RotateAbout(out, shape.a, at);
      out += "/>";
      break;
    }
    case ShapeKind::kFill: {
      Open(out, "rect", shape, "s");
      Attribute(out, "x", std::min<double>(v[0], v[2]));
      FlippedAttribute(out, "y", std::max<double>(v[1], v[3]));
      Attribute(out, "width", std::abs(static_cast<double>(v[2]) - v[0]));
      Attribute(out, "height", std::abs(static_cast<double>(v[3]) - v[1]));
      RotateAbout(out, shape.a, {(at.x + v[2]) / 2.0, (at.y + v[3]) / 2.0});
      out += "/>";
      break;
    }
    case ShapeKind::kOutline:
      Open(out, "path", shape, "o");
      out += " d=\"";
      AppendOutlinePath(out, points.data() + static_cast<std::uint32_t>(v[0]), static_cast<std::uint32_t>(v[1]));
      out += "\"/>";
      break;
    case ShapeKind::kText:
      Open(out, "text", shape, hidden ? "x hidden" : "x");
      AppendTextBody(out, at, v[2], shape.a, (shape.flags & kMirrored) != 0, text);
      break;
    case ShapeKind::kCoordinate: {
      Open(out, "g", shape, "mark");
      out += "><path class=\"t\" d=\"";
      PathPoint(out, 'M', {at.x - kMarkArm, at.y});
      out += ' ';
      PathPoint(out, 'L', {at.x + kMarkArm, at.y});
      out += ' ';
      PathPoint(out, 'M', {at.x, at.y - kMarkArm});
      out += ' ';
      PathPoint(out, 'L', {at.x, at.y + kMarkArm});
      out += '"';
      Attribute(out, "stroke-width", kMarkStroke);
      out += "/>";
      out += "<text class=\"x\"";
      AppendTextBody(out, {at.x + kMarkArm / 2, at.y + kMarkArm / 2}, kMarkTextHeight, 0, false,
                     MilsText(at.x) + ", " + MilsText(at.y));
      out += "</g>";
      break;
    }
    case ShapeKind::kDimension: {
      const Point end{static_cast<double>(v[2]), static_cast<double>(v[3])};
      const double length = Distance(at, end);
      const Point along{(end.x - at.x) / length, (end.y - at.y) / length};
      const Point across{-along.y, along.x};
      Open(out, "g", shape, "mark");
      out += "><path class=\"t\" d=\"";
      PathPoint(out, 'M', at);
      out += ' ';
      PathPoint(out, 'L', end);
      for (const auto& [tip, inward] : {std::pair{at, along}, std::pair{end, Point{-along.x, -along.y}}}) {
        const Point base{tip.x + inward.x * kArrowLength, tip.y + inward.y * kArrowLength};
        out += ' ';
        PathPoint(out, 'M', {base.x + across.x * kArrowHalfWidth, base.y + across.y * kArrowHalfWidth});
        out += ' ';
        PathPoint(out, 'L', tip);
        out += ' ';
        PathPoint(out, 'L', {base.x - across.x * kArrowHalfWidth, base.y - across.y * kArrowHalfWidth});
      }
      out += '"';
      Attribute(out, "stroke-width", kMarkStroke);
      out += "/>";
      // The length above the middle, turned along the line but never upside down.
      double angle = std::atan2(along.y, along.x) * 180.0 / std::numbers::pi;
      if (angle > 90.0) angle -= 180.0;
      if (angle < -90.0) angle += 180.0;
      const Point up = Rotated({0, kMarkTextHeight / 2}, angle);
      const Point middle{(at.x + end.x) / 2 + up.x, (at.y + end.y) / 2 + up.y};
      out += "<text class=\"x\" text-anchor=\"middle\"";
      AppendTextBody(out, middle, kMarkTextHeight, angle, false, MilsText(length));
      out += "</g>";
      break;
    }
  }
}

}  // namespace svg
