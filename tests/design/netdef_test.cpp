// The net reader: numbering and the net table, the blocks of the record, the routing values
// handed to the classifier and the plane nets of the internal planes.
#include <gtest/gtest.h>

#include <string>

#include "design/readers.h"
#include "host/board.h"
#include "host/board_layers.h"
#include "records/index_tables.h"
#include "rules/classifier.h"
#include "tests/design/design_records.h"
#include "tests/support/run_fixture.h"

namespace {

using design_test::Net;
using design_test::NetDef;
using design_test::ReadDesignRecords;

class NetDefTest : public test_support::RunFixture {
 protected:
  std::string PlaneNetName(int plane) {
    TPcbBoard board_wrapper(board());
    board_wrapper.Load();
    return board_wrapper.Plane(plane).PlaneNetName.Str();
  }
};

TEST_F(NetDefTest, NetsAreNumberedInFileOrderAndEnteredInTheNetTable) {
  StartRun(10, NetDef(10, {.name = "GND"}) + NetDef(10, {.name = "VCC"}) + NetDef(10, {.name = "+5V"}));
  const std::vector<std::uint32_t> nets = ReadDesignRecords(context());
  ASSERT_EQ(nets.size(), 3u);
  const char* names[] = {"GND", "VCC", "+5V"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(nets[i], 0u);
    EXPECT_EQ(model().GetText(nets[i], "Name"), names[i]);
    EXPECT_EQ(model().GetNumber(nets[i], "Index"), i + 1);
    EXPECT_EQ(context().tables.Lookup(TIndexTables::Table::kNet, i + 1), nets[i]);
  }
}

TEST_F(NetDefTest, EveryFormatLevelReadsExactlyItsRecord) {
  // Two records back to back: the second is only found when the first left the input on the
  // line after its own last one.
  for (int level = 0; level <= 10; ++level) {
    SCOPED_TRACE(level);
    StartRun(level, NetDef(level, {.name = "A"}) + NetDef(level, {.name = "B"}));
    const std::vector<std::uint32_t> nets = ReadDesignRecords(context());
    ASSERT_EQ(nets.size(), 2u);
    EXPECT_EQ(model().GetText(nets[1], "Name"), "B");
    EXPECT_EQ(model().GetNumber(nets[1], "Index"), 2);
    TearDown();
  }
}

TEST_F(NetDefTest, ClosingLinesAreComparedWhole) {
  // ") " and " }" close nothing; the NETDEF line inside the member list is a member.
  StartRun(2, NetDef(2, {.name = "A", .members = ") \nx\n}\n NETDEF\n }\n"}) + "after\n");
  const std::vector<std::uint32_t> nets = ReadDesignRecords(context());
  ASSERT_EQ(nets.size(), 1u);
  EXPECT_EQ(model().GetText(nets[0], "Name"), "A");
}

TEST_F(NetDefTest, LongNameKeepsItsFirst255Characters) {
  const std::string name = std::string(250, 'N') + std::string(50, 'x');
  StartRun(10, NetDef(10, {.name = name}));
  const std::vector<std::uint32_t> nets = ReadDesignRecords(context());
  ASSERT_EQ(nets.size(), 1u);
  EXPECT_EQ(model().GetText(nets[0], "Name"), name.substr(0, 255));
  // The rest of the name line is dropped: the routing values that follow are still read.
  EXPECT_EQ(context().classifier.RuleCount(static_cast<int>(RuleFamily::kWidth)), 1);
}

TEST_F(NetDefTest, RoutingValuesReachTheClassifierFromVersion110) {
  for (const int level : {0, 1, 10}) {
    SCOPED_TRACE(level);
    StartRun(level, NetDef(level, {.name = "A", .width = 0}) + NetDef(level, {.name = "B", .width = 7}));
    ReadDesignRecords(context());
    // Two distinct widths: the common one plus one scoped rule; a width of 0 still counts.
    const int expected_width_rules = level == 0 ? 0 : 2;
    EXPECT_EQ(context().classifier.RuleCount(static_cast<int>(RuleFamily::kWidth)), expected_width_rules);
    for (const RuleFamily family : {RuleFamily::kViaSize, RuleFamily::kTopology, RuleFamily::kPriority}) {
      EXPECT_EQ(context().classifier.RuleCount(static_cast<int>(family)), level == 0 ? 0 : 1);
    }
    TearDown();
  }
}

TEST_F(NetDefTest, PlaneLayerNamesTheNetOfTheFirstFourInternalPlanes) {
  struct Case {
    int plane_layer;
    std::vector<int> split_plane_nets;
    int plane;           // expected plane with the name, 0 for none
  };
  const Case cases[] = {
      {23, {}, 1},      // InternalPlane1
      {26, {}, 4},      // InternalPlane4
      {23 + 256, {}, 1},  // only the low byte of the file layer counts
      {23, {5, 1}, 0},  // a split plane of net 1 was read before
      {23, {2}, 1},     // a split plane of another net
      {27, {}, 0},      // DrillGuide
      {1, {}, 0},
      {99, {}, 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.plane_layer);
    StartRun(10, NetDef(10, {.name = "PWR", .plane_layer = test.plane_layer}));
    context().split_plane_nets = test.split_plane_nets;
    ReadDesignRecords(context());
    for (int plane = 1; plane <= 4; ++plane) {
      EXPECT_EQ(PlaneNetName(plane), plane == test.plane ? "PWR" : "(No Net)") << plane;
    }
    TearDown();
  }
}



TEST_F(NetDefTest, AttributeTakesTheLow32BitsFromVersion270) {
  StartRun(9, NetDef(9, {.name = "A", .attribute = "4294967301"}) + NetDef(8, {.name = "B"}));
  const std::vector<std::uint32_t> nets = ReadDesignRecords(context());
  ASSERT_EQ(nets.size(), 2u);
  EXPECT_EQ(model().GetNumber(nets[0], "Attribute"), 5);
}

TEST_F(NetDefTest, EndOfInputInsideABlockEndsTheRecord) {
  const std::string cut_in_members = "NETDEF\nGND\n12 50 2 3\n(\nU1-1\n";
  const std::string cut_in_braces = "NETDEF\nGND\n12 50 2 3\n(\n)\n{\nx";
  for (const std::string& text : {cut_in_members, cut_in_braces}) {
    StartRun(10, text);
    const std::vector<std::uint32_t> nets = ReadDesignRecords(context());
    ASSERT_EQ(nets.size(), 1u);
    EXPECT_NE(nets[0], 0u);
    EXPECT_EQ(model().GetNumber(nets[0], "Index"), 1);
    EXPECT_TRUE(context().input.AtEnd());
    EXPECT_EQ(PlaneNetName(1), "(No Net)");
    TearDown();
  }
}

}  // namespace
