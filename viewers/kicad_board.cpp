// The board writer's index of the document, the file's head (layers, setup) and its nets, and
// the order in which everything else is written.
#include "viewers/kicad_board.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kicad {
namespace {

using view::Object;

std::uint8_t ByteLayer(std::int32_t value) {
  return value >= 0 && value <= kLastHostLayer ? static_cast<std::uint8_t>(value) : kNoLayer;
}

}  // namespace

std::string Placement::XY(Point host) const {
  double x = host.x, y = -host.y;
  if (in_footprint) {
    const double r = degrees * std::numbers::pi / 180.0, c = std::cos(r), s = std::sin(r);
    const double dx = x - origin.x, dy = y - origin.y;
    // KiCad places a footprint item at origin + R(degrees) * local, R turning counter-clockwise
    // on the screen (Y down): the inverse turn gives the local position.
    x = dx * c - dy * s;
    y = dx * s + dy * c;
  }
  return Mm(x) + ' ' + Mm(y);
}

std::string PadKey(const std::string& designator, const std::string& pad_name) {
  return (designator.empty() ? std::string("Free") : designator) + "-" + pad_name;
}

BoardWriter::BoardWriter(const view::BoardView& view, const RuleTranslation& rules) : view_(view), rules_(rules) {}

const Object* BoardWriter::Find(std::uint32_t handle) const {
  const auto found = by_handle_.find(handle);
  return found == by_handle_.end() ? nullptr : found->second;
}

std::uint8_t BoardWriter::LayerOf(const view::Object& object) const { return ByteLayer(object.layer); }

int BoardWriter::NetOf(const view::Object& object) const {
  const auto found = net_codes_.find(object.net);
  return found == net_codes_.end() ? 0 : found->second;
}

bool BoardWriter::IsPour(const view::Object& object) const {
  const std::uint32_t* containers = view_.ContainersOf(object);
  for (std::uint32_t i = 0; i < object.container_count; ++i) {
    const Object* owner = Find(containers[i]);
    if (owner == nullptr) continue;
    const std::int64_t kind = owner->kind;
    if ((kind == KindCode(ObjectKind::kPolygon) || kind == KindCode(ObjectKind::kSplitPlane)) && LayerOf(*owner) == LayerOf(object)) return true;
  }
  return false;
}

void BoardWriter::Index() {
  by_handle_.reserve(view_.objects.size());
  for (const Object& object : view_.objects) by_handle_[object.handle] = &object;
  std::unordered_set<std::string> taken;
  net_names_.push_back("");
  taken.insert("");
  for (const Object& each : view_.objects) {
    const Object* object = &each;
    const std::int64_t kind = object->kind;
    if (kind == KindCode(ObjectKind::kNet)) {
      // KiCad knows a net by its name: an empty or repeated name gets a suffix so that every
      // net of the host stays a net of its own.
      const std::string name = std::string(view_.String(object->text));
      std::string unique = name.empty() ? "Net" : name;
      for (int n = 2; taken.count(unique) != 0; ++n) unique = (name.empty() ? "Net" : name) + "_" + std::to_string(n);
      taken.insert(unique);
      net_codes_[object->handle] = static_cast<int>(net_names_.size());
      net_names_.push_back(unique);
    } else if (kind == KindCode(ObjectKind::kComponent)) {
      component_texts_.insert(object->name_text);
      component_texts_.insert(object->comment_text);
    }
  }
  component_texts_.erase(0);
  for (const Object& member : view_.objects) {
    const std::uint32_t* containers = view_.ContainersOf(member);
    for (std::uint32_t i = 0; i < member.container_count; ++i) {
      const std::uint32_t container = containers[i];
      const Object* owner = Find(container);
      if (owner == nullptr) continue;
      const std::int64_t kind = owner->kind;
      if (kind == KindCode(ObjectKind::kComponent)) {
        members_[container].push_back(&member);
        break;
      }
      if (kind == KindCode(ObjectKind::kCoordinate) || kind == KindCode(ObjectKind::kDimension)) drawn_markers_.insert(container);
    }
  }
  // The layers things lie on decide which inner copper layers exist.
  for (const Object& each : view_.objects) {
    const Object* object = &each;
    const std::int64_t kind = object->kind;
    if (kind == KindCode(ObjectKind::kVia)) {
      used_.set(ByteLayer(object->low_layer));
      used_.set(ByteLayer(object->high_layer));
    } else if (kind != KindCode(ObjectKind::kNet) && kind != KindCode(ObjectKind::kRule) && kind != KindCode(ObjectKind::kComponent)) {
      used_.set(LayerOf(*object));
    }
    IncludeExtent(*object);
  }
  // An internal plane whose net is a net of the board is copper even with nothing on it.
  std::array<std::string, kLastHostLayer + 1> names{};
  for (std::uint8_t number = 1; number <= kLastHostLayer; ++number) {
    names[number] = view_.layers[number].name;
    if (!IsPlane(number)) continue;
    const std::string& net = view_.layers[number].plane_net_name;
    if (std::find(net_names_.begin() + 1, net_names_.end(), net) == net_names_.end()) continue;
    plane_nets_[number] = net;
    used_.set(number);
  }
  layers_ = std::make_unique<LayerTable>(used_, names);
}

void BoardWriter::WriteHeader(std::string& out) const {
  out += "(kicad_pcb (version 20211014) (generator viderave)\n";
  out += "  (general (thickness 1.6))\n";
  out += "  (paper \"A4\")\n";
  out += "  (layers\n";
  for (const KicadLayer& layer : layers_->Layers()) {
    out += "    (" + std::to_string(layer.id) + " " + Quoted(layer.name) + " " + std::string(layer.type);
    if (!layer.user_name.empty()) out += " " + Quoted(layer.user_name);
    out += ")\n";
  }
  out += "  )\n";
  out += "  (setup\n";
  out += "    (pad_to_mask_clearance " + Mm(rules_.solder_mask.value_or(0)) + ")\n";
  if (rules_.paste_mask) out += "    (pad_to_paste_clearance " + Mm(*rules_.paste_mask) + ")\n";
  out += "  )\n";
}

void BoardWriter::WriteNets(std::string& out) {
  for (std::size_t code = 0; code < net_names_.size(); ++code) {
    out += "  (net " + std::to_string(code) + " " + Quoted(net_names_[code]) + ")\n";
  }
  counts_.nets = static_cast<std::int64_t>(net_names_.size()) - 1;
}

std::string BoardWriter::Write(ExportCounts& counts) {
  std::string out;
  Emit(out, {});
  counts = counts_;
  return out;
}

bool BoardWriter::Write(std::FILE* file, ExportCounts& counts) {
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  bool written = true;
  auto put = [&](std::string& text) {
    written = written && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    text.clear();
  };
  std::string out;
  Emit(out, [&](std::string& text) {
    if (text.size() >= kBlock) put(text);
  });
  put(out);
  counts = counts_;
  return written;
}

void BoardWriter::Emit(std::string& out, const Spill& spill) {
  counts_ = {};
  Index();
  WriteHeader(out);
  WriteNets(out);
  // A component's own primitives are written inside its footprint; a pad outside every
  // component gets a footprint of its own.
  std::unordered_set<const Object*> owned;
  for (const auto& [component, members] : members_) owned.insert(members.begin(), members.end());
  for (const Object& each : view_.objects) {
    const Object* object = &each;
    const std::int64_t kind = object->kind;
    if (kind == KindCode(ObjectKind::kComponent)) WriteFootprint(out, *object);
    if (kind == KindCode(ObjectKind::kPad) && owned.count(object) == 0) WriteFreePad(out, *object);
    if (spill) spill(out);
  }
  const Placement board;
  for (const Object& each : view_.objects) {
    const Object* object = &each;
    const std::int64_t kind = object->kind;
    if (spill) spill(out);
    if (kind == KindCode(ObjectKind::kVia)) {
      WriteVia(out, *object);
      continue;
    }
    if (owned.count(object) != 0) continue;
    switch (kind) {
      case KindCode(ObjectKind::kTrack): WriteTrack(out, *object, board); break;
      case KindCode(ObjectKind::kArc): WriteArc(out, *object, board); break;
      case KindCode(ObjectKind::kText):
        if (component_texts_.count(object->handle) == 0) WriteText(out, *object, board);
        break;
      case KindCode(ObjectKind::kFill):
        if (IsPour(*object)) {
          ++counts_.pour_primitives;
        } else if (layers_->IsCopper(LayerOf(*object))) {
          WriteFillZone(out, *object);
        } else {
          WriteFillGraphic(out, *object, board);
        }
        break;
      case KindCode(ObjectKind::kPolygon):
      case KindCode(ObjectKind::kSplitPlane): WriteOutlineZone(out, *object); break;
      case KindCode(ObjectKind::kCoordinate):
      case KindCode(ObjectKind::kDimension):
        if (drawn_markers_.count(object->handle) == 0) WriteMarker(out, *object);
        break;
      default: break;
    }
  }
  WritePlaneZones(out);
  out += ")\n";
}

}  // namespace kicad
