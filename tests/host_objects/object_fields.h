// Test helpers: every field each wrapper class exchanges, visited pairwise over two wrappers of
// the same class, so that one table serves to fill a wrapper with distinct values and to compare
// two wrappers field by field.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "host/api/layer_id.h"
#include "host/pcb_objects.h"

namespace objects_test {

// A layer identifier field: filled with a valid layer, since the host keeps layer numbers.
struct LayerField {
  std::uint32_t& id;
};

// Fills fields with distinct values from a running counter.
class Filler {
 public:
  explicit Filler(int seed) : next_(seed) {}

  template <typename T>
  void operator()(T& a, T&) { Fill(a); }
  void operator()(LayerField a, LayerField) { a.id = layer_id::FromNumber(static_cast<std::uint8_t>(1 + Next() % 82)); }

 private:
  int Next() { return next_++; }
  template <typename T>
  void Fill(T& value) {
    if constexpr (std::is_floating_point_v<T>) {
      value = Next() + 0.25;
    } else if constexpr (std::is_integral_v<T>) {
      value = static_cast<T>(Next() % 200 + 1);
    } else if constexpr (requires { value.Assign(std::string_view()); }) {
      value.Assign("s" + std::to_string(Next()));
    } else if constexpr (std::is_same_v<T, std::string>) {
      value = "member" + std::to_string(Next());
    } else {
      for (auto& element : value) Fill(element);
    }
  }
  int next_;
};

struct Comparer {
  template <typename T>
  void operator()(const T& a, const T& b) { EXPECT_TRUE(a == b) << "field " << field; ++field; }
  void operator()(LayerField a, LayerField b) { EXPECT_EQ(a.id, b.id) << "layer, field " << field; ++field; }
  int field = 0;
};

template <typename V>
void BitFields(TPCBObject& a, TPCBObject& b, V& v) {
  v(a.BitField2, b.BitField2);
  v(a.BitField3, b.BitField3);
}

// Flags, Index, Layer, Net, Tag, Component: the head of most primitive records.
template <typename V>
void Head(TPCBObject& a, TPCBObject& b, V& v) {
  BitFields(a, b, v);
  v(a.Flags, b.Flags);
  v(a.Index, b.Index);
  v(LayerField{a.Layer}, LayerField{b.Layer});
  v(a.Net, b.Net);
  v(a.Tag, b.Tag);
  v(a.Component, b.Component);
}

template <typename V>
void Point(TPCBObject& a, TPCBObject& b, V& v) {
  v(a.X, b.X);
  v(a.Y, b.Y);
}

template <typename V>
void Visit(TPcbTrack& a, TPcbTrack& b, V& v) {
  Head(a, b, v);
  Point(a, b, v);
  v(a.X2, b.X2), v(a.Y2, b.Y2), v(a.Width, b.Width), v(a.Polygon, b.Polygon);
  v(a.Coordinate, b.Coordinate), v(a.Dimension, b.Dimension);
}

template <typename V>
void Visit(TPcbArc& a, TPcbArc& b, V& v) {
  Head(a, b, v);
  Point(a, b, v);
  v(a.Radius, b.Radius), v(a.StartAngle, b.StartAngle), v(a.EndAngle, b.EndAngle), v(a.Width, b.Width);
  v(a.Polygon, b.Polygon);
}

template <typename V>
void Visit(TPcbVia& a, TPcbVia& b, V& v) {
  Head(a, b, v);
  Point(a, b, v);
  v(a.Size, b.Size), v(a.HoleSize, b.HoleSize), v(a.LowLayer, b.LowLayer), v(a.HighLayer, b.HighLayer);
  v(a.ExtraFlag1, b.ExtraFlag1), v(a.ExtraFlag2, b.ExtraFlag2);
}

template <typename V>
void Visit(TPcbFill& a, TPcbFill& b, V& v) {
  Head(a, b, v);
  Point(a, b, v);
  v(a.X2, b.X2), v(a.Y2, b.Y2), v(a.Polygon, b.Polygon), v(a.Rotation, b.Rotation);
}

template <typename V>
void Visit(TPcbText& a, TPcbText& b, V& v) {
  Head(a, b, v);
  Point(a, b, v);
  v(a.Height, b.Height), v(a.FontStyle, b.FontStyle), v(a.Rotation, b.Rotation), v(a.Mirrored, b.Mirrored);
  v(a.Text, b.Text), v(a.Width, b.Width), v(a.Coordinate, b.Coordinate), v(a.Dimension, b.Dimension);
  v(a.TrueTypeValue1, b.TrueTypeValue1), v(a.FontName, b.FontName), v(a.TrueTypeValues, b.TrueTypeValues);
  v(a.BarCodeValues, b.BarCodeValues), v(a.BarCodeValue4, b.BarCodeValue4);
}

template <typename V>
void Visit(TPcbPad& a, TPcbPad& b, V& v) {
  Head(a, b, v);
  Point(a, b, v);
  v(a.XSizeTop, b.XSizeTop), v(a.YSizeTop, b.YSizeTop), v(a.XSizeMid, b.XSizeMid), v(a.YSizeMid, b.YSizeMid);
  v(a.XSizeBottom, b.XSizeBottom), v(a.YSizeBottom, b.YSizeBottom), v(a.HoleSize, b.HoleSize);
  v(a.ShapeTop, b.ShapeTop), v(a.ShapeMid, b.ShapeMid), v(a.ShapeBottom, b.ShapeBottom), v(a.Name, b.Name);
  v(a.Value20, b.Value20), v(a.Rotation, b.Rotation), v(a.Value22, b.Value22), v(a.Value23, b.Value23);
  v(a.Value24, b.Value24), v(a.Value25, b.Value25), v(a.Value26, b.Value26), v(a.Value27, b.Value27);
  v(a.Value28, b.Value28), v(a.Value29, b.Value29), v(a.Value30, b.Value30), v(a.Value31, b.Value31);
  v(a.Value32, b.Value32), v(a.Value33, b.Value33), v(a.ExtraFlag1, b.ExtraFlag1), v(a.ExtraFlag2, b.ExtraFlag2);
  v(a.ShapeOnLayer, b.ShapeOnLayer), v(a.XSizeOnLayer, b.XSizeOnLayer), v(a.YSizeOnLayer, b.YSizeOnLayer);
  v(a.CRPercentageOnLayer, b.CRPercentageOnLayer);
}

template <typename V>
void Visit(TPcbNet& a, TPcbNet& b, V& v) {
  BitFields(a, b, v);
  v(a.Index, b.Index), v(a.Name, b.Name), v(a.Value3, b.Value3), v(a.Attribute, b.Attribute);
}

template <typename V>
void Visit(TPcbComponent& a, TPcbComponent& b, V& v) {
  BitFields(a, b, v);
  v(a.ChannelOffset, b.ChannelOffset), v(a.ComponentKind, b.ComponentKind), v(a.Flags, b.Flags);
  v(a.Index, b.Index), v(LayerField{a.Layer}, LayerField{b.Layer}), v(a.Tag, b.Tag), v(a.NameText, b.NameText);
  v(a.CommentText, b.CommentText), v(a.Pattern, b.Pattern), v(a.NameShown, b.NameShown);
  v(a.CommentShown, b.CommentShown);
  Point(a, b, v);
  v(a.Value12, b.Value12), v(a.Rotation, b.Rotation), v(a.ExtraAttribute, b.ExtraAttribute);
  v(a.ExValue1, b.ExValue1), v(a.ExValues, b.ExValues), v(a.SourceLinks, b.SourceLinks);
  v(a.DefaultPCB3DModel, b.DefaultPCB3DModel);
}

// Segments are compared in the test itself, up to PointCount.
template <typename V>
void Visit(TPcbPolygon& a, TPcbPolygon& b, V& v) {
  BitFields(a, b, v);
  v(a.Flags, b.Flags), v(a.Index, b.Index), v(LayerField{a.Layer}, LayerField{b.Layer}), v(a.Net, b.Net);
  v(a.Tag, b.Tag), v(a.PolygonFlag1, b.PolygonFlag1), v(a.PolygonFlag4, b.PolygonFlag4);
  v(a.PolygonFlag5, b.PolygonFlag5), v(a.GridSize, b.GridSize), v(a.TrackSize, b.TrackSize);
  v(a.Value11, b.Value11), v(a.HatchStyle, b.HatchStyle), v(a.MinPrimLength, b.MinPrimLength);
  v(a.Value14, b.Value14);
}

template <typename V>
void Visit(TPcbSplitPlane& a, TPcbSplitPlane& b, V& v) {
  BitFields(a, b, v);
  v(a.Flags, b.Flags), v(a.Index, b.Index), v(LayerField{a.Layer}, LayerField{b.Layer}), v(a.Net, b.Net);
  v(a.Tag, b.Tag), v(a.Value6, b.Value6);
}

template <typename V>
void Visit(TPCBRegion& a, TPCBRegion& b, V& v) {
  v(a.Value1, b.Value1);
  Head(a, b, v);
  v(a.Values, b.Values);
}

template <typename V>
void Visit(TPcbCoordinate& a, TPcbCoordinate& b, V& v) {
  BitFields(a, b, v);
  v(a.Flags, b.Flags), v(a.Index, b.Index), v(a.Tag, b.Tag);
  Point(a, b, v);
  v(LayerField{a.Layer}, LayerField{b.Layer}), v(a.CoordinateValues, b.CoordinateValues);
  v(a.CoordinateStyle, b.CoordinateStyle);
}

template <typename V>
void Visit(TPcbDimension& a, TPcbDimension& b, V& v) {
  BitFields(a, b, v);
  v(a.Flags, b.Flags), v(a.Index, b.Index), v(a.Tag, b.Tag);
  Point(a, b, v);
  v(a.X2, b.X2), v(a.Y2, b.Y2), v(LayerField{a.Layer}, LayerField{b.Layer});
  v(a.DimensionValues, b.DimensionValues), v(a.DimensionStyle, b.DimensionStyle), v(a.ExtValues, b.ExtValues);
}

template <typename V>
void Visit(TPCBObjectClass& a, TPCBObjectClass& b, V& v) {
  BitFields(a, b, v);
  v(a.Index, b.Index), v(a.Value2, b.Value2), v(a.Value3, b.Value3), v(a.Name, b.Name);
}

template <typename V>
void Visit(TPcbRule& a, TPcbRule& b, V& v) {
  BitFields(a, b, v);
  v(a.RuleKind, b.RuleKind), v(a.Values2To7, b.Values2To7), v(a.Values8To11, b.Values8To11);
  v(a.Values12To13, b.Values12To13), v(a.Values14To17, b.Values14To17), v(a.Values18To23, b.Values18To23);
}

template <typename V>
void Visit(TPcbRuleEx& a, TPcbRuleEx& b, V& v) {
  BitFields(a, b, v);
  v(a.Value1, b.Value1), v(a.Value2, b.Value2), v(a.Value3, b.Value3), v(a.Value4, b.Value4);
  v(a.Scope1, b.Scope1), v(a.Scope2, b.Scope2), v(a.RuleName, b.RuleName);
}

template <typename V>
void Visit(TPcbFromTo& a, TPcbFromTo& b, V& v) {
  BitFields(a, b, v);
  v(a.Index, b.Index);
  Point(a, b, v);
  v(a.Value4, b.Value4), v(a.X2, b.X2), v(a.Y2, b.Y2), v(a.Value7, b.Value7), v(a.Net, b.Net);
}

template <typename V>
void Visit(TPcbManualFromTo& a, TPcbManualFromTo& b, V& v) {
  BitFields(a, b, v);
  v(a.Index, b.Index), v(a.Values, b.Values);
}

template <typename V>
void Visit(TPcbViolation& a, TPcbViolation& b, V& v) {
  BitFields(a, b, v);
  v(a.Flags, b.Flags), v(a.Index, b.Index), v(LayerField{a.Layer}, LayerField{b.Layer}), v(a.Name, b.Name);
  v(a.Value5, b.Value5), v(a.Value6, b.Value6), v(a.Value7, b.Value7);
}

template <typename V>
void Visit(TPcbEmbedded& a, TPcbEmbedded& b, V& v) {
  BitFields(a, b, v);
  v(a.Flags, b.Flags), v(a.Index, b.Index), v(LayerField{a.Layer}, LayerField{b.Layer}), v(a.Tag, b.Tag);
  v(a.Name, b.Name), v(a.Value6, b.Value6);
}

template <typename V>
void Visit(TPcbEmbeddedBoard& a, TPcbEmbeddedBoard& b, V& v) {
  BitFields(a, b, v);
  v(a.Flags, b.Flags), v(a.Index, b.Index), v(LayerField{a.Layer}, LayerField{b.Layer});
  Point(a, b, v);
  v(a.Values, b.Values), v(a.Rotation, b.Rotation), v(a.Name, b.Name);
}

// Base exchange only (component bodies, differential pairs).
template <typename V>
void Visit(TPCBObject& a, TPCBObject& b, V& v) {
  Head(a, b, v);
}

}  // namespace objects_test
