// Readers of the FV (via) and FP (pad) records; the pad reader also hands each pad's mask,
// clearance and plane-connection values to the classifier.
#include <array>
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
  std::int32_t spoke_count = 0;
};

// The classifier's name of a pad: "U1-14" inside a component; a free pad is renamed to its
// running number and keyed "Free-3".
void MakePadKey(ReadContext& context, TPad& pad, ShortString<255>& key) {
  if (!context.component_name.Empty()) {
    key.Assign(context.component_name.View());
    key.Append("-");
    key.Append(pad.Name.View());
    return;
  }
  if (context.free_pad_number < kLastFreePadNumber) ++context.free_pad_number;
  char digits[12];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, context.free_pad_number);
  const std::string_view number(digits, ec == std::errc() ? static_cast<std::size_t>(end - digits) : 0);
  pad.Name.Assign(number);
  key.Assign("Free-");
  key.Append(number);
}

void ClassifyPad(TClassifier& classifier, std::int32_t level, std::uint8_t layer, std::uint8_t connect_code,
                 const PadRuleValues& values, std::string_view key) {
  if (level >= 9) {
    if (layer == host_layer::kTopLayer || layer == host_layer::kBottomLayer || layer == host_layer::kMultiLayer) {
      classifier.AddSolderMaskExpansion(values.solder_mask, key);
      classifier.AddPasteMaskExpansion(values.paste_mask, key);
    }
    if (layer == host_layer::kMultiLayer) classifier.AddPlaneClearance(values.plane_clearance, key);
  }
  const int style = ConnectStyleOf(connect_code);
  if (style < 0) return;
  const auto connect_style = static_cast<std::uint8_t>(style);
  if (level >= 9) {
    classifier.AddPlaneConnect(values.plane_clearance, connect_style, values.connect_value1,
                                values.connect_value2, values.spoke_count, key);
  } else {
    // Older files carry no connection values: 10 mil expansion, 10 mil spokes, 4 spokes.
    classifier.AddPlaneConnect(100000, connect_style, 100000, 100000, 4, key);
  }
}


// The value line of a pad record, read before the host object is made.
struct PadValues {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::array<std::int32_t, 3> x_size{};  // top, middle, bottom
  std::array<std::int32_t, 3> y_size{};
  std::array<std::uint8_t, 3> shape{};
  std::int32_t hole_size = 0;
  std::uint8_t connect_code = 0;
  std::int32_t file_layer = 0;
  std::int32_t net = 0;
  double rotation = 0;
  std::uint8_t tag = 0;
  PadRuleValues rules;
};

void ReadPadValues(TInput& in, std::int32_t level, PadValues& v) {
  SkipInts(in, 2);
  v.x = in.ReadInt();
  v.y = in.ReadInt();
  if (level < 7) {
    // One size and shape for every layer.
    v.x_size.fill(in.ReadInt());
    v.y_size.fill(in.ReadInt());
    v.shape.fill(LowByte(in.ReadInt()));
  } else {
    for (std::size_t i = 0; i < 3; ++i) {
      v.x_size[i] = in.ReadInt();
      v.y_size[i] = in.ReadInt();
      v.shape[i] = LowByte(in.ReadInt());
    }
  }
  v.hole_size = in.ReadInt();
  v.connect_code = LowByte(in.ReadInt());
  v.file_layer = in.ReadInt();
  v.net = in.ReadInt();
  SkipInts(in, 1);
  if (level >= 9) {
    v.rotation = in.ReadReal();
    v.rules.solder_mask = RuleLength(in.ReadInt());
    v.rules.paste_mask = RuleLength(in.ReadInt());
    v.rules.connect_value1 = RuleLength(in.ReadInt());
    v.rules.connect_value2 = RuleLength(in.ReadInt());
    v.rules.plane_clearance = RuleLength(in.ReadInt());
    // The number of thermal spokes, not a length: a file that says 4 means 4, as older files
    // (which carry no value and get 4) and the old-format default rule do.
    v.rules.spoke_count = in.ReadInt();
    v.tag = LowByte(in.ReadInt());
  }
  if (level >= 10) SkipInts(in, 7);
  in.LineEnd();
}

}  // namespace

// A level 10 via: leading pair, X, Y, diameter, hole, (ignored), layer-pair code, net,
// (ignored), two ignored, tag, two ignored, first and last layer of the span.
//   FV
//   0 0 5000 5000 50000 28000 0 0 1 0 0 0 0 0 0 1 16
std::uint32_t ReadVia(ReadContext& context) {
  auto via = CreateRecord<TVia>(context, ObjectKind::kVia);
  TInput& in = context.input;
  const std::int32_t level = context.format_level;
  SkipInts(in, 2);
  via->X = in.ReadInt();
  via->Y = in.ReadInt();
  via->Size = in.ReadInt();
  via->HoleSize = in.ReadInt();
  SkipInts(in, 1);
  const std::int32_t pair_code = in.ReadInt();
  const std::int32_t net = in.ReadInt();
  SkipInts(in, 1);
  if (level >= 9) {
    SkipInts(in, 2);
    via->Tag = LowByte(in.ReadInt());
  }
  if (level >= 10) {
    SkipInts(in, 2);
    via->LowLayer = MapFileLayer(in.ReadInt());
    via->HighLayer = MapFileLayer(in.ReadInt());
  }
  in.LineEnd();
  if (level < 10) {
    const auto [low, high] = ViaLayerPairSpan(pair_code);
    via->LowLayer = low;
    via->HighLayer = high;
  }
  if (context.abort) return 0;
  via->Net = net;
  via->ScaleToHostUnits(context.old_format);
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
std::uint32_t ReadPad(ReadContext& context) {
  TInput& in = context.input;
  const std::int32_t level = context.format_level;
  PadValues values;
  ReadPadValues(in, level, values);
  // Shape 6 marks a pad that versions before 2.50 wrote but never loaded. No host object is
  // made for it (one would stay behind in the host, on no board), but it counts as a record on
  // the progress bar; its name line is left to the record loop, which skips it.
  if (level < 7 && values.shape[0] == 6) {
    StepAndPoll(context);
    return 0;
  }

  auto pad = CreateRecord<TPad>(context, ObjectKind::kPad);
  pad->X = values.x;
  pad->Y = values.y;
  pad->XSizeTop = values.x_size[0];
  pad->YSizeTop = values.y_size[0];
  pad->ShapeTop = values.shape[0];
  pad->XSizeMid = values.x_size[1];
  pad->YSizeMid = values.y_size[1];
  pad->ShapeMid = values.shape[1];
  pad->XSizeBottom = values.x_size[2];
  pad->YSizeBottom = values.y_size[2];
  pad->ShapeBottom = values.shape[2];
  pad->HoleSize = values.hole_size;
  const std::uint8_t layer = MapFileLayer(values.file_layer);
  pad->SetLayerNumber(layer);
  if (level >= 9) {
    pad->Rotation = values.rotation;
    pad->Tag = values.tag;
  }
  in.ReadString(pad->Name);
  in.LineEnd();

  ShortString<255> key;
  MakePadKey(context, *pad, key);
  ClassifyPad(context.classifier, level, layer, values.connect_code, values.rules, key.View());

  if (context.abort) return 0;
  pad->Index = context.tables.Next(TIndexTables::Sequence::kPad);
  pad->Net = values.net;
  pad->Flags = 0;
  pad->ScaleToHostUnits(context.old_format);
  return StoreRecord(*pad);
}
