// Builds the view's objects from named values, whichever way they come: the fields of a model
// object or the keys of a document object. Each name the viewers read has one typed place; a
// value of the wrong type, or a field an object of its kind must have but lacks, is an error
// that names the object and the field. Names the viewers do not read are passed over.
//
//   ObjectBuilder builder(view);
//   builder.Begin();
//   builder.Int(Field::kX, 100, error); ...
//   builder.End(error);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "viewers/board_view.h"

namespace view {

enum class Field : std::uint8_t {
  kHandle, kObjectId, kContainers, kLayer, kLowLayer, kHighLayer, kNet, kComponent,
  kX, kY, kX2, kY2, kWidth, kRadius, kSize, kHoleSize, kHeight, kPointCount,
  kXSizeTop, kXSizeMid, kXSizeBottom, kYSizeTop, kYSizeMid, kYSizeBottom, kShapeTop, kShapeMid, kShapeBottom,
  kRotation, kStartAngle, kEndAngle,
  kNameText, kCommentText, kNameShown, kCommentShown, kMirrored,
  kName, kText, kPattern, kRuleName, kScope1, kScope2, kRuleKind,
  kSegments, kConstraint,
  kCount,
};

// The field of a document key; nullopt for keys the viewers do not read.
std::optional<Field> FieldNamed(std::string_view name);
std::string_view NameOf(Field field);

// The fields every object of `kind` must carry (Handle, ObjectId and Containers for any kind).
std::vector<Field> NeededFields(std::uint8_t kind);

// What a field holds.
enum class FieldType : std::uint8_t { kInteger, kReal, kString, kList };
FieldType TypeOf(Field field);

class ObjectBuilder {
 public:
  // With `each`, every object is handed over when complete and then dropped from the view.
  explicit ObjectBuilder(BoardView& view, ObjectSink each = {}) : view_(view), each_(std::move(each)) {}

  void Begin();
  // False, with `error` set, for a value the field cannot take.
  bool Int(Field field, std::int64_t value, std::string& error);
  bool Real(Field field, double value, std::string& error);
  bool String(Field field, std::string_view value, std::string& error);
  // The lists: a container handle, an outline vertex, a constraint value.
  void Container(std::int64_t handle);
  void AddSegment(const Segment& segment) { view_.segments.push_back(segment); }
  void ConstraintValue(std::int64_t value);
  void ConstraintValue(double value);
  // A list field was given (possibly empty); for Constraint, whether it holds a record.
  void Given(Field field, bool constraint_record = true);

  // Adds the object to the view; false, with `error` set, when a field its kind needs is missing.
  bool End(std::string& error);

 private:
  [[nodiscard]] std::string Where() const;
  bool WrongType(Field field, std::string_view given, std::string& error) const;

  BoardView& view_;
  ObjectSink each_;
  Object object_;
  std::uint64_t given_ = 0;
  std::string name_, text_, pattern_;
  Rule rule_;
};

}  // namespace view
