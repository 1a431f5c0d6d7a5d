// boardgen: writes a text PCB file of any format level and size, deterministic from a seed.
//   boardgen --level 10 --seed 1 --tracks 1000 --components 50 --nets 100 --defaults --options -o out.PCB
//   boardgen --size 100000 -o big.PCB
// Prints nothing on success (but the expected counts with --summary); errors go to stderr
// (exit 1 for I/O, 2 for usage).
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "boardgen/board_generator.h"

namespace {

const std::map<std::string, boardgen::DesignatorLayer> kDesignatorLayers = {
    {"side", boardgen::DesignatorLayer::kSideOverlay},
    {"top-overlay", boardgen::DesignatorLayer::kTopOverlay},
    {"bottom-overlay", boardgen::DesignatorLayer::kBottomOverlay},
    {"top", boardgen::DesignatorLayer::kTop},
    {"bottom", boardgen::DesignatorLayer::kBottom},
    {"mid", boardgen::DesignatorLayer::kMid},
    {"mechanical", boardgen::DesignatorLayer::kMechanical},
    {"random", boardgen::DesignatorLayer::kRandom}};

void PrintSummary(const boardgen::BoardSummary& s) {
  const std::pair<const char*, int64_t> lines[] = {{"tracks", s.tracks},
                                                   {"arcs", s.arcs},
                                                   {"vias", s.vias},
                                                   {"pads", s.pads},
                                                   {"fills", s.fills},
                                                   {"texts", s.texts},
                                                   {"polygons", s.polygons},
                                                   {"split_planes", s.split_planes},
                                                   {"coordinates", s.coordinates},
                                                   {"dimensions", s.dimensions},
                                                   {"components", s.components},
                                                   {"nets", s.nets},
                                                   {"uncreated_pads", s.uncreated_pads},
                                                   {"primitive_records", s.primitive_records},
                                                   {"progress_steps", s.progress_steps},
                                                   {"in_net", s.in_net},
                                                   {"nested_in_net", s.nested_in_net},
                                                   {"in_polygon", s.in_polygon},
                                                   {"in_coordinate", s.in_coordinate},
                                                   {"in_dimension", s.in_dimension},
                                                   {"polygons_with_net", s.polygons_with_net},
                                                   {"dangling", s.dangling},
                                                   {"top_by_designator", s.top_by_designator},
                                                   {"bottom_by_designator", s.bottom_by_designator},
                                                   {"top_by_primitives", s.top_by_primitives},
                                                   {"bottom_by_primitives", s.bottom_by_primitives},
                                                   {"side_undefined", s.side_undefined}};
  for (const auto& [name, value] : lines) std::cout << name << ' ' << value << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Writes a valid text PCB file (PCB FILE 6) of any format level and size."};
  boardgen::BoardRecipe recipe;
  int64_t size = 0;
  int component_count = 0;
  boardgen::ComponentRecipe component;
  std::string designator_layer = "side";
  std::vector<int32_t> clearances, solder_mask, paste_mask, plane_clearance, net_widths, via_sizes;
  std::vector<int> routing, connect_styles, topologies, priorities;
  std::string output;

  app.add_option("--level", recipe.level, "format level 0 (PCB FILE 6) to 10 (version 2.80)")->check(CLI::Range(0, 10));
  app.add_option("--seed", recipe.seed, "random seed");
  app.add_option("--size", size, "a realistic mix of about N primitive records")->check(CLI::NonNegativeNumber);
  auto counts = app.add_option_group("counts", "records (override the --size mix)");
  using Count = int boardgen::BoardRecipe::*;
  const std::vector<std::pair<std::string, Count>> count_options = {
      {"--tracks", &boardgen::BoardRecipe::tracks},
      {"--arcs", &boardgen::BoardRecipe::arcs},
      {"--vias", &boardgen::BoardRecipe::vias},
      {"--pads", &boardgen::BoardRecipe::pads},
      {"--fills", &boardgen::BoardRecipe::fills},
      {"--strings", &boardgen::BoardRecipe::strings},
      {"--polygons", &boardgen::BoardRecipe::polygons},
      {"--split-planes", &boardgen::BoardRecipe::split_planes},
      {"--coordinates", &boardgen::BoardRecipe::coordinates},
      {"--dimensions", &boardgen::BoardRecipe::dimensions},
      {"--shape6-pads", &boardgen::BoardRecipe::shape6_pads},
      {"--nets", &boardgen::BoardRecipe::nets},
      {"--polygon-vertices", &boardgen::BoardRecipe::polygon_vertices}};
  std::vector<CLI::Option*> given;
  for (const auto& [name, member] : count_options) {
    given.push_back(counts->add_option(name, recipe.*member)->check(CLI::NonNegativeNumber));
  }
  CLI::Option* components_given =
      counts->add_option("--components", component_count, "components, each as the --comp-* options say")
          ->check(CLI::NonNegativeNumber);
  app.add_option("--comp-pads", component.pads, "pads per component")->check(CLI::NonNegativeNumber);
  app.add_option("--comp-tracks", component.tracks, "tracks per component")->check(CLI::NonNegativeNumber);
  app.add_option("--comp-arcs", component.arcs, "arcs per component")->check(CLI::NonNegativeNumber);
  app.add_option("--comp-vias", component.vias, "vias per component")->check(CLI::NonNegativeNumber);
  app.add_option("--comp-fills", component.fills, "fills per component")->check(CLI::NonNegativeNumber);
  app.add_option("--comp-strings", component.strings, "strings per component")->check(CLI::NonNegativeNumber);
  app.add_option("--designator-layer", designator_layer,
                 "side, top-overlay, bottom-overlay, top, bottom, mid, mechanical, random")
      ->check(CLI::IsMember([] {
        std::vector<std::string> names;
        for (const auto& entry : kDesignatorLayers) names.push_back(entry.first);
        return names;
      }()));
  auto defaults = app.add_flag("--defaults", recipe.defaults, "write a DEFAULTS section");
  auto options = app.add_flag("--options", recipe.options, "write an OPTIONS section");
  app.add_flag("--distinct-settings", recipe.distinct_settings, "every DEFAULTS and OPTIONS value distinct");
  app.add_option("--clearances", clearances, "six clearance values, host units")->expected(6)->delimiter(',');
  app.add_option("--routing", routing, "routing directions of file layers 1 to 16")->expected(16)->delimiter(',');
  app.add_option("--solder-mask", solder_mask, "pad solder mask expansions, cycled")->delimiter(',');
  app.add_option("--paste-mask", paste_mask, "pad paste mask expansions, cycled")->delimiter(',');
  app.add_option("--plane-clearance", plane_clearance, "pad plane clearances, cycled")->delimiter(',');
  app.add_option("--connect-styles", connect_styles, "pad connect style codes, cycled")->delimiter(',');
  app.add_option("--net-widths", net_widths, "net widths, cycled")->delimiter(',');
  app.add_option("--via-sizes", via_sizes, "net via sizes, cycled")->delimiter(',');
  app.add_option("--topologies", topologies, "net topology codes, cycled")->delimiter(',');
  app.add_option("--priorities", priorities, "net routing priorities, cycled")->delimiter(',');
  app.add_option("--net-percent", recipe.links.net_percent, "share of primitives naming a net")
      ->check(CLI::Range(0, 100));
  app.add_option("--dangling-percent", recipe.links.dangling_percent, "share of links naming no record")
      ->check(CLI::Range(0, 100));
  app.add_flag("--nets-first", recipe.nets_first, "NETDEF records before the primitives");
  app.add_flag("--crlf", recipe.crlf, "CR LF line ends");
  app.add_option("-o,--output", output, "output file (standard output when absent)");
  bool print_summary = false;
  app.add_flag("--summary", print_summary,
               "print what the import of the board yields, one 'name value' line each (needs -o)");

  try {
    app.parse(argc, argv);
    if (print_summary && output.empty()) throw CLI::ValidationError("--summary", "needs -o");
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }

  if (size > 0) {
    // The mix first; explicit counts and switches then override it.
    boardgen::BoardRecipe mix = boardgen::RealisticBoard(size, recipe.level, recipe.seed);
    for (std::size_t i = 0; i < count_options.size(); ++i) {
      if (given[i]->count() == 0) recipe.*count_options[i].second = mix.*count_options[i].second;
    }
    if (components_given->count() == 0) recipe.components = mix.components;
    if (defaults->count() == 0) recipe.defaults = true;
    if (options->count() == 0) recipe.options = true;
    if (clearances.empty()) recipe.option_values = mix.option_values;
    recipe.pad_rules = mix.pad_rules;
    recipe.net_rules = mix.net_rules;
  }
  if (components_given->count() > 0) {
    component.designator_layer = kDesignatorLayers.at(designator_layer);
    recipe.components = boardgen::Components(component_count, component);
  }
  if (!clearances.empty()) std::copy(clearances.begin(), clearances.end(), recipe.option_values.clearances.begin());
  if (!routing.empty()) std::copy(routing.begin(), routing.end(), recipe.option_values.routing_directions.begin());
  if (!solder_mask.empty()) recipe.pad_rules.solder_mask = solder_mask;
  if (!paste_mask.empty()) recipe.pad_rules.paste_mask = paste_mask;
  if (!plane_clearance.empty()) recipe.pad_rules.plane_clearance = plane_clearance;
  if (!connect_styles.empty()) {
    recipe.pad_rules.connect.clear();
    for (int code : connect_styles) recipe.pad_rules.connect.push_back({code, 10000, 10000, 4});
  }
  if (!net_widths.empty()) recipe.net_rules.width = net_widths;
  if (!via_sizes.empty()) recipe.net_rules.via_size = via_sizes;
  if (!topologies.empty()) recipe.net_rules.topology = topologies;
  if (!priorities.empty()) recipe.net_rules.priority = priorities;

  try {
    if (output.empty()) {
      boardgen::Generate(recipe, stdout);
      if (std::fflush(stdout) != 0) throw std::runtime_error("cannot write standard output");
    } else {
      boardgen::BoardSummary summary;
      if (!boardgen::WriteBoardFile(recipe, output, &summary)) {
        std::cerr << "boardgen: cannot write " << output << "\n";
        return 1;
      }
      if (print_summary) PrintSummary(summary);
    }
  } catch (const std::invalid_argument& e) {
    std::cerr << "boardgen: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "boardgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
