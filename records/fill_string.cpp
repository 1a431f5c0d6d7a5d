// Readers of the FF (fill) and FS (string) records.
#include "records/conventions.h"
#include "records/reader_support.h"
#include "records/readers.h"

using namespace records;

// A level 10 fill: leading pair, two corners, layer, net; then polygon, tag and rotation. The
// second line exists from level 3 (version 2.10) on, one level after tracks and arcs.
//   FF
//   0 0 1000 1000 9000 5000 1 0
//   0 0 45.000
std::uint32_t ReadFill(ReadContext& context) {
  auto fill = CreateRecord<TFill>(context, ObjectKind::kFill);
  TInput& in = context.input;
  const std::int32_t level = context.format_level;
  SkipInts(in, 2);
  fill->X = in.ReadInt();
  fill->Y = in.ReadInt();
  fill->X2 = in.ReadInt();
  fill->Y2 = in.ReadInt();
  const std::int32_t layer = in.ReadInt();
  const std::int32_t net = in.ReadInt();
  in.LineEnd();
  fill->SetLayerNumber(MapFileLayer(layer));
  if (level >= 3) {
    fill->Polygon = in.ReadInt();
    if (level >= 9) fill->Tag = LowByte(in.ReadInt());
    if (level >= 10) fill->Rotation = in.ReadReal();
    in.LineEnd();
  }
  fill->Net = net;
  fill->Flags = 0;
  fill->ScaleToHostUnits(context.old_format);
  return StoreRecord(*fill);
}

// A level 10 string: leading pair, X, Y, height, rotation, mirror flag, font, layer, four
// ignored values, stroke width, tag, coordinate and dimension; then the text itself.
//   FS
//   0 0 1000 2000 60000 0.000 0 0 17 0 0 0 0 10000 0 0 0
//   Hello
std::uint32_t ReadString(ReadContext& context) {
  ShortString<255> text;
  return ReadStringKeepingText(context, text);
}

std::uint32_t ReadStringKeepingText(ReadContext& context, ShortString<255>& kept) {
  auto text = CreateRecord<TText>(context, ObjectKind::kText);
  TInput& in = context.input;
  const std::int32_t level = context.format_level;
  SkipInts(in, 2);
  text->X = in.ReadInt();
  text->Y = in.ReadInt();
  text->Height = in.ReadInt();
  const std::int32_t height = text->Height;
  text->Rotation = in.ReadReal();
  text->Mirrored = LowByte(in.ReadInt());
  text->FontStyle = in.ReadInt();
  text->SetLayerNumber(MapFileLayer(in.ReadInt()));
  if (level >= 1) SkipInts(in, 4);
  if (level >= 9) {
    text->Width = in.ReadInt();
    text->Tag = LowByte(in.ReadInt());
  } else {
    // No stroke width before version 2.70: derived from the height, then brought back to the
    // file unit so that ScaleToHostUnits() scales it like the height.
    const std::int32_t width = DefaultTextWidth(height);
    text->Width = level <= 1 ? static_cast<std::int32_t>(RoundHalfEven(CoordToMils(width))) : width / 10;
  }
  if (level >= 10) {
    text->Coordinate = in.ReadInt();
    text->Dimension = in.ReadInt();
  }
  in.LineEnd();
  in.ReadString(text->Text);
  in.LineEnd();
  kept.Assign(text->Text.View());
  text->Flags = 0;
  text->ScaleToHostUnits(context.old_format);
  return StoreRecord(*text);
}
