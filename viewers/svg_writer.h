// Draws a board as an SVG picture from its typed view (viewers/board_view.h), which a fresh
// import and a saved document fill alike:
//
//   SvgWriter svg;
//   svg.AddView(view);   // the view's title and every object
//   svg.Write(file);
//
// Only compact geometry is kept per object, never the JSON, so a board of a million objects
// costs tens of megabytes. The picture uses 1 user unit = 1 mil with Y pointing down (host Y is
// negated), one <g> per host layer named after the layer, stacked from the bottom side up, and
// one <g class="component"> per component and layer holding the component's own primitives.
// Every drawn object has exactly one element carrying data-handle="N"; what an object adds
// elsewhere (a pad's bottom side, a drill hole) carries data-of="N".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "viewers/board_view.h"

namespace svg {

enum class ShapeKind : std::uint8_t {
  kTrack,       // v: X, Y, X2, Y2, Width
  kArc,         // v: X, Y, Radius, Width; a, b: start and end angle
  kVia,         // v: X, Y, Size
  kPad,         // v: X, Y, X size, Y size; form: shape code; a: rotation
  kHole,        // v: X, Y, hole size
  kFill,        // v: X, Y, X2, Y2; a: rotation
  kOutline,     // v: first segment in the pool, segment count
  kText,        // v: X, Y, Height, Width, first byte in the pool, byte count; a: rotation
  kCoordinate,  // v: X, Y
  kDimension,   // v: X, Y, X2, Y2
};

// Shape flags.
inline constexpr std::uint8_t kSecondary = 1;  // drawn on behalf of another object's element
inline constexpr std::uint8_t kMirrored = 2;

struct Shape {
  std::uint32_t handle = 0;
  std::uint32_t owner = 0;  // the component it may belong to (resolved when writing)
  ShapeKind kind = ShapeKind::kTrack;
  std::uint8_t layer = 0;   // host layer number; 0: kept for lookups only, not drawn
  std::uint8_t form = 0;
  std::uint8_t flags = 0;
  std::int32_t v[6] = {};
  double a = 0;
  double b = 0;
};

struct OutlinePoint {
  std::int32_t x = 0, y = 0, centre_x = 0, centre_y = 0, radius = 0;
  double start_angle = 0, end_angle = 0;
  bool arc = false;
};

struct ComponentInfo {
  std::uint32_t handle = 0;
  std::uint32_t name_text = 0;
  std::uint32_t comment_text = 0;
  bool name_shown = true;
  bool comment_shown = true;
};

// Picture-wide bounds in host units.
struct Bounds {
  double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
  bool empty = true;
  void Include(double x, double y);
  void Include(const Bounds& other);
};

class SvgWriter {
 public:
  // The picture's <title>, e.g. the board's file name (UTF-8).
  void SetTitle(std::string_view title) { title_ = title; }

  // The view's title and every object of it.
  void AddView(const view::BoardView& board);
  // Takes one object of a view. Kinds that have no picture (nets, rules, ...), objects on
  // NoLayer or of zero size add nothing.
  void Add(const view::Object& object, const view::BoardView& board);

  // The SVG document, written in pieces. Write returns false on a write error.
  bool Write(std::FILE* out) const;
  [[nodiscard]] std::string ToString() const;

  [[nodiscard]] std::size_t ShapeCount() const { return shapes_.size(); }

 private:
  class Sink;
  void WriteTo(Sink& sink) const;
  void AddPad(const view::Object& object, Shape shape);
  void AddOutline(const view::Object& object, const view::BoardView& board, Shape shape);
  void AddText(const view::Object& object, const view::BoardView& board, Shape shape);
  void Push(const Shape& shape);

  std::string title_;
  std::vector<Shape> shapes_;
  std::vector<OutlinePoint> points_;
  std::string text_pool_;
  std::vector<ComponentInfo> components_;
};

}  // namespace svg
