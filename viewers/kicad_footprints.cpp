// Components and free pads as KiCad footprints, and their pads.
#include <algorithm>
#include <cstring>
#include <optional>

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

// The bytes of a value, for a footprint's contents.
template <typename T>
void AppendContents(std::string& contents, const T& value) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  contents.append(bytes, sizeof(T));
}

void AppendTextContents(std::string& contents, std::string_view text) {
  AppendContents(contents, text.size());
  contents += text;
}

// Every value of a member that its library text may show, its position relative to the
// component's.
void AppendMemberContents(std::string& contents, const Object& member, const view::BoardView& view,
                          const Object& component) {
  AppendContents(contents, member.kind);
  AppendContents(contents, member.layer);
  for (const std::int64_t relative : {std::int64_t{member.x} - component.x, std::int64_t{member.y} - component.y,
                                      std::int64_t{member.x2} - component.x, std::int64_t{member.y2} - component.y}) {
    AppendContents(contents, relative);
  }
  for (const std::int32_t value : {member.width, member.radius, member.hole_size, member.height}) {
    AppendContents(contents, value);
  }
  AppendContents(contents, member.x_size);
  AppendContents(contents, member.y_size);
  AppendContents(contents, member.shape);
  for (const double value : {member.rotation, member.start_angle, member.end_angle}) AppendContents(contents, value);
  AppendContents(contents, member.mirrored);
  AppendTextContents(contents, view.String(member.text));
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
  } else if (layer == kTopLayer || layer == kBottomLayer) {
    // Turned over, a surface pad is on the other face; a pad on an inner layer stays there, as
    // KiCad leaves it when it turns a footprint over.
    type = "smd";
    layers = (layer == kTopLayer) != at.flip ? "\"F.Cu\" \"F.Paste\" \"F.Mask\"" : "\"B.Cu\" \"B.Paste\" \"B.Mask\"";
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
  out += at.Indent();
  out += "pad " + Quoted(window_.view->String(pad.text)) + " " + type + " " + shape + " (at ";
  at.AppendXY(out, centre);
  // A pad's angle in a board's file is its angle on the board, the footprint's included.
  const double rotation = at.PadDegrees(pad.rotation);
  if (rotation != 0) out += " " + Degrees(rotation);
  out += ") (size ";
  AppendMm(out, width);
  out += ' ';
  AppendMm(out, height);
  out += ')';
  if (type == "thru_hole") out += " (drill " + Mm(hole) + ")";
  out += " (layers " + layers + ")" + extra;
  // A library footprint's pads have no net, and none of the board's rules for one pad.
  if (at.library) {
    out += ")\n";
    return true;
  }
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
                                     const Placement& at, bool bottom, std::string_view content) {
  const std::string_view fabrication = bottom ? "B.Fab" : "F.Fab";
  if (text == nullptr) {
    TextItem(out, at, role, std::string(content), Point{}, kDefaultTextHeight, kDefaultTextHeight / 10, 0, bottom,
             true, fabrication);
    return;
  }
  std::string_view layer = layers_->NameOf(LayerOf(*text));
  if (layer.empty() || layer == "Edge.Cuts") layer = fabrication;
  const double height = text->height > 0 ? text->height : kDefaultTextHeight;
  TextItem(out, at, role, std::string(content), {static_cast<double>(text->x), static_cast<double>(text->y)}, height,
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

// Through-hole when any pad goes through, surface-mount when it has pads; nothing without.
std::string_view BoardWriter::Attribute(std::span<const view::Object* const> members) const {
  const bool through_hole = std::any_of(members.begin(), members.end(), [&](const view::Object* m) {
    return m->kind == KindCode(ObjectKind::kPad) && LayerOf(*m) == kMultiLayer;
  });
  const bool any_pad = std::any_of(members.begin(), members.end(),
                                   [](const view::Object* m) { return m->kind == KindCode(ObjectKind::kPad); });
  return !any_pad ? "" : through_hole ? "(attr through_hole)\n" : "(attr smd)\n";
}

void BoardWriter::WriteFootprint(std::string& out, const view::Object& component, const view::Object* designator,
                                 const view::Object* comment, std::span<const view::Object* const> members) {
  const bool bottom = LayerOf(component) == kBottomLayer;
  const Placement at = InFootprint({static_cast<double>(component.x), -static_cast<double>(component.y)},
                                   component.rotation);
  const std::string_view given = window_.view->String(component.text);
  const std::string_view pattern = given.empty() ? std::string_view("Component") : given;
  out += "  (footprint \"";
  if (library_ != nullptr) {
    AppendEscaped(out, library_->Nickname());
    out += ':';
    AppendEscaped(out, LibraryFootprint(component, designator, comment, members, pattern));
  } else {
    AppendEscaped(out, pattern);
  }
  out += bottom ? "\" (layer \"B.Cu\")" : "\" (layer \"F.Cu\")";
  out += " (at " + Mm(at.origin.x + at.shift.x) + " " + Mm(at.origin.y + at.shift.y);
  if (at.degrees != 0) out += " " + Degrees(at.degrees);
  out += ")\n";
  if (const std::string_view attribute = Attribute(members); !attribute.empty()) {
    out += "    ";
    out += attribute;
  }
  const std::string_view name = designator != nullptr ? window_.view->String(designator->text) : std::string_view();
  WriteFootprintText(out, designator, "reference", component.name_shown, at, bottom, name);
  WriteFootprintText(out, comment, "value", component.comment_shown, at, bottom,
                     comment != nullptr ? window_.view->String(comment->text) : std::string_view());
  for (const view::Object* member : members) {
    if (member->kind == KindCode(ObjectKind::kPad)) {
      WritePad(out, *member, at, PadKey(std::string(name), std::string(window_.view->String(member->text))));
    } else {
      WriteMember(out, *member, at);
    }
  }
  out += "  )\n";
  ++counts_.footprints;
}

// A component's footprint is known again by what decides its library text: its pattern, side
// and rotation, and each member's values relative to the component. Only when these are new is
// the library text made, and a footprint already written under the pattern with the same text
// (the same part turned another way, or on the other side) is still found by that text.
const std::string& BoardWriter::LibraryFootprint(const view::Object& component, const view::Object* designator,
                                                 const view::Object* comment,
                                                 std::span<const view::Object* const> members,
                                                 std::string_view pattern) {
  const bool bottom = LayerOf(component) == kBottomLayer;
  std::string& contents = library_contents_;
  contents.clear();
  AppendTextContents(contents, pattern);
  AppendContents(contents, component.rotation);
  AppendContents(contents, bottom);
  for (const view::Object* member : members) AppendMemberContents(contents, *member, *window_.view, component);
  if (const std::optional<std::uint32_t> known = library_->Known(contents)) return library_->Name(*known);

  Placement at = InFootprint({static_cast<double>(component.x), -static_cast<double>(component.y)}, component.rotation);
  at.library = true;
  at.flip = bottom;
  // What the library text says is not what the board holds: the counts stay the board's.
  const ExportCounts board_counts = counts_;
  library_body_.clear();
  for (const view::Object* member : members) {
    if (member->kind == KindCode(ObjectKind::kPad)) {
      WritePad(library_body_, *member, at, {});
    } else {
      WriteMember(library_body_, *member, at);
    }
  }
  const auto [index, added] = library_->Add(pattern, library_body_, contents);
  if (added) {
    // A library footprint's reference and value as KiCad's libraries have them, where this first
    // component of its kind has its designator and comment.
    library_head_.clear();
    if (const std::string_view attribute = Attribute(members); !attribute.empty()) {
      library_head_ += "  ";
      library_head_ += attribute;
    }
    WriteFootprintText(library_head_, designator, "reference", component.name_shown, at, bottom, "REF**");
    WriteFootprintText(library_head_, comment, "value", component.comment_shown, at, bottom, library_->Name(index));
    library_->Write(index, library_head_, library_body_);
  }
  counts_ = board_counts;
  return library_->Name(index);
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
