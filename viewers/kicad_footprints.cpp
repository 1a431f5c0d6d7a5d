// Components and free pads as KiCad footprints, and their pads.
#include <algorithm>

#include "viewers/kicad_board.h"

namespace kicad {
namespace {

using view::Object;

// Pad shape codes of the host.
constexpr std::int64_t kRoundShape = 1, kRectangleShape = 2, kOctagonShape = 3, kRoundedRectangleShape = 9;

// An octagonal pad is a rectangle with its corners cut by a quarter of the narrower side.
constexpr const char* kOctagonCorners = " (roundrect_rratio 0) (chamfer_ratio 0.25) (chamfer top_left top_right bottom_left bottom_right)";

// Text size when a document gives none: 1 mm.
constexpr double kDefaultTextHeight = 1.0 * kHostUnitsPerMm;

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

bool BoardWriter::WritePad(std::string& out, const view::Object& pad, const Placement& at, const std::string& key) {
  const std::uint8_t layer = LayerOf(pad);
  // KiCad 6 pads have one size and shape on every layer: a through-hole pad takes its top side.
  const view::PadSide side = layer == kBottomLayer ? view::kBottomSide : IsMidLayer(layer) ? view::kMidSide : view::kTopSide;
  const std::int32_t width = pad.x_size[side], height = pad.y_size[side];
  const std::int32_t hole = pad.hole_size;
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
  const std::string shape = ShapeOf(pad.shape[side], width, height, extra);
  const Point centre{static_cast<double>(pad.x), static_cast<double>(pad.y)};
  out += "    (pad " + Quoted(window_.view->String(pad.text)) + " " + type + " " + shape + " (at ";
  at.AppendXY(out, centre);
  // A pad's angle in the file is its angle on the board, the footprint's included.
  const double rotation = pad.rotation;
  if (rotation != 0) out += " " + Degrees(rotation);
  out += ") (size ";
  AppendMm(out, width);
  out += ' ';
  AppendMm(out, height);
  out += ')';
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

void BoardWriter::WriteFootprintText(std::string& out, const view::Object* text, const char* role, bool shown,
                                     const Placement& at, bool bottom) {
  const std::string_view fabrication = bottom ? "B.Fab" : "F.Fab";
  if (text == nullptr) {
    TextItem(out, at, role, "", Point{}, kDefaultTextHeight, kDefaultTextHeight / 10, 0, bottom, true, fabrication);
    return;
  }
  std::string_view layer = layers_->NameOf(LayerOf(*text));
  if (layer.empty() || layer == "Edge.Cuts") layer = fabrication;
  const double height = text->height > 0 ? text->height : kDefaultTextHeight;
  TextItem(out, at, role, std::string(window_.view->String(text->text)),
           {static_cast<double>(text->x), static_cast<double>(text->y)}, height,
           text->width, text->rotation, text->mirrored, !shown, layer);
}

bool BoardWriter::WriteComponent(std::string& out, std::uint32_t number) {
  if (!Open({&number, 1})) return false;
  const std::uint32_t designator = NumberOf(window_.objects.front()->name_text);
  const std::uint32_t comment = NumberOf(window_.objects.front()->comment_text);
  // The component, its two texts when it has them, then its members in the document's order.
  std::vector<std::uint32_t> numbers{number};
  if (designator != kNone) numbers.push_back(designator);
  if (comment != kNone) numbers.push_back(comment);
  const std::size_t first_member = numbers.size();
  const auto [begin, end] = std::equal_range(members_.begin(), members_.end(), std::pair{handles_[number], 0U},
                                             [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto m = begin; m != end; ++m) numbers.push_back(m->second);
  if (!Open(numbers)) return false;
  const auto& objects = window_.objects;
  WriteFootprint(out, *objects[0], designator != kNone ? objects[1] : nullptr,
                 comment != kNone ? objects[designator != kNone ? 2 : 1] : nullptr,
                 std::span(objects).subspan(first_member));
  return true;
}

void BoardWriter::WriteFootprint(std::string& out, const view::Object& component, const view::Object* designator,
                                 const view::Object* comment, std::span<const view::Object* const> members) {
  const bool bottom = LayerOf(component) == kBottomLayer;
  const Placement at = InFootprint({static_cast<double>(component.x), -static_cast<double>(component.y)},
                                   component.rotation);
  const std::string pattern = std::string(window_.view->String(component.text));
  out += "  (footprint " + Quoted(pattern.empty() ? "Component" : pattern) + " (layer " +
         (bottom ? "\"B.Cu\"" : "\"F.Cu\"") + ")";
  out += " (at " + Mm(at.origin.x + at.shift.x) + " " + Mm(at.origin.y + at.shift.y);
  if (at.degrees != 0) out += " " + Degrees(at.degrees);
  out += ")\n";
  const bool through_hole = std::any_of(members.begin(), members.end(), [&](const view::Object* m) {
    return m->kind == KindCode(ObjectKind::kPad) && LayerOf(*m) == kMultiLayer;
  });
  const bool any_pad = std::any_of(members.begin(), members.end(),
                                   [](const view::Object* m) { return m->kind == KindCode(ObjectKind::kPad); });
  if (any_pad) out += through_hole ? "    (attr through_hole)\n" : "    (attr smd)\n";
  WriteFootprintText(out, designator, "reference", component.name_shown, at, bottom);
  WriteFootprintText(out, comment, "value", component.comment_shown, at, bottom);
  const std::string name = designator != nullptr ? std::string(window_.view->String(designator->text)) : std::string();
  for (const view::Object* member : members) {
    if (member->kind == KindCode(ObjectKind::kPad)) {
      WritePad(out, *member, at, PadKey(name, std::string(window_.view->String(member->text))));
    } else {
      WriteMember(out, *member, at);
    }
  }
  out += "  )\n";
  ++counts_.footprints;
}

void BoardWriter::WriteFreePad(std::string& out, const view::Object& pad) {
  const bool bottom = LayerOf(pad) == kBottomLayer;
  const std::string key = PadKey("", std::string(window_.view->String(pad.text)));
  const Placement at = InFootprint({static_cast<double>(pad.x), -static_cast<double>(pad.y)}, 0);
  std::string body;
  if (!WritePad(body, pad, at, key)) return;
  out += "  (footprint " + Quoted(key) + " (layer " + (bottom ? "\"B.Cu\"" : "\"F.Cu\"") + ")";
  out += " (at " + Mm(at.origin.x + at.shift.x) + " " + Mm(at.origin.y + at.shift.y) + ")\n";
  out += LayerOf(pad) == kMultiLayer ? "    (attr through_hole)\n" : "    (attr smd)\n";
  TextItem(out, at, "reference", key, {static_cast<double>(pad.x), static_cast<double>(pad.y)},
           kDefaultTextHeight, kDefaultTextHeight / 10, 0, bottom, true, bottom ? "B.Fab" : "F.Fab");
  TextItem(out, at, "value", "", {static_cast<double>(pad.x), static_cast<double>(pad.y)},
           kDefaultTextHeight, kDefaultTextHeight / 10, 0, bottom, true, bottom ? "B.Fab" : "F.Fab");
  out += body;
  out += "  )\n";
  ++counts_.footprints;
}

}  // namespace kicad
