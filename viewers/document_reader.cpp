// A SAX handler over the board document: a stack of the places the reader is in (the top, the
// board's layers, an object, its outline, its constraint) decides where each value goes.
//
// The document is read with RapidJSON's event reader, not nlohmann's: on the 1M-primitive board's
// 596 MB document nlohmann's lexer alone took 5 s, RapidJSON's 2 s (it reads each token in place
// instead of copying every character into a token buffer). Its iterative mode keeps the nesting on
// the heap, so a deeply nested file cannot exhaust the stack.
#include "viewers/document_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <vector>

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include "viewers/object_builder.h"

namespace view {
namespace {

enum class Place : std::uint8_t {
  kTop, kBoard, kLayers, kLayer, kObjects, kObject, kContainers, kSegments, kSegment, kConstraint, kValues, kSkip,
};

enum SegmentKey : std::uint8_t { kKind, kX, kY, kCentreX, kCentreY, kRadius, kStartAngle, kEndAngle, kSegmentKeys };
constexpr std::string_view kSegmentKeyNames[kSegmentKeys] = {"SegmentKind", "X",      "Y",          "CentreX",
                                                             "CentreY",     "Radius", "StartAngle", "EndAngle"};

class Reader final {
 public:
  Reader(BoardView& view, ObjectSink each) : view_(view), builder_(view, std::move(each)) {}

  // `parse_error` is empty when the text was read to its end as JSON, else why not.
  DocumentRead Finish(const std::string& parse_error) {
    DocumentRead read;
    read.has_objects = saw_objects_;
    if (!error_.empty()) {
      read.error = error_;
      return read;
    }
    if (!parse_error.empty()) {
      read.malformed = true;
      read.error = "not a JSON document: " + parse_error;
      return read;
    }
    if (!board_document_) {
      read.error = "not a board document (no \"document\": \"viderave-board\")";
      return read;
    }
    read.ok = true;
    return read;
  }

  bool Null() {
    if (Top() == Place::kObject && field_ == Field::kConstraint) {
      builder_.Given(Field::kConstraint, false);
      return true;
    }
    return Scalar("null");
  }
  bool Bool(bool) { return Scalar("true or false"); }
  bool Int(int value) { return Integer(value); }
  bool Uint(unsigned value) { return Integer(value); }
  bool Int64(std::int64_t value) { return Integer(value); }
  bool Uint64(std::uint64_t value) { return Integer(static_cast<std::int64_t>(std::min<std::uint64_t>(value, INT64_MAX))); }
  bool Double(double value) {
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
  bool RawNumber(const char*, rapidjson::SizeType, bool) { return false; }  // numbers are read as numbers
  bool String(const char* text, rapidjson::SizeType length, bool) {
    const std::string_view value(text, length);
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
  bool StartObject() {
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
  bool EndObject(rapidjson::SizeType) {
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
  bool StartArray() {
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
  bool EndArray(rapidjson::SizeType) {
    places_.pop_back();
    return true;
  }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    key_.assign(text, length);
    if (Top() == Place::kObject) field_ = FieldNamed(key_);
    return true;
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
  std::string error_;
};

// The text a block at a time, in the shape RapidJSON reads: Peek gives '\0' at the end, which is
// also a byte a damaged file may hold, so AtEnd tells the two apart.
class BlockStream {
 public:
  using Ch = char;

  explicit BlockStream(std::FILE* file) : file_(file), block_((std::size_t{1} << 20) + 1) {
    current_ = block_.data();
    Refill();
  }
  explicit BlockStream(std::string_view text) : block_(text.begin(), text.end()) {
    block_.push_back('\0');
    current_ = block_.data();
    last_ = current_ + text.size();
    at_eof_ = true;
  }

  [[nodiscard]] char Peek() const { return *current_; }
  char Take() {
    const char c = *current_;
    if (current_ < last_) {
      ++current_;
      if (current_ == last_ && !at_eof_) Refill();
    }
    return c;
  }
  [[nodiscard]] std::size_t Tell() const { return consumed_ + static_cast<std::size_t>(current_ - block_.data()); }
  [[nodiscard]] bool AtEnd() const { return current_ == last_ && at_eof_; }

  // Only for reading in place, which this reader does not do.
  char* PutBegin() { return nullptr; }
  void Put(char) {}
  void Flush() {}
  std::size_t PutEnd(char*) { return 0; }

 private:
  void Refill() {
    consumed_ += static_cast<std::size_t>(current_ - block_.data());
    const std::size_t read = std::fread(block_.data(), 1, block_.size() - 1, file_);
    at_eof_ = read < block_.size() - 1;
    block_[read] = '\0';
    current_ = block_.data();
    last_ = current_ + read;
    if (read == 0) at_eof_ = true;
  }

  std::FILE* file_ = nullptr;
  std::vector<char> block_;
  const char* current_ = nullptr;
  const char* last_ = nullptr;  // one past the block's text, where '\0' stands
  std::size_t consumed_ = 0;
  bool at_eof_ = false;
};

DocumentRead Parse(BlockStream& stream, BoardView& view, ObjectSink each) {
  constexpr unsigned kFlags = rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag |
                              rapidjson::kParseValidateEncodingFlag;
  Reader reader(view, std::move(each));
  rapidjson::Reader parser;
  const rapidjson::ParseResult result = parser.Parse<kFlags>(stream, reader);
  std::string parse_error;
  if (result.IsError()) {
    parse_error = std::string(rapidjson::GetParseError_En(result.Code())) + " (at byte " +
                  std::to_string(result.Offset()) + ")";
  } else if (!stream.AtEnd()) {
    parse_error = "a zero byte after the document (at byte " + std::to_string(stream.Tell()) + ")";
  }
  return reader.Finish(parse_error);
}

}  // namespace

DocumentRead ReadDocument(std::FILE* in, BoardView& view, ObjectSink each) {
  BlockStream stream(in);
  return Parse(stream, view, std::move(each));
}

DocumentRead ReadDocument(std::string_view text, BoardView& view, ObjectSink each) {
  BlockStream stream(text);
  return Parse(stream, view, std::move(each));
}

}  // namespace view
