// The board as the viewers draw it: typed values of the objects the SVG and KiCad writers read,
// filled straight from the stand-in's model after an import (view_from_model.h) or streamed from
// a saved board document (document_reader.h). Both give the same view of the same board.
//
//   BoardView view;
//   std::string error;
//   if (!ReadDocument(file, view, error)) ...;   // or FillFromModel(model, board, name, view)
//   svg::SvgWriter picture;  picture.AddView(view);
//
// Strings are UTF-8, as the document holds them. Values keep the host's units (1/10000 mil,
// Y up; angles in degrees). Objects keep the document's order.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/api/vocabulary.h"

namespace view {

// One vertex of a polygon or split plane outline; an arc vertex also carries its circle.
struct Segment {
  std::uint8_t kind = 0;  // 1: arc
  std::int32_t x = 0, y = 0, centre_x = 0, centre_y = 0, radius = 0;
  double start_angle = 0, end_angle = 0;
};

// A string kept in the view's pool.
struct StringRef {
  std::uint32_t offset = 0, size = 0;
};

// Pad sides, in the order the host names them.
enum PadSide : std::uint8_t { kTopSide = 0, kMidSide = 1, kBottomSide = 2 };

// One object of the board. Which fields mean something depends on the kind; the rest stay at
// their defaults.
struct Object {
  std::uint32_t handle = 0;
  std::uint8_t kind = 0;  // KindCode(ObjectKind::...)
  // Host layer numbers as given; out-of-range values are kept as they are, for the writers to
  // leave out.
  std::int32_t layer = host_layer::kNoLayer;
  std::int32_t low_layer = 0, high_layer = 0;  // vias
  std::int32_t x = 0, y = 0, x2 = 0, y2 = 0;
  std::int32_t width = 0;      // tracks, arcs, texts
  std::int32_t radius = 0;     // arcs
  std::int32_t size = 0;       // vias
  std::int32_t hole_size = 0;  // vias, pads
  std::int32_t height = 0;     // texts
  std::int32_t point_count = 0;  // outlines
  std::array<std::int32_t, 3> x_size{}, y_size{}, shape{};  // pads, by PadSide
  double rotation = 0, start_angle = 0, end_angle = 0;
  std::uint32_t net = 0;
  std::uint32_t component = 0;  // texts and primitives: the component named on them
  std::uint32_t name_text = 0, comment_text = 0;  // components
  bool name_shown = false, comment_shown = false, mirrored = false;
  StringRef text;  // texts: the text; nets and pads: the name; components: the pattern
  std::uint32_t first_container = 0, container_count = 0;  // in BoardView::containers
  std::uint32_t first_segment = 0, segment_count = 0;      // in BoardView::segments
  std::uint32_t rule = 0;  // rules: index in BoardView::rules
};

// A design rule's values.
struct Rule {
  std::string name, scope1, scope2;
  std::int32_t rule_kind = 0;
  bool has_values = false;  // the rule holds a constraint record
  std::vector<std::int32_t> values;
};

// What the board section says of one host layer.
struct Layer {
  std::string name;
  std::string plane_net_name;  // internal planes
};

class BoardView {
 public:
  std::string title;  // the imported file's name
  std::deque<Object> objects;  // grows without moving what it holds
  std::vector<std::uint32_t> containers;
  std::vector<Segment> segments;
  std::vector<Rule> rules;
  std::array<Layer, host_layer::kLayerSlots> layers{};

  [[nodiscard]] std::string_view String(StringRef ref) const { return std::string_view(pool_).substr(ref.offset, ref.size); }
  StringRef Keep(std::string_view text) {
    const StringRef ref{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(text.size())};
    pool_.append(text);
    return ref;
  }
  // Removes the last object and what it added to the lists and the pool: a reader that hands
  // each object over as it is read keeps no more than the one object.
  void DropLast() {
    const Object& last = objects.back();
    containers.resize(last.first_container);
    segments.resize(last.first_segment);
    if (last.kind == KindCode(ObjectKind::kRule)) rules.pop_back();
    if (last.text.size > 0) pool_.resize(last.text.offset);
    objects.pop_back();
  }
  // Empties the view and keeps its memory, for the next few objects.
  void Clear() {
    objects.clear();
    containers.clear();
    segments.clear();
    rules.clear();
    pool_.clear();
  }
  [[nodiscard]] const std::uint32_t* ContainersOf(const Object& object) const { return containers.data() + object.first_container; }
  [[nodiscard]] const Segment* SegmentsOf(const Object& object) const { return segments.data() + object.first_segment; }

 private:
  std::string pool_;
};

// Takes each object of a view as it is read; the view holds the object's lists and strings.
using ObjectSink = std::function<void(const Object& object, const BoardView& view)>;

}  // namespace view
