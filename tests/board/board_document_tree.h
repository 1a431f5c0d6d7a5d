// The `board` section as the host program built it before it wrote the section as text: a tree of
// the JSON library, dumped. Kept here as the reference the text writer must match byte for byte.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/api/board.h"
#include "standin/host/text.h"
#include "standin/orvpcb/model.h"
#include "standin/orvpcb/packed.h"

namespace board_tree {

using nlohmann::json;
using orv::FieldType;
using orv::Load;

class BoardReader {
 public:
  BoardReader(orv::Model& model, std::uint32_t board)
      : model_(model), board_(board), layout_(model.LayoutOf(orv::kBoardKind)) {}

  [[nodiscard]] json Value(std::string_view field, std::uint32_t instance = 1) const {
    const orv::FieldSlot* slot = layout_.Find(field);
    if (slot == nullptr) return nullptr;
    const std::uint8_t* place = model_.FieldData(board_, *slot, instance);
    if (place == nullptr) return nullptr;
    switch (slot->def.type) {
      case FieldType::kU8:
      case FieldType::kLayerId:
        return place[0];
      case FieldType::kU16:
        return Load<std::uint16_t>(place);
      case FieldType::kI32:
        return Load<std::int32_t>(place);
      case FieldType::kU32:
        return Load<std::uint32_t>(place);
      case FieldType::kF64:
        return Load<double>(place);
      case FieldType::kString:
        return Latin1ToUtf8(model_.StringAt(Load<std::uint32_t>(place)));
      case FieldType::kBytes:
        return json(std::vector<std::uint8_t>(place, place + slot->def.size));
      case FieldType::kSegments:
        break;
    }
    return nullptr;
  }
  [[nodiscard]] std::string Text(std::string_view field, std::uint32_t instance = 1) const {
    return model_.GetText(board_, field, instance);
  }
  [[nodiscard]] double Number(std::string_view field, std::uint32_t instance = 1) const {
    return model_.GetNumber(board_, field, instance);
  }
  [[nodiscard]] json Record(std::string_view function, std::uint32_t instance = 1) const {
    json values = json::array();
    const int schema = model_.FindSchema(function);
    if (schema < 0) return values;
    for (const orv::FieldDef& def : model_.SchemaAt(schema).fields) values.push_back(Value(def.name, instance));
    return values;
  }
  [[nodiscard]] json Records(std::string_view function, std::uint32_t count) const {
    json records = json::array();
    for (std::uint32_t instance = 1; instance <= count; ++instance) records.push_back(Record(function, instance));
    return records;
  }

 private:
  orv::Model& model_;
  std::uint32_t board_;
  const orv::Layout& layout_;
};

inline json Dielectric(const BoardReader& r, const std::string& prefix, std::uint32_t instance = 1) {
  return {{"Material", r.Value(prefix + "Material", instance)},
          {"Value2", r.Value(prefix + "Value2", instance)},
          {"Constant", r.Value(prefix + "Constant", instance)},
          {"Height", r.Value(prefix + "Height", instance)}};
}

inline json Layers(const BoardReader& r) {
  json layers = json::array();
  for (std::uint8_t n = 1; n <= api::kLayerCount; ++n) {
    json layer = {{"Number", n},
                  {"Name", r.Value("LayerName", n)},
                  {"Flag", r.Value("LayerFlag", n)},
                  {"Value2", r.Value("LayerValue2", n)},
                  {"Value3", r.Value("LayerValue3", n)},
                  {"Value5", r.Value("LayerValue5", n)},
                  {"Value6", r.Value("LayerValue6", n)},
                  {"Value7", r.Value("LayerValue7", n)},
                  {"LayerInfo", r.Record("PcbApi_QueryBoardLayerInfo", n)},
                  {"Dielectric", Dielectric(r, "Dielectric", n)}};
    if (n >= 39 && n <= 54) layer["PlaneNetName"] = r.Value("PlaneNetName", n);
    layers.push_back(std::move(layer));
  }
  return layers;
}

inline json LayerPairs(const BoardReader& r) {
  json pairs = json::array();
  const auto count = static_cast<std::int64_t>(r.Number("LayerPairCount"));
  for (std::int64_t index = 0; index < count && index < 0xFFFF; ++index) {
    const auto instance = static_cast<std::uint32_t>(index + 1);
    const auto first = static_cast<std::uint8_t>(r.Number("PairLayer1", instance));
    const auto second = static_cast<std::uint8_t>(r.Number("PairLayer2", instance));
    auto name_of = [&r](std::uint8_t number) {
      return number >= 1 && number <= api::kLayerCount ? r.Text("LayerName", number)
                                                       : std::string(api::LayerName(number));
    };
    pairs.push_back(
        {{"Layer1", first},
         {"Layer2", second},
         {"Name", Latin1ToUtf8(name_of(std::min(first, second)) + " - " + name_of(std::max(first, second)))}});
  }
  return pairs;
}

inline json BoardTree(orv::Model& model, std::uint32_t board) {
  const BoardReader r(model, board);
  json document = {{"Handle", board}};
  for (const char* function :
       {"PcbApi_QueryBoard", "PcbApi_QueryBoardGridsEx", "PcbApi_QueryBoardEngineeringChangeOrderOptions",
        "PcbApi_QueryBoardOutputOptions", "PcbApi_QueryBoardGerberOptions", "PcbApi_QueryBoardAdvancedPlacerOptions",
        "PcbApi_QueryBoardPrinterOptions"}) {
    document[function] = r.Record(function);
  }
  document["PcbApi_QueryBoardOutputOptionsPlotLayers"] = r.Value("PlotLayers");
  document["PcbApi_QueryBoardOutputOptionsFlipLayers"] = r.Value("FlipLayers");
  document["PcbApi_QueryBoardPrinterOptionsPlotterPen"] =
      r.Records("PcbApi_QueryBoardPrinterOptionsPlotterPen", api::kPlotterPens);
  document["PcbApi_QueryBoardPrinterOptionsCompositeLayer"] =
      r.Records("PcbApi_QueryBoardPrinterOptionsCompositeLayer", api::kLayerCount);
  document["layers"] = Layers(r);
  document["SplitPlaneMode"] = r.Value("SplitPlaneMode");
  document["LayerPairs"] = LayerPairs(r);
  document["ExternalDielectrics"] = {{"Top", Dielectric(r, "Top")}, {"Bottom", Dielectric(r, "Bottom")}};
  return document;
}

}  // namespace board_tree
