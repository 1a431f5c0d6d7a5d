// Board values of both sides as lists of texts, one per value in a host function's record order:
// what the wrapper holds (GroupValues) and what the stand-in holds (HostValues). Comparing the
// two lists catches a value passed in the wrong position or to the wrong function.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/board.h"
#include "standin/orvpcb/model.h"

namespace board_test {

using Values = std::vector<std::string>;

inline std::string V(double value) { return std::to_string(value); }
template <std::size_t N>
std::string V(const ShortString<N>& text) {
  return "'" + text.Str() + "'";
}
template <std::size_t N>
std::string V(const std::array<std::uint8_t, N>& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) text += std::to_string(b) + ",";
  return text;
}

// The record of one host function as the wrapper holds it; instance is the layer, pen or
// nothing.
inline Values GroupValues(TPcbBoard& b, const std::string& function, std::uint8_t instance = 1) {
  if (function == "PcbApi_QueryBoard") {
    const TBoardRecord& r = b.Board;
    return {V(r.Value1), V(r.FileName), V(r.Value3), V(r.Value4),       V(r.Value5),
            V(r.Value6), V(r.Value7),   V(r.Value8), V(r.CurrentLayer), V(r.Value10)};
  }
  if (function == "PcbApi_QueryBoardLayerInfo") {
    const TLayerInfo& i = b.LayerInfo[instance - 1u];
    return {V(i.Value1), V(i.Value2), V(i.Value3)};
  }
  if (function == "PcbApi_QueryLayer") {
    const TLayerObject& l = b.Layer(instance);
    return {V(l.Name), V(l.Value), V(l.Bytes[0]), V(l.Bytes[1]), V(l.Bytes[2]), V(l.Bytes[3]), V(l.Bytes[4])};
  }
  if (function == "PcbApi_QueryInternalPlane") {
    const TInternalPlane& p = b.Plane(instance - 38);
    return {V(p.Name), V(p.Value), V(p.Bytes[0]), V(p.Bytes[1]), V(p.Bytes[2]), V(p.Bytes[3]), V(p.PlaneNetName)};
  }
  if (function == "PcbApi_QueryLayerDielectric") {
    const TDielectric& d = b.Layer(instance).Dielectric;
    return {V(d.Material), V(d.Value2), V(d.Constant), V(d.Height)};
  }
  if (function == "PcbApi_QueryBoardSplitPlaneMode") return {V(b.SplitPlaneMode)};
  if (function == "PcbApi_QueryBoardGridsEx") {
    const TGridOptions& g = b.GridsEx;
    return {V(g.Value1), V(g.Value2), V(g.Value3),  V(g.Value4),  V(g.Value5),  V(g.Value6), V(g.Value7),
            V(g.Value8), V(g.Value9), V(g.Value10), V(g.Value11), V(g.Value12), V(g.Value13)};
  }
  if (function == "PcbApi_QueryBoardEngineeringChangeOrderOptions") {
    return {V(b.EcoOptions.Value1), V(b.EcoOptions.Value2)};
  }
  if (function == "PcbApi_QueryBoardOutputOptions") {
    const TOutputOptions& o = b.OutputOptions;
    return {V(o.Value1),  V(o.Value2),  V(o.Value3),  V(o.Value4),  V(o.Value5),  V(o.Value6),
            V(o.Value7),  V(o.Value8),  V(o.Value9),  V(o.Value10), V(o.Value11), V(o.Value12),
            V(o.Value13), V(o.Value14), V(o.Value15), V(o.Value16), V(o.Value17), V(o.Value18),
            V(o.Value19), V(o.Value20), V(o.Value21), V(o.Value22), V(o.Value23), V(o.Value24)};
  }
  if (function == "PcbApi_QueryBoardOutputOptionsPlotLayers") return {V(b.PlotLayers)};
  if (function == "PcbApi_QueryBoardOutputOptionsFlipLayers") return {V(b.FlipLayers)};
  if (function == "PcbApi_QueryBoardAdvancedPlacerOptions") {
    const TPlacerOptions& p = b.PlacerOptions;
    return {V(p.Value1), V(p.Value2), V(p.Value3), V(p.Value4), V(p.Value5), V(p.Value6)};
  }
  if (function == "PcbApi_QueryBoardGerberOptions") {
    const TGerberOptions& g = b.GerberOptions;
    return {V(g.Value1),  V(g.Value2),  V(g.Value3),  V(g.Value4),  V(g.Value5),  V(g.Value6),  V(g.Value7),
            V(g.Value8),  V(g.Value9),  V(g.Value10), V(g.Value11), V(g.Value12), V(g.Value13), V(g.Value14),
            V(g.Value15), V(g.Value16), V(g.Value17), V(g.Value18), V(g.Value19)};
  }
  if (function == "PcbApi_QueryBoardPrinterOptions") {
    const TPrinterOptions& p = b.PrinterOptions;
    return {V(p.Value1),  V(p.Value2),  V(p.Value3),  V(p.Value4),  V(p.Value5),  V(p.Value6),  V(p.Value7),
            V(p.Value8),  V(p.Value9),  V(p.Value10), V(p.Value11), V(p.Value12), V(p.Value13), V(p.Value14),
            V(p.Value15), V(p.Value16), V(p.Value17), V(p.Value18), V(p.Value19), V(p.Value20), V(p.Value21),
            V(p.Value22), V(p.Value23), V(p.Value24), V(p.Value25), V(p.Value26)};
  }
  if (function == "PcbApi_QueryBoardPrinterOptionsPlotterPen") {
    const TPlotterPen& p = b.PlotterPens[instance - 1u];
    return {V(p.Value1), V(p.Value2)};
  }
  if (function == "PcbApi_QueryBoardPrinterOptionsCompositeLayer") {
    const TCompositeLayer& c = b.CompositeLayers[instance - 1u];
    return {V(c.Value1), V(c.Value2), V(c.Value3), V(c.Value4)};
  }
  if (function == "PcbApi_QueryBoardExternalDielectrics") {
    const TDielectric& t = b.TopDielectric;
    const TDielectric& d = b.BottomDielectric;
    return {V(t.Material), V(t.Value2), V(t.Constant), V(t.Height),
            V(d.Material), V(d.Value2), V(d.Constant), V(d.Height)};
  }
  return {"unknown function " + function};
}

// The same record as the stand-in holds it.
inline Values HostValues(orv::Model& model, std::uint32_t board, const std::string& function,
                         std::uint8_t instance = 1) {
  Values values;
  const int schema = model.FindSchema(function);
  if (schema < 0) return {"no schema " + function};
  const orv::Layout& layout = model.LayoutOf(orv::kBoardKind);
  for (const orv::FieldDef& def : model.SchemaAt(schema).fields) {
    const orv::FieldSlot* slot = layout.Find(def.name);
    if (def.type == orv::FieldType::kString) {
      values.push_back("'" + model.GetText(board, def.name, instance) + "'");
    } else if (def.type == orv::FieldType::kBytes) {
      const std::uint8_t* place = model.FieldData(board, *slot, instance);
      std::string text;
      for (std::uint16_t i = 0; i < def.size; ++i) text += std::to_string(place[i]) + ",";
      values.push_back(text);
    } else {
      values.push_back(V(model.GetNumber(board, def.name, instance)));
    }
  }
  return values;
}

// Every function of the board exchange with the instances it has.
struct Group {
  const char* function;
  std::uint8_t first = 1;
  std::uint8_t last = 1;
};
inline constexpr Group kGroups[] = {
    {"PcbApi_QueryBoard"},
    {"PcbApi_QueryBoardLayerInfo", 1, 82},
    {"PcbApi_QueryLayer", 1, 38},
    {"PcbApi_QueryInternalPlane", 39, 54},
    {"PcbApi_QueryLayer", 55, 82},
    {"PcbApi_QueryLayerDielectric", 1, 82},
    {"PcbApi_QueryBoardSplitPlaneMode"},
    {"PcbApi_QueryBoardGridsEx"},
    {"PcbApi_QueryBoardEngineeringChangeOrderOptions"},
    {"PcbApi_QueryBoardOutputOptions"},
    {"PcbApi_QueryBoardOutputOptionsPlotLayers"},
    {"PcbApi_QueryBoardOutputOptionsFlipLayers"},
    {"PcbApi_QueryBoardAdvancedPlacerOptions"},
    {"PcbApi_QueryBoardGerberOptions"},
    {"PcbApi_QueryBoardPrinterOptions"},
    {"PcbApi_QueryBoardPrinterOptionsPlotterPen", 1, 8},
    {"PcbApi_QueryBoardPrinterOptionsCompositeLayer", 1, 82},
    {"PcbApi_QueryBoardExternalDielectrics"},
};

// Gives every host value of the board a value of its own (distinct within each record and
// between two calls with different seeds), strings included.
inline void FillDistinct(orv::Model& model, std::uint32_t board, int seed) {
  const orv::Layout& layout = model.LayoutOf(orv::kBoardKind);
  for (const Group& group : kGroups) {
    const orv::Schema& schema = model.SchemaAt(model.FindSchema(group.function));
    for (std::uint32_t instance = group.first; instance <= group.last; ++instance) {
      int k = 0;
      for (const orv::FieldDef& def : schema.fields) {
        ++k;
        const int value = (seed * 37 + k * 3 + static_cast<int>(instance)) % 250 + 1;
        switch (def.type) {
          case orv::FieldType::kString:
            model.SetText(board, def.name, "s" + std::to_string(seed) + "." + std::to_string(k) + "\xE9", instance);
            break;
          case orv::FieldType::kBytes: {
            const orv::FieldSlot* slot = layout.Find(def.name);
            auto* place = const_cast<std::uint8_t*>(model.FieldData(board, *slot, instance));
            for (std::uint16_t i = 0; i < def.size; ++i) place[i] = static_cast<std::uint8_t>(value + i);
            break;
          }
          case orv::FieldType::kLayerId:
            model.SetNumber(board, def.name, 1 + value % 82, instance);
            break;
          case orv::FieldType::kF64:
            model.SetNumber(board, def.name, value + 0.25, instance);
            break;
          case orv::FieldType::kI32:
            model.SetNumber(board, def.name, value * 100003 - 7000000, instance);
            break;
          default:
            model.SetNumber(board, def.name, value, instance);
            break;
        }
      }
    }
  }
}

}  // namespace board_test
