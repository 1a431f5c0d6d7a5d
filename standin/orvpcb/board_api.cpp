// The stand-in server's board-level PcbApi functions: thin shims over the model's record
// exchange (schemas in board_schemas.cpp), plus the layer-pair functions, which check their
// count and index as the host does.
#include <string>
#include <type_traits>

#include "host/api/board.h"
#include "host/api/layer_id.h"
#include "standin/orvpcb/exchange.h"

namespace {

using orv::ExchangeIndexed;
using orv::ExchangeRecord;
using orv::SchemaId;
using orv::Server;

void Trace(const std::string& call, std::int32_t result) {
  if (Server().Tracing()) Server().TraceLine(call + " -> " + std::to_string(result));
}

std::string Args(std::uint8_t dir, std::uint32_t board) { return std::to_string(dir) + ", " + std::to_string(board); }

bool IsBoard(std::uint32_t handle) { return Server().KindOf(handle) == orv::kBoardKind; }

std::int32_t PairCapacity() {
  const orv::FieldSlot* slot = Server().LayoutOf(orv::kBoardKind).Find("PairLayer1");
  return slot == nullptr ? 0 : slot->instances;
}

}  // namespace

extern "C" {

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoard(std::uint8_t dir, std::uint32_t board, std::int32_t* v1,
                                                                std::uint8_t* file_name, std::uint8_t* v3,
                                                                std::int32_t* v4, std::int32_t* v5, std::int32_t* v6,
                                                                std::int32_t* v7, std::uint8_t* v8,
                                                                std::uint32_t* current_layer, std::int32_t* v10) {
  static const int schema = SchemaId("PcbApi_QueryBoard");
  return ExchangeRecord(schema, dir, board, v1, file_name, v3, v4, v5, v6, v7, v8, current_layer, v10);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardLayerInfo(std::uint8_t dir, std::uint32_t board,
                                                                         std::uint8_t layer, std::uint8_t* v1,
                                                                         std::uint8_t* v2, std::int32_t* v3) {
  static const int schema = SchemaId("PcbApi_QueryBoardLayerInfo");
  return ExchangeIndexed(schema, dir, board, layer, v1, v2, v3);
}

// The layer functions name the layer before the board; the trace shows the model's order
// (board, then layer).
VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryLayer(std::uint8_t dir, std::uint8_t layer,
                                                                std::uint32_t board, std::uint8_t* name,
                                                                std::int32_t* v2, std::uint8_t* v3, std::uint8_t* flag,
                                                                std::uint8_t* v5, std::uint8_t* v6, std::uint8_t* v7) {
  static const int schema = SchemaId("PcbApi_QueryLayer");
  return ExchangeIndexed(schema, dir, board, layer, name, v2, v3, flag, v5, v6, v7);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryLayerDielectric(std::uint8_t dir, std::uint8_t layer,
                                                                          std::uint32_t board, std::uint8_t* material,
                                                                          std::uint8_t* v2, double* constant,
                                                                          std::int32_t* height) {
  static const int schema = SchemaId("PcbApi_QueryLayerDielectric");
  return ExchangeIndexed(schema, dir, board, layer, material, v2, constant, height);
}

// Only the sixteen internal planes have a plane record.
VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryInternalPlane(
    std::uint8_t dir, std::uint8_t layer, std::uint32_t board, std::uint8_t* name, std::int32_t* v2, std::uint8_t* v3,
    std::uint8_t* flag, std::uint8_t* v5, std::uint8_t* v6, std::uint8_t* plane_net_name) {
  static const int schema = SchemaId("PcbApi_QueryInternalPlane");
  if (!host_layer::IsInternalPlane(layer)) {
    Trace("PcbApi_QueryInternalPlane(" + std::to_string(dir) + ", " + std::to_string(layer) + ", " +
              std::to_string(board) + ")",
          1);
    return 1;
  }
  return ExchangeIndexed(schema, dir, board, layer, name, v2, v3, flag, v5, v6, plane_net_name);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardSplitPlaneMode(std::uint8_t dir, std::uint32_t board,
                                                                              std::int32_t* mode) {
  static const int schema = SchemaId("PcbApi_QueryBoardSplitPlaneMode");
  return ExchangeRecord(schema, dir, board, mode);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardGridsEx(std::uint8_t dir, std::uint32_t board,
                                                                       std::uint8_t* v1, std::uint8_t* v2,
                                                                       std::uint8_t* v3, std::uint8_t* v4, double* v5,
                                                                       double* v6, double* v7, double* v8, double* v9,
                                                                       double* v10, std::int32_t* v11,
                                                                       std::uint8_t* v12, double* v13) {
  static const int schema = SchemaId("PcbApi_QueryBoardGridsEx");
  return ExchangeRecord(schema, dir, board, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardEngineeringChangeOrderOptions(std::uint8_t dir,
                                                                                             std::uint32_t board,
                                                                                             std::uint8_t* v1,
                                                                                             std::uint8_t* v2) {
  static const int schema = SchemaId("PcbApi_QueryBoardEngineeringChangeOrderOptions");
  return ExchangeRecord(schema, dir, board, v1, v2);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardOutputOptions(
    std::uint8_t dir, std::uint32_t board, std::int32_t* v1, std::int32_t* v2, std::uint8_t* v3, std::uint8_t* v4,
    std::uint8_t* v5, std::uint8_t* v6, std::uint8_t* v7, std::uint8_t* v8, std::uint8_t* v9, std::uint8_t* v10,
    std::uint8_t* v11, std::uint8_t* v12, std::uint8_t* v13, std::uint8_t* v14, std::uint8_t* v15, std::uint8_t* v16,
    std::uint8_t* v17, std::uint8_t* v18, std::uint8_t* v19, std::uint8_t* v20, std::uint8_t* v21, std::uint8_t* v22,
    std::uint8_t* v23, std::uint8_t* v24) {
  static const int schema = SchemaId("PcbApi_QueryBoardOutputOptions");
  return ExchangeRecord(schema, dir, board, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14, v15, v16, v17,
                        v18, v19, v20, v21, v22, v23, v24);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardOutputOptionsPlotLayers(std::uint8_t dir,
                                                                                       std::uint32_t board,
                                                                                       std::uint8_t* flags) {
  static const int schema = SchemaId("PcbApi_QueryBoardOutputOptionsPlotLayers");
  return ExchangeRecord(schema, dir, board, flags);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardOutputOptionsFlipLayers(std::uint8_t dir,
                                                                                       std::uint32_t board,
                                                                                       std::uint8_t* flags) {
  static const int schema = SchemaId("PcbApi_QueryBoardOutputOptionsFlipLayers");
  return ExchangeRecord(schema, dir, board, flags);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL
PcbApi_QueryBoardAdvancedPlacerOptions(std::uint8_t dir, std::uint32_t board, std::uint8_t* v1, std::uint8_t* v2,
                                       std::uint8_t* v3, std::uint8_t* v4, std::uint8_t* v5, std::uint8_t* v6) {
  static const int schema = SchemaId("PcbApi_QueryBoardAdvancedPlacerOptions");
  return ExchangeRecord(schema, dir, board, v1, v2, v3, v4, v5, v6);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardGerberOptions(
    std::uint8_t dir, std::uint32_t board, std::uint8_t* v1, std::uint8_t* v2, std::uint8_t* v3, std::uint8_t* v4,
    std::uint8_t* v5, std::uint8_t* v6, std::uint8_t* v7, std::int32_t* v8, std::int32_t* v9, std::int32_t* v10,
    std::int32_t* v11, std::int32_t* v12, std::uint8_t* v13, std::int32_t* v14, std::uint8_t* v15, std::uint8_t* v16,
    std::int32_t* v17, std::int32_t* v18, std::uint8_t* v19) {
  static const int schema = SchemaId("PcbApi_QueryBoardGerberOptions");
  return ExchangeRecord(schema, dir, board, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14, v15, v16, v17,
                        v18, v19);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardPrinterOptions(
    std::uint8_t dir, std::uint32_t board, std::uint8_t* v1, std::uint8_t* v2, std::uint8_t* v3, std::uint8_t* v4,
    std::uint8_t* v5, std::uint8_t* v6, std::uint8_t* v7, std::uint8_t* v8, std::uint8_t* v9, std::int32_t* v10,
    double* v11, double* v12, double* v13, std::uint8_t* v14, std::uint8_t* v15, std::uint8_t* v16, double* v17,
    double* v18, double* v19, std::int32_t* v20, std::int32_t* v21, std::uint8_t* v22, std::uint8_t* v23,
    std::uint8_t* v24, std::uint8_t* v25, std::uint8_t* v26) {
  static const int schema = SchemaId("PcbApi_QueryBoardPrinterOptions");
  return ExchangeRecord(schema, dir, board, v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13, v14, v15, v16, v17,
                        v18, v19, v20, v21, v22, v23, v24, v25, v26);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardPrinterOptionsPlotterPen(
    std::uint8_t dir, std::uint32_t board, std::uint8_t pen, std::int32_t* v1, std::int32_t* v2) {
  static const int schema = SchemaId("PcbApi_QueryBoardPrinterOptionsPlotterPen");
  return ExchangeIndexed(schema, dir, board, pen, v1, v2);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL
PcbApi_QueryBoardPrinterOptionsCompositeLayer(std::uint8_t dir, std::uint32_t board, std::uint8_t layer,
                                              std::int32_t* v1, std::int32_t* v2, std::uint8_t* v3, std::int32_t* v4) {
  static const int schema = SchemaId("PcbApi_QueryBoardPrinterOptionsCompositeLayer");
  return ExchangeIndexed(schema, dir, board, layer, v1, v2, v3, v4);
}

// A count outside what the board can hold is refused (and, when the host holds one, reported
// with a non-zero result).
VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardLayerPairsCount(std::uint8_t dir, std::uint32_t board,
                                                                               std::int32_t* count) {
  orv::Model& model = Server();
  std::int32_t result = 1;
  if (IsBoard(board) && count != nullptr && !orv::ExchangeRefused(dir, "PcbApi_QueryBoardLayerPairsCount", board)) {
    if (dir != 0) {
      *count = static_cast<std::int32_t>(model.GetNumber(board, "LayerPairCount"));
      result = *count >= 0 && *count <= PairCapacity() ? 0 : 1;
    } else if (*count >= 0 && *count <= PairCapacity()) {
      model.SetNumber(board, "LayerPairCount", *count);
      result = 0;
    }
  }
  Trace("PcbApi_QueryBoardLayerPairsCount(" + Args(dir, board) + ")", result);
  return result;
}

// Pair index 0 to count-1. The host keeps layer numbers; a store takes the identifiers.
VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardLayerPairAt(std::uint8_t dir, std::uint32_t board,
                                                                           std::int32_t index, std::uint32_t* layer1_id,
                                                                           std::uint8_t* layer1,
                                                                           std::uint32_t* layer2_id,
                                                                           std::uint8_t* layer2) {
  orv::Model& model = Server();
  std::int32_t result = 1;
  const std::int32_t count = static_cast<std::int32_t>(model.GetNumber(board, "LayerPairCount"));
  if (IsBoard(board) && index >= 0 && index < count && index < PairCapacity() &&
      !orv::ExchangeRefused(dir, "PcbApi_QueryBoardLayerPairAt", board)) {
    const auto instance = static_cast<std::uint32_t>(index) + 1;
    if (dir != 0) {
      const auto first = static_cast<std::uint8_t>(model.GetNumber(board, "PairLayer1", instance));
      const auto second = static_cast<std::uint8_t>(model.GetNumber(board, "PairLayer2", instance));
      if (layer1_id != nullptr) *layer1_id = layer_id::FromNumber(first);
      if (layer1 != nullptr) *layer1 = first;
      if (layer2_id != nullptr) *layer2_id = layer_id::FromNumber(second);
      if (layer2 != nullptr) *layer2 = second;
    } else {
      if (layer1_id != nullptr) model.SetNumber(board, "PairLayer1", layer_id::ToNumber(*layer1_id), instance);
      if (layer2_id != nullptr) model.SetNumber(board, "PairLayer2", layer_id::ToNumber(*layer2_id), instance);
    }
    result = 0;
  }
  Trace("PcbApi_QueryBoardLayerPairAt(" + Args(dir, board) + ", " + std::to_string(index) + ")", result);
  return result;
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryBoardExternalDielectrics(
    std::uint8_t dir, std::uint32_t board, std::uint8_t* top_material, std::uint8_t* top_v2, double* top_constant,
    std::int32_t* top_height, std::uint8_t* bottom_material, std::uint8_t* bottom_v2, double* bottom_constant,
    std::int32_t* bottom_height) {
  static const int schema = SchemaId("PcbApi_QueryBoardExternalDielectrics");
  return ExchangeRecord(schema, dir, board, top_material, top_v2, top_constant, top_height, bottom_material, bottom_v2,
                        bottom_constant, bottom_height);
}

}  // extern "C"

// The definitions must match the signatures the plug-in binds.
static_assert(std::is_same_v<decltype(PcbApi_QueryBoard), api::PcbApi_QueryBoard>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardLayerInfo), api::PcbApi_QueryBoardLayerInfo>);
static_assert(std::is_same_v<decltype(PcbApi_QueryLayer), api::PcbApi_QueryLayer>);
static_assert(std::is_same_v<decltype(PcbApi_QueryLayerDielectric), api::PcbApi_QueryLayerDielectric>);
static_assert(std::is_same_v<decltype(PcbApi_QueryInternalPlane), api::PcbApi_QueryInternalPlane>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardSplitPlaneMode), api::PcbApi_QueryBoardSplitPlaneMode>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardGridsEx), api::PcbApi_QueryBoardGridsEx>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardEngineeringChangeOrderOptions),
                             api::PcbApi_QueryBoardEngineeringChangeOrderOptions>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardOutputOptions), api::PcbApi_QueryBoardOutputOptions>);
static_assert(
    std::is_same_v<decltype(PcbApi_QueryBoardOutputOptionsPlotLayers), api::PcbApi_QueryBoardOutputOptionsPlotLayers>);
static_assert(
    std::is_same_v<decltype(PcbApi_QueryBoardOutputOptionsFlipLayers), api::PcbApi_QueryBoardOutputOptionsFlipLayers>);
static_assert(
    std::is_same_v<decltype(PcbApi_QueryBoardAdvancedPlacerOptions), api::PcbApi_QueryBoardAdvancedPlacerOptions>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardGerberOptions), api::PcbApi_QueryBoardGerberOptions>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardPrinterOptions), api::PcbApi_QueryBoardPrinterOptions>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardPrinterOptionsPlotterPen),
                             api::PcbApi_QueryBoardPrinterOptionsPlotterPen>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardPrinterOptionsCompositeLayer),
                             api::PcbApi_QueryBoardPrinterOptionsCompositeLayer>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardLayerPairsCount), api::PcbApi_QueryBoardLayerPairsCount>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBoardLayerPairAt), api::PcbApi_QueryBoardLayerPairAt>);
static_assert(
    std::is_same_v<decltype(PcbApi_QueryBoardExternalDielectrics), api::PcbApi_QueryBoardExternalDielectrics>);
