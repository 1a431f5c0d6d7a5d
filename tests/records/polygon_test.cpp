// The PG reader: polygons and split planes, outlines with arcs, and outlines the host's array
// cannot hold.
#include <string>

#include "tests/records/record_fixture.h"

namespace {

// A PG record at the level: layer, net, flags, sizes and a closed square of side 1000.
std::string Square(std::int32_t level, int file_layer, int net, const std::string& flags = "1 0 0 0") {
  std::string flag_line = flags;
  if (level >= 4) flag_line += " 0";
  if (level >= 8) flag_line += " 0";
  const std::string sizes = level >= 10 ? "100 80 30 0" : "100 80";
  return "PG\n" + std::to_string(file_layer) + "\n" + std::to_string(net) + "\n" + flag_line + "\n" + sizes +
         "\n4\n0 0\n1000 0\n1000 1000\n0 1000\n0 0\n0 0 0 0 0\n";
}

// An aligned copy of one outline segment: the host's packed fields cannot be bound to the
// references the test macros take.
struct Segment {
  int SegmentKind;
  std::int32_t X, Y, CentreX, CentreY, Radius;
  double StartAngle, EndAngle;
};
Segment At(const TPcbPolygon& polygon, std::size_t i) {
  const TSegment& s = polygon.Segments[i];
  return {s.SegmentKind, s.X, s.Y, s.CentreX, s.CentreY, s.Radius, s.StartAngle, s.EndAngle};
}

using Polygons = RecordTest;

TEST_F(Polygons, InternalPlanesOneToFourMakeSplitPlanesOtherLayersPolygons) {
  struct Case {
    int file_layer;
    std::uint8_t object_kind;
    std::uint8_t host_layer;
  };
  const Case kCases[] = {{23, 22, 39}, {26, 22, 42}, {1, 10, 1}, {27, 10, 55}, {16, 10, 32}};
  for (const Case& c : kCases) {
    const std::uint32_t handle = ReadOne(10, Square(10, c.file_layer, 2));
    EXPECT_EQ(host::PcbApi_GetObjectIdFromObjectHandle(handle), c.object_kind) << c.file_layer;
    if (c.object_kind == 22) {
      const auto plane = Load<TPcbSplitPlane>(handle);
      EXPECT_EQ(plane->LayerNumber(), c.host_layer);
      EXPECT_EQ(plane->PointCount, 4);
      EXPECT_EQ(plane->Net, 2);
    } else {
      const auto polygon = Load<TPcbPolygon>(handle);
      EXPECT_EQ(polygon->LayerNumber(), c.host_layer);
      EXPECT_EQ(polygon->PointCount, 4);
      EXPECT_EQ(At(*polygon, 2).X, 10000);
      EXPECT_EQ(At(*polygon, 2).Y, 10000);
      EXPECT_EQ(At(*polygon, 2).SegmentKind, 0);
      EXPECT_EQ(polygon->GridSize, 1000);
      EXPECT_EQ(polygon->TrackSize, 800);
      EXPECT_EQ(polygon->MinPrimLength, 300);
    }
  }
}

TEST_F(Polygons, SplitPlanesAndPolygonsShareOneNumbering) {
  const auto handles = ReadRecords(9, Square(9, 23, 5) + Square(9, 24, 6) + Square(9, 1, 7));
  ASSERT_EQ(handles.size(), 3u);
  EXPECT_EQ(Load<TPcbSplitPlane>(handles[0])->Index, 1);
  EXPECT_EQ(Load<TPcbSplitPlane>(handles[1])->Index, 2);
  EXPECT_EQ(Load<TPcbPolygon>(handles[2])->Index, 3);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(context().tables.Lookup(TIndexTables::Table::kPolygon, static_cast<std::int32_t>(i + 1)),
              handles[i]);
  }
  EXPECT_EQ(context().split_plane_nets, (std::vector<std::int32_t>{5, 6}));
}

TEST_F(Polygons, SplitPlaneNetsGrowBeyondAHundredAndOne) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += Square(10, 23, i);
  ReadRecords(10, text);
  ASSERT_EQ(context().split_plane_nets.size(), 150u);
  EXPECT_EQ(context().split_plane_nets.back(), 149);
}

TEST_F(Polygons, HatchStyleFollowsFlagsTwoAndThree) {
  struct Case {
    const char* flags;  // flags 1 to 4
    std::uint8_t hatch;
  };
  const Case kCases[] = {{"0 1 1 0", 0}, {"0 0 1 0", 2}, {"0 1 0 0", 3}, {"0 0 0 0", 4}};
  for (const Case& c : kCases) {
    const auto polygon = Load<TPcbPolygon>(ReadOne(10, Square(10, 1, 0, c.flags)));
    EXPECT_EQ(polygon->HatchStyle, c.hatch) << c.flags;
  }
  const auto flagged = Load<TPcbPolygon>(ReadOne(10, Square(10, 1, 0, "1 0 0 7")));
  EXPECT_EQ(flagged->PolygonFlag1, 1);
  EXPECT_EQ(flagged->PolygonFlag4, 1);
}

TEST_F(Polygons, FlagFiveIsReadFromLevelEightAndOnBefore) {
  // The same flag line: at level 7 its sixth value is not part of the record.
  const char* kRecord = "PG\n1\n0\n0 0 0 0 0 0\n100 80\n0\n0 0\n0\n";
  EXPECT_EQ(Load<TPcbPolygon>(ReadOne(7, kRecord))->PolygonFlag5, 1);
  EXPECT_EQ(Load<TPcbPolygon>(ReadOne(8, kRecord))->PolygonFlag5, 0);
}

TEST_F(Polygons, EmbeddedArcsFillTheirSegmentsWithTheAngleRules) {
  // Triangle whose segments 1 and 2 are arcs: 90 to 90 is a full turn, an end at 0 is 360.
  const std::string text =
      "PG\n1\n0\n0 0 0 0 0 0\n100 80\n3\n0 0\n1000 0\n1000 1000\n0 0\n"
      "0 0 1 1\n"
      "FA\n0 0 500 600 700 90 90 1 1 0 0\n0 0\n"
      "FA\n0 0 10 20 30 45 0 1 1 0 0\n0 0\n"
      "FT\n0 0 1 1 1 1 1 1 0 0 0\n0 0 0\n";
  const auto handles = ReadRecords(9, text);
  ASSERT_EQ(handles.size(), 2u);
  const auto polygon = Load<TPcbPolygon>(handles[0]);
  EXPECT_EQ(At(*polygon, 0).SegmentKind, 0);
  EXPECT_EQ(At(*polygon, 1).SegmentKind, 1);
  EXPECT_EQ(At(*polygon, 1).X, 10000);  // the vertex stays that of the vertex list
  EXPECT_EQ(At(*polygon, 1).CentreX, 5000);
  EXPECT_EQ(At(*polygon, 1).CentreY, 6000);
  EXPECT_EQ(At(*polygon, 1).Radius, 7000);
  EXPECT_EQ(At(*polygon, 1).StartAngle, 0.0);
  EXPECT_EQ(At(*polygon, 1).EndAngle, 360.0);
  EXPECT_EQ(At(*polygon, 2).StartAngle, 45.0);
  EXPECT_EQ(At(*polygon, 2).EndAngle, 360.0);
  EXPECT_EQ(At(*polygon, 3).SegmentKind, 0);
  EXPECT_NE(handles[1], 0u);  // the track after the arcs is found
}

TEST_F(Polygons, OldFilesScaleByTenOnly) {
  const auto polygon = Load<TPcbPolygon>(ReadOne(1, Square(1, 1, 0)));
  EXPECT_EQ(At(*polygon, 1).X, 10000);
  EXPECT_EQ(polygon->GridSize, 1000);
}

TEST_F(Polygons, AbortReadsNothingOfTheRecord) {
  context().abort = true;
  Open(10, Square(10, 1, 0));
  ShortString<255> line;
  context().input.ReadLine(line);
  EXPECT_EQ(ReadPolygon(context()), 0u);
  context().input.ReadLine(line);
  EXPECT_EQ(line.View(), "1");
  EXPECT_EQ(context().tables.Count(TIndexTables::Sequence::kPolygon), 0);
}

// Outlines the host's 5001 segments cannot hold are cut after segment 5000, but read to their
// end so that the next record is found.
TEST_F(Polygons, LongOutlineIsCutButReadToItsEnd) {
  constexpr int kEdges = 5003;
  std::string text = "PG\n1\n0\n0 0 0 0 0 0\n100 80\n" + std::to_string(kEdges) + "\n";
  for (int i = 0; i <= kEdges; ++i) text += std::to_string(i) + " 1\n";
  text += "0";
  for (int i = 0; i < kEdges; ++i) text += (i == 4999 || i == 5001) ? " 1" : " 0";
  text += "\nFA\n0 0 7 7 7 10 20 1 1 0 0\n0 0\nFA\n0 0 8 8 8 30 40 1 1 0 0\n0 0\n";
  text += "FT\n0 0 1 1 1 1 1 1 0 0 0\n0 0 0\n";
  const auto handles = ReadRecords(9, text);
  ASSERT_EQ(handles.size(), 2u);
  const auto polygon = Load<TPcbPolygon>(handles[0]);
  EXPECT_EQ(polygon->PointCount, 5000);
  EXPECT_EQ(At(*polygon, 5000).X, 50000);
  EXPECT_EQ(At(*polygon, 4999).SegmentKind, 1);
  EXPECT_EQ(At(*polygon, 4999).CentreX, 70);
  EXPECT_NE(handles[1], 0u);
}

TEST_F(Polygons, HugeCountStopsAtTheEndOfTheData) {
  const auto handles = ReadRecords(10, "PG\n1\n0\n0 0 0 0 0 0\n100 80 0 0\n2147483647\n0 0\n5 5\n");
  ASSERT_EQ(handles.size(), 1u);
  const auto polygon = Load<TPcbPolygon>(handles[0]);
  EXPECT_EQ(polygon->PointCount, 5000);
  EXPECT_EQ(At(*polygon, 1).X, 50);
  EXPECT_EQ(At(*polygon, 2).X, 0);
}

TEST_F(Polygons, NegativeCountReadsNoVertexAndKeepsTheCount) {
  const auto handles =
      ReadRecords(10, "PG\n1\n0\n0 0 0 0 0 0\n100 80 0 0\n-3\n0\nFT\n0 0 1 1 1 1 1 1 0 0 0\n0 0 0 0 0\n");
  ASSERT_EQ(handles.size(), 2u);
  EXPECT_EQ(Load<TPcbPolygon>(handles[0])->PointCount, -3);
  EXPECT_NE(handles[1], 0u);
}

}  // namespace
