// Signatures of the host's object record functions: one exchange function per object kind, the
// companions of texts, pads, components, dimensions, object classes and rules, and the bit-field
// exchanges every wrapper makes first. Shared by the plug-in (host/object_calls.h binds them by
// name) and the stand-in server module (standin/orvpcb/object_api*.cpp implements them).
//
// Exchange functions take the direction (1: the host fills the caller's record, 0: the host takes
// it), the object handle, then one pointer per field in record order with the widths below; they
// return 0 when done. Layer fields typed std::uint32_t carry a layer identifier
// (host/api/layer_id.h), those typed std::uint8_t a one-byte layer number. Counted strings are
// passed by the address of their length byte; the comment gives the capacity the host honours.
#pragma once

#include <cstdint>

#include "host/abi.h"

// One element of the outline of a polygon or split plane, exactly as the host lays it out:
// 37 bytes, no padding, little-endian. The host reads and writes the caller's whole array
// (5001 entries) in place; entries 0 to PointCount are meaningful.
#pragma pack(push, 1)
struct TSegment {
  std::uint8_t SegmentKind;  // 0 straight vertex, 1 arc
  std::int32_t X;            // end point
  std::int32_t Y;
  std::int32_t CentreX;  // arc centre
  std::int32_t CentreY;
  std::int32_t Radius;
  double StartAngle;  // degrees
  double EndAngle;
};
#pragma pack(pop)
static_assert(sizeof(TSegment) == 37, "the host's outline segment is 37 bytes without padding");

inline constexpr int kSegmentCount = 5001;

namespace api {

using U8 = std::uint8_t;
using U16 = std::uint16_t;
using I32 = std::int32_t;
using U32 = std::uint32_t;
using F64 = double;
using Str = std::uint8_t;  // first byte of a counted string

// ---- every primitive
using PcbApi_GetObjectBitField2 = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U8* BitField2);
using PcbApi_GetObjectBitField3 = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U8* BitField3);
using PcbApi_QueryPrimitive = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                                   U32* Component, U8* Tag);
// Bounding rectangle of any object: left, bottom, right, top.
using PcbApi_QueryObjectBoundingRectangle = I32 VIDERAVE_STDCALL(U32 handle, I32* left, I32* bottom, I32* right,
                                                                 I32* top);
// 0 when the object was placed by the user rather than imported.
using PcbApi_QueryObjectImport_FromUser = I32 VIDERAVE_STDCALL(U32 handle);
using PcbApi_QueryObjectGraphicallyInvalidate = I32 VIDERAVE_STDCALL(U32 handle);

// ---- tracks, arcs, vias, fills
using PcbApi_QueryTrack = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                               U8* Tag, U32* Component, I32* X, I32* Y, I32* X2, I32* Y2, I32* Width,
                                               I32* Polygon, I32* Coordinate, I32* Dimension);
using PcbApi_QueryArc = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                             U8* Tag, U32* Component, I32* X, I32* Y, I32* Radius, F64* StartAngle,
                                             F64* EndAngle, I32* Width, I32* Polygon);
// The via's layer is a one-byte number here, as are LowLayer and HighLayer.
using PcbApi_QueryVia = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U8* Layer, I32* Net, U8* Tag,
                                             U32* Component, I32* X, I32* Y, I32* Size, I32* HoleSize, U8* LowLayer,
                                             U8* HighLayer, U8* ExtraFlag1, U8* ExtraFlag2);
using PcbApi_QueryFill = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                              U8* Tag, U32* Component, I32* X, I32* Y, I32* X2, I32* Y2, I32* Polygon,
                                              F64* Rotation);

// ---- texts
using PcbApi_QueryText = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                              U8* Tag, U32* Component, I32* X, I32* Y, I32* Height, I32* FontStyle,
                                              F64* Rotation, U8* Mirrored, Str* Text /*254*/, I32* Width,
                                              I32* Coordinate, I32* Dimension);
// A flag, the font name (255), four bytes.
using PcbApi_QueryTrueTypeTextInfo = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U8* Value1, Str* Value2 /*255*/,
                                                          U8* Value3, U8* Value4, U8* Value5, U8* Value6);
// Writes the text as the host displays it (special strings expanded), at most 254 characters.
using PcbApi_GetDesignatorDisplayString = I32 VIDERAVE_STDCALL(U32 handle, Str* display_string /*254*/);
using PcbApi_QueryBarCodeTextInfo = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U8* Value1, U8* Value2, U8* Value3,
                                                         I32* Value4);

// ---- pads
using PcbApi_QueryPad = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                             U8* Tag, U32* Component, I32* X, I32* Y, I32* XSizeTop, I32* YSizeTop,
                                             I32* XSizeMid, I32* YSizeMid, I32* XSizeBottom, I32* YSizeBottom,
                                             I32* HoleSize, U8* ShapeTop, U8* ShapeMid, U8* ShapeBottom,
                                             Str* Name /*20*/, U8* Value20, F64* Rotation, U8* Value22,
                                             Str* Value23 /*20*/, Str* Value24 /*20*/, I32* Value25, I32* Value26,
                                             U8* Value27, U8* Value28, I32* Value29, F64* Value30, I32* Value31,
                                             I32* Value32, I32* Value33, U8* ExtraFlag1, U8* ExtraFlag2);
using PcbApi_QueryPadStackMode = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U8* StackMode);
// Per-layer pad (and via) values; layer is a one-byte layer number 0 to 82.
using PcbApi_QueryPadOrViaShapeOnLayer = I32 VIDERAVE_STDCALL(U32 handle, U8 layer, U8* shape);
using PcbApi_QueryPadOrViaSizeOnLayer = I32 VIDERAVE_STDCALL(U32 handle, U8 layer, I32* x_size, I32* y_size);
using PcbApi_QueryPadCornerRadiusOnLayer = I32 VIDERAVE_STDCALL(U32 handle, U8 layer, I32* corner_radius);
using PcbApi_QueryPadCRPercentageOnLayer = I32 VIDERAVE_STDCALL(U32 handle, U8 layer, U8* percentage);
using PcbApi_SetPadShapeOnLayer = I32 VIDERAVE_STDCALL(U32 handle, U8 layer, U8 shape);
using PcbApi_SetPadSizeOnLayer = I32 VIDERAVE_STDCALL(U32 handle, U8 layer, I32 x_size, I32 y_size);
using PcbApi_SetCRPctOnLayer = I32 VIDERAVE_STDCALL(U32 handle, U8 layer, U8 percentage);

// ---- components
using PcbApi_QueryComponentChannelOffset = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, I32* ChannelOffset);
using PcbApi_QueryComponentKind = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, I32* ComponentKind);
// The component's layer is a one-byte number here.
using PcbApi_QueryComponent = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U8* Layer, U8* Tag,
                                                   U32* NameText, U32* CommentText, Str* Pattern /*250*/,
                                                   U8* NameShown, U8* CommentShown, I32* X, I32* Y, I32* Value12,
                                                   F64* Rotation, U8* ExtraAttribute);
using PcbApi_QueryComponentEx = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, I32* Value1, U8* Value2, U8* Value3,
                                                     U8* Value4);
using PcbApi_QueryComponentSourceLinks = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, Str* Link1, Str* Link2, Str* Link3,
                                                              Str* Link4, Str* Link5, Str* Link6, Str* Link7,
                                                              Str* Link8 /*255 each*/);
using PcbApi_QueryDefaultPCB3DModel = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, Str* Model /*255*/);

// ---- nets and object classes
using PcbApi_QueryNet = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Index, Str* Name /*255*/, U8* Value3,
                                             U32* Attribute);
using PcbApi_QueryClass = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Index, U8* Value2, U8* Value3,
                                               Str* Name /*255*/);
// Member `index` (from 0) of a class into `name` (255); 1 when there is no such member.
using PcbApi_GetMemberFromClassAt = I32 VIDERAVE_STDCALL(U32 handle, I32 index, Str* name);
using PcbApi_RemoveAllMembersFromClass = I32 VIDERAVE_STDCALL(U32 handle);
using PcbApi_AddMemberToClass = I32 VIDERAVE_STDCALL(U32 handle, const Str* name);

// ---- polygons, split planes, regions
using PcbApi_QueryPolygon = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                                 U8* Tag, U8* PolygonFlag1, U8* PolygonFlag4, U8* PolygonFlag5,
                                                 I32* GridSize, I32* TrackSize, U8* Value11, U8* HatchStyle,
                                                 I32* MinPrimLength, U8* Value14, I32* PointCount,
                                                 TSegment* Segments);
using PcbApi_QuerySplitPlane = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* Net,
                                                    U8* Tag, U8* Value6, I32* PointCount, TSegment* Segments);
using PcbApi_QueryRegion = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U8* Value1, U16* Flags, U16* Index, U32* Layer,
                                                I32* Net, U8* Tag, U32* Component, I32* Value8, I32* Value9,
                                                I32* Value10, I32* Value11, I32* Value12, I32* Value13);

// ---- coordinates and dimensions
using PcbApi_QueryCoordinate = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U8* Tag, I32* X,
                                                    I32* Y, U32* Layer, I32* CoordinateValue1, I32* CoordinateValue2,
                                                    I32* CoordinateValue3, I32* CoordinateValue4,
                                                    I32* CoordinateValue5, I32* CoordinateStyle);
using PcbApi_QueryDimension = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U8* Tag, I32* X,
                                                   I32* Y, I32* X2, I32* Y2, U32* Layer, I32* DimensionValue1,
                                                   I32* DimensionValue2, I32* DimensionValue3, I32* DimensionValue4,
                                                   I32* DimensionValue5, I32* DimensionStyle);
// Number of reference points of a dimension; a store resizes the list.
using PcbApi_References_Count = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, I32* count);
// Reference `index` (from 0): four values.
using PcbApi_References_At = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, I32 index, I32* Value1, I32* Value2,
                                                  I32* Value3, I32* Value4);
using PcbApi_QueryExtDimension = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, I32* Value1, I32* Value2, I32* Value3,
                                                      I32* Value4, I32* Value5, I32* Value6, I32* Value7, I32* Value8,
                                                      I32* Value9, I32* Value10, I32* Value11, I32* Value12,
                                                      I32* Value13, I32* Value14, I32* Value15, I32* Value16,
                                                      I32* Value17, I32* Value18, I32* Value19);

// ---- rules
using PcbApi_QueryRule = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U8* RuleKind, U8* Value2, U8* Value3, U8* Value4,
                                              U8* Value5, U8* Value6, U8* Value7, Str* Value8, Str* Value9,
                                              Str* Value10, Str* Value11, U8* Value12, U8* Value13, I32* Value14,
                                              I32* Value15, I32* Value16, I32* Value17, Str* Value18, Str* Value19,
                                              Str* Value20, Str* Value21, Str* Value22, Str* Value23 /*255 each*/);
// The first byte is the rule's layer number.
using PcbApi_QueryRuleEx = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U8* Value1, U8* Value2, I32* Value3, U8* Value4,
                                                Str* Scope1 /*255*/, Str* Scope2 /*255*/);
using PcbApi_QueryRuleExtEx = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, Str* RuleName /*255*/);

// ---- from-tos, violations, embedded objects
using PcbApi_QueryFromTo = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Index, I32* X, I32* Y, U8* Value4, I32* X2,
                                                I32* Y2, U8* Value7, I32* Net);
using PcbApi_QueryManualFromTo = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Index, Str* Value2, Str* Value3,
                                                      Str* Value4, Str* Value5 /*255 each*/);
using PcbApi_QueryViolation = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer,
                                                   Str* Name /*255*/, Str* Value5 /*255*/, U32* Value6, U32* Value7);
using PcbApi_QueryEmbedded = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, U8* Tag,
                                                  Str* Name /*255*/, Str* Value6 /*255*/);
using PcbApi_QueryEmbeddedBoard = I32 VIDERAVE_STDCALL(U8 dir, U32 handle, U16* Flags, U16* Index, U32* Layer, I32* X,
                                                       I32* Y, I32* Value6, I32* Value7, I32* Value8, I32* Value9,
                                                       F64* Rotation, Str* Name /*255*/);

}  // namespace api
