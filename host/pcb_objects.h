// The wrapper class of every host object kind. Each holds the fields of its kind's exchange
// record (host/api/objects.h) in record order, including the values the importer neither sets
// nor reads (named Value<k> after their position in the record): those are only carried from a
// load to the following store, so that a store gives the host back exactly what it had.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/api/objects.h"
#include "host/api/vocabulary.h"
#include "host/pcb_object.h"
#include "host/short_string.h"

inline constexpr int kPadLayerCount = host_layer::kLayerSlots;  // per-layer pad values for layer numbers 0 to 82

class TPcbGroupObject : public TPCBObject {
 protected:
  using TPCBObject::TPCBObject;
};

class TPcbTrack : public TPCBObject {
 public:
  explicit TPcbTrack(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kTrack) {}
  std::int32_t Exchange(bool load) override;
  void MoveBy(std::int32_t dx, std::int32_t dy) override;
  [[nodiscard]] std::int32_t GetSecondX() const override { return X2; }
  [[nodiscard]] std::int32_t GetSecondY() const override { return Y2; }
  void SetSecondX(std::int32_t value) override { X2 = value; }
  void SetSecondY(std::int32_t value) override { Y2 = value; }
  [[nodiscard]] std::int32_t GetPolygonLink() const override { return Polygon; }
  [[nodiscard]] std::int32_t GetCoordinateLink() const override { return Coordinate; }
  [[nodiscard]] std::int32_t GetDimensionLink() const override { return Dimension; }
  void SetPolygonLink(std::int32_t value) override { Polygon = value; }
  void SetCoordinateLink(std::int32_t value) override { Coordinate = value; }
  void SetDimensionLink(std::int32_t value) override { Dimension = value; }
  [[nodiscard]] std::int32_t GetLineWidth() const override { return Width; }
  void SetLineWidth(std::int32_t value) override { Width = value; }

  std::int32_t X2 = 0;
  std::int32_t Y2 = 0;
  std::int32_t Width = 0;
  std::int32_t Polygon = 0;
  std::int32_t Coordinate = 0;
  std::int32_t Dimension = 0;
};

class TPcbArc : public TPCBObject {
 public:
  explicit TPcbArc(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kArc) {}
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] std::int32_t GetPolygonLink() const override { return Polygon; }
  void SetPolygonLink(std::int32_t value) override { Polygon = value; }
  [[nodiscard]] std::int32_t GetLineWidth() const override { return Width; }
  void SetLineWidth(std::int32_t value) override { Width = value; }

  std::int32_t Radius = 0;
  double StartAngle = 0;
  double EndAngle = 0;
  std::int32_t Width = 0;
  std::int32_t Polygon = 0;
};

class TPcbVia : public TPCBObject {
 public:
  explicit TPcbVia(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kVia) {}
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] bool GetExtraFlag1() const override { return ExtraFlag1 != 0; }
  [[nodiscard]] bool GetExtraFlag2() const override { return ExtraFlag2 != 0; }
  void SetExtraFlag1(bool value) override { ExtraFlag1 = value ? 1 : 0; }
  void SetExtraFlag2(bool value) override { ExtraFlag2 = value ? 1 : 0; }
  [[nodiscard]] std::int32_t GetSize() const override { return Size; }
  void SetSize(std::int32_t value) override { Size = value; }
  [[nodiscard]] std::int32_t GetHoleSize() const override { return HoleSize; }
  void SetHoleSize(std::int32_t value) override { HoleSize = value; }
  void GetSizeOnLayer(std::uint8_t layer, std::int32_t& x_size, std::int32_t& y_size) const override;
  [[nodiscard]] std::uint8_t GetShapeOnLayer(std::uint8_t layer) const override;

  std::int32_t Size = 0;
  std::int32_t HoleSize = 0;
  std::uint8_t LowLayer = 0;   // layer numbers of the span
  std::uint8_t HighLayer = 0;
  std::uint8_t ExtraFlag1 = 0;
  std::uint8_t ExtraFlag2 = 0;
};

class TPcbFill : public TPCBObject {
 public:
  explicit TPcbFill(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kFill) {}
  std::int32_t Exchange(bool load) override;
  void MoveBy(std::int32_t dx, std::int32_t dy) override;
  [[nodiscard]] std::int32_t GetSecondX() const override { return X2; }
  [[nodiscard]] std::int32_t GetSecondY() const override { return Y2; }
  void SetSecondX(std::int32_t value) override { X2 = value; }
  void SetSecondY(std::int32_t value) override { Y2 = value; }
  [[nodiscard]] std::int32_t GetPolygonLink() const override { return Polygon; }
  void SetPolygonLink(std::int32_t value) override { Polygon = value; }
  [[nodiscard]] double GetRotation() const override { return Rotation; }
  void SetRotation(double value) override { Rotation = value; }

  std::int32_t X2 = 0;
  std::int32_t Y2 = 0;
  std::int32_t Polygon = 0;
  double Rotation = 0;
};

class TPcbText : public TPCBObject {
 public:
  explicit TPcbText(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kText) {}
  // Text record, TrueType info, display string, bar-code info; 1 when the bar-code call says 1.
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] std::int32_t GetCoordinateLink() const override { return Coordinate; }
  [[nodiscard]] std::int32_t GetDimensionLink() const override { return Dimension; }
  void SetCoordinateLink(std::int32_t value) override { Coordinate = value; }
  void SetDimensionLink(std::int32_t value) override { Dimension = value; }
  [[nodiscard]] double GetRotation() const override { return Rotation; }
  void SetRotation(double value) override { Rotation = value; }
  [[nodiscard]] std::int32_t GetLineWidth() const override { return Width; }
  void SetLineWidth(std::int32_t value) override { Width = value; }
  [[nodiscard]] std::int32_t GetSize() const override { return Height; }
  void SetSize(std::int32_t value) override { Height = value; }
  [[nodiscard]] ShortString<255> GetTextString() const override { return ShortString<255>(Text.View()); }

  std::int32_t Height = 0;
  std::int32_t FontStyle = 0;
  double Rotation = 0;
  std::uint8_t Mirrored = 0;
  ShortString<254> Text;
  std::int32_t Width = 0;
  std::int32_t Coordinate = 0;
  std::int32_t Dimension = 0;
  // PcbApi_QueryTrueTypeTextInfo
  std::uint8_t TrueTypeValue1 = 0;
  ShortString<255> FontName;
  std::array<std::uint8_t, 4> TrueTypeValues{};  // values 3 to 6
  // PcbApi_GetDesignatorDisplayString (only ever read from the host)
  ShortString<254> DisplayString;
  // PcbApi_QueryBarCodeTextInfo
  std::array<std::uint8_t, 3> BarCodeValues{};
  std::int32_t BarCodeValue4 = 0;
};

class TPcbPad : public TPCBObject {
 public:
  explicit TPcbPad(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kPad) {}
  // Pad record, then stack mode and the per-layer values; stops at the first non-zero result.
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] bool GetExtraFlag1() const override { return ExtraFlag1 != 0; }
  [[nodiscard]] bool GetExtraFlag2() const override { return ExtraFlag2 != 0; }
  void SetExtraFlag1(bool value) override { ExtraFlag1 = value ? 1 : 0; }
  void SetExtraFlag2(bool value) override { ExtraFlag2 = value ? 1 : 0; }
  [[nodiscard]] ShortString<255> GetName() const override { return ShortString<255>(Name.View()); }
  [[nodiscard]] double GetRotation() const override { return Rotation; }
  void SetRotation(double value) override { Rotation = value; }
  [[nodiscard]] std::int32_t GetHoleSize() const override { return HoleSize; }
  void SetHoleSize(std::int32_t value) override { HoleSize = value; }
  void GetSizeOnLayer(std::uint8_t layer, std::int32_t& x_size, std::int32_t& y_size) const override;
  [[nodiscard]] std::uint8_t GetShapeOnLayer(std::uint8_t layer) const override;
  // Corner radius the host gives the pad on a layer.
  [[nodiscard]] std::int32_t GetCornerRadiusOnLayer(std::uint8_t layer) const;

  std::int32_t XSizeTop = 0;
  std::int32_t YSizeTop = 0;
  std::int32_t XSizeMid = 0;
  std::int32_t YSizeMid = 0;
  std::int32_t XSizeBottom = 0;
  std::int32_t YSizeBottom = 0;
  std::int32_t HoleSize = 0;
  std::uint8_t ShapeTop = 0;
  std::uint8_t ShapeMid = 0;
  std::uint8_t ShapeBottom = 0;
  ShortString<20> Name;
  std::uint8_t Value20 = 0;
  double Rotation = 0;
  std::uint8_t Value22 = 0;
  ShortString<20> Value23;
  ShortString<20> Value24;
  std::int32_t Value25 = 0;
  std::int32_t Value26 = 0;
  std::uint8_t Value27 = 0;
  std::uint8_t Value28 = 0;
  std::int32_t Value29 = 0;
  double Value30 = 0;
  std::int32_t Value31 = 0;
  std::int32_t Value32 = 0;
  std::int32_t Value33 = 0;
  std::uint8_t ExtraFlag1 = 0;
  std::uint8_t ExtraFlag2 = 0;
  // PcbApi_QueryPadStackMode: 2 means every layer has its own size and shape.
  std::uint8_t StackMode = 0;
  // Per-layer values, index = layer number.
  std::array<std::uint8_t, kPadLayerCount> ShapeOnLayer{};
  std::array<std::int32_t, kPadLayerCount> XSizeOnLayer{};
  std::array<std::int32_t, kPadLayerCount> YSizeOnLayer{};
  std::array<std::int32_t, kPadLayerCount> CornerRadiusOnLayer{};
  std::array<std::uint8_t, kPadLayerCount> CRPercentageOnLayer{};
  // Corner-radius percentages of the top layer, the mid layers (the last one read) and the bottom.
  std::uint8_t TopCRPercentage = 0;
  std::uint8_t MidCRPercentage = 0;
  std::uint8_t BottomCRPercentage = 0;
};

class TPcbNet : public TPcbGroupObject {
 public:
  explicit TPcbNet(std::uint32_t handle) : TPcbGroupObject(handle, ObjectKind::kNet) {}
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] ShortString<255> GetName() const override { return Name; }

  ShortString<255> Name;
  std::uint8_t Value3 = 0;
  std::uint32_t Attribute = 0;
};

class TPcbComponent : public TPcbGroupObject {
 public:
  explicit TPcbComponent(std::uint32_t handle) : TPcbGroupObject(handle, ObjectKind::kComponent) {}
  // Channel offset and kind, the component record, then ComponentEx, source links and the default
  // 3D model; returns the component record's result.
  std::int32_t Exchange(bool load) override;
  // Puts a primitive into the component; a zero handle is not passed on and counts as success.
  bool AddMember(std::uint32_t handle) const;
  // The string of the designator text (NameText), read from the host.
  [[nodiscard]] ShortString<255> GetName() const override;
  [[nodiscard]] double GetRotation() const override { return Rotation; }
  void SetRotation(double value) override { Rotation = value; }

  std::int32_t ChannelOffset = 0;
  std::int32_t ComponentKind = 0;
  std::uint32_t NameText = 0;     // handle of the designator text
  std::uint32_t CommentText = 0;  // handle of the comment text
  ShortString<250> Pattern;
  std::uint8_t NameShown = 0;
  std::uint8_t CommentShown = 0;
  std::int32_t Value12 = 0;
  double Rotation = 0;
  std::uint8_t ExtraAttribute = 0;
  // PcbApi_QueryComponentEx
  std::int32_t ExValue1 = 0;
  std::array<std::uint8_t, 3> ExValues{};  // values 2 to 4
  // PcbApi_QueryComponentSourceLinks, PcbApi_QueryDefaultPCB3DModel
  std::array<ShortString<255>, 8> SourceLinks;
  ShortString<255> DefaultPCB3DModel;
};

class TPcbPolygon : public TPcbGroupObject {
 public:
  explicit TPcbPolygon(std::uint32_t handle) : TPcbGroupObject(handle, ObjectKind::kPolygon) {}
  std::int32_t Exchange(bool load) override;

  std::uint8_t PolygonFlag1 = 0;
  std::uint8_t PolygonFlag4 = 0;
  std::uint8_t PolygonFlag5 = 0;
  std::int32_t GridSize = 0;
  std::int32_t TrackSize = 0;
  std::uint8_t Value11 = 0;
  std::uint8_t HatchStyle = 0;
  std::int32_t MinPrimLength = 0;
  std::uint8_t Value14 = 0;
  std::int32_t PointCount = 0;  // number of the last segment used
  // Entries 0 to PointCount are what a load gives and a store takes; the rest are left as they
  // come (zeroing 185 KB for every wrapper made to read one field was most of a small import's
  // time). Whoever raises PointCount writes the entries it adds.
  std::array<TSegment, kSegmentCount> Segments;

 protected:
  TPcbPolygon(std::uint32_t handle, ObjectKind kind) : TPcbGroupObject(handle, kind) {}
};

class TPcbBoardOutline : public TPcbPolygon {
 public:
  explicit TPcbBoardOutline(std::uint32_t handle) : TPcbPolygon(handle, ObjectKind::kBoardOutline) {}
};

class TPcbSplitPlane : public TPcbGroupObject {
 public:
  explicit TPcbSplitPlane(std::uint32_t handle) : TPcbGroupObject(handle, ObjectKind::kSplitPlane) {}
  std::int32_t Exchange(bool load) override;

  std::uint8_t Value6 = 0;
  std::int32_t PointCount = 0;
  std::array<TSegment, kSegmentCount> Segments;  // as a polygon's: only 0 to PointCount are set
};

class TPCBRegion : public TPCBObject {
 public:
  explicit TPCBRegion(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kRegion) {}
  std::int32_t Exchange(bool load) override;

  std::uint8_t Value1 = 0;
  std::array<std::int32_t, 6> Values{};  // values 8 to 13
};

class TPcbComponentBody : public TPCBObject {
 public:
  explicit TPcbComponentBody(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kComponentBody) {}
};

class TPcbCoordinate : public TPcbGroupObject {
 public:
  explicit TPcbCoordinate(std::uint32_t handle) : TPcbGroupObject(handle, ObjectKind::kCoordinate) {}
  std::int32_t Exchange(bool load) override;

  std::array<std::int32_t, 5> CoordinateValues{};
  std::int32_t CoordinateStyle = 0;
};

class TPcbDimension : public TPcbGroupObject {
 public:
  // More reference points than this are not taken from the host.
  static constexpr std::int32_t kMaxReferences = 4096;

  explicit TPcbDimension(std::uint32_t handle) : TPcbGroupObject(handle, ObjectKind::kDimension) {}
  // Dimension record, references, extended record; the two record results combined with and.
  std::int32_t Exchange(bool load) override;
  void MoveBy(std::int32_t dx, std::int32_t dy) override;
  [[nodiscard]] std::int32_t GetSecondX() const override { return X2; }
  [[nodiscard]] std::int32_t GetSecondY() const override { return Y2; }
  void SetSecondX(std::int32_t value) override { X2 = value; }
  void SetSecondY(std::int32_t value) override { Y2 = value; }

  std::int32_t X2 = 0;
  std::int32_t Y2 = 0;
  std::array<std::int32_t, 5> DimensionValues{};
  std::int32_t DimensionStyle = 0;
  std::vector<std::array<std::int32_t, 4>> References;
  std::array<std::int32_t, 19> ExtValues{};  // PcbApi_QueryExtDimension
};

class TPCBObjectClass : public TPCBObject {
 public:
  // More members than this are not read from the host.
  static constexpr std::int32_t kMaxMembers = 1 << 20;

  explicit TPCBObjectClass(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kObjectClass) {}
  // Class record, then the member list; returns the last member call's result.
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] ShortString<255> GetName() const override { return Name; }

  std::uint8_t Value2 = 0;
  std::uint8_t Value3 = 0;
  ShortString<255> Name;
  std::vector<std::string> Members;  // cut to 255 characters when stored
};

class TPcbRule : public TPCBObject {
 public:
  explicit TPcbRule(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kRule) {}
  std::int32_t Exchange(bool load) override;

  std::uint8_t RuleKind = 0;
  std::array<std::uint8_t, 6> Values2To7{};
  std::array<ShortString<255>, 4> Values8To11;
  std::array<std::uint8_t, 2> Values12To13{};
  std::array<std::int32_t, 4> Values14To17{};
  std::array<ShortString<255>, 6> Values18To23;
};

class TPcbRuleEx : public TPCBObject {
 public:
  // A new rule: no name, on MultiLayer, value 3 at -1, scopes "All".
  explicit TPcbRuleEx(std::uint32_t handle);
  // Extended rule record, then the name unless the record call returned 1.
  std::int32_t Exchange(bool load) override;

  std::uint8_t Value1 = 74;  // the rule's layer number
  std::uint8_t Value2 = 0;
  std::int32_t Value3 = -1;
  std::uint8_t Value4 = 0;
  ShortString<255> Scope1;
  ShortString<255> Scope2;
  ShortString<255> RuleName;
};

class TPcbFromTo : public TPCBObject {
 public:
  explicit TPcbFromTo(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kFromTo) {}
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] std::int32_t GetSecondX() const override { return X2; }
  [[nodiscard]] std::int32_t GetSecondY() const override { return Y2; }
  void SetSecondX(std::int32_t value) override { X2 = value; }
  void SetSecondY(std::int32_t value) override { Y2 = value; }

  std::uint8_t Value4 = 0;
  std::int32_t X2 = 0;
  std::int32_t Y2 = 0;
  std::uint8_t Value7 = 0;
};

class TPcbManualFromTo : public TPCBObject {
 public:
  explicit TPcbManualFromTo(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kManualFromTo) {}
  std::int32_t Exchange(bool load) override;

  std::array<ShortString<255>, 4> Values{};  // values 2 to 5
};

class TPcbDifferentialPair : public TPCBObject {
 public:
  explicit TPcbDifferentialPair(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kDifferentialPair) {}
};

class TPcbViolation : public TPCBObject {
 public:
  explicit TPcbViolation(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kViolation) {}
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] ShortString<255> GetName() const override { return Name; }

  ShortString<255> Name;
  ShortString<255> Value5;
  std::uint32_t Value6 = 0;
  std::uint32_t Value7 = 0;
};

class TPcbEmbedded : public TPCBObject {
 public:
  explicit TPcbEmbedded(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kEmbedded) {}
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] ShortString<255> GetName() const override { return Name; }

  ShortString<255> Name;
  ShortString<255> Value6;
};

class TPcbEmbeddedBoard : public TPCBObject {
 public:
  explicit TPcbEmbeddedBoard(std::uint32_t handle) : TPCBObject(handle, ObjectKind::kEmbeddedBoard) {}
  std::int32_t Exchange(bool load) override;
  [[nodiscard]] ShortString<255> GetName() const override { return Name; }
  [[nodiscard]] double GetRotation() const override { return Rotation; }
  void SetRotation(double value) override { Rotation = value; }

  std::array<std::int32_t, 4> Values{};  // values 6 to 9
  double Rotation = 0;
  ShortString<255> Name;
};
