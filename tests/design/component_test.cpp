// The component reader: its values per format level, the nested records, pad numbering, and
// the side of the board deduced for files that do not state it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/layer_warnings.h"
#include "design/readers.h"
#include "host/api/vocabulary.h"
#include "records/index_tables.h"
#include "tests/design/design_records.h"
#include "tests/support/run_fixture.h"

namespace {

using design_test::Comp;
using design_test::Component;
using design_test::OldPad;
using design_test::ReadDesignRecords;
using design_test::Track;
using Category = TComponentLayerWarnings::Category;

class ComponentTest : public test_support::RunFixture {
 protected:
  std::uint32_t ReadOne(int level, const Comp& comp, const std::string& after = "") {
    StartRun(level, Component(level, comp) + after);
    const std::vector<std::uint32_t> handles = ReadDesignRecords(context());
    EXPECT_EQ(handles.size(), 1u);
    return handles.empty() ? 0 : handles.front();
  }
  int Layer(std::uint32_t handle) { return static_cast<int>(model().GetNumber(handle, "Layer")); }
  // The categories that hold an entry, in category order.
  std::vector<Category> Reported() {
    std::vector<Category> found;
    for (const Category category : {Category::kTopByDesignator, Category::kBottomByDesignator,
                                    Category::kTopByPrimitives, Category::kBottomByPrimitives, Category::kUndefined}) {
      for (std::size_t i = 0; i < context().warnings.Entries(category).size(); ++i) found.push_back(category);
    }
    return found;
  }
};

TEST_F(ComponentTest, ReadsTheRecordIntoTheComponentAndItsTexts) {
  const std::uint32_t component = ReadOne(9, {.tag = 5, .members = Track(9, 1)});
  ASSERT_NE(component, 0u);
  EXPECT_EQ(model().GetText(component, "Pattern"), "DIP14");
  EXPECT_EQ(model().GetNumber(component, "X"), 10000);  // scaled once, at the end
  EXPECT_EQ(model().GetNumber(component, "Y"), 20000);
  EXPECT_EQ(model().GetNumber(component, "Rotation"), 90.0);
  EXPECT_EQ(model().GetNumber(component, "Tag"), 5);
  EXPECT_EQ(model().GetNumber(component, "ExtraAttribute"), 3);
  EXPECT_EQ(model().GetNumber(component, "Index"), 1);
  EXPECT_EQ(model().GetNumber(component, "Flags"), 0);
  const auto name_text = static_cast<std::uint32_t>(model().GetNumber(component, "NameText"));
  const auto comment_text = static_cast<std::uint32_t>(model().GetNumber(component, "CommentText"));
  EXPECT_EQ(model().GetText(name_text, "Text"), "U1");
  EXPECT_EQ(model().GetText(comment_text, "Text"), "74HC00");
  EXPECT_EQ(model().GetNumber(name_text, "Component"), component);
  EXPECT_EQ(model().GetNumber(comment_text, "Component"), component);
}

TEST_F(ComponentTest, OldFilesKeepTheTagWithItsLowestBitInverted) {
  EXPECT_EQ(model().GetNumber(ReadOne(8, {.tag = 0}), "Tag"), 1);
  TearDown();
  EXPECT_EQ(model().GetNumber(ReadOne(8, {.tag = 3}), "Tag"), 2);
  TearDown();
  EXPECT_EQ(model().GetNumber(ReadOne(9, {.tag = 0}), "Tag"), 0);
}



TEST_F(ComponentTest, NestedRecordsJoinTheComponentAndOtherLinesAreDropped) {
  // FT is no nested keyword: the line and its value lines are dropped, as are "ct" and "CT ".
  const std::string members = Track(10, 1, "CT") + Track(10, 1, "FT") + Track(10, 1, "ct") + Track(10, 1, "CT ") +
                              "CA\n0 0 5000 5000 2500 0.000 90.000 1000 1 0 0\n0 0\n";
  const std::uint32_t component = ReadOne(10, {.members = members}, Track(10, 1, "FT"));
  const std::vector<std::uint32_t> in_component = model().Members(component);
  ASSERT_EQ(in_component.size(), 2u);
  EXPECT_EQ(model().KindOf(in_component[0]), KindCode(ObjectKind::kTrack));
  EXPECT_EQ(model().KindOf(in_component[1]), 1);
  // Only the nested track exists: the reader made no other track, and the record loop after
  // ENDCOMP is left the free FT record (which this test's loop does not read).
  EXPECT_EQ(test_support::ObjectsOfKind(board(), KindCode(ObjectKind::kTrack)).size(), 1u);
}

TEST_F(ComponentTest, MissingEndcompEndsAtTheEndOfTheInput) {
  const std::uint32_t component = ReadOne(10, {.members = Track(10, 1) + Track(10, 1), .end = false});
  ASSERT_NE(component, 0u);
  EXPECT_EQ(model().Members(component).size(), 2u);
  EXPECT_EQ(model().GetNumber(component, "Index"), 1);
  EXPECT_TRUE(context().input.AtEnd());
}

TEST_F(ComponentTest, AbortEndsTheNestedRecordsAfterTheCurrentOne) {
  StartRun(10, Component(10, {.members = Track(10, 1) + Track(10, 1)}));
  context().abort = true;
  ShortString<255> line;
  context().input.ReadLine(line);
  const std::uint32_t component = ReadComponent(context());
  EXPECT_EQ(model().Members(component).size(), 1u);
  EXPECT_EQ(model().GetNumber(component, "Index"), 1);
  EXPECT_FALSE(context().input.AtEnd());
}

TEST_F(ComponentTest, PadsAreNumberedFromOneInEveryComponent) {
  for (const int level : {0, 2}) {
    SCOPED_TRACE(level);
    const std::string text = Component(level, {.designator = "U1", .members = OldPad("CP", "1") + OldPad("CP", "2")}) +
                             Component(level, {.designator = "U2", .members = OldPad("CP", "1") + OldPad("CP", "2")});
    StartRun(level, text);
    const std::vector<std::uint32_t> components = ReadDesignRecords(context());
    ASSERT_EQ(components.size(), 2u);
    for (const std::uint32_t component : components) {
      const std::vector<std::uint32_t> pads = model().Members(component);
      ASSERT_EQ(pads.size(), 2u);
      EXPECT_EQ(model().GetNumber(pads[0], "Index"), 1);
      EXPECT_EQ(model().GetNumber(pads[1], "Index"), 2);
    }
    EXPECT_EQ(model().GetNumber(components[1], "Index"), 2);
    // From version 1.10 on the free pads that follow count from 1 again; the oldest files go on.
    EXPECT_EQ(context().tables.Next(TIndexTables::Sequence::kPad), level == 0 ? 3 : 1);
    TearDown();
  }
}

TEST_F(ComponentTest, SideOfTheBoard) {
  struct Case {
    const char* name;
    int level;
    Comp comp;
    int layer;
    std::vector<Category> reported;
  };
  const Case cases[] = {
      {"2.80 states the side", 10, {.designator_layer = 17, .layer = 16, .members = Track(10, 17)}, 32, {}},
      {"designator on the top overlay", 9, {.designator_layer = 17}, 1, {Category::kTopByDesignator}},
      {"designator on the bottom overlay", 9, {.designator_layer = 18}, 32, {Category::kBottomByDesignator}},
      {"designator on bottom copper", 5, {.designator_layer = 16, .comment_layer = 17}, 32,
       {Category::kBottomByDesignator}},
      {"comment shown on the top overlay", 9,
       {.designator_layer = 2, .comment_layer = 17, .comment_shown = 1, .members = Track(9, 34)}, 1,
       {Category::kTopByPrimitives}},
      {"primitives on the bottom side", 9,
       {.designator_layer = 2, .comment_layer = 17, .comment_shown = 0, .members = Track(9, 18) + Track(9, 16)}, 32,
       {Category::kBottomByPrimitives}},
      {"neither rule decides", 9,
       {.designator_layer = 29, .comment_layer = 17, .comment_shown = 0, .members = Track(9, 34)}, 1,
       {Category::kUndefined}},
      {"primitives on both sides", 9,
       {.designator_layer = 2, .comment_layer = 17, .comment_shown = 0, .members = Track(9, 1) + Track(9, 18)}, 1,
       {Category::kUndefined}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::uint32_t component = ReadOne(test.level, test.comp);
    EXPECT_EQ(Layer(component), test.layer);
    EXPECT_EQ(Reported(), test.reported);
    TearDown();
  }
}


}  // namespace
