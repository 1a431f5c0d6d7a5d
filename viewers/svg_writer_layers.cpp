// Layer stacking and colours of the board picture, in the colours PCB editors have made usual:
// top copper red, bottom copper blue, overlays yellow and olive, masks translucent.
#include "viewers/svg_writer_layers.h"

#include <array>

namespace svg {
namespace {

// Bottom first: what lies under the board when seen from the top is drawn first, so the top
// side covers it. Drill holes go over all copper; keep-out and mechanical drawings on top.
constexpr std::array<std::uint8_t, kLastLayer> StackOrder() {
  std::array<std::uint8_t, kLastLayer> order{};
  std::size_t at = 0;
  order[at++] = 76;  // BackGroundLayer
  order[at++] = 34;  // BottomOverlay
  order[at++] = 36;  // BottomPaste
  order[at++] = 38;  // BottomSolder
  order[at++] = kBottomLayer;
  for (int plane = 54; plane >= 39; --plane) order[at++] = static_cast<std::uint8_t>(plane);  // InternalPlane16..1
  for (int mid = 31; mid >= 2; --mid) order[at++] = static_cast<std::uint8_t>(mid);          // MidLayer30..1
  order[at++] = kTopLayer;
  order[at++] = 37;  // TopSolder
  order[at++] = 35;  // TopPaste
  order[at++] = 33;  // TopOverlay
  order[at++] = kMultiLayer;
  order[at++] = kPadHoleLayer;
  order[at++] = kViaHoleLayer;
  order[at++] = 55;  // DrillGuide
  order[at++] = 73;  // DrillDrawing
  order[at++] = 56;  // KeepOutLayer
  for (int mech = 57; mech <= 72; ++mech) order[at++] = static_cast<std::uint8_t>(mech);  // Mechanical1..16
  for (int other = 75; other <= 80; ++other) {
    if (other != 76) order[at++] = static_cast<std::uint8_t>(other);  // ConnectLayer .. GridColor10
  }
  return order;
}

constexpr std::array<std::uint16_t, 256> Ranks() {
  std::array<std::uint16_t, 256> ranks{};
  const auto order = StackOrder();
  for (std::size_t i = 0; i < order.size(); ++i) ranks[order[i]] = static_cast<std::uint16_t>(i + 1);
  return ranks;
}

constexpr auto kRanks = Ranks();
static_assert(kRanks[0] == 0, "NoLayer is never drawn");
static_assert(kRanks[kBottomLayer] < kRanks[kTopLayer], "bottom under top");

constexpr std::array<std::string_view, 10> kMidColours = {"#d8a020", "#20b0a0", "#b05ad0", "#60c040", "#e07030",
                                                          "#4090e0", "#d04080", "#a0c020", "#30c0e0", "#c07040"};
constexpr std::array<std::string_view, 4> kPlaneColours = {"#3c9650", "#a06a30", "#50a0a0", "#966496"};
constexpr std::array<std::string_view, 8> kMechanicalColours = {"#e0c080", "#80c0e0", "#c080e0", "#e08080",
                                                                "#80e0a0", "#c0c0c0", "#e0e080", "#80a0e0"};

}  // namespace

std::uint16_t StackRank(std::uint8_t layer) { return kRanks[layer]; }

LayerLook LookOf(std::uint8_t layer) {
  if (layer >= 2 && layer <= 31) return {kMidColours[(layer - 2) % kMidColours.size()], 1.0};
  if (layer >= 39 && layer <= 54) return {kPlaneColours[(layer - 39) % kPlaneColours.size()], 0.8};
  if (layer >= 57 && layer <= 72) return {kMechanicalColours[(layer - 57) % kMechanicalColours.size()], 1.0};
  switch (layer) {
    case kTopLayer: return {"#d83a30", 1.0};
    case kBottomLayer: return {"#3a60d8", 1.0};
    case 33: return {"#f0e040", 1.0};   // TopOverlay
    case 34: return {"#9a8030", 1.0};   // BottomOverlay
    case 35: return {"#b0b0b0", 0.45};  // TopPaste
    case 36: return {"#808080", 0.45};  // BottomPaste
    case 37: return {"#a050c0", 0.45};  // TopSolder
    case 38: return {"#7040a0", 0.45};  // BottomSolder
    case 55: return {"#a06020", 1.0};   // DrillGuide
    case 56: return {"#f040f0", 1.0};   // KeepOutLayer
    case 73: return {"#c08040", 1.0};   // DrillDrawing
    case kMultiLayer: return {"#d4b040", 1.0};
    case 75: return {"#a0a0a0", 1.0};   // ConnectLayer
    case 76: return {"#404040", 1.0};   // BackGroundLayer
    case 77: return {"#40ff40", 1.0};   // DRCErrorLayer
    case 78: return {"#ffffff", 1.0};   // HighlightLayer
    case kPadHoleLayer: return {"#202428", 1.0};
    case kViaHoleLayer: return {"#303438", 1.0};
    default: return {"#909090", 1.0};   // grid colours
  }
}

}  // namespace svg
