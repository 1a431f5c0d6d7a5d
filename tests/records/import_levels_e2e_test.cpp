// Whole imports through the host program of generated boards at every format level: what the
// primitive readers create and what the link pass attaches, as the board document shows it.
// Component pads and vias join their nets too: the host's board iterator yields the primitives
// inside components to the link pass.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "tests/support/host_program.h"
#include "tools/boardgen/board_generator.h"

namespace {

using nlohmann::json;

boardgen::BoardRecipe LevelBoard(int level) {
  boardgen::BoardRecipe recipe;
  recipe.level = level;
  recipe.seed = 7 + static_cast<std::uint32_t>(level);
  recipe.tracks = 30;
  recipe.arcs = 10;
  recipe.vias = 10;
  recipe.pads = 12;
  recipe.shape6_pads = 2;
  recipe.fills = 8;
  recipe.strings = 8;
  recipe.polygons = 3;
  recipe.split_planes = 2;
  recipe.coordinates = 3;
  recipe.dimensions = 3;
  recipe.nets = 6;
  recipe.components = boardgen::Components(2, {.pads = 4, .tracks = 2, .arcs = 1, .vias = 1, .fills = 1, .strings = 1});
  recipe.links.dangling_percent = 20;
  return recipe;
}

struct Document {
  json root;
  std::map<std::int64_t, std::string> kind_of;  // handle -> Kind

  std::vector<json> OfKind(const std::string& kind) const { return test_support::OfKind(root, kind); }
  std::string KindOf(std::int64_t handle) const {
    const auto found = kind_of.find(handle);
    return found == kind_of.end() ? "none" : found->second;
  }
  // Objects of the kinds that are members of a container of the given kind.
  std::int64_t MembersOf(const std::set<std::string>& kinds, const std::string& container_kind) const {
    std::int64_t count = 0;
    for (const json& object : root["objects"]) {
      if (kinds.count(object["Kind"].get<std::string>()) == 0) continue;
      for (const json& container : object["Containers"]) {
        const auto found = kind_of.find(container.get<std::int64_t>());
        if (found != kind_of.end() && found->second == container_kind) ++count;
      }
    }
    return count;
  }
};

Document Import(const std::string& text, int level) {
  const std::string path = ::testing::TempDir() + "records-level-" + std::to_string(level) + ".PCB";
  std::ofstream(path, std::ios::binary) << text;
  const std::string json_path = path + ".json";
  const test_support::ProgramRun run = test_support::RunHost(
      "import --test-mode --quiet --json " + test_support::Quote(json_path) + " " + test_support::Quote(path));
  EXPECT_EQ(run.status, 0) << run.err;
  Document document;
  document.root = test_support::ReadJson(json_path);
  for (const json& object : document.root["objects"]) {
    document.kind_of[object["Handle"].get<std::int64_t>()] = object["Kind"].get<std::string>();
  }
  return document;
}

class ImportAtLevel : public ::testing::TestWithParam<int> {};

TEST_P(ImportAtLevel, CreatesAndLinksWhatTheFileHolds) {
  const int level = GetParam();
  std::string text;
  const boardgen::BoardSummary expected = boardgen::Generate(LevelBoard(level), text);
  const Document document = Import(text, level);

  EXPECT_EQ(document.OfKind("Track").size(), expected.tracks);
  EXPECT_EQ(document.OfKind("Arc").size(), expected.arcs);
  EXPECT_EQ(document.OfKind("Via").size(), expected.vias);
  EXPECT_EQ(document.OfKind("Pad").size(), expected.pads);
  EXPECT_EQ(document.OfKind("Fill").size(), expected.fills);
  EXPECT_EQ(document.OfKind("Text").size(), expected.texts);
  EXPECT_EQ(document.OfKind("Polygon").size(), expected.polygons);
  EXPECT_EQ(document.OfKind("SplitPlane").size(), expected.split_planes);
  EXPECT_EQ(document.OfKind("Coordinate").size(), expected.coordinates);
  EXPECT_EQ(document.OfKind("Dimension").size(), expected.dimensions);
  EXPECT_EQ(document.root["host"]["progress"]["Updates"].get<std::int64_t>(), expected.progress_steps);

  EXPECT_EQ(document.MembersOf({"Track", "Arc", "Via", "Pad", "Fill"}, "Net"),
            expected.in_net + expected.nested_in_net);
  EXPECT_EQ(document.MembersOf({"Track", "Arc", "Fill"}, "Polygon") +
                document.MembersOf({"Track", "Arc", "Fill"}, "SplitPlane"),
            expected.in_polygon);
  EXPECT_EQ(document.MembersOf({"Track", "Text"}, "Coordinate"), expected.in_coordinate);
  EXPECT_EQ(document.MembersOf({"Track", "Text"}, "Dimension"), expected.in_dimension);

  // Link fields hold owner handles after the pass: the handle of an object of the right kind,
  // or 0. A primitive in a polygon has no net.
  std::int64_t polygons_with_net = 0;
  for (const json& object : document.root["objects"]) {
    const std::string kind = object["Kind"];
    if (object.contains("Net") && kind != "Net" && kind != "Component" && kind != "Rule") {
      const std::int64_t net = object["Net"];
      if (net != 0) {
        EXPECT_EQ(document.KindOf(net), "Net") << kind << " " << object["Handle"];
      }
      if ((kind == "Polygon" || kind == "SplitPlane") && net != 0) ++polygons_with_net;
    }
    if (object.contains("Polygon") && object["Polygon"].get<std::int64_t>() != 0) {
      const std::string owner = document.KindOf(object["Polygon"].get<std::int64_t>());
      EXPECT_TRUE(owner == "Polygon" || owner == "SplitPlane") << owner;
      EXPECT_EQ(object["Net"], 0);
    }
  }
  EXPECT_EQ(polygons_with_net, expected.polygons_with_net);

  // Polygons and split planes are numbered together in file order (polygons come first).
  std::vector<std::int64_t> outline_indexes;
  for (const json& object : document.root["objects"]) {
    if (object["Kind"] == "Polygon" || object["Kind"] == "SplitPlane") outline_indexes.push_back(object["Index"]);
  }
  for (std::size_t i = 0; i < outline_indexes.size(); ++i) EXPECT_EQ(outline_indexes[i], static_cast<std::int64_t>(i + 1));
  for (const json& plane : document.OfKind("SplitPlane")) {
    EXPECT_GE(plane["Layer"].get<int>(), 39);
    EXPECT_LE(plane["Layer"].get<int>(), 42);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormatLevel, ImportAtLevel, ::testing::Range(0, 11));

}  // namespace
