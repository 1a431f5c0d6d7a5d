// The link pass that attaches primitives to their owners at the end of a run.
#include "host/object_access.h"
#include "plugin/link_pass.h"
#include "tests/records/record_fixture.h"

namespace {

using LinkPassTest = RecordTest;

TEST_F(LinkPassTest, PolygonMembershipWinsOverTheNet) {
  MakeNet();
  const std::uint32_t net2 = MakeNet();
  const auto handles = ReadRecords(10,
                                   "PG\n1\n2\n0 0 0 0 0 0\n100 80 0 0\n0\n0 0\n0\n"
                                   "FT\n0 0 1 1 1 1 1 1 0 2 0\n1 0 0 0 0\n"   // polygon 1, net 2
                                   "FT\n0 0 1 1 1 1 1 1 0 2 0\n0 0 0 0 0\n"   // no polygon, net 2
                                   "FA\n0 0 1 1 1 0 90 1 1 2 0\n1 0\n"
                                   "FF\n0 0 1 1 2 2 1 2\n1 0 0\n");
  ASSERT_EQ(handles.size(), 5u);
  const std::uint32_t polygon = handles[0];
  LinkPass(context().tables, board_);

  for (std::uint32_t member : {handles[1], handles[3], handles[4]}) {
    EXPECT_TRUE(IsMember(polygon, member));
    EXPECT_FALSE(IsMember(net2, member));
    EXPECT_EQ(GetPolygonLink(member), static_cast<std::int32_t>(polygon));
    EXPECT_EQ(GetNetLink(member), 0);
  }
  EXPECT_TRUE(IsMember(net2, handles[2]));
  EXPECT_EQ(GetNetLink(handles[2]), static_cast<std::int32_t>(net2));
  EXPECT_EQ(GetPolygonLink(handles[2]), 0);

  // The polygon names its net but does not join it.
  EXPECT_EQ(GetNetLink(polygon), static_cast<std::int32_t>(net2));
  EXPECT_FALSE(IsMember(net2, polygon));
}

TEST_F(LinkPassTest, PadsAndViasJoinNetsDefinedLaterOrNotAtAll) {
  const auto handles = ReadRecords(8,
                                   "FP\n0 0 1 2 60 60 1 60 60 1 60 60 1 30 0 1 1 0\nP\n"
                                   "FP\n0 0 1 2 60 60 1 60 60 1 60 60 1 30 0 1 16001 0\nP\n"
                                   "FV\n0 0 100 100 50 28 0 0 1 0\n");
  const std::uint32_t net = MakeNet();  // its NETDEF record comes after the primitives
  LinkPass(context().tables, board_);
  EXPECT_EQ(GetNetLink(handles[0]), static_cast<std::int32_t>(net));
  EXPECT_TRUE(IsMember(net, handles[0]));
  EXPECT_EQ(GetNetLink(handles[1]), 0);
  EXPECT_EQ(GetNetLink(handles[2]), static_cast<std::int32_t>(net));
  EXPECT_TRUE(IsMember(net, handles[2]));
}

TEST_F(LinkPassTest, StringsAndTracksJoinTheirCoordinateAndDimension) {
  const auto handles = ReadRecords(10,
                                   "FD\n1 1 17 0 0 0 0 0 0\n"
                                   "FD\n2 2 17 0 0 0 0 0 0\n"
                                   "FI\n1 1 2 2 17 0 0 0 0 0 0\n"
                                   "FS\n0 0 1 2 60000 0 0 0 17 0 0 0 0 100 0 1 0\nX\n"
                                   "FT\n0 0 1 1 1 1 1 17 0 0 0\n0 0 0 2 1\n"
                                   "FT\n0 0 1 1 1 1 1 17 0 0 0\n0 0 0 3 0\n");
  ASSERT_EQ(handles.size(), 6u);
  const std::uint32_t first = handles[0], second = handles[1], dimension = handles[2];
  const std::uint32_t text = handles[3], track = handles[4], stray = handles[5];
  LinkPass(context().tables, board_);

  EXPECT_TRUE(IsMember(first, text));
  EXPECT_FALSE(IsMember(second, text));
  EXPECT_FALSE(IsMember(dimension, text));
  EXPECT_EQ(GetCoordinateLink(text), static_cast<std::int32_t>(first));
  EXPECT_EQ(GetDimensionLink(text), 0);

  EXPECT_TRUE(IsMember(second, track));
  EXPECT_TRUE(IsMember(dimension, track));
  EXPECT_EQ(GetDimensionLink(track), static_cast<std::int32_t>(dimension));

  // Only two coordinates were read: number 3 names none.
  EXPECT_EQ(GetCoordinateLink(stray), 0);
}

}  // namespace
