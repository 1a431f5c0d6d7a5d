// The `board` section of the board document: its shape, and values as the host holds them.
#include "standin/host/board_document.h"

#include <gtest/gtest.h>

#include "host/board.h"
#include "standin/orvpcb/model.h"

namespace {

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

}  // namespace
