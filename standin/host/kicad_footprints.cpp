// Components and free pads as KiCad footprints, and their pads.
#include <algorithm>

#include "standin/host/kicad_board.h"

namespace kicad {
namespace {

using nlohmann::json;

// Pad shape codes of the host.
constexpr std::int64_t kRoundShape = 1, kRectangleShape = 2, kOctagonShape = 3, kRoundedRectangleShape = 9;

// An octagonal pad is a rectangle with its corners cut by a quarter of the narrower side.
constexpr const char* kOctagonCorners = " (roundrect_rratio 0) (chamfer_ratio 0.25) (chamfer top_left top_right bottom_left bottom_right)";

// Text size when a document gives none: 1 mm.
constexpr double kDefaultTextHeight = 1.0 * kHostUnitsPerMm;

struct PadSide {
  const char* x;
  const char* y;
  const char* shape;
};

std::string ShapeOf(std::int64_t code, std::int32_t width, std::int32_t height, std::string& extra) {
  switch (code) {
    case kRoundShape: return width == height ? "circle" : "oval";
    case kOctagonShape: extra = kOctagonCorners; return "roundrect";
    case kRoundedRectangleShape: extra = " (roundrect_rratio 0.25)"; return "roundrect";
    case kRectangleShape:
    default: return "rect";
  }
}

}  // namespace

bool BoardWriter::WritePad(std::string& out, const json& pad, const Placement& at, const std::string& key) {
  const std::uint8_t layer = LayerOf(pad);
  constexpr PadSide kTop{"XSizeTop", "YSizeTop", "ShapeTop"}, kMid{"XSizeMid", "YSizeMid", "ShapeMid"},
      kBottom{"XSizeBottom", "YSizeBottom", "ShapeBottom"};
  // KiCad 6 pads have one size and shape on every layer: a through-hole pad takes its top side.
  const PadSide& side = layer == kBottomLayer ? kBottom : IsMidLayer(layer) ? kMid : kTop;
  const std::int32_t width = Length(pad, side.x), height = Length(pad, side.y);
  const std::int32_t hole = Length(pad, "HoleSize");
  std::string type, layers;
  const std::string_view name = layers_->NameOf(layer);
  if (layer == kMultiLayer) {
    type = hole > 0 ? "thru_hole" : "smd";
    layers = "\"*.Cu\" \"*.Mask\"";
  } else if (layer == kTopLayer) {
    type = "smd";
    layers = "\"F.Cu\" \"F.Paste\" \"F.Mask\"";
  } else if (layer == kBottomLayer) {
    type = "smd";
    layers = "\"B.Cu\" \"B.Paste\" \"B.Mask\"";
  } else if (!name.empty()) {
    type = "smd";
    layers = Quoted(name);
  }
  if (type.empty() || width <= 0 || height <= 0) {
    ++counts_.left_out;
    return false;
  }
  std::string extra;
  const std::string shape = ShapeOf(Int(pad, side.shape), width, height, extra);
  const Point centre{static_cast<double>(Length(pad, "X")), static_cast<double>(Length(pad, "Y"))};
  out += "    (pad " + Quoted(Text(pad, "Name")) + " " + type + " " + shape + " (at " + at.XY(centre);
  // A pad's angle in the file is its angle on the board, the footprint's included.
  const double rotation = Real(pad, "Rotation");
  if (rotation != 0) out += " " + Degrees(rotation);
  out += ") (size " + Mm(width) + " " + Mm(height) + ")";
  if (type == "thru_hole") out += " (drill " + Mm(hole) + ")";
  out += " (layers " + layers + ")" + extra;
  if (const int net = NetOf(pad); net != 0) {
    out += " (net " + std::to_string(net) + " " + Quoted(net_names_[static_cast<std::size_t>(net)]) + ")";
  }
  if (const auto found = rules_.pads.find(key); found != rules_.pads.end()) {
    const PadSettings& settings = found->second;
    if (settings.solder_mask) out += " (solder_mask_margin " + Mm(*settings.solder_mask) + ")";
    if (settings.paste_mask) out += " (solder_paste_margin " + Mm(*settings.paste_mask) + ")";
    if (settings.clearance) out += " (clearance " + Mm(*settings.clearance) + ")";
    if (settings.connect) {
      out += " (zone_connect " + std::to_string(settings.connect->zone_connect) + ")";
      if (settings.connect->thermal_width > 0) out += " (thermal_width " + Mm(settings.connect->thermal_width) + ")";
      if (settings.connect->thermal_gap > 0) out += " (thermal_gap " + Mm(settings.connect->thermal_gap) + ")";
    }
  }
  out += ")\n";
  ++counts_.pads;
  return true;
}

void BoardWriter::WriteFootprintText(std::string& out, const json* text, const char* role, bool shown,
                                     const Placement& at, bool bottom) {
  const std::string_view fabrication = bottom ? "B.Fab" : "F.Fab";
  if (text == nullptr) {
    TextItem(out, at, role, "", Point{}, kDefaultTextHeight, kDefaultTextHeight / 10, 0, bottom, true, fabrication);
    return;
  }
  std::string_view layer = layers_->NameOf(LayerOf(*text));
  if (layer.empty() || layer == "Edge.Cuts") layer = fabrication;
  const double height = Length(*text, "Height") > 0 ? Length(*text, "Height") : kDefaultTextHeight;
  TextItem(out, at, role, Text(*text, "Text"),
           {static_cast<double>(Length(*text, "X")), static_cast<double>(Length(*text, "Y"))}, height,
           Length(*text, "Width"), Real(*text, "Rotation"), Int(*text, "Mirrored") != 0, !shown, layer);
}

void BoardWriter::WriteFootprint(std::string& out, const json& component) {
  const bool bottom = LayerOf(component) == kBottomLayer;
  Placement at;
  at.in_footprint = true;
  at.origin = {static_cast<double>(Length(component, "X")), -static_cast<double>(Length(component, "Y"))};
  at.degrees = Real(component, "Rotation");
  const std::string pattern = Text(component, "Pattern");
  out += "  (footprint " + Quoted(pattern.empty() ? "Component" : pattern) + " (layer " +
         (bottom ? "\"B.Cu\"" : "\"F.Cu\"") + ")";
  out += " (at " + Mm(at.origin.x) + " " + Mm(at.origin.y);
  if (at.degrees != 0) out += " " + Degrees(at.degrees);
  out += ")\n";
  static const std::vector<const json*> kNone;
  const auto found = members_.find(Int(component, "Handle"));
  const std::vector<const json*>& members = found == members_.end() ? kNone : found->second;
  const bool through_hole = std::any_of(members.begin(), members.end(), [&](const json* m) {
    return Int(*m, "ObjectId") == kPadKind && LayerOf(*m) == kMultiLayer;
  });
  const bool any_pad = std::any_of(members.begin(), members.end(),
                                   [](const json* m) { return Int(*m, "ObjectId") == kPadKind; });
  if (any_pad) out += through_hole ? "    (attr through_hole)\n" : "    (attr smd)\n";
  const json* designator = Find(Int(component, "NameText"));
  const json* comment = Find(Int(component, "CommentText"));
  WriteFootprintText(out, designator, "reference", Int(component, "NameShown") != 0, at, bottom);
  WriteFootprintText(out, comment, "value", Int(component, "CommentShown") != 0, at, bottom);
  const std::string name = designator != nullptr ? Text(*designator, "Text") : std::string();
  for (const json* member : members) {
    if (Int(*member, "ObjectId") == kPadKind) {
      WritePad(out, *member, at, PadKey(name, Text(*member, "Name")));
    } else {
      WriteMember(out, *member, at);
    }
  }
  out += "  )\n";
  ++counts_.footprints;
}

void BoardWriter::WriteFreePad(std::string& out, const json& pad) {
  const bool bottom = LayerOf(pad) == kBottomLayer;
  const std::string key = PadKey("", Text(pad, "Name"));
  Placement at;
  at.in_footprint = true;
  at.origin = {static_cast<double>(Length(pad, "X")), -static_cast<double>(Length(pad, "Y"))};
  std::string body;
  if (!WritePad(body, pad, at, key)) return;
  out += "  (footprint " + Quoted(key) + " (layer " + (bottom ? "\"B.Cu\"" : "\"F.Cu\"") + ")";
  out += " (at " + Mm(at.origin.x) + " " + Mm(at.origin.y) + ")\n";
  out += LayerOf(pad) == kMultiLayer ? "    (attr through_hole)\n" : "    (attr smd)\n";
  TextItem(out, at, "reference", key, {static_cast<double>(Length(pad, "X")), static_cast<double>(Length(pad, "Y"))},
           kDefaultTextHeight, kDefaultTextHeight / 10, 0, bottom, true, bottom ? "B.Fab" : "F.Fab");
  TextItem(out, at, "value", "", {static_cast<double>(Length(pad, "X")), static_cast<double>(Length(pad, "Y"))},
           kDefaultTextHeight, kDefaultTextHeight / 10, 0, bottom, true, bottom ? "B.Fab" : "F.Fab");
  out += body;
  out += "  )\n";
  ++counts_.footprints;
}

}  // namespace kicad
