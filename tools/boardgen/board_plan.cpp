// Board plan and summary (see board_plan.h).
#include "boardgen/board_plan.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace boardgen {
namespace {

struct PartKind {
  const char* prefix;
  const char* comments[3];
};

constexpr PartKind kTwoPin[] = {{"R", {"10k", "4k7", "100R"}},
                                {"C", {"100nF", "10uF", "22pF"}},
                                {"L", {"10uH", "1uH", "100uH"}},
                                {"D", {"1N4148", "BAT54", "LED"}}};
constexpr PartKind kThreePin = {"Q", {"BC547", "2N7002", "BC857"}};
constexpr PartKind kManyPin[] = {{"U", {"74HC00", "LM358", "ATMEGA8"}}, {"J", {"CONN", "HEADER", "SOCKET"}}};

std::string Pattern(const PartKind& kind, int pads, bool surface) {
  if (pads <= 2) {
    if (surface) return kind.prefix[0] == 'C' ? "0603" : "0805";
    return kind.prefix[0] == 'C' ? "RAD0.2" : "AXIAL0.4";
  }
  if (pads == 3) return surface ? "SOT-23" : "TO-92";
  if (kind.prefix[0] == 'J') return "HDR1X" + std::to_string(pads);
  if (surface) return (pads > 20 ? "QFP" : "SO-") + std::to_string(pads);
  return "DIP" + std::to_string(pads);
}

int DesignatorFileLayer(DesignatorLayer choice, bool bottom, Random& random) {
  if (choice == DesignatorLayer::kRandom) choice = static_cast<DesignatorLayer>(random.Between(1, 6));
  switch (choice) {
    case DesignatorLayer::kSideOverlay:
      return bottom ? kBottomOverlay : kTopOverlay;
    case DesignatorLayer::kTopOverlay:
      return kTopOverlay;
    case DesignatorLayer::kBottomOverlay:
      return kBottomOverlay;
    case DesignatorLayer::kTop:
      return kTopLayer;
    case DesignatorLayer::kBottom:
      return kBottomLayer;
    case DesignatorLayer::kMid:
      return random.Between(2, 15);
    case DesignatorLayer::kMechanical:
      return random.Between(kMechanical1, kMechanical1 + 3);
    case DesignatorLayer::kRandom:
      break;
  }
  return kTopOverlay;
}

void CountLinks(int64_t records, int percent, int dangling_percent, int64_t owners, int64_t& linked,
                int64_t& dangling) {
  const int64_t picked = owners > 0 ? records * percent / 100 : 0;
  const int64_t lost = picked * dangling_percent / 100;
  linked += picked - lost;
  dangling += lost;
}

}  // namespace

void CheckSpec(const BoardSpec& spec) {
  if (spec.level < 0 || spec.level > 10) throw std::invalid_argument("format level must be 0 to 10");
  for (int count : {spec.tracks, spec.arcs, spec.vias, spec.pads, spec.fills, spec.strings, spec.polygons,
                    spec.split_planes, spec.coordinates, spec.dimensions, spec.shape6_pads, spec.nets}) {
    if (count < 0) throw std::invalid_argument("record counts must not be negative");
  }
  for (const ComponentSpec& c : spec.components) {
    if (c.pads < 0 || c.tracks < 0 || c.arcs < 0 || c.vias < 0 || c.fills < 0 || c.strings < 0)
      throw std::invalid_argument("component record counts must not be negative");
  }
  for (int percent : {spec.links.net_percent, spec.links.polygon_percent, spec.links.coordinate_percent,
                      spec.links.dimension_percent, spec.links.dangling_percent, spec.arc_edge_percent}) {
    if (percent < 0 || percent > 100) throw std::invalid_argument("percentages must be 0 to 100");
  }
  if (spec.polygon_vertices < 3) throw std::invalid_argument("outlines need at least 3 edges");
}

BoardPlan MakePlan(const BoardSpec& spec) {
  BoardPlan plan;
  int64_t records = int64_t{spec.tracks} + spec.arcs + spec.vias + spec.pads + spec.fills + spec.strings;
  for (const ComponentSpec& c : spec.components) records += c.pads + c.tracks + c.arcs + c.vias + c.fills + c.strings;
  // A board grows with its contents: 2 x 1.5 inch for a small one, at most 30 x 22.5 inch.
  const auto side_mils = std::clamp<int64_t>(2000 + static_cast<int64_t>(20 * std::sqrt(double(records))), 2000, 30000);
  plan.width = side_mils * 1000;
  plan.height = side_mils * 750;

  Random random(spec.seed, 1);
  std::map<std::string, int> next_number;
  plan.components.reserve(spec.components.size());
  for (const ComponentSpec& c : spec.components) {
    ComponentPlan p;
    p.spec = &c;
    p.bottom = c.side == Side::kRandom ? random.Percent(30) : c.side == Side::kBottom;
    p.surface = c.mount == Mount::kRandom ? random.Percent(60) : c.mount == Mount::kSurface;
    p.comment_shown = c.comment_shown.has_value() ? *c.comment_shown : random.Percent(50);
    p.designator_layer = DesignatorFileLayer(c.designator_layer, p.bottom, random);
    const PartKind& kind = c.pads <= 2 ? random.Pick(kTwoPin) : c.pads == 3 ? kThreePin : random.Pick(kManyPin);
    p.designator = kind.prefix + std::to_string(++next_number[kind.prefix]);
    p.pattern = Pattern(kind, c.pads, p.surface);
    p.comment = kind.comments[random.Below(3)];
    // Whole mils on a 5 mil grid, the footprint clear of the board edge where the board allows.
    const int64_t margin_x = std::min<int64_t>(plan.width / 2000 - 5, 200 + 25 * int64_t{c.pads});
    const int64_t margin_y = std::min<int64_t>(plan.height / 2000 - 5, 400);
    p.x = (margin_x + 5 * int64_t{random.Below(static_cast<uint32_t>((plan.width / 1000 - 2 * margin_x) / 5))}) * 1000;
    p.y = (margin_y + 5 * int64_t{random.Below(static_cast<uint32_t>((plan.height / 1000 - 2 * margin_y) / 5))}) * 1000;
    plan.components.push_back(std::move(p));
  }
  return plan;
}

BoardSummary Summarize(const BoardSpec& spec, const BoardPlan& plan) {
  BoardSummary s;
  const LinkSpec& links = spec.links;
  const int64_t polygon_records = int64_t{spec.polygons} + spec.split_planes;
  int64_t nested_pads = 0, nested_vias = 0, nested_tracks = 0, nested_arcs = 0, nested_fills = 0, nested_strings = 0;
  for (const ComponentPlan& p : plan.components) {
    const ComponentSpec& c = *p.spec;
    nested_pads += c.pads;
    nested_vias += c.vias;
    nested_tracks += c.tracks;
    nested_arcs += c.arcs;
    nested_fills += c.fills;
    nested_strings += c.strings;
    if (spec.level >= 10) continue;
    // Side deduction of the importer: the designator's layer first, then the layers of the
    // shown comment and of the nested records, all on the component's side.
    if (p.designator_layer == kTopLayer || p.designator_layer == kTopOverlay) {
      ++s.top_by_designator;
    } else if (p.designator_layer == kBottomLayer || p.designator_layer == kBottomOverlay) {
      ++s.bottom_by_designator;
    } else if (p.comment_shown || (p.surface && c.pads > 0) || c.tracks + c.arcs + c.fills + c.strings > 0) {
      ++(p.bottom ? s.bottom_by_primitives : s.top_by_primitives);
    } else {
      ++s.side_undefined;
    }
  }
  const int64_t components = static_cast<int64_t>(plan.components.size());
  const int64_t pad_records = int64_t{spec.pads} + spec.shape6_pads + nested_pads;

  s.tracks = spec.tracks + nested_tracks;
  s.arcs = spec.arcs + nested_arcs;
  s.vias = spec.vias + nested_vias;
  s.uncreated_pads = spec.level < 7 ? spec.shape6_pads : 0;
  s.pads = pad_records - s.uncreated_pads;
  s.fills = spec.fills + nested_fills;
  s.texts = spec.strings + nested_strings + 2 * components;
  s.polygons = spec.polygons;
  s.split_planes = spec.split_planes;
  s.coordinates = spec.coordinates;
  s.dimensions = spec.dimensions;
  s.components = components;
  s.nets = spec.nets;

  s.header_counts = {components,
                     s.vias,
                     spec.nets,
                     pad_records,
                     s.fills,
                     s.arcs,
                     s.tracks,
                     s.texts,
                     polygon_records + spec.coordinates + spec.dimensions,
                     components + spec.nets};
  s.primitive_records = s.vias + pad_records + s.fills + s.arcs + s.tracks + s.texts + polygon_records +
                        spec.coordinates + spec.dimensions;
  s.progress_steps = s.primitive_records + components + spec.nets;

  // Links. Tracks, arcs and fills prefer their polygon to their net.
  const auto primitive_links = [&](int64_t records, bool polygon_field, bool coordinate_fields, int64_t& in_net) {
    for (int64_t i = 0; i < records; ++i) {
      const Link net = LinkOf(i, links.net_percent, links.dangling_percent, spec.nets);
      const Link polygon =
          polygon_field ? LinkOf(i, links.polygon_percent, links.dangling_percent, polygon_records) : Link::kNone;
      s.dangling += (net == Link::kDangling) + (polygon == Link::kDangling);
      if (polygon == Link::kValid) {
        ++s.in_polygon;
      } else if (net == Link::kValid) {
        ++in_net;
      }
    }
    if (coordinate_fields) {
      CountLinks(records, links.coordinate_percent, links.dangling_percent, spec.coordinates, s.in_coordinate,
                 s.dangling);
      CountLinks(records, links.dimension_percent, links.dangling_percent, spec.dimensions, s.in_dimension, s.dangling);
    }
  };
  primitive_links(spec.tracks, spec.level >= 2, spec.level >= 10, s.in_net);
  primitive_links(spec.arcs, spec.level >= 2, false, s.in_net);
  primitive_links(spec.fills, spec.level >= 3, false, s.in_net);
  primitive_links(spec.vias, false, false, s.in_net);
  primitive_links(spec.pads, false, false, s.in_net);
  primitive_links(nested_pads, false, false, s.nested_in_net);
  primitive_links(nested_vias, false, false, s.nested_in_net);
  if (spec.level >= 10) {
    CountLinks(spec.strings, links.coordinate_percent, links.dangling_percent, spec.coordinates, s.in_coordinate,
               s.dangling);
    CountLinks(spec.strings, links.dimension_percent, links.dangling_percent, spec.dimensions, s.in_dimension,
               s.dangling);
  }
  CountLinks(polygon_records, links.net_percent, links.dangling_percent, spec.nets, s.polygons_with_net, s.dangling);
  return s;
}

}  // namespace boardgen
