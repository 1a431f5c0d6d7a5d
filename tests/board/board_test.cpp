// TPcbBoard against the stand-in server: the exchange of every value group in both directions,
// layer pairs, object iteration order, and the setters that reach the host with the next store.
#include "host/api/vocabulary.h"
#include "host/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <string>
#include <vector>

#include "host/api/layer_id.h"
#include "host/core_calls.h"
#include "standin/orvpcb/model.h"
#include "tests/board/board_values.h"

namespace {

using board_test::GroupValues;
using board_test::HostValues;
using board_test::kGroups;

orv::Model& Model() { return orv::Server(); }

std::uint32_t NewBoard(const std::string& name = "board") {
  static int boards = 0;
  return Model().OpenBoard("/board-test/" + name + std::to_string(++boards) + ".PCB");
}

// The host calls made while `action` runs, one trace line each.
template <typename Action>
std::vector<std::string> CallsDuring(Action action) {
  std::FILE* sink = std::tmpfile();
  Model().SetTrace(sink);
  action();
  Model().SetTrace(nullptr);
  std::vector<std::string> lines;
  std::rewind(sink);
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, sink) != nullptr) {
    std::string line(buffer);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    lines.push_back(line);
  }
  std::fclose(sink);
  return lines;
}

void ExpectWrapperMatchesHost(TPcbBoard& wrapper, std::uint32_t board) {
  for (const auto& group : kGroups) {
    for (int instance = group.first; instance <= group.last; ++instance) {
      const auto n = static_cast<std::uint8_t>(instance);
      EXPECT_EQ(GroupValues(wrapper, group.function, n), HostValues(Model(), board, group.function, n))
          << group.function << " instance " << instance;
    }
  }
}

TEST(BoardWrapper, NewWrapperHoldsTheHostDefaultsBeforeAnyLoad) {
  TPcbBoard board(0);
  EXPECT_EQ(board.SplitPlaneMode, 1);
  EXPECT_TRUE(board.LayerPairs().empty());
  EXPECT_EQ(board.Layer(1).Name.View(), "TopLayer");
  EXPECT_EQ(board.Layer(82).Name.View(), "ViaHoleLayer");
  EXPECT_EQ(board.Layer(40).Value, 14000);
  EXPECT_EQ(board.Plane(1).PlaneNetName.View(), "(No Net)");
  EXPECT_EQ(board.Plane(16).Number(), 54);
  for (const TDielectric* d : {&board.TopDielectric, &board.BottomDielectric, &board.Layer(7).Dielectric}) {
    EXPECT_EQ(d->Material.View(), "FR-4");
    EXPECT_EQ(d->Value2, 1);
    EXPECT_EQ(d->Constant, 4.8);
    EXPECT_EQ(d->Height, 126000);
  }
}

TEST(BoardWrapper, LoadOfANewBoardGivesItsFileNameAndItsOneLayerPair) {
  const std::uint32_t handle = NewBoard("fresh");
  TPcbBoard board(handle);
  board.Load();
  EXPECT_EQ(board.FileName(), Model().BoardFileName(handle));
  EXPECT_EQ(board.Board.CurrentLayer, 1);
  ASSERT_EQ(board.LayerPairs().size(), 1u);
  EXPECT_EQ(board.LayerPairs()[0].Name.View(), "TopLayer - BottomLayer");
  EXPECT_EQ(board.Plane(3).PlaneNetName.View(), "(No Net)");
  EXPECT_EQ(board.Layer(33).Name.View(), "TopOverlay");
}

// Distinct host values in every position: a value loaded into the wrong field shows.
TEST(BoardWrapper, LoadFillsEveryValueOfEveryGroupInRecordOrder) {
  const std::uint32_t handle = NewBoard();
  board_test::FillDistinct(Model(), handle, 1);
  TPcbBoard board(handle);
  board.Load();
  ExpectWrapperMatchesHost(board, handle);
  EXPECT_EQ(board.GridsExValue13Copy, board.GridsEx.Value13);
  EXPECT_EQ(board.GridsExValue7Copy, board.GridsEx.Value7);
}

// The host changes everything after the load; the store must put back every value the wrapper
// holds, those it never changed included.
TEST(BoardWrapper, StoreSendsEveryValueOfEveryGroupBack) {
  const std::uint32_t handle = NewBoard();
  board_test::FillDistinct(Model(), handle, 2);
  TPcbBoard board(handle);
  board.Load();
  board_test::FillDistinct(Model(), handle, 3);
  board.Store();
  ExpectWrapperMatchesHost(board, handle);
  board_test::FillDistinct(Model(), handle, 2);
  TPcbBoard reloaded(handle);
  reloaded.Load();
  EXPECT_EQ(GroupValues(reloaded, "PcbApi_QueryBoardGridsEx"), GroupValues(board, "PcbApi_QueryBoardGridsEx"));
}

TEST(BoardWrapper, GridCopiesAreRefreshedByEveryExchangeAndNeverSent) {
  const std::uint32_t handle = NewBoard();
  TPcbBoard board(handle);
  board.Load();
  const double value13 = board.GridsEx.Value13;
  const double value7 = board.GridsEx.Value7;
  board.GridsExValue13Copy = 1234.5;
  board.GridsExValue7Copy = 6789.5;
  board.Store();
  EXPECT_EQ(board.GridsExValue13Copy, value13);
  EXPECT_EQ(board.GridsExValue7Copy, value7);
  EXPECT_EQ(Model().GetNumber(handle, "Grids13"), value13);
  EXPECT_EQ(Model().GetNumber(handle, "Grids7"), value7);
}

TEST(BoardWrapper, CurrentLayerTravelsAsAnIdentifierAndStaysANumber) {
  const std::uint32_t handle = NewBoard();
  Model().SetNumber(handle, "CurrentLayer", 16);
  TPcbBoard board(handle);
  board.Load();
  EXPECT_EQ(board.Board.CurrentLayer, 16);
  board.Board.CurrentLayer = 57;
  board.Store();
  EXPECT_EQ(Model().GetNumber(handle, "CurrentLayer"), 57);
  EXPECT_EQ(board.Board.CurrentLayer, 57);
}

TEST(BoardWrapper, LayerPairsAreNamedUpperLayerFirstWithTheBoardsLayerNames) {
  const std::uint32_t handle = NewBoard();
  Model().SetNumber(handle, "LayerPairCount", 2);
  Model().SetNumber(handle, "PairLayer1", 32, 1);
  Model().SetNumber(handle, "PairLayer2", 1, 1);
  Model().SetNumber(handle, "PairLayer1", 2, 2);
  Model().SetNumber(handle, "PairLayer2", 3, 2);
  Model().SetText(handle, "LayerName", "Inner A", 2);
  TPcbBoard board(handle);
  board.Load();
  ASSERT_EQ(board.LayerPairs().size(), 2u);
  EXPECT_EQ(board.LayerPairs()[0].Name.View(), "TopLayer - BottomLayer");
  EXPECT_EQ(board.LayerPairs()[0].Layer1, 32);
  EXPECT_EQ(board.LayerPairs()[0].Layer2Id, layer_id::FromNumber(1));
  EXPECT_EQ(board.LayerPairs()[1].Name.View(), "Inner A - MidLayer2");
}

TEST(BoardWrapper, StoreSetsThePairCountThenEachPairInListOrder) {
  const std::uint32_t handle = NewBoard();
  TPcbBoard board(handle);
  board.Load();
  TPcblayerPair pair;
  pair.Layer1Id = layer_id::FromNumber(5);
  pair.Layer2Id = layer_id::FromNumber(6);
  board.LayerPairs().push_back(pair);
  const auto calls = CallsDuring([&] { board.Store(); });
  std::vector<std::string> pair_calls;
  for (const auto& call : calls) {
    if (call.find("LayerPair") != std::string::npos) pair_calls.push_back(call);
  }
  const std::string h = std::to_string(handle);
  EXPECT_EQ(pair_calls, (std::vector<std::string>{"PcbApi_QueryBoardLayerPairsCount(0, " + h + ") -> 0",
                                                  "PcbApi_QueryBoardLayerPairAt(0, " + h + ", 0) -> 0",
                                                  "PcbApi_QueryBoardLayerPairAt(0, " + h + ", 1) -> 0"}));
  EXPECT_EQ(Model().GetNumber(handle, "LayerPairCount"), 2);
  EXPECT_EQ(Model().GetNumber(handle, "PairLayer1", 2), 5);
  EXPECT_EQ(Model().GetNumber(handle, "PairLayer2", 2), 6);
}

TEST(BoardWrapper, PairCountFailureLoadsAnEmptyList) {
  const std::uint32_t handle = NewBoard();
  TPcbBoard board(handle);
  board.Load();
  ASSERT_EQ(board.LayerPairs().size(), 1u);
  // More pairs than the host can hold: the count call reports a failure along with the count.
  Model().SetNumber(handle, "LayerPairCount", 100);
  const auto calls = CallsDuring([&] { board.Load(); });
  EXPECT_TRUE(board.LayerPairs().empty());
  for (const auto& call : calls) EXPECT_EQ(call.find("PcbApi_QueryBoardLayerPairAt"), std::string::npos) << call;
}

TEST(BoardWrapper, ExchangeCallsTheGroupsInTheBoardOrder) {
  const std::uint32_t handle = NewBoard();
  TPcbBoard board(handle);
  for (const bool load : {true, false}) {
    std::vector<std::string> functions;
    for (const auto& call : CallsDuring([&] { load ? board.Load() : board.Store(); })) {
      const std::string name = call.substr(0, call.find('('));
      if (functions.empty() || functions.back() != name) functions.push_back(name);
    }
    const std::vector<std::string> expected = {
        "PcbApi_QueryBoard",
        "PcbApi_QueryBoardLayerInfo",
        "PcbApi_QueryLayer",
        "PcbApi_QueryLayerDielectric",
    };
    ASSERT_GE(functions.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(functions.begin(), functions.begin() + 4), expected);
    // Layers alternate record and dielectric up to the last one, planes through their own function.
    const std::vector<std::string> tail = {"PcbApi_QueryLayerDielectric",
                                           "PcbApi_QueryBoardSplitPlaneMode",
                                           "PcbApi_QueryBoardGridsEx",
                                           "PcbApi_QueryBoardEngineeringChangeOrderOptions",
                                           "PcbApi_QueryBoardOutputOptions",
                                           "PcbApi_QueryBoardOutputOptionsPlotLayers",
                                           "PcbApi_QueryBoardOutputOptionsFlipLayers",
                                           "PcbApi_QueryBoardAdvancedPlacerOptions",
                                           "PcbApi_QueryBoardGerberOptions",
                                           "PcbApi_QueryBoardPrinterOptions",
                                           "PcbApi_QueryBoardPrinterOptionsPlotterPen",
                                           "PcbApi_QueryBoardPrinterOptionsCompositeLayer",
                                           "PcbApi_QueryBoardLayerPairsCount",
                                           "PcbApi_QueryBoardLayerPairAt",
                                           "PcbApi_QueryBoardExternalDielectrics"};
    ASSERT_GE(functions.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(functions.end() - static_cast<long>(tail.size()), functions.end()), tail);
    EXPECT_EQ(std::count(functions.begin(), functions.end(), "PcbApi_QueryInternalPlane"), 16);
  }
}

TEST(BoardWrapper, SetLayerFlagWritesTheSecondByteOfLayers1To82Only) {
  const std::uint32_t handle = NewBoard();
  TPcbBoard board(handle);
  board.Load();
  std::vector<std::uint8_t> before;
  for (int n = 1; n <= 82; ++n) before.push_back(board.Layer(static_cast<std::uint8_t>(n)).Flag());
  for (std::uint8_t outside : {0, 83, 88, 255}) board.SetLayerFlag(outside, 7);
  for (int n = 1; n <= 82; ++n) EXPECT_EQ(board.Layer(static_cast<std::uint8_t>(n)).Flag(), before[n - 1u]) << n;

  board.SetLayerFlag(1, 0);
  board.SetLayerFlag(41, 1);
  board.SetLayerFlag(82, 1);
  EXPECT_EQ(board.Layer(41).Bytes, (std::array<std::uint8_t, 5>{0, 1, 0, 0, 0}));
  EXPECT_EQ(Model().GetNumber(handle, "LayerFlag", 41), 0);  // not before the store
  board.Store();
  EXPECT_EQ(Model().GetNumber(handle, "LayerFlag", 1), 0);
  EXPECT_EQ(Model().GetNumber(handle, "LayerFlag", 41), 1);
  EXPECT_EQ(Model().GetNumber(handle, "LayerFlag", 82), 1);
}

TEST(BoardWrapper, SetPlaneNetNameNamesPlanes1To4AndReachesTheHostWithTheStore) {
  const std::uint32_t handle = NewBoard();
  TPcbBoard board(handle);
  board.Load();
  board.SetPlaneNetName(1, "GND");
  board.SetPlaneNetName(4, std::string(300, 'N'));
  board.SetPlaneNetName(0, "ZERO");
  board.SetPlaneNetName(5, "FIVE");
  EXPECT_EQ(Model().GetText(handle, "PlaneNetName", 39), "(No Net)");
  board.Store();
  EXPECT_EQ(Model().GetText(handle, "PlaneNetName", 39), "GND");
  EXPECT_EQ(Model().GetText(handle, "PlaneNetName", 42), std::string(255, 'N'));
  for (int layer : {40, 41, 43, 54}) {
    EXPECT_EQ(Model().GetText(handle, "PlaneNetName", static_cast<std::uint32_t>(layer)), "(No Net)") << layer;
  }
}

TEST(BoardWrapper, ZeroHandlesAreAddedAndRemovedWithoutACall) {
  const std::uint32_t handle = NewBoard();
  TPcbBoard board(handle);
  bool added = false;
  bool removed = false;
  EXPECT_TRUE(CallsDuring([&] {
                added = board.AddObject(0);
                removed = board.RemoveObject(0);
              }).empty());
  EXPECT_TRUE(added);
  EXPECT_TRUE(removed);

  const std::uint32_t track = host::PcbApi_CreateObject(KindCode(ObjectKind::kTrack));
  EXPECT_TRUE(board.AddObject(track));
  EXPECT_TRUE(board.RemoveObject(track));
  const std::uint32_t other = host::PcbApi_CreateObject(KindCode(ObjectKind::kTrack));
  EXPECT_FALSE(board.RemoveObject(other));  // not on the board: the host's result
}

class IterateObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override { board_ = NewBoard("iterate"); }

  std::uint32_t Add(std::uint8_t kind, std::uint8_t layer) {
    const std::uint32_t handle = Model().Create(kind);
    Model().SetNumber(handle, "Layer", layer);
    Model().AddToContainer(board_, handle);
    return handle;
  }

  std::vector<std::uint32_t> Iterate(std::bitset<32> kinds, std::bitset<88> layers, std::uint8_t method = 0) {
    std::vector<std::uint32_t> seen;
    TPcbBoard board(board_);
    calls_ = CallsDuring(
        [&] { board.IterateObjects([&seen](std::uint32_t h) { seen.push_back(h); }, kinds, method, layers); });
    return seen;
  }

  static std::bitset<32> Kinds(std::initializer_list<int> kinds) {
    std::bitset<32> set;
    for (int k : kinds) set.set(static_cast<std::size_t>(k));
    return set;
  }
  static std::bitset<88> Layers(std::initializer_list<int> layers) {
    std::bitset<88> set;
    for (int l : layers) set.set(static_cast<std::size_t>(l));
    return set;
  }

  std::uint32_t board_ = 0;
  std::vector<std::string> calls_;
};

TEST_F(IterateObjectsTest, KindsAreTheOuterLoopAndLayersTheInnerOne) {
  const std::uint32_t track32 = Add(4, 32);
  const std::uint32_t arc1 = Add(1, 1);
  const std::uint32_t track1 = Add(4, 1);
  const std::uint32_t arc32 = Add(1, 32);
  const std::uint32_t arc1b = Add(1, 1);
  Add(4, 2);  // a layer outside the set
  Add(3, 1);  // a kind outside the set
  EXPECT_EQ(Iterate(Kinds({4, 1}), Layers({32, 1})), (std::vector<std::uint32_t>{arc1, arc1b, arc32, track1, track32}));
  // One iterator per (kind, layer), each destroyed.
  EXPECT_EQ(std::count_if(calls_.begin(), calls_.end(),
                          [](const std::string& c) { return c.rfind("PcbApi_CreateIterator", 0) == 0; }),
            4);
  EXPECT_EQ(std::count_if(calls_.begin(), calls_.end(),
                          [](const std::string& c) { return c.rfind("PcbApi_DestroyIterator", 0) == 0; }),
            4);
}

TEST_F(IterateObjectsTest, EmptySetsAndOutOfRangeMembersCallNothing) {
  Add(4, 1);
  struct Case {
    std::bitset<32> kinds;
    std::bitset<88> layers;
  };
  const Case cases[] = {
      {Kinds({}), Layers({1, 32})},
      {Kinds({4}), Layers({})},
      {Kinds({26, 30, 31}), Layers({1})},
      {Kinds({4}), Layers({83, 87})},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Iterate(c.kinds, c.layers).empty());
    EXPECT_TRUE(calls_.empty()) << c.kinds << " " << c.layers;
  }
}

TEST_F(IterateObjectsTest, LayerZeroAndKind25AreIterated) {
  Add(4, 1);
  Iterate(Kinds({25}), Layers({0, 82}));
  EXPECT_EQ(std::count_if(calls_.begin(), calls_.end(),
                          [](const std::string& c) { return c.rfind("PcbApi_CreateIterator", 0) == 0; }),
            2);
}

}  // namespace
