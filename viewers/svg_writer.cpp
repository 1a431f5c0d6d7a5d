// The board picture: takes the document's objects, keeps their geometry, and writes the SVG
// with the layers stacked bottom first and each component's primitives grouped per layer.
#include "viewers/svg_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "viewers/svg_writer_format.h"
#include "viewers/svg_writer_layers.h"

namespace svg {
namespace {

// Pad shape codes as the file and the host give them.
constexpr std::uint8_t kRoundShape = 1;

// Angles only matter modulo a turn; reducing them early keeps differences finite.
double Angle(double degrees) { return std::fmod(degrees, 360.0); }

std::uint8_t LayerOf(std::int32_t layer) {
  return layer >= 1 && layer <= kLastLayer ? static_cast<std::uint8_t>(layer) : 0;
}

// The component an object may belong to: texts name it in `Component`, a component's own
// primitives have it as their first container.
std::uint32_t OwnerOf(const view::Object& object, const view::BoardView& board) {
  if (object.component != 0) return object.component;
  return object.container_count == 0 ? 0 : board.ContainersOf(object)[0];
}

}  // namespace

void Bounds::Include(double x, double y) {
  if (empty) {
    min_x = max_x = x;
    min_y = max_y = y;
    empty = false;
    return;
  }
  min_x = std::min(min_x, x);
  max_x = std::max(max_x, x);
  min_y = std::min(min_y, y);
  max_y = std::max(max_y, y);
}

void Bounds::Include(const Bounds& other) {
  if (other.empty) return;
  Include(other.min_x, other.min_y);
  Include(other.max_x, other.max_y);
}

void SvgWriter::AddView(const view::BoardView& board) {
  SetTitle(board.title);
  for (const view::Object& object : board.objects) Add(object, board);
}

void SvgWriter::Push(const Shape& shape) {
  if (shape.layer != 0 && StackRank(shape.layer) != 0) shapes_.push_back(shape);
}

void SvgWriter::Add(const view::Object& object, const view::BoardView& board) {
  Shape shape;
  shape.handle = object.handle;
  shape.layer = LayerOf(object.layer);
  shape.owner = OwnerOf(object, board);
  shape.v[0] = object.x;
  shape.v[1] = object.y;
  switch (object.kind) {
    case KindCode(ObjectKind::kTrack):
      shape.kind = ShapeKind::kTrack;
      shape.v[2] = object.x2;
      shape.v[3] = object.y2;
      shape.v[4] = object.width;
      if (shape.v[4] > 0) Push(shape);
      break;
    case KindCode(ObjectKind::kArc):
      shape.kind = ShapeKind::kArc;
      shape.v[2] = object.radius;
      shape.v[3] = object.width;
      shape.a = Angle(object.start_angle);
      shape.b = Angle(object.end_angle);
      if (shape.v[2] > 0 && shape.v[3] > 0) Push(shape);
      break;
    case KindCode(ObjectKind::kVia):
      // A via goes through the board from LowLayer to HighLayer; the layer of its record is
      // not where it lies, and a new via's may well be NoLayer.
      shape.kind = ShapeKind::kVia;
      shape.layer = kMultiLayer;
      shape.v[2] = object.size;
      if (shape.v[2] <= 0) break;
      Push(shape);
      shape.kind = ShapeKind::kHole;
      shape.layer = kViaHoleLayer;
      shape.flags = kSecondary;
      shape.v[2] = object.hole_size;
      if (shape.v[2] > 0) Push(shape);
      break;
    case KindCode(ObjectKind::kPad):
      AddPad(object, shape);
      break;
    case KindCode(ObjectKind::kFill):
      shape.kind = ShapeKind::kFill;
      shape.v[2] = object.x2;
      shape.v[3] = object.y2;
      shape.a = Angle(object.rotation);
      if (shape.v[0] != shape.v[2] && shape.v[1] != shape.v[3]) Push(shape);
      break;
    case KindCode(ObjectKind::kText):
      AddText(object, board, shape);
      break;
    case KindCode(ObjectKind::kPolygon):
    case KindCode(ObjectKind::kSplitPlane):
    case KindCode(ObjectKind::kBoardOutline):
      AddOutline(object, board, shape);
      break;
    case KindCode(ObjectKind::kCoordinate):
      shape.kind = ShapeKind::kCoordinate;
      Push(shape);
      break;
    case KindCode(ObjectKind::kDimension):
      shape.kind = ShapeKind::kDimension;
      shape.v[2] = object.x2;
      shape.v[3] = object.y2;
      if (shape.v[0] != shape.v[2] || shape.v[1] != shape.v[3]) Push(shape);
      break;
    case KindCode(ObjectKind::kComponent):
      components_.push_back(
          {shape.handle, object.name_text, object.comment_text, object.name_shown, object.comment_shown});
      break;
    default:
      break;  // nets, rules, classes and the like have no picture
  }
}

// A pad shows the sizes and shape of the side it is on: a multi-layer pad its top side over
// everything and its bottom side in the bottom layer, under the board.
void SvgWriter::AddPad(const view::Object& object, Shape shape) {
  using view::PadSide;
  auto take = [&](PadSide side) {
    shape.v[2] = object.x_size[side];
    shape.v[3] = object.y_size[side];
    const std::int32_t code = object.shape[side];
    shape.form = code >= 0 && code <= 255 ? static_cast<std::uint8_t>(code) : kRoundShape;
    return shape.v[2] > 0 && shape.v[3] > 0;
  };
  shape.kind = ShapeKind::kPad;
  shape.a = Angle(object.rotation);
  const std::uint8_t layer = shape.layer;
  const PadSide side = layer == kBottomLayer           ? view::kBottomSide
                       : host_layer::IsMidSignal(layer) ? view::kMidSide
                                                        : view::kTopSide;
  if (layer == 0 || !take(side)) return;
  Push(shape);
  shape.flags = kSecondary;
  if (layer == kMultiLayer && take(view::kBottomSide)) {
    shape.layer = kBottomLayer;
    Push(shape);
  }
  shape.kind = ShapeKind::kHole;
  shape.layer = kPadHoleLayer;
  shape.v[2] = object.hole_size;
  if (shape.v[2] > 0) Push(shape);
}

// Texts are kept even when not drawn: a component's title is its designator text.
void SvgWriter::AddText(const view::Object& object, const view::BoardView& board, Shape shape) {
  const std::string_view text = board.String(object.text);
  shape.kind = ShapeKind::kText;
  shape.v[2] = object.height;
  shape.v[3] = object.width;
  shape.v[4] = static_cast<std::int32_t>(text_pool_.size());
  shape.v[5] = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
  shape.a = Angle(object.rotation);
  if (object.mirrored) shape.flags |= kMirrored;
  if (shape.v[2] <= 0 || text.empty() || StackRank(shape.layer) == 0) shape.layer = 0;
  if (text_pool_.size() + text.size() > INT32_MAX) return;
  text_pool_.append(text);
  shapes_.push_back(shape);
}

// Polygons and split planes: vertices 0 to PointCount, any of them carrying an arc.
void SvgWriter::AddOutline(const view::Object& object, const view::BoardView& board, Shape shape) {
  if (shape.layer == 0 || object.point_count < 1) return;
  const std::size_t count =
      std::min<std::size_t>(object.segment_count, static_cast<std::size_t>(object.point_count) + 1);
  if (count < 2 || points_.size() + count > INT32_MAX) return;
  shape.kind = ShapeKind::kOutline;
  shape.v[0] = static_cast<std::int32_t>(points_.size());
  shape.v[1] = static_cast<std::int32_t>(count);
  const view::Segment* segments = board.SegmentsOf(object);
  for (std::size_t i = 0; i < count; ++i) {
    const view::Segment& s = segments[i];
    points_.push_back({s.x, s.y, s.centre_x, s.centre_y, s.radius, Angle(s.start_angle), Angle(s.end_angle),
                       s.kind == 1});
  }
  Push(shape);
}

}  // namespace svg
