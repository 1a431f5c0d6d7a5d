// Readers of the FV (via) and FP (pad) records; the pad reader also hands each pad's mask,
// clearance and plane-connection values to the classifier.
#include <charconv>

#include "records/conventions.h"
#include "records/reader_support.h"
#include "records/readers.h"
#include "rules/classifier.h"

using namespace records;

namespace {

// Free pads are named by a running number that stops here.
constexpr std::int32_t kLastFreePadNumber = 9999;

// Pad rule values are file lengths in 1/1000 mil (levels 9 and 10 only); times 10 to host
// units, wrapping as every 32-bit host length does.
std::int32_t RuleLength(std::int32_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * 10u);
}

// The classifier's connect style for a file connect style code; -1 for the codes that ask for
// no plane connection (0, 3, 6, 9, 12).
int ConnectStyleOf(std::uint8_t code) {
  if (code % 3 == 0 && code <= 12) return -1;
  if (code > 12) return 2;
  return code % 3 == 1 ? 0 : 1;
}

// The values a level 9 pad carries for the classifier only.
struct PadRuleValues {
  std::int32_t solder_mask = 0;
  std::int32_t paste_mask = 0;
  std::int32_t connect_value1 = 0;
  std::int32_t connect_value2 = 0;
  std::int32_t plane_clearance = 0;
  std::int32_t connect_value3 = 0;
};

// The classifier's name of a pad: "U1-14" inside a component; a free pad is renamed to its
// running number and keyed "Free-3".
void MakePadKey(TPad& pad, ShortString<255>& key) {
  RunState& run = Run();
  if (!run.CurrentComponentName.Empty()) {
    key.Assign(run.CurrentComponentName.View());
    key.Append("-");
    key.Append(pad.Name.View());
    return;
  }
  if (run.FreePadNumber < kLastFreePadNumber) ++run.FreePadNumber;
  char digits[12];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, run.FreePadNumber);
  const std::string_view number(digits, ec == std::errc() ? static_cast<std::size_t>(end - digits) : 0);
  pad.Name.Assign(number);
  key.Assign("Free-");
  key.Append(number);
}

void ClassifyPad(std::uint8_t layer, std::uint8_t connect_code, const PadRuleValues& values,
                 std::string_view key) {
  TClassifier* classifier = Run().classifier.get();
  if (classifier == nullptr) return;
  if (Level() >= 9) {
    if (layer == kTopLayer || layer == kBottomLayer || layer == kMultiLayer) {
      classifier->AddSolderMaskExpansion(values.solder_mask, key);
      classifier->AddPasteMaskExpansion(values.paste_mask, key);
    }
    if (layer == kMultiLayer) classifier->AddPlaneClearance(values.plane_clearance, key);
  }
  const int style = ConnectStyleOf(connect_code);
  if (style < 0) return;
  const auto connect_style = static_cast<std::uint8_t>(style);
  if (Level() >= 9) {
    classifier->AddPlaneConnect(values.plane_clearance, connect_style, values.connect_value1,
                                values.connect_value2, values.connect_value3, key);
  } else {
    // Older files carry no connection values: 10 mil expansion, 10 mil spokes, 4 spokes.
    classifier->AddPlaneConnect(100000, connect_style, 100000, 100000, 4, key);
  }
}

}  // namespace

// A level 10 via: leading pair, X, Y, diameter, hole, (ignored), layer-pair code, net,
// (ignored), two ignored, tag, two ignored, first and last layer of the span.
//   FV
//   0 0 5000 5000 50000 28000 0 0 1 0 0 0 0 0 0 1 16
std::uint32_t ReadVia() {
  auto via = CreateRecord<TVia>(kViaKind);
  TInput& in = In();
  SkipInts(2);
  via->X = in.ReadInt();
  via->Y = in.ReadInt();
  via->Size = in.ReadInt();
  via->HoleSize = in.ReadInt();
  SkipInts(1);
  const std::int32_t pair_code = in.ReadInt();
  const std::int32_t net = in.ReadInt();
  SkipInts(1);
  if (Level() >= 9) {
    SkipInts(2);
    via->Tag = LowByte(in.ReadInt());
  }
  if (Level() >= 10) {
    SkipInts(2);
    via->LowLayer = MapFileLayer(in.ReadInt());
    via->HighLayer = MapFileLayer(in.ReadInt());
  }
  in.LineEnd();
  if (Level() < 10) {
    const auto [low, high] = ViaLayerPairSpan(pair_code);
    via->LowLayer = low;
    via->HighLayer = high;
  }
  if (Run().abort) return 0;
  via->Net = net;
  via->Finish();
  return StoreRecord(*via);
}

// Below level 7 a pad has one size and shape for all layers: leading pair, X, Y, X size,
// Y size, shape, hole, connect style, layer, net, (ignored); then its name.
//   FP
//   0 0 1000 2000 6000 6000 1 3000 1 34 2 0
//   14
// From level 7 on top, middle and bottom sizes and shapes; from level 9 on the rotation, six
// rule values and the tag; level 10 adds seven ignored values to the same line:
//   FP
//   0 0 1000 2000 6000 6000 1 6000 6000 1 6000 6000 1 3000 1 34 2 0 0.0 400 0 1000 1000 2000 4 0
//   14
std::uint32_t ReadPad() {
  auto pad = CreateRecord<TPad>(kPadKind);
  TInput& in = In();
  SkipInts(2);
  pad->X = in.ReadInt();
  pad->Y = in.ReadInt();
  std::uint8_t connect_code = 0;
  std::int32_t layer = 0;
  std::int32_t net = 0;
  PadRuleValues rule_values;
  if (Level() < 7) {
    const std::int32_t x_size = in.ReadInt();
    const std::int32_t y_size = in.ReadInt();
    const std::uint8_t shape = LowByte(in.ReadInt());
    pad->HoleSize = in.ReadInt();
    connect_code = LowByte(in.ReadInt());
    layer = in.ReadInt();
    net = in.ReadInt();
    SkipInts(1);
    in.LineEnd();
    pad->SetLayerNumber(MapFileLayer(layer));
    // Shape 6 marks a pad that older versions wrote but never loaded: it is dropped, and its
    // name line is left to the record loop, which skips it.
    if (shape == 6) return 0;
    pad->XSizeTop = pad->XSizeMid = pad->XSizeBottom = x_size;
    pad->YSizeTop = pad->YSizeMid = pad->YSizeBottom = y_size;
    pad->ShapeTop = pad->ShapeMid = pad->ShapeBottom = shape;
  } else {
    pad->XSizeTop = in.ReadInt();
    pad->YSizeTop = in.ReadInt();
    pad->ShapeTop = LowByte(in.ReadInt());
    pad->XSizeMid = in.ReadInt();
    pad->YSizeMid = in.ReadInt();
    pad->ShapeMid = LowByte(in.ReadInt());
    pad->XSizeBottom = in.ReadInt();
    pad->YSizeBottom = in.ReadInt();
    pad->ShapeBottom = LowByte(in.ReadInt());
    pad->HoleSize = in.ReadInt();
    connect_code = LowByte(in.ReadInt());
    layer = in.ReadInt();
    net = in.ReadInt();
    SkipInts(1);
    pad->SetLayerNumber(MapFileLayer(layer));
    if (Level() >= 9) {
      pad->Rotation = in.ReadReal();
      rule_values.solder_mask = RuleLength(in.ReadInt());
      rule_values.paste_mask = RuleLength(in.ReadInt());
      rule_values.connect_value1 = RuleLength(in.ReadInt());
      rule_values.connect_value2 = RuleLength(in.ReadInt());
      rule_values.plane_clearance = RuleLength(in.ReadInt());
      rule_values.connect_value3 = RuleLength(in.ReadInt());
      pad->Tag = LowByte(in.ReadInt());
    }
    if (Level() >= 10) SkipInts(7);
    in.LineEnd();
  }
  in.ReadString(pad->Name);
  in.LineEnd();

  ShortString<255> key;
  MakePadKey(*pad, key);
  ClassifyPad(MapFileLayer(layer), connect_code, rule_values, key.View());

  if (Run().abort) return 0;
  pad->Index = NextIndex(TIndexTables::Sequence::kPad);
  pad->Net = net;
  pad->Flags = 0;
  pad->Finish();
  return StoreRecord(*pad);
}
