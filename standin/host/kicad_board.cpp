// The board writer's index of the document, the file's head (layers, setup) and its nets, and
// the order in which everything else is written.
#include "standin/host/kicad_board.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kicad {
namespace {

using nlohmann::json;

std::vector<std::int64_t> Containers(const json& object) {
  std::vector<std::int64_t> handles;
  const auto found = object.find("Containers");
  if (found == object.end() || !found->is_array()) return handles;
  for (const json& handle : *found) {
    json holder = {{"h", handle}};
    handles.push_back(Int(holder, "h"));
  }
  return handles;
}

std::uint8_t ByteLayer(std::int64_t value) {
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

BoardWriter::BoardWriter(const json& document, const RuleTranslation& rules) : document_(document), rules_(rules) {}

const json* BoardWriter::Find(std::int64_t handle) const {
  const auto found = by_handle_.find(handle);
  return found == by_handle_.end() ? nullptr : found->second;
}

std::uint8_t BoardWriter::LayerOf(const json& object) const { return ByteLayer(Int(object, "Layer")); }

int BoardWriter::NetOf(const json& object) const {
  const auto found = net_codes_.find(Int(object, "Net"));
  return found == net_codes_.end() ? 0 : found->second;
}

bool BoardWriter::IsPour(const json& object) const {
  for (const std::int64_t container : Containers(object)) {
    const json* owner = Find(container);
    if (owner == nullptr) continue;
    const std::int64_t kind = Int(*owner, "ObjectId");
    if ((kind == kPolygonKind || kind == kSplitPlaneKind) && LayerOf(*owner) == LayerOf(object)) return true;
  }
  return false;
}

void BoardWriter::Index() {
  const auto objects = document_.find("objects");
  if (objects != document_.end() && objects->is_array()) {
    for (const json& object : *objects) {
      if (!object.is_object()) continue;
      objects_.push_back(&object);
      by_handle_[Int(object, "Handle")] = &object;
    }
  }
  std::unordered_set<std::string> taken;
  net_names_.push_back("");
  taken.insert("");
  for (const json* object : objects_) {
    const std::int64_t kind = Int(*object, "ObjectId");
    if (kind == kNetKind) {
      // KiCad knows a net by its name: an empty or repeated name gets a suffix so that every
      // net of the host stays a net of its own.
      const std::string name = Text(*object, "Name");
      std::string unique = name.empty() ? "Net" : name;
      for (int n = 2; taken.count(unique) != 0; ++n) unique = (name.empty() ? "Net" : name) + "_" + std::to_string(n);
      taken.insert(unique);
      net_codes_[Int(*object, "Handle")] = static_cast<int>(net_names_.size());
      net_names_.push_back(unique);
    } else if (kind == kComponentKind) {
      component_texts_.insert(Int(*object, "NameText"));
      component_texts_.insert(Int(*object, "CommentText"));
    }
  }
  component_texts_.erase(0);
  for (const json* object : objects_) {
    for (const std::int64_t container : Containers(*object)) {
      const json* owner = Find(container);
      if (owner == nullptr) continue;
      const std::int64_t kind = Int(*owner, "ObjectId");
      if (kind == kComponentKind) {
        members_[container].push_back(object);
        break;
      }
      if (kind == kCoordinateKind || kind == kDimensionKind) drawn_markers_.insert(container);
    }
  }
  // The layers things lie on decide which inner copper layers exist.
  for (const json* object : objects_) {
    const std::int64_t kind = Int(*object, "ObjectId");
    if (kind == kViaKind) {
      used_.set(ByteLayer(Int(*object, "LowLayer")));
      used_.set(ByteLayer(Int(*object, "HighLayer")));
    } else if (kind != kNetKind && kind != kRuleKind && kind != kComponentKind) {
      used_.set(LayerOf(*object));
    }
    IncludeExtent(*object);
  }
  // An internal plane whose net is a net of the board is copper even with nothing on it.
  const auto board = document_.find("board");
  std::array<std::string, kLastHostLayer + 1> names{};
  if (board != document_.end() && board->is_object() && board->contains("layers") && (*board)["layers"].is_array()) {
    for (const json& layer : (*board)["layers"]) {
      const std::uint8_t number = ByteLayer(Int(layer, "Number"));
      if (number == kNoLayer) continue;
      names[number] = Text(layer, "Name");
      if (!IsPlane(number)) continue;
      const std::string net = Text(layer, "PlaneNetName");
      if (std::find(net_names_.begin() + 1, net_names_.end(), net) == net_names_.end()) continue;
      plane_nets_[number] = net;
      used_.set(number);
    }
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
  counts_ = {};
  Index();
  std::string out;
  WriteHeader(out);
  WriteNets(out);
  // A component's own primitives are written inside its footprint; a pad outside every
  // component gets a footprint of its own.
  std::unordered_set<const json*> owned;
  for (const auto& [component, members] : members_) owned.insert(members.begin(), members.end());
  for (const json* object : objects_) {
    const std::int64_t kind = Int(*object, "ObjectId");
    if (kind == kComponentKind) WriteFootprint(out, *object);
    if (kind == kPadKind && owned.count(object) == 0) WriteFreePad(out, *object);
  }
  const Placement board;
  for (const json* object : objects_) {
    const std::int64_t kind = Int(*object, "ObjectId");
    if (kind == kViaKind) {
      WriteVia(out, *object);
      continue;
    }
    if (owned.count(object) != 0) continue;
    switch (kind) {
      case kTrackKind: WriteTrack(out, *object, board); break;
      case kArcKind: WriteArc(out, *object, board); break;
      case kTextKind:
        if (component_texts_.count(Int(*object, "Handle")) == 0) WriteText(out, *object, board);
        break;
      case kFillKind:
        if (IsPour(*object)) {
          ++counts_.pour_primitives;
        } else if (layers_->IsCopper(LayerOf(*object))) {
          WriteFillZone(out, *object);
        } else {
          WriteFillGraphic(out, *object, board);
        }
        break;
      case kPolygonKind:
      case kSplitPlaneKind: WriteOutlineZone(out, *object); break;
      case kCoordinateKind:
      case kDimensionKind:
        if (drawn_markers_.count(Int(*object, "Handle")) == 0) WriteMarker(out, *object);
        break;
      default: break;
    }
  }
  WritePlaneZones(out);
  out += ")\n";
  counts = counts_;
  return out;
}

}  // namespace kicad
