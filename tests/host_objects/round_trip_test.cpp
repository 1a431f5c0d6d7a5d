// Every wrapper class against the stand-in server: what one wrapper stores, a fresh wrapper loads
// back field by field; values the plug-in never sets survive a load and a store; strings are cut
// at their record capacities.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "host/api/vocabulary.h"
#include "host/core_calls.h"
#include "host/object_access.h"
#include "host/pcb_objects.h"
#include "standin/orvpcb/model.h"
#include "tests/host_objects/object_fields.h"

namespace {

using objects_test::Comparer;
using objects_test::Filler;

template <typename Wrapper>
void ExpectRoundTrip(std::uint8_t kind, std::uint32_t handle, int seed) {
  ASSERT_NE(handle, 0u);
  auto stored = std::make_unique<Wrapper>(handle);
  EXPECT_EQ(stored->ObjectId, kind);
  stored->Load();
  Filler fill(seed);
  objects_test::Visit(*stored, *stored, fill);
  stored->Store();

  auto loaded = std::make_unique<Wrapper>(handle);
  loaded->Load();
  Comparer compare;
  objects_test::Visit(*stored, *loaded, compare);
  EXPECT_GT(compare.field, 0);
}

std::uint32_t New(std::uint8_t kind) { return host::PcbApi_CreateObject(kind); }

TEST(ObjectRoundTrip, EveryKindLoadsWhatItStored) {
  ExpectRoundTrip<TPcbArc>(1, New(1), 100);
  ExpectRoundTrip<TPcbVia>(3, New(3), 300);
  ExpectRoundTrip<TPcbTrack>(4, New(4), 400);
  ExpectRoundTrip<TPcbText>(5, New(5), 500);
  ExpectRoundTrip<TPcbFill>(6, New(6), 600);
  ExpectRoundTrip<TPcbFromTo>(7, New(7), 700);
  ExpectRoundTrip<TPcbNet>(8, New(8), 800);
  ExpectRoundTrip<TPcbComponent>(9, New(9), 900);
  ExpectRoundTrip<TPCBRegion>(11, New(11), 1100);
  ExpectRoundTrip<TPcbComponentBody>(12, New(12), 1200);
  ExpectRoundTrip<TPcbCoordinate>(14, New(14), 1400);
  ExpectRoundTrip<TPCBObjectClass>(15, New(15), 1500);
  ExpectRoundTrip<TPcbRule>(16, host::PcbApi_CreateRuleObject(3), 1600);
  ExpectRoundTrip<TPcbRuleEx>(16, host::PcbApi_CreateRuleObject(3), 1650);
  ExpectRoundTrip<TPcbManualFromTo>(17, New(17), 1700);
  ExpectRoundTrip<TPcbDifferentialPair>(18, New(18), 1800);
  ExpectRoundTrip<TPcbViolation>(19, New(19), 1900);
  ExpectRoundTrip<TPcbEmbedded>(20, New(20), 2000);
  ExpectRoundTrip<TPcbEmbeddedBoard>(21, New(21), 2100);
  ExpectRoundTrip<TPcbSplitPlane>(22, New(22), 2200);
}

TEST(ObjectRoundTrip, PadInFullStackKeepsEveryLayer) {
  const std::uint32_t handle = New(2);
  auto stored = std::make_unique<TPcbPad>(handle);
  stored->Load();
  Filler fill(200);
  objects_test::Visit(*stored, *stored, fill);
  stored->StackMode = 2;
  stored->Store();

  auto loaded = std::make_unique<TPcbPad>(handle);
  loaded->Load();
  Comparer compare;
  objects_test::Visit(*stored, *loaded, compare);
  EXPECT_EQ(loaded->StackMode, 2);
  EXPECT_EQ(loaded->TopCRPercentage, stored->CRPercentageOnLayer[1]);
  EXPECT_EQ(loaded->MidCRPercentage, stored->CRPercentageOnLayer[31]);  // the last mid layer read
  EXPECT_EQ(loaded->BottomCRPercentage, stored->CRPercentageOnLayer[32]);
}

template <typename Outline>
void ExpectOutlineRoundTrip(std::uint8_t kind) {
  const std::uint32_t handle = New(kind);
  auto stored = std::make_unique<Outline>(handle);
  stored->Load();
  Filler fill(1000);
  objects_test::Visit(*stored, *stored, fill);
  stored->PointCount = 3;
  for (int i = 0; i <= 3; ++i) {
    stored->Segments[i] = {static_cast<std::uint8_t>(i % 2), 10 * i, 20 * i, 30 * i, 40 * i, 50 * i, 1.5 * i, 2.5 * i};
  }
  stored->Segments[4].X = 999;  // beyond PointCount: not the host's business
  stored->Store();

  auto loaded = std::make_unique<Outline>(handle);
  loaded->Segments[4].X = 777;  // a wrapper's entries beyond PointCount are its own
  loaded->Load();
  Comparer compare;
  objects_test::Visit(*stored, *loaded, compare);
  EXPECT_EQ(loaded->PointCount, 3);
  // Whole entries compared as the host lays them out (the packed fields cannot be bound to
  // references).
  for (int i = 0; i <= 3; ++i) {
    EXPECT_EQ(std::memcmp(&stored->Segments[i], &loaded->Segments[i], sizeof(TSegment)), 0) << "segment " << i;
  }
  EXPECT_EQ(std::int32_t{loaded->Segments[3].CentreY}, 120);
  EXPECT_EQ(std::int32_t{loaded->Segments[4].X}, 777) << "the host gives no entry beyond PointCount";
}

TEST(ObjectRoundTrip, OutlinesKeepSegmentsUpToPointCount) {
  ExpectOutlineRoundTrip<TPcbPolygon>(10);
  ExpectOutlineRoundTrip<TPcbBoardOutline>(26);
  ExpectOutlineRoundTrip<TPcbSplitPlane>(22);
}

// An outline stored again and again as it grows and shrinks, as a reader filling a polygon
// might: each load gives exactly the segments of the last store, none left from a longer one.
TEST(ObjectRoundTrip, OutlineStoredAgainKeepsOnlyItsLastSegments) {
  const std::uint32_t handle = New(10);
  auto polygon = std::make_unique<TPcbPolygon>(handle);
  polygon->Load();
  for (const int count : {2, 40, 4999, 7, 5000, 0}) {
    SCOPED_TRACE(count);
    polygon->PointCount = count;
    for (int i = 0; i <= count; ++i) polygon->Segments[i] = {1, count, i, 0, 0, 0, 0.0, 0.0};
    polygon->Store();
    for (auto& segment : polygon->Segments) segment = {};
    polygon->Load();
    EXPECT_EQ(std::int32_t{polygon->Segments[count].Y}, count);
    EXPECT_EQ(std::int32_t{polygon->Segments[0].X}, count);
    if (count + 1 < kSegmentCount) {
      EXPECT_EQ(std::int32_t{polygon->Segments[count + 1].X}, 0) << "a segment of an earlier, longer store";
    }
  }
}

// New rules start with the same scopes ("All"); one rule writing its own leaves the others'.
TEST(ObjectRoundTrip, InitialTextIsEachObjectsOwnOnceWritten) {
  orv::Model& model = orv::Server();
  const std::uint32_t first = model.Create(KindCode(ObjectKind::kRule));
  const std::uint32_t second = model.Create(KindCode(ObjectKind::kRule));
  model.SetText(first, "Scope1", "HasPad('U1-1')");
  model.SetText(second, "Scope2", "");
  EXPECT_EQ(model.GetText(first, "Scope1"), "HasPad('U1-1')");
  EXPECT_EQ(model.GetText(first, "Scope2"), "All");
  EXPECT_EQ(model.GetText(second, "Scope1"), "All");
  EXPECT_EQ(model.GetText(second, "Scope2"), "");
  EXPECT_EQ(model.GetText(model.Create(KindCode(ObjectKind::kRule)), "Scope1"), "All");
  // Written back longer and shorter in place, the text stays the object's own.
  model.SetText(second, "Scope1", "A");
  model.SetText(second, "Scope1", "InNet('GND') or InNet('VCC')");
  EXPECT_EQ(model.GetText(second, "Scope1"), "InNet('GND') or InNet('VCC')");
  EXPECT_EQ(model.GetText(first, "Scope1"), "HasPad('U1-1')");
}

TEST(ObjectRoundTrip, DimensionKeepsItsReferences) {
  const std::uint32_t handle = New(13);
  auto stored = std::make_unique<TPcbDimension>(handle);
  stored->Load();
  EXPECT_TRUE(stored->References.empty());
  Filler fill(1300);
  objects_test::Visit(*stored, *stored, fill);
  stored->References = {{1, 2, 3, 4}, {5, 6, 7, 8}, {-9, 10, -11, 12}};
  stored->Store();

  auto loaded = std::make_unique<TPcbDimension>(handle);
  loaded->Load();
  Comparer compare;
  objects_test::Visit(*stored, *loaded, compare);
  EXPECT_EQ(loaded->References, stored->References);

  // The host holds at most 1024 reference points; a load takes what the host says it has.
  stored->References.assign(2000, {1, 1, 1, 1});
  stored->Store();
  loaded->Load();
  EXPECT_EQ(loaded->References.size(), 1024u);
}

TEST(ObjectRoundTrip, ClassKeepsItsMembersInOrder) {
  const std::uint32_t handle = New(15);
  TPCBObjectClass stored(handle);
  stored.Members = {"GND", "VCC", std::string(300, 'n')};
  stored.Store();
  TPCBObjectClass loaded(handle);
  loaded.Load();
  ASSERT_EQ(loaded.Members.size(), 3u);
  EXPECT_EQ(loaded.Members[0], "GND");
  EXPECT_EQ(loaded.Members[1], "VCC");
  EXPECT_EQ(loaded.Members[2], std::string(255, 'n'));  // cut to a counted string
}

// Every value the host holds for an object, the unnamed ones included, comes back unchanged
// from a load followed by a store through the kind's wrapper.
TEST(ObjectRoundTrip, LoadThenStoreChangesNothingInTheHost) {
  orv::Model& model = orv::Server();
  for (std::uint8_t kind : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 26}) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    const std::uint32_t handle = kind == KindCode(ObjectKind::kRule) ? host::PcbApi_CreateRuleObject(2) : New(kind);
    const orv::Layout& layout = model.LayoutOf(kind);
    int next = 7;
    auto expected = [&](const orv::FieldSlot& slot) -> double {
      if (slot.def.name == "Layer") return 1 + next % 82;
      if (slot.def.name == "StackMode") return 2;
      if (slot.def.type == orv::FieldType::kF64) return next + 0.5;
      if (slot.def.type == orv::FieldType::kI32) return -next;
      return next % 250 + 1;
    };
    for (const orv::FieldSlot& slot : layout.slots) {
      for (std::uint32_t i = 1; i <= slot.instances; ++i, ++next) {
        if (slot.def.type == orv::FieldType::kString) {
          model.SetText(handle, slot.def.name, "t" + std::to_string(next), i);
        } else if (slot.def.type != orv::FieldType::kSegments && slot.def.type != orv::FieldType::kBytes) {
          model.SetNumber(handle, slot.def.name, expected(slot), i);
        }
      }
    }
    std::unique_ptr<TPCBObject> wrapper = MakeWrapper(kind, handle);
    ASSERT_TRUE(wrapper);
    wrapper->Load();
    wrapper->Store();
    next = 7;
    for (const orv::FieldSlot& slot : layout.slots) {
      for (std::uint32_t i = 1; i <= slot.instances; ++i, ++next) {
        if (slot.def.type == orv::FieldType::kString) {
          EXPECT_EQ(model.GetText(handle, slot.def.name, i), "t" + std::to_string(next)) << slot.def.name;
        } else if (slot.def.type != orv::FieldType::kSegments && slot.def.type != orv::FieldType::kBytes) {
          EXPECT_EQ(model.GetNumber(handle, slot.def.name, i), expected(slot)) << slot.def.name << " #" << i;
        }
      }
    }
  }
}

// Names longer than their record's room are cut, on the plug-in's side and in the host.
TEST(ObjectRoundTrip, StringsAreCutAtTheirCapacities) {
  const std::string long_text(300, 'x');
  struct Case {
    std::uint8_t kind;
    const char* field;
    std::size_t capacity;
  };
  constexpr Case kCases[] = {{2, "Name", 20}, {9, "Pattern", 250}, {5, "Text", 254}, {8, "Name", 255},
                             {15, "Name", 255}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.field);
    const std::uint32_t handle = New(c.kind);
    std::unique_ptr<TPCBObject> wrapper = MakeWrapper(c.kind, handle);
    wrapper->Load();
    if (auto* pad = dynamic_cast<TPcbPad*>(wrapper.get())) pad->Name.Assign(long_text);
    if (auto* component = dynamic_cast<TPcbComponent*>(wrapper.get())) component->Pattern.Assign(long_text);
    if (auto* text = dynamic_cast<TPcbText*>(wrapper.get())) text->Text.Assign(long_text);
    if (auto* net = dynamic_cast<TPcbNet*>(wrapper.get())) net->Name.Assign(long_text);
    if (auto* object_class = dynamic_cast<TPCBObjectClass*>(wrapper.get())) object_class->Name.Assign(long_text);
    wrapper->Store();
    EXPECT_EQ(orv::Server().GetText(handle, c.field), long_text.substr(0, c.capacity));
  }
}

TEST(ObjectRoundTrip, TextDisplayStringIsTheHostsTextAtMost254) {
  const std::uint32_t handle = New(5);
  TPcbText text(handle);
  text.Load();
  EXPECT_EQ(text.FontName, "Arial");
  text.Text.Assign(std::string(254, 'd'));
  text.Store();
  EXPECT_EQ(text.DisplayString.View(), std::string(254, 'd'));
  TPcbText loaded(handle);
  loaded.Load();
  EXPECT_EQ(loaded.DisplayString.Length(), 254u);
}

}  // namespace

namespace {

// A wrapper stores each field under its own name: a record whose pointers were swapped would
// still round-trip through the wrapper, but not show the right values in the host.
using Expected = std::vector<std::pair<const char*, double>>;

void ExpectHostHas(std::uint32_t handle, const Expected& expected) {
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(orv::Server().GetNumber(handle, name), value) << name;
  }
}

TEST(ObjectRoundTrip, NamedFieldsReachTheHostUnderTheirNames) {
  TPcbTrack track(New(4));
  track.Flags = 1, track.Index = 2, track.SetLayerNumber(3), track.Net = 4, track.Tag = 5, track.Component = 6;
  track.X = 7, track.Y = 8, track.X2 = 9, track.Y2 = 10, track.Width = 11, track.Polygon = 12;
  track.Coordinate = 13, track.Dimension = 14;
  track.Store();
  ExpectHostHas(track.Handle, {{"Flags", 1}, {"Index", 2}, {"Layer", 3}, {"Net", 4}, {"Tag", 5}, {"Component", 6},
                               {"X", 7}, {"Y", 8}, {"X2", 9}, {"Y2", 10}, {"Width", 11}, {"Polygon", 12},
                               {"Coordinate", 13}, {"Dimension", 14}});

  TPcbArc arc(New(1));
  arc.X = 1, arc.Y = 2, arc.Radius = 3, arc.StartAngle = 4.5, arc.EndAngle = 5.5, arc.Width = 6, arc.Polygon = 7;
  arc.Store();
  ExpectHostHas(arc.Handle, {{"X", 1}, {"Y", 2}, {"Radius", 3}, {"StartAngle", 4.5}, {"EndAngle", 5.5},
                             {"Width", 6}, {"Polygon", 7}});

  TPcbVia via(New(3));
  via.SetLayerNumber(74), via.Net = 1, via.Tag = 2, via.Component = 3, via.X = 4, via.Y = 5, via.Size = 6;
  via.HoleSize = 7, via.LowLayer = 8, via.HighLayer = 9, via.ExtraFlag1 = 10, via.ExtraFlag2 = 11;
  via.Store();
  ExpectHostHas(via.Handle, {{"Layer", 74}, {"Net", 1}, {"Tag", 2}, {"Component", 3}, {"X", 4}, {"Y", 5},
                             {"Size", 6}, {"HoleSize", 7}, {"LowLayer", 8}, {"HighLayer", 9}, {"ExtraFlag1", 10},
                             {"ExtraFlag2", 11}});

  TPcbFill fill(New(6));
  fill.X = 1, fill.Y = 2, fill.X2 = 3, fill.Y2 = 4, fill.Polygon = 5, fill.Rotation = 45;
  fill.Store();
  ExpectHostHas(fill.Handle, {{"X", 1}, {"Y", 2}, {"X2", 3}, {"Y2", 4}, {"Polygon", 5}, {"Rotation", 45}});

  TPcbText text(New(5));
  text.X = 1, text.Y = 2, text.Height = 3, text.FontStyle = 4, text.Rotation = 5, text.Mirrored = 6;
  text.Width = 7, text.Coordinate = 8, text.Dimension = 9;
  text.Store();
  ExpectHostHas(text.Handle, {{"X", 1}, {"Y", 2}, {"Height", 3}, {"FontStyle", 4}, {"Rotation", 5},
                              {"Mirrored", 6}, {"Width", 7}, {"Coordinate", 8}, {"Dimension", 9}});

  TPcbPad pad(New(2));
  pad.Load();
  pad.XSizeTop = 1, pad.YSizeTop = 2, pad.XSizeMid = 3, pad.YSizeMid = 4, pad.XSizeBottom = 5;
  pad.YSizeBottom = 6, pad.HoleSize = 7, pad.ShapeTop = 8, pad.ShapeMid = 9, pad.ShapeBottom = 10;
  pad.Rotation = 11, pad.ExtraFlag1 = 12, pad.ExtraFlag2 = 13, pad.Value30 = 14.5;
  pad.Store();
  ExpectHostHas(pad.Handle, {{"XSizeTop", 1}, {"YSizeTop", 2}, {"XSizeMid", 3}, {"YSizeMid", 4}, {"XSizeBottom", 5},
                             {"YSizeBottom", 6}, {"HoleSize", 7}, {"ShapeTop", 8}, {"ShapeMid", 9},
                             {"ShapeBottom", 10}, {"Rotation", 11}, {"ExtraFlag1", 12}, {"ExtraFlag2", 13},
                             {"Value30", 14.5}});

  TPcbComponent component(New(9));
  component.SetLayerNumber(32), component.Tag = 1, component.NameText = 2, component.CommentText = 3;
  component.NameShown = 4, component.CommentShown = 5, component.X = 6, component.Y = 7, component.Rotation = 8;
  component.ExtraAttribute = 9;
  component.Store();
  ExpectHostHas(component.Handle, {{"Layer", 32}, {"Tag", 1}, {"NameText", 2}, {"CommentText", 3},
                                   {"NameShown", 4}, {"CommentShown", 5}, {"X", 6}, {"Y", 7}, {"Rotation", 8},
                                   {"ExtraAttribute", 9}});

  TPcbPolygon polygon(New(10));
  polygon.PolygonFlag1 = 1, polygon.PolygonFlag4 = 2, polygon.PolygonFlag5 = 3, polygon.GridSize = 4;
  polygon.TrackSize = 5, polygon.HatchStyle = 6, polygon.MinPrimLength = 7, polygon.PointCount = 0;
  polygon.Store();
  ExpectHostHas(polygon.Handle, {{"PolygonFlag1", 1}, {"PolygonFlag4", 2}, {"PolygonFlag5", 3}, {"GridSize", 4},
                                 {"TrackSize", 5}, {"HatchStyle", 6}, {"MinPrimLength", 7}, {"PointCount", 0}});

  TPcbNet net(New(8));
  net.Index = 3, net.Attribute = 0xFFFFFFF0u;
  net.Store();
  ExpectHostHas(net.Handle, {{"Index", 3}, {"Attribute", 0xFFFFFFF0u}});
}

// The five values of coordinates and dimensions reach the host as one list each.
TEST(ObjectRoundTrip, CoordinateAndDimensionValuesAreLists) {
  TPcbCoordinate coordinate(New(14));
  coordinate.X = 1, coordinate.Y = 2, coordinate.SetLayerNumber(57), coordinate.CoordinateStyle = 9;
  coordinate.CoordinateValues = {10, 20, 30, 40, 1500};
  coordinate.Store();
  ExpectHostHas(coordinate.Handle, {{"X", 1}, {"Y", 2}, {"Layer", 57}, {"CoordinateValues#1", 10},
                                    {"CoordinateValues#5", 1500}, {"CoordinateStyle", 9}});
  TPcbDimension dimension(New(13));
  dimension.X2 = 3, dimension.Y2 = 4, dimension.DimensionValues = {5, 6, 7, 8, 9}, dimension.DimensionStyle = 2;
  dimension.Store();
  ExpectHostHas(dimension.Handle, {{"X2", 3}, {"Y2", 4}, {"DimensionValues#1", 5}, {"DimensionValues#5", 9},
                                   {"DimensionStyle", 2}});
}

}  // namespace
