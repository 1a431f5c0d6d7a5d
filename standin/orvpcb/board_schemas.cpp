// Board record schemas of the stand-in server, and the settings a new board document starts with.
//
// Every value of the board lives in the board object under a field name of its own: the
// function's group name and the value's number ("Grids13" is value 13 of
// PcbApi_QueryBoardGridsEx), except the few values the format names (FileName, CurrentLayer,
// PlaneNetName, ...). Per-layer, per-pen and per-pair values are instances of one field.
#include <cstring>
#include <string>

#include "host/api/board.h"
#include "standin/orvpcb/schema_areas.h"

namespace orv {
namespace {

using T = FieldType;

// Drill pairs a board can hold; the pair functions find the limit in the layout.
constexpr std::uint16_t kMaxLayerPairs = 64;

FieldDef Field(std::string name, FieldType type, std::uint16_t size = 0) {
  FieldDef def;
  def.name = std::move(name);
  def.type = type;
  def.size = size;
  return def;
}
FieldDef Text(std::string name) { return Field(std::move(name), T::kString, 255); }

// Fields prefix1 .. prefixN with the types given in value order.
std::vector<FieldDef> Numbered(const std::string& prefix, std::initializer_list<FieldDef> typed) {
  std::vector<FieldDef> fields;
  int number = 1;
  for (FieldDef def : typed) {
    def.name = prefix + std::to_string(number++);
    fields.push_back(std::move(def));
  }
  return fields;
}

FieldDef U8() { return Field("", T::kU8); }
FieldDef I32() { return Field("", T::kI32); }
FieldDef F64() { return Field("", T::kF64); }
FieldDef Str() { return Field("", T::kString, 255); }
FieldDef Block(std::uint16_t bytes) { return Field("", T::kBytes, bytes); }

void Add(Model& model, std::string function, std::vector<FieldDef> fields, std::uint16_t instances = 1) {
  model.AddSchema(Schema{std::move(function), std::move(fields), instances}, {kBoardKind});
}

void SetNumbers(Model& model, const std::string& prefix, std::initializer_list<double> values) {
  int number = 1;
  for (double value : values) model.SetInitial(kBoardKind, prefix + std::to_string(number++), value);
}

// The model keeps byte blocks as they are exchanged and has no setter for them; a board's
// storage is its own, so the block is written in place.
void SetBytes(Model& model, std::uint32_t board, std::string_view field, std::initializer_list<std::uint16_t> at,
              std::uint8_t value) {
  const FieldSlot* slot = model.LayoutOf(kBoardKind).Find(field);
  if (slot == nullptr) return;
  auto* place = const_cast<std::uint8_t*>(model.FieldData(board, *slot));
  if (place == nullptr) return;
  for (std::uint16_t index : at) {
    if (index < slot->stride) place[index] = value;
  }
}

void RegisterSchemaList(Model& model) {
  Add(model, "PcbApi_QueryBoard",
      {Field("Board1", T::kI32), Text("FileName"), Field("Board3", T::kU8), Field("Board4", T::kI32),
       Field("Board5", T::kI32), Field("Board6", T::kI32), Field("Board7", T::kI32), Field("Board8", T::kU8),
       Field("CurrentLayer", T::kLayerId), Field("Board10", T::kI32)});
  Add(model, "PcbApi_QueryBoardLayerInfo", Numbered("LayerInfo", {U8(), U8(), I32()}), api::kLayerCount);
  Add(model, "PcbApi_QueryLayer",
      {Text("LayerName"), Field("LayerValue2", T::kI32), Field("LayerValue3", T::kU8), Field("LayerFlag", T::kU8),
       Field("LayerValue5", T::kU8), Field("LayerValue6", T::kU8), Field("LayerValue7", T::kU8)},
      api::kLayerCount);
  Add(model, "PcbApi_QueryInternalPlane",
      {Text("LayerName"), Field("LayerValue2", T::kI32), Field("LayerValue3", T::kU8), Field("LayerFlag", T::kU8),
       Field("LayerValue5", T::kU8), Field("LayerValue6", T::kU8), Text("PlaneNetName")},
      api::kLayerCount);
  Add(model, "PcbApi_QueryLayerDielectric",
      {Text("DielectricMaterial"), Field("DielectricValue2", T::kU8), Field("DielectricConstant", T::kF64),
       Field("DielectricHeight", T::kI32)},
      api::kLayerCount);
  Add(model, "PcbApi_QueryBoardSplitPlaneMode", {Field("SplitPlaneMode", T::kI32)});
  Add(model, "PcbApi_QueryBoardGridsEx",
      Numbered("Grids", {U8(), U8(), U8(), U8(), F64(), F64(), F64(), F64(), F64(), F64(), I32(), U8(), F64()}));
  Add(model, "PcbApi_QueryBoardEngineeringChangeOrderOptions", Numbered("Eco", {U8(), Str()}));
  Add(model, "PcbApi_QueryBoardOutputOptions",
      Numbered("Output", {I32(), I32(), U8(), U8(), U8(), U8(), U8(), U8(), U8(), U8(), U8(), U8(),
                          U8(),  U8(),  U8(), U8(), U8(), U8(), U8(), U8(), U8(), U8(), U8(), U8()}));
  Add(model, "PcbApi_QueryBoardOutputOptionsPlotLayers", {Field("PlotLayers", T::kBytes, api::kOptionSlots)});
  Add(model, "PcbApi_QueryBoardOutputOptionsFlipLayers", {Field("FlipLayers", T::kBytes, api::kOptionSlots)});
  Add(model, "PcbApi_QueryBoardAdvancedPlacerOptions", Numbered("Placer", {Str(), Str(), U8(), U8(), U8(), U8()}));
  Add(model, "PcbApi_QueryBoardGerberOptions",
      Numbered("Gerber", {U8(), U8(), U8(), U8(), U8(), U8(), U8(), I32(), I32(), I32(), I32(), I32(), Str(), I32(),
                          U8(), U8(), I32(), I32(), U8()}));
  Add(model, "PcbApi_QueryBoardPrinterOptions",
      Numbered("Printer", {Str(), Str(), Str(), U8(),  U8(),  U8(),  U8(),
                           U8(),  U8(),  I32(), F64(), F64(), F64(), Block(api::kPrinterBlockBytes),
                           U8(),  U8(),  F64(), F64(), F64(), I32(), I32(),
                           U8(),  U8(),  U8(),  U8(),  U8()}));
  Add(model, "PcbApi_QueryBoardPrinterOptionsPlotterPen", Numbered("Pen", {I32(), I32()}), api::kPlotterPens);
  Add(model, "PcbApi_QueryBoardPrinterOptionsCompositeLayer", Numbered("Composite", {I32(), I32(), U8(), I32()}),
      api::kLayerCount);
  // Layer pairs: the count, and each pair's two layer numbers (instance = pair index + 1). The
  // pair functions reach them by name; the schemas only give them their storage.
  Add(model, "PcbApi_QueryBoardLayerPairsCount", {Field("LayerPairCount", T::kI32)});
  Add(model, "PcbApi_QueryBoardLayerPairAt", {Field("PairLayer1", T::kU8), Field("PairLayer2", T::kU8)},
      kMaxLayerPairs);
  Add(model, "PcbApi_QueryBoardExternalDielectrics",
      {Text("TopMaterial"), Field("TopValue2", T::kU8), Field("TopConstant", T::kF64), Field("TopHeight", T::kI32),
       Text("BottomMaterial"), Field("BottomValue2", T::kU8), Field("BottomConstant", T::kF64),
       Field("BottomHeight", T::kI32)});
}

// What every new board shares: a two-layer board on a 5 mil snap grid, printed at full scale.
void SetCommonDefaults(Model& model) {
  SetNumbers(model, "Board", {1, 0, 1, 0, 0, 100000, 100000, 1, 0, 0});
  model.SetInitial(kBoardKind, "CurrentLayer", 1);
  SetNumbers(model, "Grids",
             {1, 1, 0, 1, 50000.0, 50000.0, 200000.0, 200000.0, 1000000.0, 10000000.0, 80000, 1, 250000.0});
  SetNumbers(model, "Output", {8, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
  SetNumbers(model, "Placer", {0, 0, 1, 0, 1, 0});
  model.SetInitialText(kBoardKind, "Placer1", "Cluster Placer");
  SetNumbers(model, "Gerber", {2, 4, 0, 1, 0, 1, 0, 100000, 20000, 250000, 0, 1, 0, 10000, 1, 0, 500000, 0, 1});
  SetNumbers(model, "Printer",
             {0, 0, 0, 1, 0, 0, 1, 0, 0, 100, 1.0, 0.0, 0.0, 0, 1, 0, 1.0, 1.0, 0.0, 0, 0, 0, 1, 0, 0, 1});
  model.SetInitialText(kBoardKind, "Printer1", "Default Printer");
  model.SetInitial(kBoardKind, "Pen2", 3000);
  model.SetInitial(kBoardKind, "Composite2", 16777215);
  model.SetInitial(kBoardKind, "LayerValue2", 14000);
  model.SetInitialText(kBoardKind, "PlaneNetName", "(No Net)");
  model.SetInitialText(kBoardKind, "DielectricMaterial", "FR-4");
  model.SetInitial(kBoardKind, "DielectricValue2", 1);
  model.SetInitial(kBoardKind, "DielectricConstant", 4.8);
  model.SetInitial(kBoardKind, "DielectricHeight", 126000);
  model.SetInitial(kBoardKind, "SplitPlaneMode", 1);
  for (const char* side : {"Top", "Bottom"}) {
    const std::string s = side;
    model.SetInitialText(kBoardKind, s + "Material", "Solder Resist");
    model.SetInitial(kBoardKind, s + "Value2", 2);
    model.SetInitial(kBoardKind, s + "Constant", 3.5);
    model.SetInitial(kBoardKind, s + "Height", 4000);
  }
}

// Layers a new board shows and prints: the outer copper, overlays, solder masks, the keep-out,
// the first mechanical layer and the multi-layer.
constexpr std::uint8_t kVisibleLayers[] = {1, 32, 33, 34, 37, 38, 56, 57, 74};

// Values that differ per board: the file name, the layer table and the first drill pair.
void InitialiseBoard(Model& model, std::uint32_t board) {
  model.SetText(board, "FileName", model.BoardFileName(board));
  for (std::uint8_t n = 1; n <= api::kLayerCount; ++n) {
    model.SetText(board, "LayerName", api::LayerName(n), n);
    // A colour per layer, as an editor's palette gives them.
    model.SetNumber(board, "LayerInfo3", static_cast<double>((n * 2654435761u) & 0xFFFFFFu), n);
    model.SetNumber(board, "Composite1", static_cast<double>((n * 40503u) & 0xFFFFFFu), n);
  }
  for (std::uint8_t n : kVisibleLayers) {
    model.SetNumber(board, "LayerInfo1", 1, n);
    model.SetNumber(board, "LayerFlag", 1, n);
    model.SetNumber(board, "Composite3", 1, n);
  }
  for (std::uint8_t pen = 1; pen <= api::kPlotterPens; ++pen) model.SetNumber(board, "Pen1", pen, pen);
  model.SetNumber(board, "LayerPairCount", 1);
  model.SetNumber(board, "PairLayer1", 1, 1);
  model.SetNumber(board, "PairLayer2", 32, 1);
  // Plot slots are layer numbers for the layers the file can name (slot 1 top, 32 bottom, ...).
  SetBytes(model, board, "PlotLayers", {0, 31, 32, 36, 37, 55}, 1);
  SetBytes(model, board, "Printer14", {0, 2, 3, 7}, 1);
}

}  // namespace

void RegisterBoardSchemas(Model& model) {
  RegisterSchemaList(model);
  SetCommonDefaults(model);
  model.board_initialisers.push_back(InitialiseBoard);
}

}  // namespace orv
