// Layer tables and unit conversions of the file's records.
#include <gtest/gtest.h>

#include <cstdint>

#include "records/conventions.h"

namespace {

TEST(MapFileLayer, MapsTheFileNumberingOntoHostLayers) {
  struct Case {
    std::int32_t file;
    std::uint8_t host;
  };
  constexpr Case kCases[] = {
      {0, 0},    {1, 1},    {2, 2},   {15, 15},  // top and mid layers keep their numbers
      {16, 32},                                  // the file's bottom layer, not MidLayer15
      {17, 33},  {22, 38},  {23, 39}, {26, 42},  // overlays to solder, InternalPlane1..4
      {27, 55},  {28, 56},  {29, 57}, {32, 60},  // drill guide, keep-out, Mechanical1..4
      {33, 73},  {34, 74},  {35, 75}, {42, 82},  // drill drawing, multi-layer, connect, via holes
      {43, 0},   {255, 0},  {-1, 0},             // beyond the table: NoLayer
      {257, 1},  {256 + 16, 32},                 // only the low byte counts
  };
  for (const Case& c : kCases) EXPECT_EQ(MapFileLayer(c.file), c.host) << "file layer " << c.file;
}

TEST(MapOptionsLayer, SharesTheSignalNumberingAndPacksTheRest) {
  struct Case {
    std::int32_t file;
    std::uint8_t slot;
  };
  constexpr Case kCases[] = {
      {1, 1},   {16, 32},  {32, 60},  {33, 61},  {34, 62},  {35, 71},  {36, 72},   {37, 73},
      {41, 77}, {42, 90},  {49, 97},  {50, 106}, {53, 109}, {54, 0},   {255, 0},   {256 + 34, 62},
  };
  for (const Case& c : kCases) EXPECT_EQ(MapOptionsLayer(c.file), c.slot) << "file layer " << c.file;
}

TEST(ViaLayerPairSpan, CodesOneToEightArePairsTheRestSpanTheBoard) {
  using Span = std::pair<std::uint8_t, std::uint8_t>;
  EXPECT_EQ(ViaLayerPairSpan(1), (Span{1, 2}));
  EXPECT_EQ(ViaLayerPairSpan(3), (Span{5, 6}));
  EXPECT_EQ(ViaLayerPairSpan(8), (Span{15, 32}));
  for (std::int32_t code : {0, 9, 200, -1}) EXPECT_EQ(ViaLayerPairSpan(code), (Span{1, 32})) << code;
  EXPECT_EQ(ViaLayerPairSpan(256 + 2), (Span{3, 4}));
}

TEST(MilsToCoord, ScalesToTenThousandthsOfAMil) {
  EXPECT_EQ(MilsToCoord(2.5), 25000);
  EXPECT_EQ(MilsToCoord(-0.35), -3500);
  EXPECT_EQ(MilsToCoord(0.00025), 2);  // two and a half host units: the tie goes to even
  EXPECT_EQ(MilsToCoord(214748.3647), 2147483647);
  EXPECT_EQ(MilsToCoord(214748.3648), -2147483647 - 1);  // low 32 bits
}

TEST(CoordToMils, KeepsThreeDecimalsRoundedOnTheFraction) {
  EXPECT_DOUBLE_EQ(CoordToMils(123456789), 12345.679);
  EXPECT_DOUBLE_EQ(CoordToMils(-12346), -1.235);
  EXPECT_DOUBLE_EQ(CoordToMils(60000), 6.0);
  EXPECT_DOUBLE_EQ(CoordToMils(-9999), -1.0);  // -0.9999: the fraction rounds to a whole mil
}

TEST(DefaultTextWidth, FollowsTheHeightInHostUnits) {
  struct Case {
    std::int32_t height;  // as read from the file
    std::int32_t width;   // host units
  };
  constexpr Case kCases[] = {
      {60, 60000},          // old-format heights are mils: always the 6 mil floor
      {300000, 60000},      // 300 mil at 1/1000 mil: still the floor
      {450000, 70000},      // half-way up the ramp
      {600000, 80000},      // end of the ramp
      {700000, 80000},
      {4000000, 400000},    // large heights: a tenth of the height
      {0, 60000},
      {-5000000, 60000},
  };
  for (const Case& c : kCases) EXPECT_EQ(DefaultTextWidth(c.height), c.width) << "height " << c.height;
}

TEST(ScaleLength, OldFormatMilsAndNewFormatThousandths) {
  EXPECT_EQ(ScaleLength(1000, false), 10000);
  EXPECT_EQ(ScaleLength(1000, true), 10000000);
  EXPECT_EQ(ScaleLength(-3, true), -30000);
  // Out of range lengths keep their low 32 bits instead of overflowing.
  EXPECT_EQ(ScaleLength(429496730, false), 4);
  EXPECT_EQ(ScaleLength(2147483647, true), static_cast<std::int32_t>(0xFFFFD8F0u));
}

}  // namespace
