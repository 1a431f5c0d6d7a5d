// The picture through the host program: `import --svg` on the example boards and generated
// boards of several format levels, and `render` of a saved board document.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "boardgen/board_generator.h"
#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"
#include "tests/viewers/svg_reader.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test_support::Quote;
using test_support::ReadJson;
using test_support::ReadText;
using test_support::RunHost;
using test_support::UniqueBoardPath;
using test_support::WriteFile;

const std::set<std::string> kDrawnKinds = {"Track", "Arc",  "Via",        "Pad",        "Fill",
                                           "Text",  "Polygon", "SplitPlane", "Coordinate", "Dimension"};

// Imports a board with --json and --svg and checks that the picture is well-formed XML with one
// element per object that has a picture, and none for the others.
void ExpectPictureOfEveryObject(const std::string& board_path) {
  SCOPED_TRACE(board_path);
  const std::string stem = UniqueBoardPath("picture");
  const auto run = RunHost("import " + Quote(board_path) + " --test-mode --quiet --json " + Quote(stem + ".json") +
                           " --svg " + Quote(stem + ".svg"));
  ASSERT_LE(run.status, 1) << run.err;
  const json document = ReadJson(stem + ".json");
  const svg_test::Picture picture = svg_test::ReadPicture(stem + ".svg");
  ASSERT_TRUE(picture.well_formed) << picture.error;

  const auto counts = picture.HandleCounts();
  std::size_t drawn = 0;
  for (const json& object : document["objects"]) {
    const std::string handle = std::to_string(object["Handle"].get<std::uint32_t>());
    const std::string kind = object["Kind"];
    // A via goes through the board whatever its record's layer; the others lie on theirs.
    const int layer = object.value("Layer", 0);
    const bool has_picture = kDrawnKinds.contains(kind) && (kind == "Via" || (layer >= 1 && layer <= 82));
    const auto found = counts.find(handle);
    const int count = found == counts.end() ? 0 : found->second;
    if (has_picture) {
      ++drawn;
      EXPECT_EQ(count, 1) << kind << " " << handle << " on layer " << layer;
    } else {
      EXPECT_EQ(count, 0) << kind << " " << handle;
    }
  }
  EXPECT_EQ(counts.size(), drawn) << "elements whose handle is not an object of the document";

  // Components: each drawn member sits in its component's group, titled with the designator.
  std::map<std::uint32_t, std::string> designators;  // component handle -> designator
  std::map<std::uint32_t, std::string> texts;
  for (const json& object : document["objects"]) {
    if (object["Kind"] == "Text") texts[object["Handle"]] = object["Text"];
  }
  for (const json& object : document["objects"]) {
    if (object["Kind"] == "Component") designators[object["Handle"]] = texts[object["NameText"]];
  }
  std::size_t members = 0;
  for (const json& object : document["objects"]) {
    std::uint32_t owner = object.value("Component", 0u);
    if (owner == 0 && !object["Containers"].empty()) owner = object["Containers"][0];
    const auto* element = picture.Drawn(std::to_string(object["Handle"].get<std::uint32_t>()));
    if (element == nullptr || !designators.contains(owner)) continue;
    ++members;
    EXPECT_EQ(element->component, std::to_string(owner)) << object["Handle"];
    EXPECT_EQ(picture.titles.at(element->component), designators[owner]);
  }
  EXPECT_EQ(members == 0, designators.empty()) << "components with nothing drawn in their groups";
  const auto& layers = picture.layers;
  const auto top = std::find(layers.begin(), layers.end(), "TopLayer");
  const auto bottom = std::find(layers.begin(), layers.end(), "BottomLayer");
  if (top != layers.end() && bottom != layers.end()) {
    EXPECT_LT(bottom - layers.begin(), top - layers.begin());
  }
}

TEST(SvgProgram, DrawsEveryObjectOfTheExampleBoards) {
  std::vector<std::string> boards;
  for (const auto& entry : fs::directory_iterator(std::string(VIDERAVE_SOURCE_DIR) + "/examples")) {
    if (entry.path().extension() == ".PCB") boards.push_back(entry.path().string());
  }
  ASSERT_FALSE(boards.empty());
  for (const std::string& board : boards) {
    // A copy: an old board's import writes its layer report beside the board.
    const std::string copy = UniqueBoardPath(fs::path(board).stem().string());
    fs::copy_file(board, copy);
    ExpectPictureOfEveryObject(copy);
  }
}

TEST(SvgProgram, DrawsEveryObjectOfGeneratedBoards) {
  for (const int level : {0, 6, 10}) {
    boardgen::BoardRecipe recipe;
    recipe.level = level;
    recipe.seed = 7;
    recipe.tracks = 120, recipe.arcs = 40, recipe.vias = 30, recipe.pads = 30, recipe.fills = 10, recipe.strings = 15;
    recipe.polygons = 4, recipe.split_planes = 2, recipe.coordinates = 3, recipe.dimensions = 3, recipe.nets = 12;
    recipe.components = boardgen::Components(6, {.pads = 8, .tracks = 4, .arcs = 1, .vias = 1, .fills = 1, .strings = 1});
    std::string text;
    boardgen::Generate(recipe, text);
    ExpectPictureOfEveryObject(WriteFile(UniqueBoardPath("generated"), text));
  }
}

TEST(SvgProgram, RenderOfTheSavedDocumentDrawsTheSamePicture) {
  const std::string board = std::string(VIDERAVE_SOURCE_DIR) + "/examples/small-2.80.PCB";
  const std::string stem = UniqueBoardPath("render");
  const auto imported = RunHost("import " + Quote(board) + " --test-mode --quiet --json " + Quote(stem + ".json") +
                                " --svg " + Quote(stem + ".svg"));
  ASSERT_EQ(imported.status, 0) << imported.err;
  const auto rendered = RunHost("render " + Quote(stem + ".json") + " --quiet --svg " + Quote(stem + ".rendered.svg"));
  ASSERT_EQ(rendered.status, 0) << rendered.err;
  EXPECT_EQ(ReadText(stem + ".rendered.svg"), ReadText(stem + ".svg"));

  // Without --svg the picture goes beside the document.
  const auto beside = RunHost("render " + Quote(stem + ".json") + " --quiet");
  ASSERT_EQ(beside.status, 0) << beside.err;
  EXPECT_EQ(ReadText(fs::path(stem + ".json").replace_extension(".svg").string()), ReadText(stem + ".svg"));
}

TEST(SvgProgram, RenderRefusesWhatIsNotABoardDocument) {
  const std::string folder = ::testing::TempDir();
  struct Case {
    std::string name;
    std::string document;  // empty: the path given does not exist
  } cases[] = {
      {"missing", ""},
      {"not JSON", "{\"document\": \"viderave-board\", \"objects\": ["},
      {"an array", "[1, 2, 3]"},
      {"another document", "{\"document\": \"something-else\", \"objects\": []}"},
      {"no objects", "{\"document\": \"viderave-board\", \"version\": 1}"},
      {"bytes", std::string("\xFF\xFE\x00\x01", 4)},
  };
  for (const Case& c : cases) {
    const std::string path = UniqueBoardPath("bad-document") + ".json";
    if (!c.document.empty()) WriteFile(path, c.document);
    const std::string out = path + ".svg";
    const auto run = RunHost("render " + Quote(path) + " --svg " + Quote(out));
    EXPECT_EQ(run.status, 2) << c.name;
    EXPECT_NE(run.err.find("viderave: cannot"), std::string::npos) << c.name << ": " << run.err;
    EXPECT_FALSE(fs::exists(out)) << c.name;
  }
  EXPECT_EQ(RunHost("render " + Quote(folder) + " --svg " + Quote(folder + "/folder.svg")).status, 2);
  EXPECT_EQ(RunHost("render").status, 2);
}

TEST(SvgProgram, ImportReportsAPictureItCannotWrite) {
  const std::string board = std::string(VIDERAVE_SOURCE_DIR) + "/examples/small-2.80.PCB";
  const auto run = RunHost("import " + Quote(board) + " --test-mode --quiet --no-document --svg /nonexistent/dir/x.svg");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("cannot write the picture"), std::string::npos) << run.err;
}

}  // namespace
