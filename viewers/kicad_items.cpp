// Tracks, arcs, vias, strings, fills and markers: as copper on the board, as graphics on the
// board's other layers, or as graphics inside a footprint.
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numbers>

#include "viewers/kicad_board.h"

namespace kicad {
namespace {

using view::Object;

constexpr double kMil = 10000.0;  // host units per mil
// The marks that stand for a coordinate or dimension nothing else draws: a 40 mil cross, lines
// 2 mil wide, labels 20 mil high.
constexpr double kMarkArm = 20 * kMil, kMarkStroke = 2 * kMil, kMarkTextHeight = 20 * kMil;

Point At(const Object& object) { return {static_cast<double>(object.x), static_cast<double>(object.y)}; }
Point End(const Object& object) { return {static_cast<double>(object.x2), static_cast<double>(object.y2)}; }

std::string MmLabel(double host) {
  char buffer[400];
  char* end = FixedToChars(buffer, buffer + sizeof buffer, host * kMmPerHostUnit, 3);
  return end != nullptr ? std::string(buffer, end) : std::string("0.000");
}

}  // namespace

void BoardWriter::Line(std::string& out, const Placement& at, Point a, Point b, double width, std::string_view layer) {
  out += at.Indent();
  out += at.Prefix();
  out += "line (start ";
  at.AppendXY(out, a);
  out += ") (end ";
  at.AppendXY(out, b);
  out += ") (layer " + Quoted(Side(layer, at)) + ") (width ";
  AppendMm(out, std::max(0.0, width));
  out += "))\n";
  ++counts_.graphics;
}

void BoardWriter::TextItem(std::string& out, const Placement& at, const char* role, const std::string& text,
                           Point origin, double height, double width, double degrees, bool mirrored, bool hidden,
                           std::string_view layer) {
  out += std::string(at.Indent()) + at.Prefix() + "text ";
  if (at.in_footprint) out += std::string(role) + " ";
  out += Quoted(text) + " (at " + at.XY(origin);
  // KiCad keeps a text's angle on the board, the footprint's included, as the host does.
  degrees = at.TextDegrees(degrees);
  if (degrees != 0) out += " " + Degrees(degrees);
  // Turned over, a mirrored text reads the right way round and a plain one mirrored.
  mirrored = mirrored != at.flip;
  out += ") (layer " + Quoted(Side(layer, at)) + ")";
  if (hidden) out += " hide";
  // The host places a string by the left end of its base line; KiCad's stroke font stands in
  // for the host's fonts, at the same height and stroke width.
  const double thickness = width > 0 ? width : height / 10;
  out += " (effects (font (size " + Mm(height) + " " + Mm(height) + ") (thickness " + Mm(thickness) +
         ")) (justify left bottom" + (mirrored ? " mirror" : "") + ")))\n";
  ++counts_.texts;
}

void BoardWriter::WriteMember(std::string& out, const view::Object& object, const Placement& at) {
  switch (object.kind) {
    case KindCode(ObjectKind::kTrack): WriteTrack(out, object, at); break;
    case KindCode(ObjectKind::kArc): WriteArc(out, object, at); break;
    case KindCode(ObjectKind::kText): WriteText(out, object, at); break;
    case KindCode(ObjectKind::kFill): WriteFillGraphic(out, object, at); break;
    default: break;  // vias are board items; nothing else belongs to a component
  }
}

void BoardWriter::WriteTrack(std::string& out, const view::Object& track, const Placement& at) {
  const std::uint8_t layer = LayerOf(track);
  const std::string_view name = layers_->NameOf(layer);
  const Point a = At(track), b = End(track);
  const std::int32_t width = track.width;
  if (name.empty()) {
    ++counts_.left_out;
    return;
  }
  if (at.in_footprint || !layers_->IsCopper(layer)) {
    Line(out, at, a, b, width, name);
    return;
  }
  if (IsPour(track)) {
    ++counts_.pour_primitives;
    return;
  }
  if (width <= 0) {
    ++counts_.left_out;
    return;
  }
  out += "  (segment (start ";
  at.AppendXY(out, a);
  out += ") (end ";
  at.AppendXY(out, b);
  out += ") (width ";
  AppendMm(out, width);
  out += ") (layer " + Quoted(name) + ") (net " + std::to_string(NetOf(track)) + "))\n";
  ++counts_.tracks;
}

void BoardWriter::WriteArc(std::string& out, const view::Object& arc, const Placement& at) {
  const std::uint8_t layer = LayerOf(arc);
  const std::string_view name = layers_->NameOf(layer);
  const Point centre = At(arc);
  const double radius = arc.radius;
  const std::int32_t width = arc.width;
  const double start = std::fmod(arc.start_angle, 360.0);
  const double sweep = ArcSweep(start, std::fmod(arc.end_angle, 360.0));
  if (name.empty() || radius <= 0) {
    ++counts_.left_out;
    return;
  }
  if (at.in_footprint || !layers_->IsCopper(layer)) {
    const std::string layer_part = " (layer " + Quoted(Side(name, at)) + ") (width " + Mm(std::max(0, width)) + ")";
    if (sweep == 0) {
      // A circle's end only gives its radius: in a footprint it lies along the footprint's own
      // X axis, so that the same part turned another way reads the same.
      out += std::string(at.Indent()) + at.Prefix() + "circle (center " + at.XY(centre) + ") (end " +
             at.XY(OnCircle(centre, radius, at.in_footprint ? at.degrees : 0)) + ")" + layer_part + " (fill none))\n";
    } else {
      // The host's arcs run counter-clockwise from start to end angle. KiCad 6 draws a board arc
      // through its mid point, but a footprint arc from start to end clockwise on the screen
      // (the mid point only fixes the centre): given in the host's order it would draw the rest
      // of the circle, so a footprint arc is written end first. Turned over (a bottom component's
      // library footprint), the arc runs the other way round and keeps the host's order: KiCad
      // swaps its ends as it turns the footprint back to the bottom.
      Point from = OnCircle(centre, radius, start), to = OnCircle(centre, radius, start + sweep);
      if (at.in_footprint && !at.flip) std::swap(from, to);
      out += std::string(at.Indent()) + at.Prefix() + "arc (start " + at.XY(from) + ") (mid " +
             at.XY(OnCircle(centre, radius, start + sweep / 2)) + ") (end " + at.XY(to) + ")" + layer_part + ")\n";
    }
    ++counts_.graphics;
    return;
  }
  if (IsPour(arc)) {
    ++counts_.pour_primitives;
    return;
  }
  if (width <= 0) {
    ++counts_.left_out;
    return;
  }
  // An arc track cannot close on itself: a full circle is two half turns.
  const double span = sweep == 0 ? 360.0 : sweep;
  const int pieces = sweep == 0 ? 2 : 1;
  for (int piece = 0; piece < pieces; ++piece) {
    const double from = start + span * piece / pieces, to = start + span * (piece + 1) / pieces;
    out += "  (arc (start " + at.XY(OnCircle(centre, radius, from)) + ") (mid " +
           at.XY(OnCircle(centre, radius, (from + to) / 2)) + ") (end " + at.XY(OnCircle(centre, radius, to)) +
           ") (width " + Mm(width) + ") (layer " + Quoted(name) + ") (net " + std::to_string(NetOf(arc)) + "))\n";
    ++counts_.arcs;
  }
}

void BoardWriter::WriteVia(std::string& out, const view::Object& via) {
  const std::int32_t size = via.size;
  if (size <= 0) {
    ++counts_.left_out;
    return;
  }
  const auto low = static_cast<std::uint8_t>(std::clamp<std::int32_t>(via.low_layer, 0, kLastHostLayer));
  const auto high = static_cast<std::uint8_t>(std::clamp<std::int32_t>(via.high_layer, 0, kLastHostLayer));
  int first = layers_->StackPosition(low), last = layers_->StackPosition(high);
  if (first > last) std::swap(first, last);
  // A span KiCad cannot name (a layer that is not copper, or one layer only) goes through.
  const bool through = first < 0 || first == last || (first == 0 && last == layers_->CopperCount() - 1);
  const Placement board = OnBoard();
  out += "  (via ";
  if (!through) out += "blind ";
  out += "(at " + board.XY(At(via)) + ") (size " + Mm(size) + ") (drill " +
         Mm(std::max(0, via.hole_size)) + ") (layers ";
  if (through) {
    out += "\"F.Cu\" \"B.Cu\"";
  } else {
    const std::uint8_t upper = layers_->StackPosition(low) <= layers_->StackPosition(high) ? low : high;
    const std::uint8_t lower = upper == low ? high : low;
    out += Quoted(layers_->NameOf(upper)) + " " + Quoted(layers_->NameOf(lower));
  }
  out += ") (net " + std::to_string(NetOf(via)) + "))\n";
  ++counts_.vias;
}

std::string_view TextVariable(std::string_view text, bool in_footprint) {
  // The host reads its special strings whatever their case. A component's designator and
  // comment are its footprint's reference and value; the layer's name is a board text's own
  // layer (in a footprint KiCad would name the footprint's layer instead); the print date is the
  // date KiCad plots on. The host's file name, time, scale and counts have no KiCad 6 variable.
  struct Special {
    std::string_view host, kicad;
    bool in_footprint, on_board;
  };
  constexpr Special kSpecials[] = {
      {".designator", "${REFERENCE}", true, false},
      {".comment", "${VALUE}", true, false},
      {".layer_name", "${LAYER}", false, true},
      {".print_date", "${CURRENT_DATE}", true, true},
  };
  std::string lower(text.size() <= 16 ? text : std::string_view());
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const Special& special : kSpecials) {
    if (lower == special.host && (in_footprint ? special.in_footprint : special.on_board)) return special.kicad;
  }
  return {};
}

void BoardWriter::WriteText(std::string& out, const view::Object& text, const Placement& at) {
  const std::string_view layer = layers_->NameOf(LayerOf(text));
  const std::string_view written = window_.view->String(text.text);
  const std::string_view variable = TextVariable(written, at.in_footprint);
  const std::string value(variable.empty() ? written : variable);
  const std::int32_t height = text.height;
  if (layer.empty() || value.empty() || height <= 0) {
    ++counts_.left_out;
    return;
  }
  TextItem(out, at, "user", value, At(text), height, text.width, text.rotation,
           text.mirrored, false, layer);
}

void BoardWriter::WriteFillGraphic(std::string& out, const view::Object& fill, const Placement& at) {
  const std::string_view layer = layers_->NameOf(LayerOf(fill));
  const Point a = At(fill), b = End(fill);
  if (layer.empty() || a.x == b.x || a.y == b.y) {
    ++counts_.left_out;
    return;
  }
  const Point centre{(a.x + b.x) / 2, (a.y + b.y) / 2};
  const double r = fill.rotation * std::numbers::pi / 180.0, c = std::cos(r), s = std::sin(r);
  out += std::string(at.Indent()) + at.Prefix() + "poly (pts";
  // The corners round the rectangle; turned over, they run the other way round, from the last,
  // so that the same part on either side lists them alike.
  std::array<Point, 4> corners = {a, Point{b.x, a.y}, b, Point{a.x, b.y}};
  if (at.flip) std::reverse(corners.begin(), corners.end());
  for (const Point corner : corners) {
    const double dx = corner.x - centre.x, dy = corner.y - centre.y;
    out += " (xy " + at.XY({centre.x + dx * c - dy * s, centre.y + dx * s + dy * c}) + ")";
  }
  out += ") (layer " + Quoted(Side(layer, at)) + ") (width 0) (fill solid))\n";
  ++counts_.graphics;
}

void BoardWriter::WriteMarker(std::string& out, const view::Object& marker) {
  const std::string_view layer = layers_->NameOf(LayerOf(marker));
  if (layer.empty()) {
    ++counts_.left_out;
    return;
  }
  const Placement board = OnBoard();
  const Point at = At(marker);
  if (marker.kind == KindCode(ObjectKind::kCoordinate)) {
    Line(out, board, {at.x - kMarkArm, at.y}, {at.x + kMarkArm, at.y}, kMarkStroke, layer);
    Line(out, board, {at.x, at.y - kMarkArm}, {at.x, at.y + kMarkArm}, kMarkStroke, layer);
    TextItem(out, board, "user", MmLabel(at.x) + ", " + MmLabel(at.y) + " mm", {at.x + kMarkArm / 2, at.y + kMarkArm / 2},
             kMarkTextHeight, kMarkStroke, 0, false, false, layer);
    return;
  }
  const Point end = End(marker);
  Line(out, board, at, end, kMarkStroke, layer);
  TextItem(out, board, "user", MmLabel(std::hypot(end.x - at.x, end.y - at.y)) + " mm",
           {(at.x + end.x) / 2, (at.y + end.y) / 2 + kMarkTextHeight / 2}, kMarkTextHeight, kMarkStroke, 0, false,
           false, layer);
}

}  // namespace kicad
