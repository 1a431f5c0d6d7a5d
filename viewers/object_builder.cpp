// The field table of the view and the checks of each object's values.
#include "viewers/object_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace view {
namespace {

struct FieldInfo {
  std::string_view name;
  FieldType type;
};

constexpr std::array<FieldInfo, static_cast<std::size_t>(Field::kCount)> kFields = {{
    {"Handle", FieldType::kInteger},      {"ObjectId", FieldType::kInteger},    {"Containers", FieldType::kList},
    {"Layer", FieldType::kInteger},       {"LowLayer", FieldType::kInteger},    {"HighLayer", FieldType::kInteger},
    {"Net", FieldType::kInteger},         {"Component", FieldType::kInteger},   {"X", FieldType::kInteger},
    {"Y", FieldType::kInteger},           {"X2", FieldType::kInteger},          {"Y2", FieldType::kInteger},
    {"Width", FieldType::kInteger},       {"Radius", FieldType::kInteger},      {"Size", FieldType::kInteger},
    {"HoleSize", FieldType::kInteger},    {"Height", FieldType::kInteger},      {"PointCount", FieldType::kInteger},
    {"XSizeTop", FieldType::kInteger},    {"XSizeMid", FieldType::kInteger},    {"XSizeBottom", FieldType::kInteger},
    {"YSizeTop", FieldType::kInteger},    {"YSizeMid", FieldType::kInteger},    {"YSizeBottom", FieldType::kInteger},
    {"ShapeTop", FieldType::kInteger},    {"ShapeMid", FieldType::kInteger},    {"ShapeBottom", FieldType::kInteger},
    {"Rotation", FieldType::kReal},       {"StartAngle", FieldType::kReal},     {"EndAngle", FieldType::kReal},
    {"NameText", FieldType::kInteger},    {"CommentText", FieldType::kInteger}, {"NameShown", FieldType::kInteger},
    {"CommentShown", FieldType::kInteger}, {"Mirrored", FieldType::kInteger},   {"Name", FieldType::kString},
    {"Text", FieldType::kString},         {"Pattern", FieldType::kString},      {"RuleName", FieldType::kString},
    {"Scope1", FieldType::kString},       {"Scope2", FieldType::kString},       {"RuleKind", FieldType::kInteger},
    {"Segments", FieldType::kList},       {"Constraint", FieldType::kList},
}};

constexpr std::uint64_t Bit(Field field) { return std::uint64_t{1} << static_cast<unsigned>(field); }

template <typename... Fields>
constexpr std::uint64_t Mask(Fields... fields) {
  return (Bit(fields) | ...);
}

// What every object of a kind the viewers read carries in a board document.
std::uint64_t Needed(std::uint8_t kind) {
  using F = Field;
  constexpr std::uint64_t kEvery = Mask(F::kHandle, F::kObjectId, F::kContainers);
  constexpr std::uint64_t kPrimitive = kEvery | Mask(F::kLayer, F::kNet, F::kComponent, F::kX, F::kY);
  switch (static_cast<ObjectKind>(kind)) {
    case ObjectKind::kArc: return kPrimitive | Mask(F::kRadius, F::kWidth, F::kStartAngle, F::kEndAngle);
    case ObjectKind::kPad:
      return kPrimitive | Mask(F::kName, F::kHoleSize, F::kRotation, F::kXSizeTop, F::kXSizeMid, F::kXSizeBottom,
                               F::kYSizeTop, F::kYSizeMid, F::kYSizeBottom, F::kShapeTop, F::kShapeMid, F::kShapeBottom);
    case ObjectKind::kVia: return kPrimitive | Mask(F::kSize, F::kHoleSize, F::kLowLayer, F::kHighLayer);
    case ObjectKind::kTrack: return kPrimitive | Mask(F::kX2, F::kY2, F::kWidth);
    case ObjectKind::kText: return kPrimitive | Mask(F::kText, F::kHeight, F::kWidth, F::kRotation, F::kMirrored);
    case ObjectKind::kFill: return kPrimitive | Mask(F::kX2, F::kY2, F::kRotation);
    case ObjectKind::kNet: return kEvery | Mask(F::kName);
    case ObjectKind::kComponent:
      return kEvery | Mask(F::kLayer, F::kX, F::kY, F::kRotation, F::kPattern, F::kNameText, F::kCommentText,
                           F::kNameShown, F::kCommentShown);
    case ObjectKind::kPolygon:
    case ObjectKind::kSplitPlane: return kEvery | Mask(F::kLayer, F::kNet, F::kPointCount, F::kSegments);
    case ObjectKind::kDimension: return kEvery | Mask(F::kLayer, F::kX, F::kY, F::kX2, F::kY2);
    case ObjectKind::kCoordinate: return kEvery | Mask(F::kLayer, F::kX, F::kY);
    case ObjectKind::kRule: return kEvery | Mask(F::kRuleKind, F::kRuleName, F::kScope1, F::kScope2);
    default: return kEvery;
  }
}

// Host lengths and layer numbers are int32; anything else a hand-made document holds is clamped.
std::int32_t Clamp32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::uint32_t HandleValue(std::int64_t value) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, UINT32_MAX));
}

}  // namespace

std::optional<Field> FieldNamed(std::string_view name) {
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    if (kFields[i].name == name) return static_cast<Field>(i);
  }
  return std::nullopt;
}

std::vector<Field> NeededFields(std::uint8_t kind) {
  std::vector<Field> fields;
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    if ((Needed(kind) & Bit(static_cast<Field>(i))) != 0) fields.push_back(static_cast<Field>(i));
  }
  return fields;
}

std::string_view NameOf(Field field) { return kFields[static_cast<std::size_t>(field)].name; }
FieldType TypeOf(Field field) { return kFields[static_cast<std::size_t>(field)].type; }

void ObjectBuilder::Begin() {
  object_ = Object{};
  object_.first_container = static_cast<std::uint32_t>(view_.containers.size());
  object_.first_segment = static_cast<std::uint32_t>(view_.segments.size());
  given_ = 0;
  name_.clear();
  text_.clear();
  pattern_.clear();
  rule_ = Rule{};
}

std::string ObjectBuilder::Where() const {
  std::string where = "object";
  if ((given_ & Bit(Field::kHandle)) != 0) where += " " + std::to_string(object_.handle);
  if ((given_ & Bit(Field::kObjectId)) != 0) where += " (ObjectId " + std::to_string(object_.kind) + ")";
  return where;
}

bool ObjectBuilder::WrongType(Field field, std::string_view given, std::string& error) const {
  constexpr std::string_view kWanted[] = {"number", "number", "string", "list"};
  error = Where() + ": \"" + std::string(NameOf(field)) + "\" is " + std::string(given) + ", not a " +
          std::string(kWanted[static_cast<std::size_t>(TypeOf(field))]);
  return false;
}

bool ObjectBuilder::Int(Field field, std::int64_t value, std::string& error) {
  if (TypeOf(field) == FieldType::kReal) return Real(field, static_cast<double>(value), error);
  if (TypeOf(field) != FieldType::kInteger) return WrongType(field, "a number", error);
  given_ |= Bit(field);
  const std::int32_t v = Clamp32(value);
  Object& o = object_;
  switch (field) {
    case Field::kHandle: o.handle = HandleValue(value); break;
    case Field::kObjectId:
      // Codes beyond a byte are no kind the host knows: kept as 0, nothing drawn.
      o.kind = value >= 0 && value <= 255 ? static_cast<std::uint8_t>(value) : 0;
      break;
    case Field::kLayer: o.layer = v; break;
    case Field::kLowLayer: o.low_layer = v; break;
    case Field::kHighLayer: o.high_layer = v; break;
    case Field::kNet: o.net = HandleValue(value); break;
    case Field::kComponent: o.component = HandleValue(value); break;
    case Field::kX: o.x = v; break;
    case Field::kY: o.y = v; break;
    case Field::kX2: o.x2 = v; break;
    case Field::kY2: o.y2 = v; break;
    case Field::kWidth: o.width = v; break;
    case Field::kRadius: o.radius = v; break;
    case Field::kSize: o.size = v; break;
    case Field::kHoleSize: o.hole_size = v; break;
    case Field::kHeight: o.height = v; break;
    case Field::kPointCount: o.point_count = v; break;
    case Field::kXSizeTop: o.x_size[kTopSide] = v; break;
    case Field::kXSizeMid: o.x_size[kMidSide] = v; break;
    case Field::kXSizeBottom: o.x_size[kBottomSide] = v; break;
    case Field::kYSizeTop: o.y_size[kTopSide] = v; break;
    case Field::kYSizeMid: o.y_size[kMidSide] = v; break;
    case Field::kYSizeBottom: o.y_size[kBottomSide] = v; break;
    case Field::kShapeTop: o.shape[kTopSide] = v; break;
    case Field::kShapeMid: o.shape[kMidSide] = v; break;
    case Field::kShapeBottom: o.shape[kBottomSide] = v; break;
    case Field::kNameText: o.name_text = HandleValue(value); break;
    case Field::kCommentText: o.comment_text = HandleValue(value); break;
    case Field::kNameShown: o.name_shown = value != 0; break;
    case Field::kCommentShown: o.comment_shown = value != 0; break;
    case Field::kMirrored: o.mirrored = value != 0; break;
    case Field::kRuleKind: rule_.rule_kind = v; break;
    default: break;
  }
  return true;
}

bool ObjectBuilder::Real(Field field, double value, std::string& error) {
  if (TypeOf(field) == FieldType::kInteger) {
    error = Where() + ": \"" + std::string(NameOf(field)) + "\" is not a whole number";
    return false;
  }
  if (TypeOf(field) != FieldType::kReal) return WrongType(field, "a number", error);
  given_ |= Bit(field);
  // A value that is not finite has no place on a board: kept as 0.
  if (!std::isfinite(value)) value = 0;
  switch (field) {
    case Field::kRotation: object_.rotation = value; break;
    case Field::kStartAngle: object_.start_angle = value; break;
    case Field::kEndAngle: object_.end_angle = value; break;
    default: break;
  }
  return true;
}

bool ObjectBuilder::String(Field field, std::string_view value, std::string& error) {
  if (TypeOf(field) != FieldType::kString) return WrongType(field, "a string", error);
  given_ |= Bit(field);
  switch (field) {
    case Field::kName: name_ = value; break;
    case Field::kText: text_ = value; break;
    case Field::kPattern: pattern_ = value; break;
    case Field::kRuleName: rule_.name = value; break;
    case Field::kScope1: rule_.scope1 = value; break;
    case Field::kScope2: rule_.scope2 = value; break;
    default: break;
  }
  return true;
}

void ObjectBuilder::Container(std::int64_t handle) { view_.containers.push_back(HandleValue(handle)); }

void ObjectBuilder::ConstraintValue(std::int64_t value) { rule_.values.push_back(Clamp32(value)); }

void ObjectBuilder::ConstraintValue(double value) {
  rule_.values.push_back(std::isfinite(value) ? Clamp32(static_cast<std::int64_t>(std::clamp(value, -9.0e18, 9.0e18))) : 0);
}

void ObjectBuilder::Given(Field field, bool constraint_record) {
  given_ |= Bit(field);
  if (field == Field::kConstraint) rule_.has_values = constraint_record;
}

bool ObjectBuilder::End(std::string& error) {
  const std::uint64_t missing = Needed(object_.kind) & ~given_;
  if (missing != 0) {
    for (std::size_t i = 0; i < kFields.size(); ++i) {
      if ((missing & Bit(static_cast<Field>(i))) == 0) continue;
      error = Where() + " has no \"" + std::string(kFields[i].name) + "\"";
      return false;
    }
  }
  object_.container_count = static_cast<std::uint32_t>(view_.containers.size()) - object_.first_container;
  object_.segment_count = static_cast<std::uint32_t>(view_.segments.size()) - object_.first_segment;
  switch (static_cast<ObjectKind>(object_.kind)) {
    case ObjectKind::kText: object_.text = view_.Keep(text_); break;
    case ObjectKind::kPad:
    case ObjectKind::kNet: object_.text = view_.Keep(name_); break;
    case ObjectKind::kComponent: object_.text = view_.Keep(pattern_); break;
    case ObjectKind::kRule:
      object_.rule = static_cast<std::uint32_t>(view_.rules.size());
      view_.rules.push_back(std::move(rule_));
      break;
    default: break;
  }
  view_.objects.push_back(object_);
  if (each_) {
    each_(view_.objects.back(), view_);
    view_.DropLast();
  }
  return true;
}

}  // namespace view
