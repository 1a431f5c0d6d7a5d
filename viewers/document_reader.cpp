// A SAX handler over the board document: a stack of the places the reader is in (the top, the
// board's layers, an object, its outline, its constraint) decides where each value goes.
#include "viewers/document_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <istream>
#include <optional>
#include <streambuf>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>

#include "viewers/object_builder.h"

namespace view {
namespace {

using nlohmann::json;

enum class Place : std::uint8_t {
  kTop, kBoard, kLayers, kLayer, kObjects, kObject, kContainers, kSegments, kSegment, kConstraint, kValues, kSkip,
};

enum SegmentKey : std::uint8_t { kKind, kX, kY, kCentreX, kCentreY, kRadius, kStartAngle, kEndAngle, kSegmentKeys };
constexpr std::string_view kSegmentKeyNames[kSegmentKeys] = {"SegmentKind", "X",      "Y",          "CentreX",
                                                             "CentreY",     "Radius", "StartAngle", "EndAngle"};

class Reader final : public json::json_sax_t {
 public:
  Reader(BoardView& view, ObjectSink each) : view_(view), builder_(view, std::move(each)) {}

  DocumentRead Finish(bool parsed) {
    DocumentRead read;
    read.has_objects = saw_objects_;
    if (!parsed) {
      read.malformed = !parse_error_.empty();
      read.error = read.malformed ? "not a JSON document: " + parse_error_ : error_;
      return read;
    }
    if (!board_document_) {
      read.error = "not a board document (no \"document\": \"viderave-board\")";
      return read;
    }
    read.ok = true;
    return read;
  }

  bool null() override {
    if (Top() == Place::kObject && field_ == Field::kConstraint) {
      builder_.Given(Field::kConstraint, false);
      return true;
    }
    return Scalar("null");
  }
  bool boolean(bool) override { return Scalar("true or false"); }
  bool number_integer(std::int64_t value) override { return Integer(value); }
  bool number_unsigned(std::uint64_t value) override {
    return Integer(static_cast<std::int64_t>(std::min<std::uint64_t>(value, INT64_MAX)));
  }
  bool number_float(double value, const std::string&) override {
    switch (Top()) {
      case Place::kObject:
        return !field_ || builder_.Real(*field_, value, error_);
      case Place::kSegment: return SegmentValue(value);
      case Place::kValues: builder_.ConstraintValue(value); return true;
      case Place::kContainers: return Fail(Where() + ": a container handle is not a whole number");
      case Place::kLayer:
        if (key_ == "Number") return Fail("a layer number of the board is not a whole number");
        return true;
      default: return true;
    }
  }
  bool string(std::string& value) override {
    switch (Top()) {
      case Place::kTop:
        if (key_ == "document") board_document_ = value == "viderave-board";
        if (key_ == "fileName") view_.title = value;
        return true;
      case Place::kLayer:
        if (key_ == "Name") layer_.name = value;
        if (key_ == "PlaneNetName") layer_.plane_net_name = value;
        return true;
      case Place::kObject: return !field_ || builder_.String(*field_, value, error_);
      case Place::kValues: builder_.ConstraintValue(std::int64_t{0}); return true;  // no length
      case Place::kSkip: return true;
      default: return Scalar("a string");
    }
  }
  bool binary(json::binary_t&) override { return Scalar("binary"); }

  bool start_object(std::size_t) override {
    switch (Top()) {
      case Place::kTop:
        if (places_.empty()) return Push(Place::kTop);
        return Push(key_ == "board" ? Place::kBoard : Place::kSkip);
      case Place::kLayers:
        layer_ = {};
        layer_number_.reset();
        return Push(Place::kLayer);
      case Place::kObjects:
        builder_.Begin();
        return Push(Place::kObject);
      case Place::kObject:
        if (!field_) return Push(Place::kSkip);
        if (*field_ != Field::kConstraint) return Fail(Where() + ": \"" + std::string(NameOf(*field_)) + "\" is an object");
        builder_.Given(Field::kConstraint, true);
        return Push(Place::kConstraint);
      case Place::kSegments:
        segment_ = {};
        segment_keys_ = 0;
        return Push(Place::kSegment);
      case Place::kValues:
        builder_.ConstraintValue(std::int64_t{0});
        return Push(Place::kSkip);
      case Place::kContainers: return Fail(Where() + ": a container is not a handle");
      default: return Push(Place::kSkip);
    }
  }
  bool end_object() override {
    const Place place = Top();
    places_.pop_back();
    if (place == Place::kObject) {
      ++read_objects_;
      return builder_.End(error_);
    }
    if (place == Place::kLayer && layer_number_ && *layer_number_ >= 1 && *layer_number_ <= host_layer::kLastLayer) {
      view_.layers[static_cast<std::size_t>(*layer_number_)] = std::move(layer_);
    }
    if (place == Place::kSegment) {
      for (std::uint8_t k = 0; k < kSegmentKeys; ++k) {
        if ((segment_keys_ & (1u << k)) == 0) {
          return Fail(Where() + ": an outline vertex has no \"" + std::string(kSegmentKeyNames[k]) + "\"");
        }
      }
      builder_.AddSegment(segment_);
    }
    return true;
  }
  bool start_array(std::size_t) override {
    switch (Top()) {
      case Place::kTop:
        if (places_.empty()) return Push(Place::kSkip);
        if (key_ == "objects") {
          saw_objects_ = true;
          return Push(Place::kObjects);
        }
        return Push(Place::kSkip);
      case Place::kBoard: return Push(key_ == "layers" ? Place::kLayers : Place::kSkip);
      case Place::kObject:
        if (!field_) return Push(Place::kSkip);
        if (*field_ == Field::kContainers || *field_ == Field::kSegments) {
          builder_.Given(*field_);
          return Push(*field_ == Field::kContainers ? Place::kContainers : Place::kSegments);
        }
        return Fail(Where() + ": \"" + std::string(NameOf(*field_)) + "\" is a list");
      case Place::kConstraint: return Push(key_ == "Values" ? Place::kValues : Place::kSkip);
      case Place::kValues:
        builder_.ConstraintValue(std::int64_t{0});
        return Push(Place::kSkip);
      case Place::kObjects: return Fail("an element of \"objects\" is not an object");
      case Place::kContainers:
      case Place::kSegments: return Fail(Where() + ": a list holds a list");
      default: return Push(Place::kSkip);
    }
  }
  bool end_array() override {
    places_.pop_back();
    return true;
  }
  bool key(std::string& name) override {
    key_ = name;
    if (Top() == Place::kObject) field_ = FieldNamed(name);
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
    parse_error_ = e.what();
    return false;
  }

 private:
  [[nodiscard]] Place Top() const { return places_.empty() ? Place::kTop : places_.back(); }
  bool Push(Place place) {
    places_.push_back(place);
    return true;
  }
  bool Fail(std::string error) {
    error_ = std::move(error);
    return false;
  }
  [[nodiscard]] std::string Where() const {
    return "object " + std::to_string(read_objects_ + 1) + " of \"objects\"";
  }

  bool Integer(std::int64_t value) {
    switch (Top()) {
      case Place::kObject: return !field_ || builder_.Int(*field_, value, error_);
      case Place::kContainers: builder_.Container(value); return true;
      case Place::kSegment: return SegmentValue(value);
      case Place::kValues: builder_.ConstraintValue(value); return true;
      case Place::kLayer:
        if (key_ == "Number") layer_number_ = value;
        return true;
      case Place::kObjects: return Fail("an element of \"objects\" is not an object");
      default: return true;
    }
  }

  template <typename Number>
  bool SegmentValue(Number value) {
    std::uint8_t k = 0;
    while (k < kSegmentKeys && kSegmentKeyNames[k] != key_) ++k;
    if (k == kSegmentKeys) return true;
    const bool real = k == kStartAngle || k == kEndAngle;
    if constexpr (std::is_floating_point_v<Number>) {
      if (!real) return Fail(Where() + ": the outline vertex value \"" + key_ + "\" is not a whole number");
    }
    segment_keys_ |= 1u << k;
    const auto length = [&] { return static_cast<std::int32_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(value), INT32_MIN, INT32_MAX)); };
    switch (k) {
      case kKind: segment_.kind = static_cast<std::uint8_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(value), 0, 255)); break;
      case kX: segment_.x = length(); break;
      case kY: segment_.y = length(); break;
      case kCentreX: segment_.centre_x = length(); break;
      case kCentreY: segment_.centre_y = length(); break;
      case kRadius: segment_.radius = length(); break;
      case kStartAngle: segment_.start_angle = std::isfinite(double(value)) ? double(value) : 0; break;
      case kEndAngle: segment_.end_angle = std::isfinite(double(value)) ? double(value) : 0; break;
      default: break;
    }
    return true;
  }

  bool Scalar(const char* what) {
    switch (Top()) {
      case Place::kObject:
        if (!field_) return true;
        return Fail(Where() + ": \"" + std::string(NameOf(*field_)) + "\" is " + what);
      case Place::kObjects: return Fail("an element of \"objects\" is not an object");
      case Place::kContainers: return Fail(Where() + ": a container is not a handle");
      case Place::kSegment: {
        for (std::string_view name : kSegmentKeyNames) {
          if (name == key_) return Fail(Where() + ": the outline vertex value \"" + key_ + "\" is " + what);
        }
        return true;
      }
      case Place::kValues: builder_.ConstraintValue(std::int64_t{0}); return true;
      default: return true;
    }
  }

  BoardView& view_;
  ObjectBuilder builder_;
  std::vector<Place> places_;
  std::string key_;
  std::optional<Field> field_;
  Layer layer_;
  std::optional<std::int64_t> layer_number_;
  Segment segment_;
  std::uint32_t segment_keys_ = 0;
  std::size_t read_objects_ = 0;
  bool board_document_ = false, saw_objects_ = false;
  std::string error_, parse_error_;
};

// The file in large blocks: the parser takes one character at a time, which from the stream's
// buffer costs a pointer step, where each std::fgetc call would take the file's lock.
class FileBuffer final : public std::streambuf {
 public:
  explicit FileBuffer(std::FILE* file) : file_(file), block_(std::size_t{1} << 20) {}

 protected:
  int_type underflow() override {
    const std::size_t read = std::fread(block_.data(), 1, block_.size(), file_);
    if (read == 0) return traits_type::eof();
    setg(block_.data(), block_.data(), block_.data() + read);
    return traits_type::to_int_type(block_[0]);
  }

 private:
  std::FILE* file_;
  std::vector<char> block_;
};

}  // namespace

DocumentRead ReadDocument(std::FILE* in, BoardView& view, ObjectSink each) {
  Reader reader(view, std::move(each));
  FileBuffer buffer(in);
  std::istream stream(&buffer);
  const bool parsed = json::sax_parse(stream, &reader);
  return reader.Finish(parsed);
}

DocumentRead ReadDocument(std::string_view text, BoardView& view, ObjectSink each) {
  Reader reader(view, std::move(each));
  const bool parsed = json::sax_parse(text, &reader);
  return reader.Finish(parsed);
}

}  // namespace view
