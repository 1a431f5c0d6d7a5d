// The stand-in server's object record functions that are plain exchanges of one record: each
// hands its field pointers, in record order, to the model (schemas in object_schemas.cpp).
#include <type_traits>

#include "host/api/objects.h"
#include "standin/orvpcb/exchange.h"

using api::F64;
using api::I32;
using api::Str;
using api::U16;
using api::U32;
using api::U8;
using orv::ExchangeRecord;
using orv::SchemaId;

extern "C" {

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_GetObjectBitField2(U8 dir, U32 handle, U8* BitField2) {
  static const int schema = SchemaId("PcbApi_GetObjectBitField2");
  return ExchangeRecord(schema, dir, handle, BitField2);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_GetObjectBitField3(U8 dir, U32 handle, U8* BitField3) {
  static const int schema = SchemaId("PcbApi_GetObjectBitField3");
  return ExchangeRecord(schema, dir, handle, BitField3);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPrimitive(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                           I32* Net, U32* Component, U8* Tag) {
  static const int schema = SchemaId("PcbApi_QueryPrimitive");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Net, Component, Tag);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryTrack(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                       I32* Net, U8* Tag, U32* Component, I32* X, I32* Y, I32* X2,
                                                       I32* Y2, I32* Width, I32* Polygon, I32* Coordinate,
                                                       I32* Dimension) {
  static const int schema = SchemaId("PcbApi_QueryTrack");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Net, Tag, Component, X, Y, X2, Y2, Width, Polygon,
                        Coordinate, Dimension);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryArc(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                                     U8* Tag, U32* Component, I32* X, I32* Y, I32* Radius,
                                                     F64* StartAngle, F64* EndAngle, I32* Width, I32* Polygon) {
  static const int schema = SchemaId("PcbApi_QueryArc");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Net, Tag, Component, X, Y, Radius, StartAngle,
                        EndAngle, Width, Polygon);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryFill(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                      I32* Net, U8* Tag, U32* Component, I32* X, I32* Y, I32* X2,
                                                      I32* Y2, I32* Polygon, F64* Rotation) {
  static const int schema = SchemaId("PcbApi_QueryFill");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Net, Tag, Component, X, Y, X2, Y2, Polygon,
                        Rotation);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryText(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                      I32* Net, U8* Tag, U32* Component, I32* X, I32* Y, I32* Height,
                                                      I32* FontStyle, F64* Rotation, U8* Mirrored, Str* Text,
                                                      I32* Width, I32* Coordinate, I32* Dimension) {
  static const int schema = SchemaId("PcbApi_QueryText");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Net, Tag, Component, X, Y, Height, FontStyle,
                        Rotation, Mirrored, Text, Width, Coordinate, Dimension);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryTrueTypeTextInfo(U8 dir, U32 handle, U8* Value1, Str* Value2,
                                                                  U8* Value3, U8* Value4, U8* Value5, U8* Value6) {
  static const int schema = SchemaId("PcbApi_QueryTrueTypeTextInfo");
  return ExchangeRecord(schema, dir, handle, Value1, Value2, Value3, Value4, Value5, Value6);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryBarCodeTextInfo(U8 dir, U32 handle, U8* Value1, U8* Value2,
                                                                 U8* Value3, I32* Value4) {
  static const int schema = SchemaId("PcbApi_QueryBarCodeTextInfo");
  return ExchangeRecord(schema, dir, handle, Value1, Value2, Value3, Value4);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPad(
    U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net, U8* Tag, U32* Component, I32* X, I32* Y,
    I32* XSizeTop, I32* YSizeTop, I32* XSizeMid, I32* YSizeMid, I32* XSizeBottom, I32* YSizeBottom, I32* HoleSize,
    U8* ShapeTop, U8* ShapeMid, U8* ShapeBottom, Str* Name, U8* Value20, F64* Rotation, U8* Value22, Str* Value23,
    Str* Value24, I32* Value25, I32* Value26, U8* Value27, U8* Value28, I32* Value29, F64* Value30, I32* Value31,
    I32* Value32, I32* Value33, U8* ExtraFlag1, U8* ExtraFlag2) {
  static const int schema = SchemaId("PcbApi_QueryPad");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Net, Tag, Component, X, Y, XSizeTop, YSizeTop,
                        XSizeMid, YSizeMid, XSizeBottom, YSizeBottom, HoleSize, ShapeTop, ShapeMid, ShapeBottom, Name,
                        Value20, Rotation, Value22, Value23, Value24, Value25, Value26, Value27, Value28, Value29,
                        Value30, Value31, Value32, Value33, ExtraFlag1, ExtraFlag2);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPadStackMode(U8 dir, U32 handle, U8* StackMode) {
  static const int schema = SchemaId("PcbApi_QueryPadStackMode");
  return ExchangeRecord(schema, dir, handle, StackMode);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryComponentChannelOffset(U8 dir, U32 handle, I32* ChannelOffset) {
  static const int schema = SchemaId("PcbApi_QueryComponentChannelOffset");
  return ExchangeRecord(schema, dir, handle, ChannelOffset);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryComponentKind(U8 dir, U32 handle, I32* ComponentKind) {
  static const int schema = SchemaId("PcbApi_QueryComponentKind");
  return ExchangeRecord(schema, dir, handle, ComponentKind);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryComponentEx(U8 dir, U32 handle, I32* Value1, U8* Value2, U8* Value3,
                                                             U8* Value4) {
  static const int schema = SchemaId("PcbApi_QueryComponentEx");
  return ExchangeRecord(schema, dir, handle, Value1, Value2, Value3, Value4);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryComponentSourceLinks(U8 dir, U32 handle, Str* Link1, Str* Link2,
                                                                      Str* Link3, Str* Link4, Str* Link5, Str* Link6,
                                                                      Str* Link7, Str* Link8) {
  static const int schema = SchemaId("PcbApi_QueryComponentSourceLinks");
  return ExchangeRecord(schema, dir, handle, Link1, Link2, Link3, Link4, Link5, Link6, Link7, Link8);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryDefaultPCB3DModel(U8 dir, U32 handle, Str* Model) {
  static const int schema = SchemaId("PcbApi_QueryDefaultPCB3DModel");
  return ExchangeRecord(schema, dir, handle, Model);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryNet(U8 dir, U32 handle, U16* Index, Str* Name, U8* Value3,
                                                     U32* Attribute) {
  static const int schema = SchemaId("PcbApi_QueryNet");
  return ExchangeRecord(schema, dir, handle, Index, Name, Value3, Attribute);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryClass(U8 dir, U32 handle, U16* Index, U8* Value2, U8* Value3,
                                                       Str* Name) {
  static const int schema = SchemaId("PcbApi_QueryClass");
  return ExchangeRecord(schema, dir, handle, Index, Value2, Value3, Name);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryPolygon(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                         I32* Net, U8* Tag, U8* PolygonFlag1, U8* PolygonFlag4,
                                                         U8* PolygonFlag5, I32* GridSize, I32* TrackSize, U8* Value11,
                                                         U8* HatchStyle, I32* MinPrimLength, U8* Value14,
                                                         I32* PointCount, TSegment* Segments) {
  static const int schema = SchemaId("PcbApi_QueryPolygon");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Net, Tag, PolygonFlag1, PolygonFlag4, PolygonFlag5,
                        GridSize, TrackSize, Value11, HatchStyle, MinPrimLength, Value14, PointCount, Segments);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QuerySplitPlane(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                            I32* Net, U8* Tag, U8* Value6, I32* PointCount,
                                                            TSegment* Segments) {
  static const int schema = SchemaId("PcbApi_QuerySplitPlane");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Net, Tag, Value6, PointCount, Segments);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryRegion(U8 dir, U32 handle, U8* Value1, U16* Flags, U16* Index,
                                                        U32* Layer, I32* Net, U8* Tag, U32* Component, I32* Value8,
                                                        I32* Value9, I32* Value10, I32* Value11, I32* Value12,
                                                        I32* Value13) {
  static const int schema = SchemaId("PcbApi_QueryRegion");
  return ExchangeRecord(schema, dir, handle, Value1, Flags, Index, Layer, Net, Tag, Component, Value8, Value9,
                        Value10, Value11, Value12, Value13);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryCoordinate(U8 dir, U32 handle, U16* Flags, U16* Index, U8* Tag,
                                                            I32* X, I32* Y, U32* Layer, I32* CoordinateValue1,
                                                            I32* CoordinateValue2, I32* CoordinateValue3,
                                                            I32* CoordinateValue4, I32* CoordinateValue5,
                                                            I32* CoordinateStyle) {
  static const int schema = SchemaId("PcbApi_QueryCoordinate");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Tag, X, Y, Layer, CoordinateValue1, CoordinateValue2,
                        CoordinateValue3, CoordinateValue4, CoordinateValue5, CoordinateStyle);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryDimension(U8 dir, U32 handle, U16* Flags, U16* Index, U8* Tag,
                                                           I32* X, I32* Y, I32* X2, I32* Y2, U32* Layer,
                                                           I32* DimensionValue1, I32* DimensionValue2,
                                                           I32* DimensionValue3, I32* DimensionValue4,
                                                           I32* DimensionValue5, I32* DimensionStyle) {
  static const int schema = SchemaId("PcbApi_QueryDimension");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Tag, X, Y, X2, Y2, Layer, DimensionValue1, DimensionValue2,
                        DimensionValue3, DimensionValue4, DimensionValue5, DimensionStyle);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryExtDimension(U8 dir, U32 handle, I32* Value1, I32* Value2,
                                                              I32* Value3, I32* Value4, I32* Value5, I32* Value6,
                                                              I32* Value7, I32* Value8, I32* Value9, I32* Value10,
                                                              I32* Value11, I32* Value12, I32* Value13, I32* Value14,
                                                              I32* Value15, I32* Value16, I32* Value17, I32* Value18,
                                                              I32* Value19) {
  static const int schema = SchemaId("PcbApi_QueryExtDimension");
  return ExchangeRecord(schema, dir, handle, Value1, Value2, Value3, Value4, Value5, Value6, Value7, Value8, Value9,
                        Value10, Value11, Value12, Value13, Value14, Value15, Value16, Value17, Value18, Value19);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryRule(U8 dir, U32 handle, U8* RuleKind, U8* Value2, U8* Value3,
                                                      U8* Value4, U8* Value5, U8* Value6, U8* Value7, Str* Value8,
                                                      Str* Value9, Str* Value10, Str* Value11, U8* Value12,
                                                      U8* Value13, I32* Value14, I32* Value15, I32* Value16,
                                                      I32* Value17, Str* Value18, Str* Value19, Str* Value20,
                                                      Str* Value21, Str* Value22, Str* Value23) {
  static const int schema = SchemaId("PcbApi_QueryRule");
  return ExchangeRecord(schema, dir, handle, RuleKind, Value2, Value3, Value4, Value5, Value6, Value7, Value8, Value9,
                        Value10, Value11, Value12, Value13, Value14, Value15, Value16, Value17, Value18, Value19,
                        Value20, Value21, Value22, Value23);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryRuleEx(U8 dir, U32 handle, U8* Value1, U8* Value2, I32* Value3,
                                                        U8* Value4, Str* Scope1, Str* Scope2) {
  static const int schema = SchemaId("PcbApi_QueryRuleEx");
  return ExchangeRecord(schema, dir, handle, Value1, Value2, Value3, Value4, Scope1, Scope2);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryRuleExtEx(U8 dir, U32 handle, Str* RuleName) {
  static const int schema = SchemaId("PcbApi_QueryRuleExtEx");
  return ExchangeRecord(schema, dir, handle, RuleName);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryFromTo(U8 dir, U32 handle, U16* Index, I32* X, I32* Y, U8* Value4,
                                                        I32* X2, I32* Y2, U8* Value7, I32* Net) {
  static const int schema = SchemaId("PcbApi_QueryFromTo");
  return ExchangeRecord(schema, dir, handle, Index, X, Y, Value4, X2, Y2, Value7, Net);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryManualFromTo(U8 dir, U32 handle, U16* Index, Str* Value2,
                                                              Str* Value3, Str* Value4, Str* Value5) {
  static const int schema = SchemaId("PcbApi_QueryManualFromTo");
  return ExchangeRecord(schema, dir, handle, Index, Value2, Value3, Value4, Value5);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryViolation(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                           Str* Name, Str* Value5, U32* Value6, U32* Value7) {
  static const int schema = SchemaId("PcbApi_QueryViolation");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Name, Value5, Value6, Value7);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryEmbedded(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                          U8* Tag, Str* Name, Str* Value6) {
  static const int schema = SchemaId("PcbApi_QueryEmbedded");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, Tag, Name, Value6);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryEmbeddedBoard(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                               I32* X, I32* Y, I32* Value6, I32* Value7, I32* Value8,
                                                               I32* Value9, F64* Rotation, Str* Name) {
  static const int schema = SchemaId("PcbApi_QueryEmbeddedBoard");
  return ExchangeRecord(schema, dir, handle, Flags, Index, Layer, X, Y, Value6, Value7, Value8, Value9, Rotation,
                        Name);
}

}  // extern "C"

// The definitions must match the signatures the plug-in binds.
static_assert(std::is_same_v<decltype(PcbApi_GetObjectBitField2), api::PcbApi_GetObjectBitField2>);
static_assert(std::is_same_v<decltype(PcbApi_GetObjectBitField3), api::PcbApi_GetObjectBitField3>);
static_assert(std::is_same_v<decltype(PcbApi_QueryPrimitive), api::PcbApi_QueryPrimitive>);
static_assert(std::is_same_v<decltype(PcbApi_QueryTrack), api::PcbApi_QueryTrack>);
static_assert(std::is_same_v<decltype(PcbApi_QueryArc), api::PcbApi_QueryArc>);
static_assert(std::is_same_v<decltype(PcbApi_QueryFill), api::PcbApi_QueryFill>);
static_assert(std::is_same_v<decltype(PcbApi_QueryText), api::PcbApi_QueryText>);
static_assert(std::is_same_v<decltype(PcbApi_QueryTrueTypeTextInfo), api::PcbApi_QueryTrueTypeTextInfo>);
static_assert(std::is_same_v<decltype(PcbApi_QueryBarCodeTextInfo), api::PcbApi_QueryBarCodeTextInfo>);
static_assert(std::is_same_v<decltype(PcbApi_QueryPad), api::PcbApi_QueryPad>);
static_assert(std::is_same_v<decltype(PcbApi_QueryPadStackMode), api::PcbApi_QueryPadStackMode>);
static_assert(std::is_same_v<decltype(PcbApi_QueryComponentChannelOffset), api::PcbApi_QueryComponentChannelOffset>);
static_assert(std::is_same_v<decltype(PcbApi_QueryComponentKind), api::PcbApi_QueryComponentKind>);
static_assert(std::is_same_v<decltype(PcbApi_QueryComponentEx), api::PcbApi_QueryComponentEx>);
static_assert(std::is_same_v<decltype(PcbApi_QueryComponentSourceLinks), api::PcbApi_QueryComponentSourceLinks>);
static_assert(std::is_same_v<decltype(PcbApi_QueryDefaultPCB3DModel), api::PcbApi_QueryDefaultPCB3DModel>);
static_assert(std::is_same_v<decltype(PcbApi_QueryNet), api::PcbApi_QueryNet>);
static_assert(std::is_same_v<decltype(PcbApi_QueryClass), api::PcbApi_QueryClass>);
static_assert(std::is_same_v<decltype(PcbApi_QueryPolygon), api::PcbApi_QueryPolygon>);
static_assert(std::is_same_v<decltype(PcbApi_QuerySplitPlane), api::PcbApi_QuerySplitPlane>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRegion), api::PcbApi_QueryRegion>);
static_assert(std::is_same_v<decltype(PcbApi_QueryCoordinate), api::PcbApi_QueryCoordinate>);
static_assert(std::is_same_v<decltype(PcbApi_QueryDimension), api::PcbApi_QueryDimension>);
static_assert(std::is_same_v<decltype(PcbApi_QueryExtDimension), api::PcbApi_QueryExtDimension>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRule), api::PcbApi_QueryRule>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleEx), api::PcbApi_QueryRuleEx>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleExtEx), api::PcbApi_QueryRuleExtEx>);
static_assert(std::is_same_v<decltype(PcbApi_QueryFromTo), api::PcbApi_QueryFromTo>);
static_assert(std::is_same_v<decltype(PcbApi_QueryManualFromTo), api::PcbApi_QueryManualFromTo>);
static_assert(std::is_same_v<decltype(PcbApi_QueryViolation), api::PcbApi_QueryViolation>);
static_assert(std::is_same_v<decltype(PcbApi_QueryEmbedded), api::PcbApi_QueryEmbedded>);
static_assert(std::is_same_v<decltype(PcbApi_QueryEmbeddedBoard), api::PcbApi_QueryEmbeddedBoard>);
