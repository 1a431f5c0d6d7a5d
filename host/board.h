// TPcbBoard: the plug-in's local copy of one host board document. Through it the import adds and
// removes objects, walks the board's objects with the host's iterators, and loads and stores the
// board-level settings: the board record, 82 layers, internal planes, layer pairs, dielectrics,
// grids and option groups.
//
//   TPcbBoard board(handle);
//   board.Load();                              // everything from the host
//   board.GridsEx.Value2 = 1;  board.SetLayerFlag(33, 1);
//   board.Store();                             // everything back, changes included
//
// Settings written into the wrapper stay local until the next store. Freeing the wrapper never
// stores it and never touches the host board. Value numbers below are those of the host
// functions in host/api/board.h: "Value k" is the k-th value pointer after the board handle.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "host/api/board.h"
#include "host/board_layers.h"
#include "host/short_string.h"

// PcbApi_QueryBoard.
struct TBoardRecord {
  std::int32_t Value1 = 0;
  ShortString<255> FileName;  // value 2: the board's file name
  std::uint8_t Value3 = 0;
  std::int32_t Value4 = 0;
  std::int32_t Value5 = 0;
  std::int32_t Value6 = 0;
  std::int32_t Value7 = 0;
  std::uint8_t Value8 = 0;
  std::uint8_t CurrentLayer = 0;  // value 9: exchanged as a layer identifier, kept as a number
  std::int32_t Value10 = 0;
};

// PcbApi_QueryBoardGridsEx.
struct TGridOptions {
  std::uint8_t Value1 = 0;
  std::uint8_t Value2 = 0;
  std::uint8_t Value3 = 0;
  std::uint8_t Value4 = 0;
  double Value5 = 0;
  double Value6 = 0;
  double Value7 = 0;
  double Value8 = 0;
  double Value9 = 0;
  double Value10 = 0;
  std::int32_t Value11 = 0;
  std::uint8_t Value12 = 0;
  double Value13 = 0;
};

// PcbApi_QueryBoardEngineeringChangeOrderOptions.
struct TEcoOptions {
  std::uint8_t Value1 = 0;
  ShortString<255> Value2;
};

// PcbApi_QueryBoardOutputOptions.
struct TOutputOptions {
  std::int32_t Value1 = 0;
  std::int32_t Value2 = 0;
  std::uint8_t Value3 = 0, Value4 = 0, Value5 = 0, Value6 = 0, Value7 = 0, Value8 = 0, Value9 = 0, Value10 = 0,
               Value11 = 0, Value12 = 0, Value13 = 0, Value14 = 0, Value15 = 0, Value16 = 0, Value17 = 0, Value18 = 0,
               Value19 = 0, Value20 = 0, Value21 = 0, Value22 = 0, Value23 = 0, Value24 = 0;
};

// Plot-layer and flip-layer sets: element s-1 holds the flag of slot s.
using TOptionSlotFlags = std::array<std::uint8_t, api::kOptionSlots>;

// PcbApi_QueryBoardAdvancedPlacerOptions.
struct TPlacerOptions {
  ShortString<255> Value1;
  ShortString<255> Value2;
  std::uint8_t Value3 = 0, Value4 = 0, Value5 = 0, Value6 = 0;
};

// PcbApi_QueryBoardGerberOptions.
struct TGerberOptions {
  std::uint8_t Value1 = 0, Value2 = 0, Value3 = 0, Value4 = 0, Value5 = 0, Value6 = 0, Value7 = 0;
  std::int32_t Value8 = 0, Value9 = 0, Value10 = 0, Value11 = 0, Value12 = 0;
  ShortString<255> Value13;
  std::int32_t Value14 = 0;
  std::uint8_t Value15 = 0, Value16 = 0;
  std::int32_t Value17 = 0, Value18 = 0;
  std::uint8_t Value19 = 0;
};

// PcbApi_QueryBoardPrinterOptions.
struct TPrinterOptions {
  ShortString<255> Value1;
  ShortString<255> Value2;
  ShortString<255> Value3;
  std::uint8_t Value4 = 0, Value5 = 0, Value6 = 0, Value7 = 0, Value8 = 0, Value9 = 0;
  std::int32_t Value10 = 0;
  double Value11 = 0, Value12 = 0, Value13 = 0;
  std::array<std::uint8_t, api::kPrinterBlockBytes> Value14{};  // bytes counted from 0
  std::uint8_t Value15 = 0, Value16 = 0;
  double Value17 = 0, Value18 = 0, Value19 = 0;
  std::int32_t Value20 = 0, Value21 = 0;
  std::uint8_t Value22 = 0, Value23 = 0, Value24 = 0, Value25 = 0, Value26 = 0;
};

// PcbApi_QueryBoardPrinterOptionsPlotterPen, one pen.
struct TPlotterPen {
  std::int32_t Value1 = 0;
  std::int32_t Value2 = 0;
};

// PcbApi_QueryBoardPrinterOptionsCompositeLayer, one layer.
struct TCompositeLayer {
  std::int32_t Value1 = 0;
  std::int32_t Value2 = 0;
  std::uint8_t Value3 = 0;
  std::int32_t Value4 = 0;
};

// PcbApi_QueryBoardLayerInfo, one layer. The host sends two bytes besides the 32-bit value; they
// are kept too, so that a store gives the host back what it reported.
struct TLayerInfo {
  std::uint8_t Value1 = 0;
  std::uint8_t Value2 = 0;
  std::int32_t Value3 = 0;
};

// One drill pair of the board, as PcbApi_QueryBoardLayerPairAt gives it, with its display name
// "<layer> - <layer>".
struct TPcblayerPair {
  ShortString<255> Name;
  std::uint32_t Layer1Id = 0;
  std::uint8_t Layer1 = 0;
  std::uint32_t Layer2Id = 0;
  std::uint8_t Layer2 = 0;
};

class TPcbBoard {
 public:
  // The 82 layer wrappers, an empty pair list, the dielectric defaults and split plane mode 1;
  // nothing is asked of the host until the first Load().
  explicit TPcbBoard(std::uint32_t handle);
  ~TPcbBoard();
  TPcbBoard(const TPcbBoard&) = delete;
  TPcbBoard& operator=(const TPcbBoard&) = delete;

  // Every value group from the host (Load) or to it (Store), the same calls in the same order.
  // The host's results are not checked; returns 0.
  std::int32_t Load() { return Exchange(true); }
  std::int32_t Store() { return Exchange(false); }

  // The board becomes (stops being) the object's container. A zero handle makes no call and
  // counts as success; otherwise the host's result says.
  bool AddObject(std::uint32_t object);
  bool RemoveObject(std::uint32_t object);

  // Calls procedure with each object the host's iterators give, for every kind 0 to 25 in kinds
  // (outer loop) and every layer 0 to 82 in layers (inner loop): one host iterator per pair.
  void IterateObjects(const std::function<void(std::uint32_t)>& procedure, const std::bitset<32>& kinds,
                      std::uint8_t method, const std::bitset<88>& layers);

  // Net name of internal plane 1 to 4 (layers 39 to 42); other plane numbers are ignored.
  void SetPlaneNetName(int plane, std::string_view name);
  // The flag (second byte) of layer 1 to 82; other numbers are ignored.
  void SetLayerFlag(std::uint8_t layer, std::uint8_t value);

  [[nodiscard]] std::uint32_t Handle() const { return handle_; }
  // The board record's string: the file name the host holds for the board.
  [[nodiscard]] std::string_view FileName() const { return Board.FileName.View(); }

  // Layer 1 to 82 (numbers outside are clamped into the range).
  [[nodiscard]] TLayerObject& Layer(std::uint8_t number);
  [[nodiscard]] const TLayerObject& Layer(std::uint8_t number) const;
  // Internal plane 1 to 16 (layers 39 to 54; plane numbers outside are clamped).
  [[nodiscard]] TInternalPlane& Plane(int plane);
  [[nodiscard]] const std::vector<TPcblayerPair>& LayerPairs() const { return layer_pairs_; }
  std::vector<TPcblayerPair>& LayerPairs() { return layer_pairs_; }

  // ---- the board's values, one group per host function
  TBoardRecord Board;
  std::array<TLayerInfo, api::kLayerCount> LayerInfo{};  // element n-1 for layer n
  std::int32_t SplitPlaneMode = 1;
  TGridOptions GridsEx;
  // Copies of GridsEx values 13 and 7, refreshed after every grid exchange and never sent to the
  // host: whatever is written here is overwritten by the next exchange.
  double GridsExValue13Copy = 0;
  double GridsExValue7Copy = 0;
  TEcoOptions EcoOptions;
  TOutputOptions OutputOptions;
  TOptionSlotFlags PlotLayers{};
  TOptionSlotFlags FlipLayers{};
  TPlacerOptions PlacerOptions;
  TGerberOptions GerberOptions;
  TPrinterOptions PrinterOptions;
  std::array<TPlotterPen, api::kPlotterPens> PlotterPens{};         // element p-1 for pen p
  std::array<TCompositeLayer, api::kLayerCount> CompositeLayers{};  // element n-1 for layer n
  TDielectric TopDielectric;
  TDielectric BottomDielectric;

 private:
  std::int32_t Exchange(bool load);
  void ExchangeBoardRecord(std::uint8_t dir);
  void ExchangeGrids(std::uint8_t dir);
  void ExchangeOptions(std::uint8_t dir);
  void ExchangePrinter(std::uint8_t dir);
  void LoadLayerPairs();
  void StoreLayerPairs();
  void ExchangeExternalDielectrics(std::uint8_t dir);

  std::uint32_t handle_;
  std::array<std::unique_ptr<TLayerObject>, api::kLayerCount> layers_;
  std::vector<TPcblayerPair> layer_pairs_;
};
