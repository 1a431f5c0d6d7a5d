// The `board` section of the board document: each value group of the host's board functions as
// an array in the function's value order, then the layers, layer pairs and dielectrics. Written
// as text straight from the model, keys in the order the JSON library sorts them, byte for byte
// the library's text of the same tree: the section is the same for every board, 82 layers of ten
// members, and a tree of it cost more than the objects of a small board's document.
#include "standin/host/board_document.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "host/api/board.h"
#include "host/api/vocabulary.h"
#include "standin/host/json_text.h"
#include "standin/orvpcb/packed.h"

namespace {

using json_text::AppendDouble;
using json_text::AppendInteger;
using json_text::AppendString;
using orv::FieldType;
using orv::Load;

class BoardWriter {
 public:
  BoardWriter(orv::Model& model, std::uint32_t board, std::string& out)
      : model_(model), board_(board), layout_(model.LayoutOf(orv::kBoardKind)), out_(out) {}

  // Appends `text` as it is (keys, brackets, commas).
  BoardWriter& operator<<(std::string_view text) {
    out_ += text;
    return *this;
  }

  // One field of the board, an array for a byte block; null when the board has no such field or
  // instance.
  void Value(std::string_view field, std::uint32_t instance = 1) {
    const orv::FieldSlot* slot = layout_.Find(field);
    const std::uint8_t* place = slot == nullptr ? nullptr : model_.FieldData(board_, *slot, instance);
    if (place == nullptr) {
      out_ += "null";
      return;
    }
    switch (slot->def.type) {
      case FieldType::kU8:
      case FieldType::kLayerId:
        AppendInteger(unsigned{place[0]}, out_);
        return;
      case FieldType::kU16:
        AppendInteger(Load<std::uint16_t>(place), out_);
        return;
      case FieldType::kI32:
        AppendInteger(Load<std::int32_t>(place), out_);
        return;
      case FieldType::kU32:
        AppendInteger(Load<std::uint32_t>(place), out_);
        return;
      case FieldType::kF64:
        AppendDouble(Load<double>(place), out_);
        return;
      case FieldType::kString:
        AppendString(model_.StringAt(Load<std::uint32_t>(place)), out_);
        return;
      case FieldType::kBytes:
        out_ += '[';
        for (std::uint16_t i = 0; i < slot->def.size; ++i) {
          if (i != 0) out_ += ',';
          AppendInteger(unsigned{place[i]}, out_);
        }
        out_ += ']';
        return;
      case FieldType::kSegments:
        break;
    }
    out_ += "null";
  }

  // Every value of one function's record, in order, for one instance.
  void Record(int schema, std::uint32_t instance = 1) {
    out_ += '[';
    if (schema >= 0) {
      bool first = true;
      for (const orv::FieldDef& def : model_.SchemaAt(schema).fields) {
        if (!first) out_ += ',';
        first = false;
        Value(def.name, instance);
      }
    }
    out_ += ']';
  }
  void Record(std::string_view function) { Record(model_.FindSchema(function)); }

  // One array per instance 1 to count.
  void Records(std::string_view function, std::uint32_t count) {
    const int schema = model_.FindSchema(function);
    out_ += '[';
    for (std::uint32_t instance = 1; instance <= count; ++instance) {
      if (instance != 1) out_ += ',';
      Record(schema, instance);
    }
    out_ += ']';
  }

  // ,"key": and the value of a field.
  void Member(std::string_view key, std::string_view field, std::uint32_t instance) {
    out_ += ",\"";
    out_ += key;
    out_ += "\":";
    Value(field, instance);
  }

  // A dielectric's four values under the field names prefix + Constant, Height, Material, Value2.
  void Dielectric(std::string_view constant, std::string_view height, std::string_view material,
                  std::string_view value2, std::uint32_t instance = 1) {
    out_ += "{\"Constant\":";
    Value(constant, instance);
    Member("Height", height, instance);
    Member("Material", material, instance);
    Member("Value2", value2, instance);
    out_ += '}';
  }

  void Layers() {
    const int layer_info = model_.FindSchema("PcbApi_QueryBoardLayerInfo");
    out_ += '[';
    for (std::uint8_t n = 1; n <= api::kLayerCount; ++n) {
      if (n != 1) out_ += ',';
      out_ += "{\"Dielectric\":";
      Dielectric("DielectricConstant", "DielectricHeight", "DielectricMaterial", "DielectricValue2", n);
      Member("Flag", "LayerFlag", n);
      out_ += ",\"LayerInfo\":";
      Record(layer_info, n);
      Member("Name", "LayerName", n);
      out_ += ",\"Number\":";
      AppendInteger(unsigned{n}, out_);
      if (host_layer::IsInternalPlane(n)) Member("PlaneNetName", "PlaneNetName", n);
      Member("Value2", "LayerValue2", n);
      Member("Value3", "LayerValue3", n);
      Member("Value5", "LayerValue5", n);
      Member("Value6", "LayerValue6", n);
      Member("Value7", "LayerValue7", n);
      out_ += '}';
    }
    out_ += ']';
  }

  // Each pair with the name the board shows for it: the upper layer's name first.
  void LayerPairs() {
    out_ += '[';
    const auto count = static_cast<std::int64_t>(model_.GetNumber(board_, "LayerPairCount"));
    std::string name;
    for (std::int64_t index = 0; index < count && index < 0xFFFF; ++index) {
      const auto instance = static_cast<std::uint32_t>(index + 1);
      const auto first = static_cast<std::uint8_t>(model_.GetNumber(board_, "PairLayer1", instance));
      const auto second = static_cast<std::uint8_t>(model_.GetNumber(board_, "PairLayer2", instance));
      if (index != 0) out_ += ',';
      out_ += "{\"Layer1\":";
      AppendInteger(unsigned{first}, out_);
      out_ += ",\"Layer2\":";
      AppendInteger(unsigned{second}, out_);
      out_ += ",\"Name\":";
      name = LayerName(std::min(first, second));
      name += " - ";
      name += LayerName(std::max(first, second));
      AppendString(name, out_);
      out_ += '}';
    }
    out_ += ']';
  }

 private:
  // The board's name of a layer; the host's fixed name of a number that is no board layer.
  [[nodiscard]] std::string_view LayerName(std::uint8_t number) const {
    if (number < 1 || number > api::kLayerCount) return api::LayerName(number);
    const orv::FieldSlot* slot = layout_.Find("LayerName");
    if (slot == nullptr || slot->def.type != FieldType::kString) return {};
    const std::uint8_t* place = model_.FieldData(board_, *slot, number);
    return place == nullptr ? std::string_view() : model_.StringAt(Load<std::uint32_t>(place));
  }

  orv::Model& model_;
  std::uint32_t board_;
  const orv::Layout& layout_;
  std::string& out_;
};

}  // namespace

void AppendBoardDocument(orv::Model& model, std::uint32_t board, std::string& out) {
  BoardWriter w(model, board, out);
  w << "{\"ExternalDielectrics\":{\"Bottom\":";
  w.Dielectric("BottomConstant", "BottomHeight", "BottomMaterial", "BottomValue2");
  w << ",\"Top\":";
  w.Dielectric("TopConstant", "TopHeight", "TopMaterial", "TopValue2");
  w << "},\"Handle\":";
  AppendInteger(board, out);
  w << ",\"LayerPairs\":";
  w.LayerPairs();
  w << ",\"PcbApi_QueryBoard\":";
  w.Record("PcbApi_QueryBoard");
  w << ",\"PcbApi_QueryBoardAdvancedPlacerOptions\":";
  w.Record("PcbApi_QueryBoardAdvancedPlacerOptions");
  w << ",\"PcbApi_QueryBoardEngineeringChangeOrderOptions\":";
  w.Record("PcbApi_QueryBoardEngineeringChangeOrderOptions");
  w << ",\"PcbApi_QueryBoardGerberOptions\":";
  w.Record("PcbApi_QueryBoardGerberOptions");
  w << ",\"PcbApi_QueryBoardGridsEx\":";
  w.Record("PcbApi_QueryBoardGridsEx");
  w << ",\"PcbApi_QueryBoardOutputOptions\":";
  w.Record("PcbApi_QueryBoardOutputOptions");
  w << ",\"PcbApi_QueryBoardOutputOptionsFlipLayers\":";
  w.Value("FlipLayers");
  w << ",\"PcbApi_QueryBoardOutputOptionsPlotLayers\":";
  w.Value("PlotLayers");
  w << ",\"PcbApi_QueryBoardPrinterOptions\":";
  w.Record("PcbApi_QueryBoardPrinterOptions");
  w << ",\"PcbApi_QueryBoardPrinterOptionsCompositeLayer\":";
  w.Records("PcbApi_QueryBoardPrinterOptionsCompositeLayer", api::kLayerCount);
  w << ",\"PcbApi_QueryBoardPrinterOptionsPlotterPen\":";
  w.Records("PcbApi_QueryBoardPrinterOptionsPlotterPen", api::kPlotterPens);
  w << ",\"SplitPlaneMode\":";
  w.Value("SplitPlaneMode");
  w << ",\"layers\":";
  w.Layers();
  w << "}";
}

nlohmann::json BoardDocument(orv::Model& model, std::uint32_t board) {
  std::string text;
  AppendBoardDocument(model, board, text);
  return nlohmann::json::parse(text);
}
