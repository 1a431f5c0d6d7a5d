// The DEFAULTS reader on small sections: units of old files, the current layer, layer flags, the
// change order line, and the read-error test that leaves the host's board untouched.
#include <string>
#include <vector>

#include "host/api/vocabulary.h"
#include "records/conventions.h"
#include "tests/design/settings_fixture.h"

namespace {

using settings_test::SettingsTest;

// A DEFAULTS section (after its keyword line), group by group, then the line "NEXT".
struct DefaultsText {
  std::string group1 = "10 20";
  std::string group2 = "30 40";
  std::string group3 = "0";
  std::string group4 = "1 2 3";
  std::string group5 = "0.5 1.25 2.5 3.5";
  std::string group6 = "16 0.0";
  std::vector<std::string> layers = std::vector<std::string>(42, "0");
  std::string eco = "1 name.txt";

  [[nodiscard]] std::string Text(int level) const {
    std::string text;
    for (const std::string* line : {&group1, &group2, &group3, &group4, &group5, &group6}) text += *line + "\n";
    for (const std::string& line : layers) text += line + "\n";
    if (level >= 4) text += eco + "\n";
    return text + "NEXT\n";
  }
};

using DefaultsTest = SettingsTest;

TEST_F(DefaultsTest, OldFilesGiveBoardValuesAndGridsInMils) {
  struct Case {
    int level;
    double board4, board5, board6, board7, grid5, grid6;
  };
  const Case cases[] = {
      {0, 100000, 200000, 300000, 400000, 5000.0, 12500.0},
      {1, 100000, 200000, 300000, 400000, 5000.0, 12500.0},
      {2, 10, 20, 30, 40, 0.5, 1.25},
      {10, 10, 20, 30, 40, 0.5, 1.25},
  };
  for (const Case& c : cases) {
    StartRun(c.level, DefaultsText().Text(c.level));
    ReadDefaults(context());
    EXPECT_EQ(Host("Board4"), c.board4) << c.level;
    EXPECT_EQ(Host("Board5"), c.board5) << c.level;
    EXPECT_EQ(Host("Board6"), c.board6) << c.level;
    EXPECT_EQ(Host("Board7"), c.board7) << c.level;
    EXPECT_EQ(Host("Grids5"), c.grid5) << c.level;
    EXPECT_EQ(Host("Grids6"), c.grid6) << c.level;
    EXPECT_EQ(NextLine(), "NEXT") << c.level;
    TearDown();
  }
}

TEST_F(DefaultsTest, GroupsFourAndSixSetBoardAndGridBytesAndTheCurrentLayerAsWritten) {
  DefaultsText text;
  text.group4 = "300 2 258";
  text.group6 = "16 7.5";
  StartRun(10, text.Text(10));
  const double grid13 = Host("Grids13");
  const double grid7 = Host("Grids7");
  ReadDefaults(context());
  EXPECT_EQ(Host("Board8"), 44);  // low 8 bits of 300
  EXPECT_EQ(Host("Grids2"), 44);
  EXPECT_EQ(Host("Grids3"), 2);
  EXPECT_EQ(Host("Grids4"), 2);
  EXPECT_EQ(Host("CurrentLayer"), 16);  // MidLayer15, not the file's bottom layer
  // The third and fourth grids have no host value.
  EXPECT_EQ(Host("Grids13"), grid13);
  EXPECT_EQ(Host("Grids7"), grid7);
}

TEST_F(DefaultsTest, LayerLinesSetTheFlagOfTheMappedHostLayerToZeroOrOne) {
  DefaultsText text;
  for (int n = 1; n <= 42; ++n) text.layers[n - 1u] = n % 3 == 0 ? "0" : std::to_string(n * 5);
  StartRun(10, text.Text(10));
  const double unreached = Host("LayerFlag", 20);  // MidLayer19: no file layer
  const double plane5 = Host("LayerFlag", 43);
  ReadDefaults(context());
  for (int n = 1; n <= 42; ++n) {
    EXPECT_EQ(Host("LayerFlag", MapFileLayer(n)), n % 3 == 0 ? 0 : 1) << "file layer " << n;
  }
  EXPECT_EQ(Host("LayerFlag", 32), 1);  // file layer 16
  EXPECT_EQ(Host("LayerFlag", 20), unreached);
  EXPECT_EQ(Host("LayerFlag", 43), plane5);
}

TEST_F(DefaultsTest, ChangeOrderLineKeepsTheSeparatorBeforeTheFileName) {
  struct Case {
    std::string line;
    double flag;
    std::string file;
  };
  const Case cases[] = {
      {"1 name.txt", 1, " name.txt"},
      {"5\tlog file.eco  ", 1, "\tlog file.eco  "},
      {"0", 0, ""},
      {"0\r", 0, ""},
      {"1 " + std::string(300, 'x'), 1, " " + std::string(254, 'x')},
  };
  for (const Case& c : cases) {
    DefaultsText text;
    text.eco = c.line;
    StartRun(4, text.Text(4));
    ReadDefaults(context());
    EXPECT_EQ(Host("Eco1"), c.flag) << c.line;
    EXPECT_EQ(HostText("Eco2"), c.file) << c.line;
    EXPECT_EQ(NextLine(), "NEXT") << c.line;
    TearDown();
  }
}

TEST_F(DefaultsTest, BeforeVersion220ThereIsNoChangeOrderLine) {
  DefaultsText text;
  text.eco = "1 ignored.eco";
  StartRun(3, text.Text(3) + "MORE\n");
  const double eco1 = Host("Eco1");
  ReadDefaults(context());
  EXPECT_EQ(Host("Eco1"), eco1);
  EXPECT_EQ(NextLine(), "NEXT");
}

// A bad number in a tested group: nothing reaches the host, and the record loop goes on from
// the line after that group.
TEST_F(DefaultsTest, InvalidNumberLeavesTheWholeBoardAsItWas) {
  struct Case {
    std::string where;
    void (*damage)(DefaultsText&);
    std::string next_line;
  };
  const Case cases[] = {
      {"group 1", [](DefaultsText& t) { t.group1 = "10 2x0"; }, "30 40"},
      {"group 2", [](DefaultsText& t) { t.group2 = "30 abc"; }, "0"},
      {"group 3", [](DefaultsText& t) { t.group3 = "-7q"; }, "1 2 3"},
      {"group 4", [](DefaultsText& t) { t.group4 = "1 2 99999999999"; }, "0.5 1.25 2.5 3.5"},
      {"group 5", [](DefaultsText& t) { t.group5 = "0.5 1.2.5 2.5 3.5"; }, "16 0.0"},
      {"group 6", [](DefaultsText& t) { t.group6 = "16 nan"; }, "0"},
      {"layer 42", [](DefaultsText& t) { t.layers[41] = "1z"; }, "1 name.txt"},
  };
  for (const Case& c : cases) {
    DefaultsText text;
    c.damage(text);
    StartRun(10, text.Text(10));
    const nlohmann::json before = Snapshot();
    ReadDefaults(context());
    EXPECT_EQ(Snapshot(), before) << c.where;
    EXPECT_EQ(NextLine(), c.next_line) << c.where;
    TearDown();
  }
}

TEST_F(DefaultsTest, ErrorLeftByAnEarlierRecordStopsTheSectionAndIsClearedByTheTest) {
  const std::string section = DefaultsText().Text(10);
  StartRun(10, "12ab\n" + section + section);
  context().input.ReadInt();  // an earlier record's bad value
  context().input.LineEnd();
  const nlohmann::json before = Snapshot();
  ReadDefaults(context());
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(NextLine(), "30 40");
  // The test cleared the error: a later section is stored.
  while (NextLine() != "NEXT") {
  }
  ReadDefaults(context());
  EXPECT_EQ(Host("Board4"), 10);
  EXPECT_EQ(HostText("Eco2"), " name.txt");
}

TEST_F(DefaultsTest, ChangeOrderLineIsNotTestedAndTruncatedSectionsAreStored) {
  DefaultsText text;
  text.eco = "1x name";
  StartRun(10, text.Text(10));
  ReadDefaults(context());
  EXPECT_EQ(Host("Eco1"), 1);
  EXPECT_EQ(HostText("Eco2"), " name");
  EXPECT_EQ(Host("Board4"), 10);
  TearDown();

  StartRun(1, "10 20\n30");
  const double eco1 = Host("Eco1");
  ReadDefaults(context());
  EXPECT_EQ(Host("Board4"), 100000);
  EXPECT_EQ(Host("Board6"), 300000);
  EXPECT_EQ(Host("Board7"), 0);
  EXPECT_EQ(Host("Grids5"), 0.0);
  EXPECT_EQ(Host("CurrentLayer"), 0);
  EXPECT_EQ(Host("LayerFlag", 1), 0);
  EXPECT_EQ(Host("Eco1"), eco1);  // no change order line below version 2.20
}

// Every value distinct (board generator): each lands where it belongs.
TEST_F(DefaultsTest, DistinctSectionValueByValue) {
  using settings_test::Distinct;
  using settings_test::DistinctLow8;
  using settings_test::DistinctReal;
  for (const int level : {1, 10}) {
    StartRun(level, settings_test::DistinctSection(level, "DEFAULTS"));
    ReadDefaults(context());
    const double scale = level <= 1 ? 10000.0 : 1.0;
    EXPECT_EQ(Host("Board4"), Distinct(1) * scale);
    EXPECT_EQ(Host("Board5"), Distinct(2) * scale);
    EXPECT_EQ(Host("Board6"), Distinct(3) * scale);
    EXPECT_EQ(Host("Board7"), Distinct(4) * scale);
    EXPECT_EQ(Host("Board8"), DistinctLow8(6));
    EXPECT_EQ(Host("Grids2"), DistinctLow8(6));
    EXPECT_EQ(Host("Grids3"), DistinctLow8(7));
    EXPECT_EQ(Host("Grids4"), DistinctLow8(8));
    EXPECT_EQ(Host("Grids5"), DistinctReal(9) * scale);
    EXPECT_EQ(Host("Grids6"), DistinctReal(10) * scale);
    EXPECT_EQ(Host("CurrentLayer"), DistinctLow8(13));
    for (int n = 1; n <= 42; ++n) {
      const int k = 14 + n;
      EXPECT_EQ(Host("LayerFlag", MapFileLayer(n)), k % 2 == 1 ? 1 : 0) << "file layer " << n;
    }
    if (level >= 4) {
      EXPECT_EQ(Host("Eco1"), 1);  // position 57
      EXPECT_EQ(HostText("Eco2"), " S58");
    }
    EXPECT_EQ(NextLine(), "OPTIONS");
    TearDown();
  }
}

// The whole import: after a bad number the rest of the section is read as ordinary lines, so
// a record after it is still found and nothing of the section reaches the board.
TEST(DefaultsImport, InvalidNumberSkipsTheRestOfTheSectionAsOrdinaryLines) {
  DefaultsText text;
  text.group2 = "30 4o";
  const std::string file = "PCB FILE 6 VERSION 2.80\n0 0 0 0 0 0 0 0 0 0\nDEFAULTS\n" + text.Text(10) +
                           "FT\n0 0 1000 2000 3000 4000 100 1 0 0 0\n0 0 0 0 0\n";
  const test_support::ImportResult result = test_support::ImportText(file, "bad-defaults");
  EXPECT_TRUE(result.ok);
  orv::Model& model = orv::Server();
  const std::uint32_t fresh = model.OpenBoard("/defaults-import/fresh.PCB");
  for (const char* field : {"Board4", "Board5", "Board6", "Board7", "Board8", "Grids2", "Grids5", "CurrentLayer"}) {
    EXPECT_EQ(model.GetNumber(result.board, field), model.GetNumber(fresh, field)) << field;
  }
  const auto tracks = test_support::ObjectsOfKind(result.board, KindCode(ObjectKind::kTrack));
  ASSERT_EQ(tracks.size(), 1u);
  EXPECT_EQ(model.GetNumber(tracks[0], "X"), 10000);
}

}  // namespace
