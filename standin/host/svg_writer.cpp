// The board picture: takes the document's objects, keeps their geometry, and writes the SVG
// with the layers stacked bottom first and each component's primitives grouped per layer.
#include "standin/host/svg_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "standin/host/svg_writer_format.h"
#include "standin/host/svg_writer_layers.h"

namespace svg {
namespace {

using nlohmann::json;

// Object kinds of the host (PcbApi_CreateObject) that have a picture.
constexpr std::int64_t kArcKind = 1, kPadKind = 2, kViaKind = 3, kTrackKind = 4, kTextKind = 5, kFillKind = 6,
                       kComponentKind = 9, kPolygonKind = 10, kDimensionKind = 13, kCoordinateKind = 14,
                       kSplitPlaneKind = 22, kBoardOutlineKind = 26;
// Pad shape codes as the file and the host give them.
constexpr std::uint8_t kRoundShape = 1;

std::int64_t IntValue(const json& value) {
  if (value.is_number_unsigned()) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(value.get<std::uint64_t>(), INT64_MAX));
  }
  if (value.is_number_integer()) return value.get<std::int64_t>();
  if (value.is_number_float()) return Whole(value.get<double>());
  return 0;
}

std::int64_t Int(const json& object, const char* key) {
  const auto found = object.find(key);
  return found == object.end() ? 0 : IntValue(*found);
}

// Host lengths are int32; anything else a hand-made document holds is clamped to that range.
std::int32_t Length(const json& object, const char* key) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(Int(object, key), INT32_MIN, INT32_MAX));
}

double Real(const json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_number()) return 0;
  const double value = found->get<double>();
  return std::isfinite(value) ? value : 0;
}

// Angles only matter modulo a turn; reducing them early keeps differences finite.
double Angle(const json& object, const char* key) { return std::fmod(Real(object, key), 360.0); }

std::uint8_t LayerOf(const json& object) {
  const std::int64_t layer = Int(object, "Layer");
  return layer >= 1 && layer <= kLastLayer ? static_cast<std::uint8_t>(layer) : 0;
}

std::uint32_t HandleValue(std::int64_t value) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, UINT32_MAX));
}

std::uint32_t Handle(const json& object, const char* key) { return HandleValue(Int(object, key)); }

// The component an object may belong to: texts name it in `Component`, a component's own
// primitives have it as their first container.
std::uint32_t OwnerOf(const json& object) {
  if (const std::uint32_t component = Handle(object, "Component"); component != 0) return component;
  const auto containers = object.find("Containers");
  if (containers == object.end() || !containers->is_array() || containers->empty()) return 0;
  return HandleValue(IntValue(containers->front()));
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

bool SvgWriter::Draws(std::int64_t object_id) {
  switch (object_id) {
    case kArcKind: case kPadKind: case kViaKind: case kTrackKind: case kTextKind: case kFillKind:
    case kComponentKind: case kPolygonKind: case kDimensionKind: case kCoordinateKind: case kSplitPlaneKind:
    case kBoardOutlineKind:
      return true;
    default:
      return false;
  }
}

bool SvgWriter::Reads(std::string_view field) {
  constexpr std::array<std::string_view, 31> kFields = {
      "Layer",       "X",           "Y",          "X2",          "Y2",           "Width",       "Radius",
      "StartAngle",  "EndAngle",    "Size",       "HoleSize",    "XSizeTop",     "YSizeTop",    "ShapeTop",
      "XSizeMid",    "YSizeMid",    "ShapeMid",   "XSizeBottom", "YSizeBottom",  "ShapeBottom", "Rotation",
      "Height",      "Mirrored",    "Text",       "Component",   "NameText",     "CommentText", "NameShown",
      "CommentShown", "PointCount", "Segments"};
  return std::find(kFields.begin(), kFields.end(), field) != kFields.end();
}

void SvgWriter::Push(const Shape& shape) {
  if (shape.layer != 0 && StackRank(shape.layer) != 0) shapes_.push_back(shape);
}

void SvgWriter::Add(const json& object) {
  if (!object.is_object()) return;
  Shape shape;
  shape.handle = Handle(object, "Handle");
  shape.layer = LayerOf(object);
  shape.owner = OwnerOf(object);
  shape.v[0] = Length(object, "X");
  shape.v[1] = Length(object, "Y");
  switch (Int(object, "ObjectId")) {
    case kTrackKind:
      shape.kind = ShapeKind::kTrack;
      shape.v[2] = Length(object, "X2");
      shape.v[3] = Length(object, "Y2");
      shape.v[4] = Length(object, "Width");
      if (shape.v[4] > 0) Push(shape);
      break;
    case kArcKind:
      shape.kind = ShapeKind::kArc;
      shape.v[2] = Length(object, "Radius");
      shape.v[3] = Length(object, "Width");
      shape.a = Angle(object, "StartAngle");
      shape.b = Angle(object, "EndAngle");
      if (shape.v[2] > 0 && shape.v[3] > 0) Push(shape);
      break;
    case kViaKind:
      // A via goes through the board from LowLayer to HighLayer; the layer of its record is
      // not where it lies, and a new via's may well be NoLayer.
      shape.kind = ShapeKind::kVia;
      shape.layer = kMultiLayer;
      shape.v[2] = Length(object, "Size");
      if (shape.v[2] <= 0) break;
      Push(shape);
      shape.kind = ShapeKind::kHole;
      shape.layer = kViaHoleLayer;
      shape.flags = kSecondary;
      shape.v[2] = Length(object, "HoleSize");
      if (shape.v[2] > 0) Push(shape);
      break;
    case kPadKind:
      AddPad(object, shape);
      break;
    case kFillKind:
      shape.kind = ShapeKind::kFill;
      shape.v[2] = Length(object, "X2");
      shape.v[3] = Length(object, "Y2");
      shape.a = Angle(object, "Rotation");
      if (shape.v[0] != shape.v[2] && shape.v[1] != shape.v[3]) Push(shape);
      break;
    case kTextKind:
      AddText(object, shape);
      break;
    case kPolygonKind:
    case kSplitPlaneKind:
    case kBoardOutlineKind:
      AddOutline(object, shape);
      break;
    case kCoordinateKind:
      shape.kind = ShapeKind::kCoordinate;
      Push(shape);
      break;
    case kDimensionKind:
      shape.kind = ShapeKind::kDimension;
      shape.v[2] = Length(object, "X2");
      shape.v[3] = Length(object, "Y2");
      if (shape.v[0] != shape.v[2] || shape.v[1] != shape.v[3]) Push(shape);
      break;
    case kComponentKind:
      components_.push_back({shape.handle, Handle(object, "NameText"), Handle(object, "CommentText"),
                             Int(object, "NameShown") != 0, Int(object, "CommentShown") != 0});
      break;
    default:
      break;  // nets, rules, classes and the like have no picture
  }
}

// A pad shows the sizes and shape of the side it is on: a multi-layer pad its top side over
// everything and its bottom side in the bottom layer, under the board.
void SvgWriter::AddPad(const json& object, Shape shape) {
  struct Side {
    const char* x_size;
    const char* y_size;
    const char* shape;
  };
  constexpr Side kTop{"XSizeTop", "YSizeTop", "ShapeTop"}, kMid{"XSizeMid", "YSizeMid", "ShapeMid"},
      kBottom{"XSizeBottom", "YSizeBottom", "ShapeBottom"};
  auto take = [&](const Side& side) {
    shape.v[2] = Length(object, side.x_size);
    shape.v[3] = Length(object, side.y_size);
    const std::int64_t code = Int(object, side.shape);
    shape.form = code >= 0 && code <= 255 ? static_cast<std::uint8_t>(code) : kRoundShape;
    return shape.v[2] > 0 && shape.v[3] > 0;
  };
  shape.kind = ShapeKind::kPad;
  shape.a = Angle(object, "Rotation");
  const std::uint8_t layer = shape.layer;
  const Side& side = layer == kBottomLayer ? kBottom : layer >= 2 && layer <= 31 ? kMid : kTop;
  if (layer == 0 || !take(side)) return;
  Push(shape);
  shape.flags = kSecondary;
  if (layer == kMultiLayer && take(kBottom)) {
    shape.layer = kBottomLayer;
    Push(shape);
  }
  shape.kind = ShapeKind::kHole;
  shape.layer = kPadHoleLayer;
  shape.v[2] = Length(object, "HoleSize");
  if (shape.v[2] > 0) Push(shape);
}

// Texts are kept even when not drawn: a component's title is its designator text.
void SvgWriter::AddText(const json& object, Shape shape) {
  const auto found = object.find("Text");
  const std::string_view text = found != object.end() && found->is_string()
                                    ? std::string_view(found->get_ref<const std::string&>())
                                    : std::string_view();
  shape.kind = ShapeKind::kText;
  shape.v[2] = Length(object, "Height");
  shape.v[3] = Length(object, "Width");
  shape.v[4] = static_cast<std::int32_t>(text_pool_.size());
  shape.v[5] = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
  shape.a = Angle(object, "Rotation");
  if (Int(object, "Mirrored") != 0) shape.flags |= kMirrored;
  if (shape.v[2] <= 0 || text.empty() || StackRank(shape.layer) == 0) shape.layer = 0;
  if (text_pool_.size() + text.size() > INT32_MAX) return;
  text_pool_.append(text);
  shapes_.push_back(shape);
}

// Polygons and split planes: vertices 0 to PointCount, any of them carrying an arc.
void SvgWriter::AddOutline(const json& object, Shape shape) {
  const auto segments = object.find("Segments");
  if (shape.layer == 0 || segments == object.end() || !segments->is_array()) return;
  const std::int64_t point_count = Int(object, "PointCount");
  if (point_count < 1) return;
  const std::size_t count = std::min<std::size_t>(segments->size(), static_cast<std::size_t>(point_count) + 1);
  if (count < 2 || points_.size() + count > INT32_MAX) return;
  shape.kind = ShapeKind::kOutline;
  shape.v[0] = static_cast<std::int32_t>(points_.size());
  shape.v[1] = static_cast<std::int32_t>(count);
  for (std::size_t i = 0; i < count; ++i) {
    const json& s = (*segments)[i];
    if (!s.is_object()) {
      points_.push_back(i > 0 ? points_.back() : OutlinePoint{});
      points_.back().arc = false;
      continue;
    }
    points_.push_back({Length(s, "X"), Length(s, "Y"), Length(s, "CentreX"), Length(s, "CentreY"),
                       Length(s, "Radius"), Angle(s, "StartAngle"), Angle(s, "EndAngle"),
                       Int(s, "SegmentKind") == 1});
  }
  Push(shape);
}

}  // namespace svg
