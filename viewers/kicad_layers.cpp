// The host-to-KiCad layer table.
#include "viewers/kicad_layers.h"

#include <algorithm>
#include <string>
#include <utility>

namespace kicad {
namespace {

// KiCad 6's fixed non-copper layers: number, canonical name.
struct FixedLayer {
  int id;
  std::string_view name;
};
constexpr FixedLayer kFixedLayers[] = {
    {32, "B.Adhes"},  {33, "F.Adhes"},   {34, "B.Paste"},   {35, "F.Paste"},   {36, "B.SilkS"},
    {37, "F.SilkS"},  {38, "B.Mask"},    {39, "F.Mask"},    {40, "Dwgs.User"}, {41, "Cmts.User"},
    {42, "Eco1.User"}, {43, "Eco2.User"}, {44, "Edge.Cuts"}, {45, "Margin"},    {46, "B.CrtYd"},
    {47, "F.CrtYd"},  {48, "B.Fab"},     {49, "F.Fab"},     {50, "User.1"},    {51, "User.2"},
    {52, "User.3"},   {53, "User.4"},    {54, "User.5"},    {55, "User.6"},    {56, "User.7"},
    {57, "User.8"},   {58, "User.9"}};

// Non-copper host layers and where they go. The drill guide and drill drawing are drawings
// for the driller: Dwgs.User. Mechanical10 to 16 have no free user layer left and share
// Cmts.User, Eco1.User and Eco2.User.
std::string_view FixedTarget(std::uint8_t host) {
  switch (host) {
    case 33: return "F.SilkS";
    case 34: return "B.SilkS";
    case 35: return "F.Paste";
    case 36: return "B.Paste";
    case 37: return "F.Mask";
    case 38: return "B.Mask";
    case 55: return "Dwgs.User";
    case kKeepOutLayer: return "Edge.Cuts";
    case 73: return "Dwgs.User";
    default: break;
  }
  if (host >= 57 && host <= 65) {
    static const std::string kUser[] = {"User.1", "User.2", "User.3", "User.4", "User.5",
                                        "User.6", "User.7", "User.8", "User.9"};
    return kUser[host - 57];
  }
  if (host == 66) return "Eco1.User";
  if (host == 67) return "Eco2.User";
  if (host >= 68 && host <= 72) return "Cmts.User";
  return {};
}

}  // namespace

std::string HostLayerName(std::uint8_t host) {
  if (host == kNoLayer) return "NoLayer";
  if (host == kTopLayer) return "TopLayer";
  if (IsMidLayer(host)) return "MidLayer" + std::to_string(host - 1);
  if (host == kBottomLayer) return "BottomLayer";
  if (IsPlane(host)) return "InternalPlane" + std::to_string(host - 38);
  if (host >= 57 && host <= 72) return "Mechanical" + std::to_string(host - 56);
  switch (host) {
    case 33: return "TopOverlay";
    case 34: return "BottomOverlay";
    case 35: return "TopPaste";
    case 36: return "BottomPaste";
    case 37: return "TopSolder";
    case 38: return "BottomSolder";
    case 55: return "DrillGuide";
    case 56: return "KeepOutLayer";
    case 73: return "DrillDrawing";
    case 74: return "MultiLayer";
    case 75: return "ConnectLayer";
    case 76: return "BackGroundLayer";
    case 77: return "DRCErrorLayer";
    case 78: return "HighlightLayer";
    case 79: return "GridColor1";
    case 80: return "GridColor10";
    case 81: return "PadHoleLayer";
    case 82: return "ViaHoleLayer";
    default: return {};
  }
}

LayerTable::LayerTable(const HostLayers& used, const std::array<std::string, kLastHostLayer + 1>& host_names) {
  stack_.fill(-1);
  auto display = [&](std::uint8_t host) {
    return host_names[host].empty() ? HostLayerName(host) : host_names[host];
  };
  names_[kTopLayer] = "F.Cu";
  stack_[kTopLayer] = 0;
  layers_.push_back({0, "F.Cu", "signal", display(kTopLayer)});
  // Mid layers in stack order, then the planes: the file keeps no stack order between the two.
  auto add_inner = [&](std::uint8_t host, std::string_view type) {
    if (!used.test(host) || inner_count_ == kMaxInnerLayers) return;
    ++inner_count_;
    names_[host] = "In" + std::to_string(inner_count_) + ".Cu";
    stack_[host] = inner_count_;
    layers_.push_back({inner_count_, names_[host], type, display(host)});
  };
  for (std::uint8_t host = 2; host <= 31; ++host) add_inner(host, "signal");
  for (std::uint8_t host = kFirstPlane; host <= kLastPlane; ++host) add_inner(host, "power");
  // KiCad takes only even copper layer counts: an odd stack gets one empty layer more.
  if (inner_count_ % 2 != 0) {
    ++inner_count_;
    layers_.push_back({inner_count_, "In" + std::to_string(inner_count_) + ".Cu", "signal", "Unused"});
  }
  names_[kBottomLayer] = "B.Cu";
  stack_[kBottomLayer] = inner_count_ + 1;
  layers_.push_back({31, "B.Cu", "signal", display(kBottomLayer)});
  for (const FixedLayer& fixed : kFixedLayers) layers_.push_back({fixed.id, std::string(fixed.name), "user", {}});
  for (std::uint8_t host = 33; host <= kLastHostLayer; ++host) {
    if (IsPlane(host)) continue;
    names_[host] = std::string(FixedTarget(host));
  }
}

std::string_view LayerTable::NameOf(std::uint8_t host) const {
  return host <= kLastHostLayer ? std::string_view(names_[host]) : std::string_view();
}

bool LayerTable::IsCopper(std::uint8_t host) const { return StackPosition(host) >= 0; }

int LayerTable::StackPosition(std::uint8_t host) const { return host <= kLastHostLayer ? stack_[host] : -1; }

std::string_view LayerTable::Flipped(std::string_view name) const {
  constexpr std::pair<std::string_view, std::string_view> kSides[] = {
      {"F.Cu", "B.Cu"}, {"F.SilkS", "B.SilkS"}, {"F.Paste", "B.Paste"}, {"F.Mask", "B.Mask"}, {"F.Fab", "B.Fab"},
  };
  for (const auto& [front, back] : kSides) {
    if (name == front) return back;
    if (name == back) return front;
  }
  // Inner layer k of n counts as n + 1 - k from the other face.
  const auto inner = std::find_if(layers_.begin(), layers_.end(), [&](const KicadLayer& layer) {
    return layer.name == name && layer.id >= 1 && layer.id <= inner_count_;
  });
  if (inner == layers_.end()) return name;
  const int other = inner_count_ + 1 - inner->id;
  const auto flipped = std::find_if(layers_.begin(), layers_.end(), [&](const KicadLayer& layer) { return layer.id == other; });
  return flipped != layers_.end() ? std::string_view(flipped->name) : name;
}

}  // namespace kicad
