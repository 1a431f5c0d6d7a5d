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
#include "host/api/layer_id.h"
#include "host/core_calls.h"
#include "host/object_access.h"
#include "host/pcb_objects.h"
#include "host/short_string.h"
#include "plugin/index_tables.h"
#include "plugin/progress.h"
#include "plugin/run_state.h"
#include "records/conventions.h"
#include "records/input.h"
#include "records/readers.h"
#include "records/record_classes.h"

namespace {

constexpr std::uint8_t kComponentKind = 9;
constexpr std::uint8_t kAllKinds = 0;           // with the group method: every kind
constexpr std::uint8_t kGroupIteration = 2;     // every member of the container
constexpr std::uint8_t kTopLayer = 1;
constexpr std::uint8_t kBottomLayer = 32;
constexpr std::uint8_t kTopOverlay = 33;
constexpr std::uint8_t kBottomOverlay = 34;
constexpr std::size_t kLayerSetSize = 88;       // layers 0 to 87 take part in the deduction

struct NestedRecord {
  std::string_view keyword;
  std::uint32_t (*reader)();
};

// The primitive records a component holds; their bodies are those of the free records.
constexpr std::array<NestedRecord, 6> kNestedRecords{{
    {"CP", ReadPad},
    {"CT", ReadTrack},
    {"CA", ReadArc},
    {"CV", ReadVia},
    {"CF", ReadFill},
    {"CS", ReadString},
}};

std::uint32_t (*NestedReader(const ShortString<255>& line))() {
  for (const NestedRecord& record : kNestedRecords) {
    if (line == record.keyword) return record.reader;
  }
  return nullptr;
}

TComponentLayerWarnings* Warnings() { return Run().warnings.get(); }

// The designator decides when it lies on a copper or overlay layer of one side, shown or not.
bool LayerFromDesignator(TPcbComponent& component) {
  const std::uint8_t layer = GetLayerNumber(component.NameText);
  if (layer == kTopLayer || layer == kTopOverlay) {
    component.SetLayerNumber(kTopLayer);
    if (TComponentLayerWarnings* warnings = Warnings()) warnings->AddTopByDesignator(component);
    return true;
  }
  if (layer == kBottomLayer || layer == kBottomOverlay) {
    component.SetLayerNumber(kBottomLayer);
    if (TComponentLayerWarnings* warnings = Warnings()) warnings->AddBottomByDesignator(component);
    return true;
  }
  return false;
}

// The footprint decides when its primitives (and the comment, when shown) touch one side only.
bool LayerFromPrimitives(TPcbComponent& component) {
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
  if (TComponentLayerWarnings* warnings = Warnings()) {
    if (top) {
      warnings->AddTopByPrimitives(component);
    } else {
      warnings->AddBottomByPrimitives(component);
    }
  }
  return true;
}

void ResolveComponentLayer(TPcbComponent& component) {
  if (LayerFromDesignator(component) || LayerFromPrimitives(component)) return;
  component.SetLayerNumber(kTopLayer);
  if (TComponentLayerWarnings* warnings = Warnings()) warnings->AddUndefined(component);
}

// Steps 1 to 12 of the record: the footprint line and the placement line.
void ReadPlacement(TInput& input, std::int32_t level, TComponent& component) {
  input.ReadString(component.Pattern);
  input.LineEnd();
  input.ReadInt();
  input.ReadInt();
  component.X = input.ReadInt();
  component.Y = input.ReadInt();
  component.NameShown = static_cast<std::uint8_t>(input.ReadInt());
  component.CommentShown = static_cast<std::uint8_t>(input.ReadInt());
  // The older files keep the tag with its lowest bit the other way round.
  component.Tag = static_cast<std::uint8_t>(input.ReadInt() ^ 1);
  if (level >= 1) {
    for (int i = 0; i < 4; ++i) input.ReadInt();
  }
  if (level >= 9) {
    component.Rotation = input.ReadReal();
    component.Tag = static_cast<std::uint8_t>(input.ReadInt());
    component.ExtraAttribute = static_cast<std::uint8_t>(input.ReadInt());
  }
  if (level >= 10) component.SetLayerNumber(MapFileLayer(input.ReadInt()));
  input.LineEnd();
}

// The nested records up to ENDCOMP (or the end of the input); an abort ends the list after the
// record under way.
void ReadMembers(TInput& input, TComponent& component) {
  ShortString<255> line;
  while (!input.AtEnd()) {
    input.ReadLine(line);
    if (const auto reader = NestedReader(line)) {
      const std::uint32_t member = reader();
      if (member != 0) component.AddMember(member);
    }
    if (line == "ENDCOMP" || Run().abort) break;
  }
}

}  // namespace

std::uint32_t ReadComponent() {
  RunState& run = Run();
  TInput& input = *run.input;
  const std::int32_t level = run.format_level;

  TComponent component(host::PcbApi_CreateObject(kComponentKind));
  component.Exchange(true);
  StepAndPoll();

  ReadPlacement(input, level, component);
  input.LineEnd();
  component.NameText = ReadString();
  input.LineEnd();
  component.CommentText = ReadString();
  component.Exchange(false);  // the host sees the file's unscaled location until the end

  SetComponentLink(component.NameText, component.Handle);
  SetComponentLink(component.CommentText, component.Handle);

  // The pad reader names the component's pads after the designator, numbered from 1.
  run.CurrentComponentName = GetText(component.NameText);
  run.index_tables->Reset(TIndexTables::Sequence::kPad);

  ReadMembers(input, component);

  // From version 1.10 on the free pads that follow are numbered on their own again.
  if (level >= 1) run.index_tables->Reset(TIndexTables::Sequence::kPad);
  if (level < 10) ResolveComponentLayer(component);

  component.Index = run.index_tables->Next(TIndexTables::Sequence::kComponent);
  component.Exchange(false);
  component.Flags = 0;
  component.Finish();
  component.Exchange(false);
  return component.Handle;
}
