// Object record schemas of the stand-in server: one per exchange function of the object kinds,
// with the field names the board document shows, and the values a new object of each kind holds.
//
// Fields are stored per object by name, so a name means one value of one width everywhere it
// appears: Flags, Index, Layer, Net, Tag, Component, X, Y ... are the same in every record.
// Unnamed record values are called Value<k> after their position in the main record, and after
// their companion function otherwise (TrueTypeValue<k>, ExtValue<k>, ...). Layer is kept as a
// one-byte layer number; the via and component records exchange it as such (their shims convert),
// the others as a layer identifier. Fields named "Name#k" are shown as one list "Name".
#include <string>
#include <vector>

#include "host/api/vocabulary.h"
#include "standin/orvpcb/schema_areas.h"

namespace orv {
namespace {

using T = FieldType;

// The host's kind codes under short names, for the schema tables below.
constexpr std::uint8_t kArc = KindCode(ObjectKind::kArc), kPad = KindCode(ObjectKind::kPad),
                       kVia = KindCode(ObjectKind::kVia), kTrack = KindCode(ObjectKind::kTrack),
                       kText = KindCode(ObjectKind::kText), kFill = KindCode(ObjectKind::kFill),
                       kFromTo = KindCode(ObjectKind::kFromTo), kNet = KindCode(ObjectKind::kNet),
                       kComponent = KindCode(ObjectKind::kComponent), kPolygon = KindCode(ObjectKind::kPolygon),
                       kRegion = KindCode(ObjectKind::kRegion), kComponentBody = KindCode(ObjectKind::kComponentBody),
                       kDimension = KindCode(ObjectKind::kDimension), kCoordinate = KindCode(ObjectKind::kCoordinate),
                       kObjectClass = KindCode(ObjectKind::kObjectClass),
                       kManualFromTo = KindCode(ObjectKind::kManualFromTo),
                       kDifferentialPair = KindCode(ObjectKind::kDifferentialPair),
                       kViolation = KindCode(ObjectKind::kViolation), kEmbedded = KindCode(ObjectKind::kEmbedded),
                       kEmbeddedBoard = KindCode(ObjectKind::kEmbeddedBoard),
                       kSplitPlane = KindCode(ObjectKind::kSplitPlane),
                       kBoardOutline = KindCode(ObjectKind::kBoardOutline);

constexpr double kMil = 10000;  // host units per mil

FieldDef F(std::string name, FieldType type, std::uint16_t size = 0) {
  FieldDef def;
  def.name = std::move(name);
  def.type = type;
  def.size = size;
  return def;
}

FieldDef Str(std::string name, std::uint16_t capacity = 255) { return F(std::move(name), T::kString, capacity); }

// name1 .. nameN (or "name#1" .. for lists) of one type.
void Numbered(std::vector<FieldDef>& fields, const std::string& prefix, int first, int last, FieldType type,
              std::uint16_t size = 0) {
  for (int k = first; k <= last; ++k) fields.push_back(F(prefix + std::to_string(k), type, size));
}

std::vector<FieldDef> Join(std::vector<FieldDef> a, const std::vector<FieldDef>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Flags, Index, Layer, Net, Tag, Component: the head of most primitive records.
std::vector<FieldDef> Head() {
  return {F("Flags", T::kU16), F("Index", T::kU16), F("Layer", T::kLayerId),
          F("Net", T::kI32),   F("Tag", T::kU8),    F("Component", T::kU32)};
}

std::vector<FieldDef> Point(const char* x, const char* y) { return {F(x, T::kI32), F(y, T::kI32)}; }

void Add(Model& model, const char* function, std::vector<FieldDef> fields, std::vector<std::uint8_t> kinds) {
  model.AddSchema(Schema{function, std::move(fields)}, std::move(kinds));
}

void RegisterCommon(Model& model) {
  std::vector<std::uint8_t> wrapped;  // every kind that has a wrapper class
  for (std::uint8_t kind = kArc; kind <= kSplitPlane; ++kind) wrapped.push_back(kind);
  wrapped.push_back(kBoardOutline);
  Add(model, "PcbApi_GetObjectBitField2", {F("BitField2", T::kU8)}, wrapped);
  Add(model, "PcbApi_GetObjectBitField3", {F("BitField3", T::kU8)}, wrapped);
  // The base record; its fields are those of the kinds' own records (rules are not primitives).
  Add(model, "PcbApi_QueryPrimitive",
      {F("Flags", T::kU16), F("Index", T::kU16), F("Layer", T::kLayerId), F("Net", T::kI32),
       F("Component", T::kU32), F("Tag", T::kU8)},
      {kArc, kPad, kVia, kTrack, kText, kFill, kRegion, kComponentBody, kDifferentialPair});
}

void RegisterPrimitives(Model& model) {
  Add(model, "PcbApi_QueryTrack",
      Join(Join(Head(), Point("X", "Y")),
           {F("X2", T::kI32), F("Y2", T::kI32), F("Width", T::kI32), F("Polygon", T::kI32), F("Coordinate", T::kI32),
            F("Dimension", T::kI32)}),
      {kTrack});
  Add(model, "PcbApi_QueryArc",
      Join(Join(Head(), Point("X", "Y")),
           {F("Radius", T::kI32), F("StartAngle", T::kF64), F("EndAngle", T::kF64), F("Width", T::kI32),
            F("Polygon", T::kI32)}),
      {kArc});
  Add(model, "PcbApi_QueryVia",
      Join(Join(Head(), Point("X", "Y")),
           {F("Size", T::kI32), F("HoleSize", T::kI32), F("LowLayer", T::kU8), F("HighLayer", T::kU8),
            F("ExtraFlag1", T::kU8), F("ExtraFlag2", T::kU8)}),
      {kVia});
  Add(model, "PcbApi_QueryFill",
      Join(Join(Head(), Point("X", "Y")),
           {F("X2", T::kI32), F("Y2", T::kI32), F("Polygon", T::kI32), F("Rotation", T::kF64)}),
      {kFill});

  Add(model, "PcbApi_QueryText",
      Join(Join(Head(), Point("X", "Y")),
           {F("Height", T::kI32), F("FontStyle", T::kI32), F("Rotation", T::kF64), F("Mirrored", T::kU8),
            Str("Text", 254), F("Width", T::kI32), F("Coordinate", T::kI32), F("Dimension", T::kI32)}),
      {kText});
  Add(model, "PcbApi_QueryTrueTypeTextInfo",
      {F("TrueTypeValue1", T::kU8), Str("FontName"), F("TrueTypeValue3", T::kU8), F("TrueTypeValue4", T::kU8),
       F("TrueTypeValue5", T::kU8), F("TrueTypeValue6", T::kU8)},
      {kText});
  Add(model, "PcbApi_QueryBarCodeTextInfo",
      {F("BarCodeValue1", T::kU8), F("BarCodeValue2", T::kU8), F("BarCodeValue3", T::kU8),
       F("BarCodeValue4", T::kI32)},
      {kText});

  // New vias go through every layer; new texts are 60 mil high on the top overlay.
  model.SetInitial(kVia, "Layer", 74);
  model.SetInitial(kVia, "LowLayer", 1);
  model.SetInitial(kVia, "HighLayer", 32);
  model.SetInitial(kVia, "Size", 50 * kMil);
  model.SetInitial(kVia, "HoleSize", 28 * kMil);
  for (std::uint8_t kind : {kTrack, kArc}) {
    model.SetInitial(kind, "Layer", 1);
    model.SetInitial(kind, "Width", 10 * kMil);
  }
  model.SetInitial(kArc, "EndAngle", 360);
  model.SetInitial(kFill, "Layer", 1);
  model.SetInitial(kText, "Layer", 33);
  model.SetInitial(kText, "Height", 60 * kMil);
  model.SetInitial(kText, "Width", 10 * kMil);
  model.SetInitialText(kText, "FontName", "Arial");
}

void RegisterPads(Model& model) {
  std::vector<FieldDef> pad = Join(Head(), Point("X", "Y"));
  for (const char* name : {"XSizeTop", "YSizeTop", "XSizeMid", "YSizeMid", "XSizeBottom", "YSizeBottom", "HoleSize"}) {
    pad.push_back(F(name, T::kI32));
  }
  pad = Join(pad, {F("ShapeTop", T::kU8), F("ShapeMid", T::kU8), F("ShapeBottom", T::kU8), Str("Name", 20),
                   F("Value20", T::kU8), F("Rotation", T::kF64), F("Value22", T::kU8), Str("Value23", 20),
                   Str("Value24", 20), F("Value25", T::kI32), F("Value26", T::kI32), F("Value27", T::kU8),
                   F("Value28", T::kU8), F("Value29", T::kI32), F("Value30", T::kF64), F("Value31", T::kI32),
                   F("Value32", T::kI32), F("Value33", T::kI32), F("ExtraFlag1", T::kU8), F("ExtraFlag2", T::kU8)});
  Add(model, "PcbApi_QueryPad", std::move(pad), {kPad});
  Add(model, "PcbApi_QueryPadStackMode", {F("StackMode", T::kU8)}, {kPad});
  // A new pad: round, 60 mil across with a 30 mil hole through every layer, one simple stack. Its
  // per-layer values are kept apart (object_api_pads.cpp).
  model.SetInitial(kPad, "Layer", 74);
  for (const char* name : {"XSizeTop", "YSizeTop", "XSizeMid", "YSizeMid", "XSizeBottom", "YSizeBottom"}) {
    model.SetInitial(kPad, name, 60 * kMil);
  }
  model.SetInitial(kPad, "HoleSize", 30 * kMil);
  for (const char* name : {"ShapeTop", "ShapeMid", "ShapeBottom"}) model.SetInitial(kPad, name, 1);
  model.SetInitial(kPad, "StackMode", 0);
}

void RegisterGroups(Model& model) {
  Add(model, "PcbApi_QueryComponentChannelOffset", {F("ChannelOffset", T::kI32)}, {kComponent});
  Add(model, "PcbApi_QueryComponentKind", {F("ComponentKind", T::kI32)}, {kComponent});
  Add(model, "PcbApi_QueryComponent",
      {F("Flags", T::kU16), F("Index", T::kU16), F("Layer", T::kLayerId), F("Tag", T::kU8), F("NameText", T::kU32),
       F("CommentText", T::kU32), Str("Pattern", 250), F("NameShown", T::kU8), F("CommentShown", T::kU8),
       F("X", T::kI32), F("Y", T::kI32), F("Value12", T::kI32), F("Rotation", T::kF64),
       F("ExtraAttribute", T::kU8)},
      {kComponent});
  Add(model, "PcbApi_QueryComponentEx",
      {F("ExValue1", T::kI32), F("ExValue2", T::kU8), F("ExValue3", T::kU8), F("ExValue4", T::kU8)}, {kComponent});
  std::vector<FieldDef> links;
  Numbered(links, "SourceLinks#", 1, 8, T::kString, 255);
  Add(model, "PcbApi_QueryComponentSourceLinks", std::move(links), {kComponent});
  Add(model, "PcbApi_QueryDefaultPCB3DModel", {Str("DefaultPCB3DModel")}, {kComponent});
  model.SetInitial(kComponent, "Layer", 1);
  model.SetInitial(kComponent, "NameShown", 1);

  Add(model, "PcbApi_QueryNet", {F("Index", T::kU16), Str("Name"), F("Value3", T::kU8), F("Attribute", T::kU32)},
      {kNet});
  Add(model, "PcbApi_QueryClass", {F("Index", T::kU16), F("Value2", T::kU8), F("Value3", T::kU8), Str("Name")},
      {kObjectClass});

  const std::vector<FieldDef> outline_head = {F("Flags", T::kU16), F("Index", T::kU16), F("Layer", T::kLayerId),
                                              F("Net", T::kI32), F("Tag", T::kU8)};
  Add(model, "PcbApi_QueryPolygon",
      Join(outline_head, {F("PolygonFlag1", T::kU8), F("PolygonFlag4", T::kU8), F("PolygonFlag5", T::kU8),
                          F("GridSize", T::kI32), F("TrackSize", T::kI32), F("Value11", T::kU8),
                          F("HatchStyle", T::kU8), F("MinPrimLength", T::kI32), F("Value14", T::kU8),
                          F("PointCount", T::kI32), F("Segments", T::kSegments)}),
      {kPolygon, kBoardOutline});
  Add(model, "PcbApi_QuerySplitPlane",
      Join(outline_head, {F("Value6", T::kU8), F("PointCount", T::kI32), F("Segments", T::kSegments)}),
      {kSplitPlane});
  model.SetInitial(kPolygon, "Layer", 1);
  model.SetInitial(kPolygon, "GridSize", 20 * kMil);
  model.SetInitial(kPolygon, "TrackSize", 8 * kMil);
  model.SetInitial(kSplitPlane, "Layer", 39);

  Add(model, "PcbApi_QueryRegion",
      Join(Join({F("Value1", T::kU8)}, Head()), {F("Value8", T::kI32), F("Value9", T::kI32), F("Value10", T::kI32),
                                                   F("Value11", T::kI32), F("Value12", T::kI32),
                                                   F("Value13", T::kI32)}),
      {kRegion});

  std::vector<FieldDef> coordinate = {F("Flags", T::kU16), F("Index", T::kU16), F("Tag", T::kU8), F("X", T::kI32),
                                      F("Y", T::kI32), F("Layer", T::kLayerId)};
  Numbered(coordinate, "CoordinateValues#", 1, 5, T::kI32);
  coordinate.push_back(F("CoordinateStyle", T::kI32));
  Add(model, "PcbApi_QueryCoordinate", std::move(coordinate), {kCoordinate});

  std::vector<FieldDef> dimension = {F("Flags", T::kU16), F("Index", T::kU16), F("Tag", T::kU8), F("X", T::kI32),
                                     F("Y", T::kI32),     F("X2", T::kI32),    F("Y2", T::kI32),
                                     F("Layer", T::kLayerId)};
  Numbered(dimension, "DimensionValues#", 1, 5, T::kI32);
  dimension.push_back(F("DimensionStyle", T::kI32));
  Add(model, "PcbApi_QueryDimension", std::move(dimension), {kDimension});
  // Reference points are lists beside the model (object_api.cpp).
  std::vector<FieldDef> ext;
  Numbered(ext, "ExtValue", 1, 19, T::kI32);
  Add(model, "PcbApi_QueryExtDimension", std::move(ext), {kDimension});
  for (std::uint8_t kind : {kCoordinate, kDimension}) model.SetInitial(kind, "Layer", 57);
}

void RegisterOthers(Model& model) {
  std::vector<FieldDef> rule = {F("RuleKind", T::kU8)};
  Numbered(rule, "Value", 2, 7, T::kU8);
  Numbered(rule, "Value", 8, 11, T::kString, 255);
  Numbered(rule, "Value", 12, 13, T::kU8);
  Numbered(rule, "Value", 14, 17, T::kI32);
  Numbered(rule, "Value", 18, 23, T::kString, 255);
  Add(model, "PcbApi_QueryRule", std::move(rule), {KindCode(ObjectKind::kRule)});
  // The extended record's first byte is the rule's layer number.
  Add(model, "PcbApi_QueryRuleEx",
      {F("Layer", T::kU8), F("RuleExValue2", T::kU8), F("RuleExValue3", T::kI32), F("RuleExValue4", T::kU8),
       Str("Scope1"), Str("Scope2")},
      {KindCode(ObjectKind::kRule)});
  Add(model, "PcbApi_QueryRuleExtEx", {Str("RuleName")}, {KindCode(ObjectKind::kRule)});
  model.SetInitial(KindCode(ObjectKind::kRule), "Layer", 74);
  model.SetInitial(KindCode(ObjectKind::kRule), "RuleExValue3", -1);
  model.SetInitialText(KindCode(ObjectKind::kRule), "Scope1", "All");
  model.SetInitialText(KindCode(ObjectKind::kRule), "Scope2", "All");

  Add(model, "PcbApi_QueryFromTo",
      {F("Index", T::kU16), F("X", T::kI32), F("Y", T::kI32), F("Value4", T::kU8), F("X2", T::kI32),
       F("Y2", T::kI32), F("Value7", T::kU8), F("Net", T::kI32)},
      {kFromTo});
  Add(model, "PcbApi_QueryManualFromTo",
      {F("Index", T::kU16), Str("Value2"), Str("Value3"), Str("Value4"), Str("Value5")}, {kManualFromTo});
  Add(model, "PcbApi_QueryViolation",
      {F("Flags", T::kU16), F("Index", T::kU16), F("Layer", T::kLayerId), Str("Name"), Str("Value5"),
       F("Value6", T::kU32), F("Value7", T::kU32)},
      {kViolation});
  Add(model, "PcbApi_QueryEmbedded",
      {F("Flags", T::kU16), F("Index", T::kU16), F("Layer", T::kLayerId), F("Tag", T::kU8), Str("Name"),
       Str("Value6")},
      {kEmbedded});
  Add(model, "PcbApi_QueryEmbeddedBoard",
      {F("Flags", T::kU16), F("Index", T::kU16), F("Layer", T::kLayerId), F("X", T::kI32), F("Y", T::kI32),
       F("Value6", T::kI32), F("Value7", T::kI32), F("Value8", T::kI32), F("Value9", T::kI32),
       F("Rotation", T::kF64), Str("Name")},
      {kEmbeddedBoard});
}

}  // namespace

void RegisterObjectSchemas(Model& model) {
  RegisterCommon(model);
  RegisterPrimitives(model);
  RegisterPads(model);
  RegisterGroups(model);
  RegisterOthers(model);
}

}  // namespace orv
