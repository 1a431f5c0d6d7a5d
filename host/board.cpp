// The board wrapper: objects in and out of the board, iteration with the host's iterators, and
// the exchange of every board-level value group with the host.
#include "host/board.h"

#include <algorithm>

#include "host/api/layer_id.h"
#include "host/api/vocabulary.h"
#include "host/board_calls.h"
#include "host/core_calls.h"

namespace {

constexpr std::uint8_t kLastIteratedKind = 25;
constexpr std::uint8_t kLastIteratedLayer = host_layer::kLastLayer;

}  // namespace

TPcbBoard::TPcbBoard(std::uint32_t handle) : handle_(handle) {
  for (std::uint8_t number = 1; number <= api::kLayerCount; ++number) {
    auto& slot = layers_[number - 1u];
    if (host_layer::IsInternalPlane(number)) {
      slot = std::make_unique<TInternalPlane>(handle, number);
    } else {
      slot = std::make_unique<TLayerObject>(handle, number);
    }
  }
}

TPcbBoard::~TPcbBoard() = default;

TLayerObject& TPcbBoard::Layer(std::uint8_t number) {
  const std::uint8_t n = std::clamp<std::uint8_t>(number, 1, api::kLayerCount);
  return *layers_[n - 1u];
}

const TLayerObject& TPcbBoard::Layer(std::uint8_t number) const {
  const std::uint8_t n = std::clamp<std::uint8_t>(number, 1, api::kLayerCount);
  return *layers_[n - 1u];
}

TInternalPlane& TPcbBoard::Plane(int plane) {
  const int n = std::clamp(plane, 1, 16);
  return static_cast<TInternalPlane&>(*layers_[host_layer::kInternalPlane1 - 2 + n]);
}

bool TPcbBoard::AddObject(std::uint32_t object) {
  if (object == 0) return true;
  return host::PcbApi_AddObjectToContainer(handle_, object) != 0;
}

bool TPcbBoard::RemoveObject(std::uint32_t object) {
  if (object == 0) return true;
  return host::PcbApi_DeleteObjectFromContainer(handle_, object) != 0;
}

void TPcbBoard::IterateObjects(const std::function<void(std::uint32_t)>& procedure, const std::bitset<32>& kinds,
                               std::uint8_t method, const std::bitset<88>& layers) {
  for (std::uint8_t kind = 0; kind <= kLastIteratedKind; ++kind) {
    if (!kinds.test(kind)) continue;
    for (std::uint8_t layer = 0; layer <= kLastIteratedLayer; ++layer) {
      if (!layers.test(layer)) continue;
      const std::uint32_t iterator = host::PcbApi_CreateIterator(handle_, kind, method, layer_id::FromNumber(layer));
      for (std::uint32_t object = host::PcbApi_GetFirstObject(iterator); object != 0;
           object = host::PcbApi_GetNextObject(iterator)) {
        procedure(object);
      }
      host::PcbApi_DestroyIterator(iterator);
    }
  }
}

void TPcbBoard::SetPlaneNetName(int plane, std::string_view name) {
  if (plane < 1 || plane > 4) return;
  Plane(plane).PlaneNetName.Assign(name);
}

void TPcbBoard::SetLayerFlag(std::uint8_t layer, std::uint8_t value) {
  if (layer < 1 || layer > api::kLayerCount) return;
  layers_[layer - 1u]->Bytes[1] = value;
}

std::int32_t TPcbBoard::Exchange(bool load) {
  const std::uint8_t dir = load ? 1 : 0;
  ExchangeBoardRecord(dir);
  for (std::uint8_t number = 1; number <= api::kLayerCount; ++number) {
    TLayerInfo& info = LayerInfo[number - 1u];
    host::PcbApi_QueryBoardLayerInfo(dir, handle_, number, &info.Value1, &info.Value2, &info.Value3);
  }
  for (auto& layer : layers_) layer->Exchange(load);
  host::PcbApi_QueryBoardSplitPlaneMode(dir, handle_, &SplitPlaneMode);
  ExchangeGrids(dir);
  ExchangeOptions(dir);
  if (load) {
    LoadLayerPairs();
  } else {
    StoreLayerPairs();
  }
  ExchangeExternalDielectrics(dir);
  return 0;
}

void TPcbBoard::ExchangeBoardRecord(std::uint8_t dir) {
  TBoardRecord& b = Board;
  std::uint32_t current_layer = layer_id::FromNumber(b.CurrentLayer);
  host::PcbApi_QueryBoard(dir, handle_, &b.Value1, b.FileName.Raw(), &b.Value3, &b.Value4, &b.Value5, &b.Value6,
                          &b.Value7, &b.Value8, &current_layer, &b.Value10);
  b.CurrentLayer = layer_id::ToNumber(current_layer);
}

void TPcbBoard::ExchangeGrids(std::uint8_t dir) {
  TGridOptions& g = GridsEx;
  host::PcbApi_QueryBoardGridsEx(dir, handle_, &g.Value1, &g.Value2, &g.Value3, &g.Value4, &g.Value5, &g.Value6,
                                 &g.Value7, &g.Value8, &g.Value9, &g.Value10, &g.Value11, &g.Value12, &g.Value13);
  GridsExValue13Copy = g.Value13;
  GridsExValue7Copy = g.Value7;
}

void TPcbBoard::ExchangeOptions(std::uint8_t dir) {
  host::PcbApi_QueryBoardEngineeringChangeOrderOptions(dir, handle_, &EcoOptions.Value1, EcoOptions.Value2.Raw());

  TOutputOptions& o = OutputOptions;
  host::PcbApi_QueryBoardOutputOptions(dir, handle_, &o.Value1, &o.Value2, &o.Value3, &o.Value4, &o.Value5, &o.Value6,
                                       &o.Value7, &o.Value8, &o.Value9, &o.Value10, &o.Value11, &o.Value12, &o.Value13,
                                       &o.Value14, &o.Value15, &o.Value16, &o.Value17, &o.Value18, &o.Value19,
                                       &o.Value20, &o.Value21, &o.Value22, &o.Value23, &o.Value24);
  host::PcbApi_QueryBoardOutputOptionsPlotLayers(dir, handle_, PlotLayers.data());
  host::PcbApi_QueryBoardOutputOptionsFlipLayers(dir, handle_, FlipLayers.data());

  TPlacerOptions& p = PlacerOptions;
  host::PcbApi_QueryBoardAdvancedPlacerOptions(dir, handle_, p.Value1.Raw(), p.Value2.Raw(), &p.Value3, &p.Value4,
                                               &p.Value5, &p.Value6);

  TGerberOptions& g = GerberOptions;
  host::PcbApi_QueryBoardGerberOptions(dir, handle_, &g.Value1, &g.Value2, &g.Value3, &g.Value4, &g.Value5, &g.Value6,
                                       &g.Value7, &g.Value8, &g.Value9, &g.Value10, &g.Value11, &g.Value12,
                                       g.Value13.Raw(), &g.Value14, &g.Value15, &g.Value16, &g.Value17, &g.Value18,
                                       &g.Value19);
  ExchangePrinter(dir);
}

void TPcbBoard::ExchangePrinter(std::uint8_t dir) {
  TPrinterOptions& p = PrinterOptions;
  host::PcbApi_QueryBoardPrinterOptions(dir, handle_, p.Value1.Raw(), p.Value2.Raw(), p.Value3.Raw(), &p.Value4,
                                        &p.Value5, &p.Value6, &p.Value7, &p.Value8, &p.Value9, &p.Value10, &p.Value11,
                                        &p.Value12, &p.Value13, p.Value14.data(), &p.Value15, &p.Value16, &p.Value17,
                                        &p.Value18, &p.Value19, &p.Value20, &p.Value21, &p.Value22, &p.Value23,
                                        &p.Value24, &p.Value25, &p.Value26);
  for (std::uint8_t pen = 1; pen <= api::kPlotterPens; ++pen) {
    TPlotterPen& values = PlotterPens[pen - 1u];
    host::PcbApi_QueryBoardPrinterOptionsPlotterPen(dir, handle_, pen, &values.Value1, &values.Value2);
  }
  for (std::uint8_t layer = 1; layer <= api::kLayerCount; ++layer) {
    TCompositeLayer& c = CompositeLayers[layer - 1u];
    host::PcbApi_QueryBoardPrinterOptionsCompositeLayer(dir, handle_, layer, &c.Value1, &c.Value2, &c.Value3,
                                                        &c.Value4);
  }
}

void TPcbBoard::LoadLayerPairs() {
  layer_pairs_.clear();
  std::int32_t count = 0;
  if (host::PcbApi_QueryBoardLayerPairsCount(1, handle_, &count) != 0) count = 0;
  for (std::int32_t index = 0; index < count; ++index) {
    TPcblayerPair pair;
    host::PcbApi_QueryBoardLayerPairAt(1, handle_, index, &pair.Layer1Id, &pair.Layer1, &pair.Layer2Id, &pair.Layer2);
    // Named top-most layer first, whatever order the host gives them in.
    const std::uint8_t upper = std::min(pair.Layer1, pair.Layer2);
    const std::uint8_t lower = std::max(pair.Layer1, pair.Layer2);
    auto name_of = [this](std::uint8_t number) {
      return number >= 1 && number <= api::kLayerCount ? Layer(number).Name.View() : api::LayerName(number);
    };
    pair.Name.Assign(name_of(upper));
    pair.Name.Append(" - ");
    pair.Name.Append(name_of(lower));
    layer_pairs_.push_back(std::move(pair));
  }
}

void TPcbBoard::StoreLayerPairs() {
  std::int32_t count = static_cast<std::int32_t>(layer_pairs_.size());
  host::PcbApi_QueryBoardLayerPairsCount(0, handle_, &count);
  std::int32_t index = 0;
  for (TPcblayerPair& pair : layer_pairs_) {
    host::PcbApi_QueryBoardLayerPairAt(0, handle_, index++, &pair.Layer1Id, &pair.Layer1, &pair.Layer2Id, &pair.Layer2);
  }
}

void TPcbBoard::ExchangeExternalDielectrics(std::uint8_t dir) {
  TDielectric& t = TopDielectric;
  TDielectric& b = BottomDielectric;
  host::PcbApi_QueryBoardExternalDielectrics(dir, handle_, t.Material.Raw(), &t.Value2, &t.Constant, &t.Height,
                                             b.Material.Raw(), &b.Value2, &b.Constant, &b.Height);
}
