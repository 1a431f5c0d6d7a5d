// The `board` section of the board document: its shape, and values as the host holds them.
#include "standin/host/board_document.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "boardgen/board_generator.h"
#include "host/board.h"
#include "standin/orvpcb/model.h"
#include "tests/board/board_document_tree.h"
#include "tests/support/run_fixture.h"

namespace {

std::string SectionText(orv::Model& model, std::uint32_t board) {
  std::string text;
  AppendBoardDocument(model, board, text);
  return text;
}

TEST(BoardDocument, EveryGroupHasTheShapeOfItsHostFunction) {
  orv::Model& model = orv::Server();
  const std::uint32_t board = model.OpenBoard("/board-document/shape.PCB");
  const nlohmann::json doc = BoardDocument(model, board);

  EXPECT_EQ(doc["Handle"], board);
  const struct {
    const char* function;
    std::size_t values;
  } kSizes[] = {
      {"PcbApi_QueryBoard", 10},
      {"PcbApi_QueryBoardGridsEx", 13},
      {"PcbApi_QueryBoardEngineeringChangeOrderOptions", 2},
      {"PcbApi_QueryBoardOutputOptions", 24},
      {"PcbApi_QueryBoardGerberOptions", 19},
      {"PcbApi_QueryBoardAdvancedPlacerOptions", 6},
      {"PcbApi_QueryBoardPrinterOptions", 26},
      {"PcbApi_QueryBoardOutputOptionsPlotLayers", 109},
      {"PcbApi_QueryBoardOutputOptionsFlipLayers", 109},
      {"PcbApi_QueryBoardPrinterOptionsPlotterPen", 8},
      {"PcbApi_QueryBoardPrinterOptionsCompositeLayer", 82},
      {"layers", 82},
  };
  for (const auto& size : kSizes) {
    ASSERT_TRUE(doc[size.function].is_array()) << size.function;
    EXPECT_EQ(doc[size.function].size(), size.values) << size.function;
  }
  EXPECT_EQ(doc["PcbApi_QueryBoard"][1], "/board-document/shape.PCB");
  EXPECT_EQ(doc["PcbApi_QueryBoard"][8], 1);  // the current layer as a number
  EXPECT_EQ(doc["PcbApi_QueryBoardPrinterOptions"][13].size(), 27u);
  EXPECT_EQ(doc["PcbApi_QueryBoardPrinterOptionsPlotterPen"][7].size(), 2u);
  EXPECT_EQ(doc["PcbApi_QueryBoardPrinterOptionsCompositeLayer"][81].size(), 4u);
  EXPECT_EQ(doc["SplitPlaneMode"], 1);
  ASSERT_EQ(doc["LayerPairs"].size(), 1u);
  EXPECT_EQ(doc["LayerPairs"][0]["Name"], "TopLayer - BottomLayer");
  EXPECT_TRUE(doc["ExternalDielectrics"].contains("Top"));
  EXPECT_TRUE(doc["ExternalDielectrics"].contains("Bottom"));

  const nlohmann::json& layers = doc["layers"];
  for (int n = 1; n <= 82; ++n) {
    const nlohmann::json& layer = layers[static_cast<std::size_t>(n - 1)];
    EXPECT_EQ(layer["Number"], n);
    EXPECT_EQ(layer["Name"], std::string(api::LayerName(static_cast<std::uint8_t>(n))));
    EXPECT_EQ(layer.contains("PlaneNetName"), n >= 39 && n <= 54) << n;
  }
  EXPECT_EQ(layers[38]["PlaneNetName"], "(No Net)");
}

// What the plug-in stores is what the document shows; 8-bit names come out as UTF-8.
TEST(BoardDocument, ShowsStoredValuesWithLatin1NamesAsUtf8) {
  orv::Model& model = orv::Server();
  const std::uint32_t handle = model.OpenBoard("/board-document/values.PCB");
  TPcbBoard board(handle);
  board.Load();
  board.SetPlaneNetName(2, "GND\xB5");
  board.SetLayerFlag(57, 0);
  board.GridsEx.Value13 = 12.5;
  board.PlotLayers[108] = 1;
  board.PrinterOptions.Value14[26] = 9;
  board.CompositeLayers[31].Value4 = -5;
  board.Store();

  const nlohmann::json doc = BoardDocument(model, handle);
  EXPECT_EQ(doc["layers"][39]["PlaneNetName"], "GND\xC2\xB5");
  EXPECT_EQ(doc["layers"][56]["Flag"], 0);
  EXPECT_EQ(doc["PcbApi_QueryBoardGridsEx"][12], 12.5);
  EXPECT_EQ(doc["PcbApi_QueryBoardOutputOptionsPlotLayers"][108], 1);
  EXPECT_EQ(doc["PcbApi_QueryBoardPrinterOptions"][13][26], 9);
  EXPECT_EQ(doc["PcbApi_QueryBoardPrinterOptionsCompositeLayer"][31][3], -5);
  EXPECT_NO_THROW(static_cast<void>(doc.dump()));
}

// The section's text is the library's text of the tree the host program used to build, byte for
// byte: on a new board; with texts that need escapes or Latin-1 conversion and numbers that need
// the library's formatting (fractions, -0, NaN, infinities, 1e15 and beyond); with more layer pairs
// than the board keeps, pairs of layer numbers outside the board's, and a negative pair count.
TEST(BoardDocument, TextIsTheLibrarysTextOfTheTreeByteForByte) {
  orv::Model& model = orv::Server();
  const std::uint32_t fresh = model.OpenBoard("/board-document/fresh.PCB");
  EXPECT_EQ(SectionText(model, fresh), board_tree::BoardTree(model, fresh).dump());

  const std::uint32_t odd = model.OpenBoard("/board-document/odd \"values\" \xE9.PCB");
  model.SetText(odd, "LayerName", "Mid \"5\" \\ \x01\x7F\xE9", 5);
  model.SetText(odd, "LayerName", "", 32);
  model.SetText(odd, "PlaneNetName", "N\xFF\t", 40);
  model.SetText(odd, "DielectricMaterial", "\xB5-FR4", 3);
  const double values[] = {std::numeric_limits<double>::quiet_NaN(), -0.0, 1e300, 0.1,
                           -std::numeric_limits<double>::infinity(), 1e15, 999999999999999.0, -1e-300};
  std::uint32_t layer = 3;
  for (const double value : values) model.SetNumber(odd, "DielectricConstant", value, layer++);
  model.SetNumber(odd, "TopConstant", 4.8e-7);
  model.SetNumber(odd, "BottomHeight", -2147483648.0);
  model.SetNumber(odd, "Grids5", 12.345);
  model.SetText(odd, "Printer1", "\\\\server\\printer");
  model.SetNumber(odd, "LayerPairCount", 70);  // the board keeps 64
  const std::uint8_t pairs[][2] = {{5, 1}, {0, 32}, {82, 200}, {40, 40}};
  std::uint32_t pair = 1;
  for (const auto& layers : pairs) {
    model.SetNumber(odd, "PairLayer1", layers[0], pair);
    model.SetNumber(odd, "PairLayer2", layers[1], pair++);
  }
  EXPECT_EQ(SectionText(model, odd), board_tree::BoardTree(model, odd).dump());
  model.SetNumber(odd, "LayerPairCount", -3);
  EXPECT_EQ(SectionText(model, odd), board_tree::BoardTree(model, odd).dump());
}

// After an import that sets every value of the DEFAULTS and OPTIONS sections.
TEST(BoardDocument, TextOfAnImportedBoardIsTheLibrarysTextOfTheTree) {
  for (const int level : {3, 10}) {
    boardgen::BoardRecipe recipe;
    recipe.level = level;
    recipe.defaults = true;
    recipe.options = true;
    recipe.distinct_settings = true;
    recipe.tracks = 3;
    recipe.split_planes = 2;
    recipe.nets = 4;
    std::string text;
    boardgen::Generate(recipe, text);
    const test_support::ImportResult imported = test_support::ImportText(text, "board-document-text");
    ASSERT_TRUE(imported.ok) << level;
    EXPECT_EQ(SectionText(orv::Server(), imported.board), board_tree::BoardTree(orv::Server(), imported.board).dump())
        << level;
  }
}

}  // namespace
