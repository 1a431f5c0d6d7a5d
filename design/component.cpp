// COMP records: one host component with the primitives of its footprint, which are nested in the
// record up to an ENDCOMP line and read by the readers of the free records. Files before version
// 2.80 do not say on which side of the board a component lies; for them the side is deduced from
// the designator's layer or from the layers of the footprint, and every deduction is reported to
// the layer warnings collector.
#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>

#include "design/layer_warnings.h"
#include "design/readers.h"
#include "design/record_table.h"
#include "host/api/layer_id.h"
#include "host/api/vocabulary.h"
#include "host/core_calls.h"
#include "host/object_access.h"
#include "host/pcb_objects.h"
#include "host/short_string.h"
#include "records/conventions.h"
#include "records/input.h"
#include "records/progress.h"
#include "records/read_context.h"
#include "records/readers.h"
#include "records/record_classes.h"

namespace {

using host_layer::kBottomLayer;
using host_layer::kBottomOverlay;
using host_layer::kTopLayer;
using host_layer::kTopOverlay;

constexpr std::uint8_t kAllKinds = 0;        // with the group method: every kind
constexpr std::uint8_t kGroupIteration = 2;  // every member of the container
constexpr std::size_t kLayerSetSize = 88;    // layers 0 to 87 take part in the deduction

// The designator decides when it lies on a copper or overlay layer of one side, shown or not.
bool LayerFromDesignator(TComponentLayerWarnings& warnings, TPcbComponent& component) {
  const std::uint8_t layer = GetLayerNumber(component.NameText);
  if (layer == kTopLayer || layer == kTopOverlay) {
    component.SetLayerNumber(kTopLayer);
    warnings.AddTopByDesignator(component);
    return true;
  }
  if (layer == kBottomLayer || layer == kBottomOverlay) {
    component.SetLayerNumber(kBottomLayer);
    warnings.AddBottomByDesignator(component);
    return true;
  }
  return false;
}

// The footprint decides when its primitives (and the comment, when shown) touch one side only.
bool LayerFromPrimitives(TComponentLayerWarnings& warnings, TPcbComponent& component) {
  std::bitset<kLayerSetSize> layers;
  const auto add = [&layers](std::uint8_t layer) {
    if (layer < kLayerSetSize) layers.set(layer);
  };
  if (component.CommentShown != 0) add(GetLayerNumber(component.CommentText));

  const std::uint32_t iterator =
      host::PcbApi_CreateIterator(component.Handle, kAllKinds, kGroupIteration, layer_id::FromNumber(0));
  for (std::uint32_t object = host::PcbApi_GetFirstObject(iterator); object != 0;
       object = host::PcbApi_GetNextObject(iterator)) {
    add(GetLayerNumber(object));
  }
  host::PcbApi_DestroyIterator(iterator);

  const bool top = layers[kTopLayer] || layers[kTopOverlay];
  const bool bottom = layers[kBottomLayer] || layers[kBottomOverlay];
  if (top == bottom) return false;
  component.SetLayerNumber(top ? kTopLayer : kBottomLayer);
  if (top) {
    warnings.AddTopByPrimitives(component);
  } else {
    warnings.AddBottomByPrimitives(component);
  }
  return true;
}

void ResolveComponentLayer(TComponentLayerWarnings& warnings, TPcbComponent& component) {
  if (LayerFromDesignator(warnings, component) || LayerFromPrimitives(warnings, component)) return;
  component.SetLayerNumber(kTopLayer);
  warnings.AddUndefined(component);
}

// Steps 1 to 12 of the record: the footprint line and the placement line.
void ReadPlacement(TInput& input, std::int32_t level, TComponent& component) {
  input.ReadString(component.Pattern);
  input.LineEnd();
  input.ReadInt();
  input.ReadInt();
  component.X = input.ReadInt();
  component.Y = input.ReadInt();
  component.NameShown = LowByte(input.ReadInt());
  component.CommentShown = LowByte(input.ReadInt());
  // The older files keep the tag with its lowest bit the other way round.
  component.Tag = LowByte(input.ReadInt() ^ 1);
  if (level >= 1) {
    for (int i = 0; i < 4; ++i) input.ReadInt();
  }
  if (level >= 9) {
    component.Rotation = input.ReadReal();
    component.Tag = LowByte(input.ReadInt());
    component.ExtraAttribute = LowByte(input.ReadInt());
  }
  if (level >= 10) component.SetLayerNumber(MapFileLayer(input.ReadInt()));
  input.LineEnd();
}

// The nested records up to ENDCOMP (or the end of the input); an abort ends the list after the
// record under way.
void ReadMembers(ReadContext& context, TComponent& component) {
  TInput& input = context.input;
  ShortString<255> line;
  while (!input.AtEnd()) {
    input.ReadLine(line);
    if (const RecordReader reader = NestedRecordReaderFor(line.View())) {
      const std::uint32_t member = reader(context);
      if (member != 0) component.AddMember(member);
    }
    if (line == "ENDCOMP" || context.abort) break;
  }
}

}  // namespace

std::uint32_t ReadComponent(ReadContext& context) {
  TInput& input = context.input;
  const std::int32_t level = context.format_level;

  TComponent component(host::PcbApi_CreateObject(KindCode(ObjectKind::kComponent)));
  component.Load();
  StepAndPoll(context);

  ReadPlacement(input, level, component);
  input.LineEnd();
  ShortString<255> designator;
  component.NameText = ReadStringKeepingText(context, designator);
  input.LineEnd();
  component.CommentText = ReadString(context);
  component.Store();  // the host sees the file's unscaled location until the end

  SetComponentLink(component.NameText, component.Handle);
  SetComponentLink(component.CommentText, component.Handle);

  // The pad reader names the component's pads after the designator, numbered from 1. When the
  // host gives no designator back (it made no text, or refused to store or load it), the file's
  // names them: with no name the pads would count as free pads and renumber every free pad after.
  context.component_name = GetText(component.NameText);
  if (context.component_name.Empty()) context.component_name = designator;
  context.tables.Reset(TIndexTables::Sequence::kPad);

  ReadMembers(context, component);

  // From version 1.10 on the free pads that follow are numbered on their own again.
  if (level >= 1) context.tables.Reset(TIndexTables::Sequence::kPad);
  if (level < 10) ResolveComponentLayer(context.warnings, component);

  component.Index = context.tables.Next(TIndexTables::Sequence::kComponent);
  component.Store();
  component.Flags = 0;
  component.ScaleToHostUnits(context.old_format);
  component.Store();
  return component.Handle;
}
