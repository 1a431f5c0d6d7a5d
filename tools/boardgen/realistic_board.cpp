// A realistic board of a given size: the mix behind `boardgen --size N`.
#include <algorithm>

#include "boardgen/board_generator.h"
#include "boardgen/random.h"

namespace boardgen {
namespace {

struct Footprint {
  int weight;  // in percent
  ComponentRecipe recipe;
};

// The parts of a typical board of the time, by frequency.
const Footprint kFootprints[] = {
    {45, {.pads = 2, .tracks = 4, .arcs = 0}},   // resistors, capacitors
    {10, {.pads = 3, .tracks = 4, .arcs = 0}},   // transistors
    {14, {.pads = 8, .tracks = 4, .arcs = 1}},   // SO-8, DIP8
    {10, {.pads = 14, .tracks = 4, .arcs = 1}},  // logic
    {5, {.pads = 44, .tracks = 8, .arcs = 1, .fills = 1, .strings = 1, .mount = Mount::kSurface}},     // QFP
    {10, {.pads = 10, .tracks = 4, .arcs = 0, .strings = 1, .mount = Mount::kThroughHole}},            // headers
    {6, {.pads = 20, .tracks = 6, .arcs = 2, .vias = 2, .strings = 2, .mount = Mount::kThroughHole}},  // connectors
};

const ComponentRecipe& PickFootprint(Random& random) {
  int roll = static_cast<int>(random.Below(100));
  for (const Footprint& f : kFootprints) {
    if (roll < f.weight) return f.recipe;
    roll -= f.weight;
  }
  return kFootprints[0].recipe;
}

int Share(int64_t total, int per_mille) { return static_cast<int>(total * per_mille / 1000); }

}  // namespace

BoardRecipe RealisticBoard(int64_t primitives, int level, uint32_t seed) {
  BoardRecipe recipe;
  recipe.level = level;
  recipe.seed = seed;
  const int64_t n = std::max<int64_t>(primitives, 0);

  // About 40 % of the primitives belong to components (their designator and comment included).
  Random random(seed, 3);
  int64_t in_components = 0;
  while (in_components < n * 2 / 5) {
    ComponentRecipe c = PickFootprint(random);
    if (random.Percent(4)) c.designator_layer = DesignatorLayer::kRandom;  // an odd designator layer now and then
    in_components += c.pads + c.tracks + c.arcs + c.vias + c.fills + c.strings + 2;
    recipe.components.push_back(c);
  }
  const int64_t rest = n - in_components;
  recipe.tracks = Share(rest, 640);
  recipe.arcs = Share(rest, 70);
  recipe.vias = Share(rest, 170);
  recipe.pads = Share(rest, 30);
  recipe.fills = Share(rest, 20);
  recipe.strings = Share(rest, 50);
  recipe.coordinates = n >= 100 ? std::max(1, Share(rest, 3)) : 0;
  recipe.dimensions = n >= 100 ? std::max(1, Share(rest, 3)) : 0;
  recipe.polygons = n >= 50 ? std::max(1, static_cast<int>(n / 5000)) : 0;
  recipe.split_planes = n >= 200 ? 2 : 0;
  recipe.polygon_vertices = static_cast<int>(std::clamp<int64_t>(n / 500, 16, 2000));
  recipe.nets = static_cast<int>(std::clamp<int64_t>(n / 50, 4, 15000));

  recipe.defaults = true;
  recipe.options = true;
  recipe.option_values.clearances = {80000, 100000, 100000, 120000, 100000, 100000};
  recipe.option_values.routing_directions = {1, 2, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};

  recipe.pad_rules.solder_mask = {4000, 4000, 4000, 4000, 4000, 2500, 6000};
  recipe.pad_rules.paste_mask = {0, 0, 0, 0, -2000};
  recipe.pad_rules.plane_clearance = {20000, 20000, 20000, 15000};
  recipe.pad_rules.connect = {{2, 10000, 10000, 4}, {2, 10000, 10000, 4}, {1, 0, 0, 0}, {13, 8000, 12000, 2}};
  recipe.net_rules.width = {10000, 10000, 10000, 12000, 20000, 25000, 8000};
  recipe.net_rules.via_size = {50000, 50000, 40000, 62000};
  recipe.net_rules.topology = {0, 0, 0, 1, 2, 3, 6};
  recipe.net_rules.priority = {0, 0, 0, 1, 2, 5};
  recipe.net_rules.attribute = {0, 0, 0, 1};
  return recipe;
}

}  // namespace boardgen
