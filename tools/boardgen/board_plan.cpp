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

void CheckRecipe(const BoardRecipe& recipe) {
  if (recipe.level < 0 || recipe.level > 10) throw std::invalid_argument("format level must be 0 to 10");
  for (int count : {recipe.tracks, recipe.arcs, recipe.vias, recipe.pads, recipe.fills, recipe.strings, recipe.polygons,
                    recipe.split_planes, recipe.coordinates, recipe.dimensions, recipe.shape6_pads, recipe.nets}) {
    if (count < 0) throw std::invalid_argument("record counts must not be negative");
  }
  for (const ComponentRecipe& c : recipe.components) {
    if (c.pads < 0 || c.tracks < 0 || c.arcs < 0 || c.vias < 0 || c.fills < 0 || c.strings < 0)
      throw std::invalid_argument("component record counts must not be negative");
  }
  for (int percent : {recipe.links.net_percent, recipe.links.polygon_percent, recipe.links.coordinate_percent,
                      recipe.links.dimension_percent, recipe.links.dangling_percent, recipe.arc_edge_percent}) {
    if (percent < 0 || percent > 100) throw std::invalid_argument("percentages must be 0 to 100");
  }
  if (recipe.polygon_vertices < 3) throw std::invalid_argument("outlines need at least 3 edges");
}

BoardPlan MakePlan(const BoardRecipe& recipe) {
  BoardPlan plan;
  int64_t records = int64_t{recipe.tracks} + recipe.arcs + recipe.vias + recipe.pads + recipe.fills + recipe.strings;
  for (const ComponentRecipe& c : recipe.components) records += c.pads + c.tracks + c.arcs + c.vias + c.fills + c.strings;
  // A board grows with its contents: 2 x 1.5 inch for a small one, at most 30 x 22.5 inch.
  const auto side_mils = std::clamp<int64_t>(2000 + static_cast<int64_t>(20 * std::sqrt(double(records))), 2000, 30000);
  plan.width = side_mils * 1000;
  plan.height = side_mils * 750;

  Random random(recipe.seed, 1);
  std::map<std::string, int> next_number;
  plan.components.reserve(recipe.components.size());
  for (const ComponentRecipe& c : recipe.components) {
    ComponentPlan p;
    p.recipe = &c;
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

BoardSummary Summarize(const BoardRecipe& recipe, const BoardPlan& plan) {
  BoardSummary s;
  const LinkRecipe& links = recipe.links;
  const int64_t polygon_records = int64_t{recipe.polygons} + recipe.split_planes;
  int64_t nested_pads = 0, nested_vias = 0, nested_tracks = 0, nested_arcs = 0, nested_fills = 0, nested_strings = 0;
  for (const ComponentPlan& p : plan.components) {
    const ComponentRecipe& c = *p.recipe;
    nested_pads += c.pads;
    nested_vias += c.vias;
    nested_tracks += c.tracks;
    nested_arcs += c.arcs;
    nested_fills += c.fills;
    nested_strings += c.strings;
    if (recipe.level >= 10) continue;
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
  const int64_t pad_records = int64_t{recipe.pads} + recipe.shape6_pads + nested_pads;

  s.tracks = recipe.tracks + nested_tracks;
  s.arcs = recipe.arcs + nested_arcs;
  s.vias = recipe.vias + nested_vias;
  s.uncreated_pads = recipe.level < 7 ? recipe.shape6_pads : 0;
  s.pads = pad_records - s.uncreated_pads;
  s.fills = recipe.fills + nested_fills;
  s.texts = recipe.strings + nested_strings + 2 * components;
  s.polygons = recipe.polygons;
  s.split_planes = recipe.split_planes;
  s.coordinates = recipe.coordinates;
  s.dimensions = recipe.dimensions;
  s.components = components;
  s.nets = recipe.nets;

  s.header_counts = {components,
                     s.vias,
                     recipe.nets,
                     pad_records,
                     s.fills,
                     s.arcs,
                     s.tracks,
                     s.texts,
                     polygon_records + recipe.coordinates + recipe.dimensions,
                     components + recipe.nets};
  s.primitive_records = s.vias + pad_records + s.fills + s.arcs + s.tracks + s.texts + polygon_records +
                        recipe.coordinates + recipe.dimensions;
  s.progress_steps = s.primitive_records + components + recipe.nets;

  // Links. Tracks, arcs and fills prefer their polygon to their net.
  const auto primitive_links = [&](int64_t records, bool polygon_field, bool coordinate_fields, int64_t& in_net) {
    for (int64_t i = 0; i < records; ++i) {
      const Link net = LinkOf(i, links.net_percent, links.dangling_percent, recipe.nets);
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
      CountLinks(records, links.coordinate_percent, links.dangling_percent, recipe.coordinates, s.in_coordinate,
                 s.dangling);
      CountLinks(records, links.dimension_percent, links.dangling_percent, recipe.dimensions, s.in_dimension, s.dangling);
    }
  };
  primitive_links(recipe.tracks, recipe.level >= 2, recipe.level >= 10, s.in_net);
  primitive_links(recipe.arcs, recipe.level >= 2, false, s.in_net);
  primitive_links(recipe.fills, recipe.level >= 3, false, s.in_net);
  primitive_links(recipe.vias, false, false, s.in_net);
  primitive_links(recipe.pads, false, false, s.in_net);
  primitive_links(nested_pads, false, false, s.nested_in_net);
  primitive_links(nested_vias, false, false, s.nested_in_net);
  if (recipe.level >= 10) {
    CountLinks(recipe.strings, links.coordinate_percent, links.dangling_percent, recipe.coordinates, s.in_coordinate,
               s.dangling);
    CountLinks(recipe.strings, links.dimension_percent, links.dangling_percent, recipe.dimensions, s.in_dimension,
               s.dangling);
  }
  CountLinks(polygon_records, links.net_percent, links.dangling_percent, recipe.nets, s.polygons_with_net, s.dangling);
  return s;
}

}  // namespace boardgen
