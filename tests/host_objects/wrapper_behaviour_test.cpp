// The wrappers' own rules, checked through the stand-in server and its call trace: layer
// conversions of vias and components, the pad's per-layer store, class member lists, new rules,
// component members, and the per-handle access with its kind-to-class table.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "host/api/layer_id.h"
#include "host/api/vocabulary.h"
#include "host/core_calls.h"
#include "host/object_access.h"
#include "host/object_calls.h"
#include "host/pcb_objects.h"
#include "standin/orvpcb/model.h"

namespace {

using layer_id::LayerClass;
using layer_id::Make;

// Collects the server's call trace while alive.
class TraceCapture {
 public:
  TraceCapture() : sink_(std::tmpfile()) { orv::Server().SetTrace(sink_); }
  ~TraceCapture() {
    orv::Server().SetTrace(nullptr);
    std::fclose(sink_);
  }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  // Trace lines of calls of the function (all lines for an empty name).
  std::vector<std::string> Calls(const std::string& function) const {
    std::fflush(sink_);
    std::rewind(sink_);
    std::vector<std::string> lines;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, sink_) != nullptr) {
      std::string line(buffer);
      if (!line.empty() && line.back() == '\n') line.pop_back();
      if (function.empty() || line.rfind(function + "(", 0) == 0) lines.push_back(line);
    }
    std::fseek(sink_, 0, SEEK_END);
    return lines;
  }
  std::vector<std::string> All() const { return Calls(""); }

 private:
  std::FILE* sink_;
};

std::string SetPercentage(std::uint32_t pad, int layer, int percentage) {
  return "PcbApi_SetCRPctOnLayer(" + std::to_string(pad) + ", " + std::to_string(layer) + ", " +
         std::to_string(percentage) + ") -> 0";
}

std::uint8_t HostPercentage(std::uint32_t pad, std::uint8_t layer) {
  std::uint8_t percentage = 0;
  host::PcbApi_QueryPadCRPercentageOnLayer(pad, layer, &percentage);
  return percentage;
}

// Layers the one-byte numbering cannot name are pinned to the last number of their class, on the
// way into a via or component record and when a caller asks for the number.
TEST(WrapperLayers, LayersBeyondTheNumberingArePinned) {
  struct Case {
    std::uint32_t id;
    std::uint8_t number;
  };
  const Case kCases[] = {{Make(LayerClass::kMidSignal, 31), 31},    {Make(LayerClass::kMidSignal, 40), 31},
                         {Make(LayerClass::kInternalPlane, 16), 54}, {Make(LayerClass::kInternalPlane, 20), 54},
                         {Make(LayerClass::kMechanical, 16), 72},    {Make(LayerClass::kMechanical, 25), 72},
                         {Make(LayerClass::kSingle, 74), 74},        {Make(LayerClass::kSingle, 60), 0}};
  for (const Case& c : kCases) {
    TPcbTrack track(0);
    track.Layer = c.id;
    EXPECT_EQ(track.LayerNumber(), c.number) << std::hex << c.id;

    TPcbVia via(host::PcbApi_CreateObject(KindCode(ObjectKind::kVia)));
    via.Load();
    via.Layer = c.id;
    via.Store();
    EXPECT_EQ(orv::Server().GetNumber(via.Handle, "Layer"), c.number);
    EXPECT_EQ(via.Layer, layer_id::FromNumber(c.number));  // converted back after the call

    TPcbComponent component(host::PcbApi_CreateObject(KindCode(ObjectKind::kComponent)));
    component.Layer = c.id;
    component.Store();
    component.Load();
    EXPECT_EQ(component.LayerNumber(), c.number);
  }
}

TEST(WrapperLayers, NewObjectsSitWhereTheHostPutsThem) {
  TPcbVia via(host::PcbApi_CreateObject(KindCode(ObjectKind::kVia)));
  via.Load();
  EXPECT_EQ(via.LayerNumber(), 74);
  EXPECT_EQ(via.Layer, layer_id::FromNumber(74));
  TPcbTrack track(host::PcbApi_CreateObject(KindCode(ObjectKind::kTrack)));
  track.SetLayerNumber(32);
  track.Store();
  EXPECT_EQ(GetLayerNumber(track.Handle), 32);
}

// Outside the full stack the host keeps one corner percentage for each of top, mid and bottom,
// written once for every layer whose shape has a corner radius.
TEST(PadStack, OtherModesWriteCornerPercentagesOnlyForRoundedLayers) {
  TPcbPad pad(host::PcbApi_CreateObject(KindCode(ObjectKind::kPad)));
  pad.Load();
  pad.StackMode = 0;
  pad.ShapeOnLayer.fill(1);
  pad.ShapeOnLayer[5] = 9;
  pad.ShapeOnLayer[40] = 9;
  pad.TopCRPercentage = 10;
  pad.MidCRPercentage = 20;
  pad.BottomCRPercentage = 30;
  TraceCapture trace;
  pad.Store();
  EXPECT_TRUE(trace.Calls("PcbApi_SetPadShapeOnLayer").empty());
  EXPECT_TRUE(trace.Calls("PcbApi_SetPadSizeOnLayer").empty());
  const std::string top = SetPercentage(pad.Handle, 1, 10);
  const std::string bottom = SetPercentage(pad.Handle, 32, 30);
  const std::string mid = SetPercentage(pad.Handle, 2, 20);
  EXPECT_EQ(trace.Calls("PcbApi_SetCRPctOnLayer"), (std::vector<std::string>{top, bottom, mid, top, bottom, mid}));
  // The host's simple stack gives the three percentages back on every layer of their part.
  EXPECT_EQ(HostPercentage(pad.Handle, 1), 10);
  EXPECT_EQ(HostPercentage(pad.Handle, 17), 20);
  EXPECT_EQ(HostPercentage(pad.Handle, 32), 30);
}

TEST(PadStack, NoRoundedLayerWritesNoPerLayerValue) {
  TPcbPad pad(host::PcbApi_CreateObject(KindCode(ObjectKind::kPad)));
  pad.Load();
  EXPECT_EQ(pad.StackMode, 0);
  TraceCapture trace;
  pad.Store();
  EXPECT_TRUE(trace.Calls("PcbApi_SetCRPctOnLayer").empty());
}

TEST(PadStack, FullStackWritesEveryLayer) {
  TPcbPad pad(host::PcbApi_CreateObject(KindCode(ObjectKind::kPad)));
  pad.Load();
  pad.StackMode = 2;
  TraceCapture trace;
  pad.Store();
  EXPECT_EQ(trace.Calls("PcbApi_SetPadShapeOnLayer").size(), 83u);
  EXPECT_EQ(trace.Calls("PcbApi_SetPadSizeOnLayer").size(), 83u);
  EXPECT_EQ(trace.Calls("PcbApi_SetCRPctOnLayer").size(), 83u);
}

TEST(PadStack, LoadReadsEveryLayerAndKeepsTopMidBottomPercentages) {
  const std::uint32_t handle = host::PcbApi_CreateObject(KindCode(ObjectKind::kPad));
  std::uint8_t full_stack = 2;
  host::PcbApi_QueryPadStackMode(0, handle, &full_stack);
  host::PcbApi_SetCRPctOnLayer(handle, 1, 11);
  host::PcbApi_SetCRPctOnLayer(handle, 2, 12);
  host::PcbApi_SetCRPctOnLayer(handle, 31, 13);
  host::PcbApi_SetCRPctOnLayer(handle, 32, 14);
  host::PcbApi_SetPadShapeOnLayer(handle, 82, 9);
  host::PcbApi_SetPadSizeOnLayer(handle, 82, 100, 40);
  TraceCapture trace;
  TPcbPad pad(handle);
  pad.Load();
  EXPECT_EQ(trace.Calls("PcbApi_QueryPadOrViaShapeOnLayer").size(), 83u);
  EXPECT_EQ(trace.Calls("PcbApi_QueryPadCornerRadiusOnLayer").size(), 83u);
  EXPECT_EQ(pad.TopCRPercentage, 11);
  EXPECT_EQ(pad.MidCRPercentage, 13);  // the last mid layer read wins
  EXPECT_EQ(pad.BottomCRPercentage, 14);
  EXPECT_EQ(pad.ShapeOnLayer[82], 9);
  EXPECT_EQ(pad.XSizeOnLayer[82], 100);
  EXPECT_EQ(pad.CornerRadiusOnLayer[82], 10);  // 50 % of half the smaller side
  EXPECT_EQ(pad.CornerRadiusOnLayer[1], 0);    // round: no corner
}

TEST(PadStack, SimpleStackShowsTopMidBottomOnEveryLayer) {
  TPcbPad pad(host::PcbApi_CreateObject(KindCode(ObjectKind::kPad)));
  pad.Load();
  pad.XSizeTop = 1, pad.XSizeMid = 2, pad.XSizeBottom = 3, pad.ShapeTop = 4, pad.ShapeMid = 5, pad.ShapeBottom = 6;
  pad.Store();
  pad.Load();
  EXPECT_EQ(pad.XSizeOnLayer[1], 1);
  EXPECT_EQ(pad.XSizeOnLayer[20], 2);
  EXPECT_EQ(pad.XSizeOnLayer[32], 3);
  EXPECT_EQ(pad.ShapeOnLayer[1], 4);
  EXPECT_EQ(pad.ShapeOnLayer[2], 5);
  EXPECT_EQ(pad.ShapeOnLayer[32], 6);
  EXPECT_EQ(pad.ShapeOnLayer[33], 0);  // a multi-layer pad has copper on the signal layers only
  EXPECT_EQ(pad.ShapeOnLayer[74], 4);

  TPcbVia via(host::PcbApi_CreateObject(KindCode(ObjectKind::kVia)));
  via.Load();
  via.Size = 500;
  via.LowLayer = 1;
  via.HighLayer = 2;
  via.Store();
  EXPECT_EQ(via.GetShapeOnLayer(2), 1);
  EXPECT_EQ(via.GetShapeOnLayer(3), 0);
  std::int32_t x = 0, y = 0;
  via.GetSizeOnLayer(1, x, y);
  EXPECT_EQ(x, 500);
  EXPECT_EQ(y, 500);
}

TEST(ObjectClassMembers, ReadUntilTheHostAnswersOne) {
  const std::uint32_t handle = host::PcbApi_CreateObject(KindCode(ObjectKind::kObjectClass));
  const ShortString<255> a("A1"), b("B2");
  host::PcbApi_AddMemberToClass(handle, a.Raw());
  host::PcbApi_AddMemberToClass(handle, b.Raw());
  TraceCapture trace;
  TPCBObjectClass object_class(handle);
  EXPECT_EQ(object_class.Load(), 1);  // the answer that ended the list
  EXPECT_EQ(object_class.Members, (std::vector<std::string>{"A1", "B2"}));
  EXPECT_EQ(trace.Calls("PcbApi_GetMemberFromClassAt").size(), 3u);

  object_class.Members = {"C3"};
  EXPECT_EQ(object_class.Store(), 0);
  TPCBObjectClass reloaded(handle);
  reloaded.Load();
  EXPECT_EQ(reloaded.Members, (std::vector<std::string>{"C3"}));

  TPCBObjectClass empty(host::PcbApi_CreateObject(KindCode(ObjectKind::kObjectClass)));
  empty.Load();
  EXPECT_TRUE(empty.Members.empty());
}

TEST(RuleEx, NewWrapperAndNewHostRuleStartAlike) {
  const TPcbRuleEx fresh(0);
  EXPECT_EQ(fresh.ObjectId, 16);
  EXPECT_TRUE(fresh.RuleName.Empty());
  EXPECT_EQ(fresh.Value1, 74);
  EXPECT_EQ(fresh.Value3, -1);
  EXPECT_EQ(fresh.Value2 + fresh.Value4, 0);
  EXPECT_EQ(fresh.Scope1, "All");
  EXPECT_EQ(fresh.Scope2, "All");

  TPcbRuleEx loaded(host::PcbApi_CreateRuleObject(9));
  loaded.Scope1.Assign("changed");
  loaded.Load();
  EXPECT_EQ(loaded.Value1, 74);
  EXPECT_EQ(loaded.Value3, -1);
  EXPECT_EQ(loaded.Scope1, "All");
  EXPECT_EQ(loaded.Scope2, "All");
}

TEST(Component, MembersAndDesignator) {
  TPcbText designator(host::PcbApi_CreateObject(KindCode(ObjectKind::kText)));
  designator.Text.Assign("U17");
  designator.Store();
  TPcbComponent component(host::PcbApi_CreateObject(KindCode(ObjectKind::kComponent)));
  component.Load();
  component.NameText = designator.Handle;
  component.Store();
  EXPECT_EQ(component.GetName(), "U17");

  const std::uint32_t track = host::PcbApi_CreateObject(KindCode(ObjectKind::kTrack));
  TraceCapture trace;
  EXPECT_TRUE(component.AddMember(0));
  EXPECT_TRUE(trace.All().empty());
  EXPECT_TRUE(component.AddMember(track));
  EXPECT_EQ(orv::Server().Members(component.Handle), (std::vector<std::uint32_t>{track}));
}

TEST(PerHandleAccess, LinksTravelThroughTheKindsWrapper) {
  const std::uint32_t track = host::PcbApi_CreateObject(KindCode(ObjectKind::kTrack));
  SetNetLink(track, 12);
  SetPolygonLink(track, 13);
  SetCoordinateLink(track, 14);
  SetDimensionLink(track, 15);
  SetComponentLink(track, 16);
  EXPECT_EQ(GetNetLink(track), 12);
  EXPECT_EQ(GetPolygonLink(track), 13);
  EXPECT_EQ(GetCoordinateLink(track), 14);
  EXPECT_EQ(GetDimensionLink(track), 15);
  EXPECT_EQ(orv::Server().GetNumber(track, "Component"), 16);

  // Kinds without the link give 0 and ignore a set.
  const std::uint32_t via = host::PcbApi_CreateObject(KindCode(ObjectKind::kVia));
  SetPolygonLink(via, 5);
  EXPECT_EQ(GetPolygonLink(via), 0);
  const std::uint32_t fill = host::PcbApi_CreateObject(KindCode(ObjectKind::kFill));
  SetPolygonLink(fill, 6);
  EXPECT_EQ(GetPolygonLink(fill), 6);
  EXPECT_EQ(GetCoordinateLink(fill), 0);

  const std::uint32_t text = host::PcbApi_CreateObject(KindCode(ObjectKind::kText));
  orv::Server().SetText(text, "Text", "R5");
  EXPECT_EQ(GetText(text), "R5");
  EXPECT_TRUE(GetText(track).Empty());
  EXPECT_TRUE(GetText(0).Empty());

  const std::uint32_t net = host::PcbApi_CreateObject(KindCode(ObjectKind::kNet));
  orv::Server().SetNumber(net, "Index", 42);
  EXPECT_EQ(GetIndex(net), 42);
}

TEST(PerHandleAccess, KindsWithoutAClassGiveZeroAndCallNothing) {
  for (std::uint8_t kind : {23, 24, 25, 27}) {
    SCOPED_TRACE(static_cast<int>(kind));
    const std::uint32_t handle = orv::Server().Create(kind);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(MakeWrapper(kind, handle), nullptr);
    TraceCapture trace;
    EXPECT_EQ(GetIndex(handle), 0);
    EXPECT_EQ(GetLayerNumber(handle), 0);
    EXPECT_EQ(GetNetLink(handle), 0);
    EXPECT_EQ(GetPolygonLink(handle), 0);
    EXPECT_EQ(GetCoordinateLink(handle), 0);
    EXPECT_EQ(GetDimensionLink(handle), 0);
    EXPECT_TRUE(GetText(handle).Empty());
    SetNetLink(handle, 1);
    // Only the kind was asked for, once per call.
    EXPECT_EQ(trace.All().size(), trace.Calls("PcbApi_GetObjectIdFromObjectHandle").size());
    EXPECT_EQ(trace.All().size(), 8u);
  }
  TraceCapture trace;
  EXPECT_EQ(GetIndex(0), 0);
  SetNetLink(0, 3);
  EXPECT_TRUE(trace.All().empty());
}

TEST(PerHandleAccess, EveryClassKindHasItsWrapper) {
  for (std::uint8_t kind = 1; kind <= 22; ++kind) {
    const auto wrapper = MakeWrapper(kind, 0);
    ASSERT_NE(wrapper, nullptr) << static_cast<int>(kind);
    EXPECT_EQ(wrapper->ObjectId, kind);
  }
  EXPECT_NE(dynamic_cast<TPcbBoardOutline*>(MakeWrapper(26, 0).get()), nullptr);
  EXPECT_NE(dynamic_cast<TPcbRule*>(MakeWrapper(16, 0).get()), nullptr);
}

TEST(ObjectFlags, BitsAndStoringSetters) {
  TPcbTrack track(host::PcbApi_CreateObject(KindCode(ObjectKind::kTrack)));
  track.Load();
  track.SetFlagAndStore(0x0008, true);
  EXPECT_EQ(orv::Server().GetNumber(track.Handle, "Flags"), 0x0008);
  track.SetFlagClearAndStore(0x0100, false);  // the property is off while the bit is set
  EXPECT_EQ(orv::Server().GetNumber(track.Handle, "Flags"), 0x0108);
  track.SetBitField3Bits1And2(true);
  EXPECT_EQ(track.BitField3, 0x06);
  EXPECT_TRUE(track.BitField3Bit1Or2());
  track.MoveBy(5, -5);
  EXPECT_EQ(track.X2, 5);
  EXPECT_EQ(track.Y2, -5);
  EXPECT_FALSE(track.GetExtraFlag1());
}

// A field name is one value of one width in an object's storage: every record of a kind must
// agree with the kind's layout on each field it shares, or an exchange would write past the
// caller's field.
TEST(ObjectSchemas, RecordsAgreeWithTheirKindsLayout) {
  orv::Model& model = orv::Server();
  for (std::uint8_t kind : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 26}) {
    const orv::Layout& layout = model.LayoutOf(kind);
    for (int id = 0; id < model.SchemaCount(); ++id) {
      const orv::Schema& schema = model.SchemaAt(id);
      if (schema.constraint) continue;
      bool covers = !schema.fields.empty();  // every field of the record is in the kind's layout
      for (const orv::FieldDef& def : schema.fields) covers = covers && layout.Find(def.name) != nullptr;
      if (!covers) continue;
      for (const orv::FieldDef& def : schema.fields) {
        const orv::FieldSlot* slot = layout.Find(def.name);
        EXPECT_TRUE(slot->def.type == def.type && slot->def.size == def.size)
            << schema.function << "." << def.name << " in kind " << static_cast<int>(kind);
      }
    }
  }
}

}  // namespace
