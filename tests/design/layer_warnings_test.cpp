// The layer warnings collector: which categories ask for a report, the report file beside the
// board and the message that names it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "design/layer_warnings.h"
#include "tests/design/design_records.h"
#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"

namespace {

using design_test::Comp;
using design_test::Component;
using design_test::ReadDesignRecords;

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<no line end>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string FileNamePart(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string ReportPathOf(const std::string& board_path) {
  return board_path.substr(0, board_path.find_last_of('.')) + ".rpt";
}

class LayerWarningsTest : public test_support::RunFixture {
 protected:
  void SetUp() override { Session().options.quiet = true; }  // the information box stays off the terminal
};

TEST_F(LayerWarningsTest, OnlyGuessedSidesAskForAReport) {
  StartRun(9, Component(9, {.designator_layer = 17}) + Component(9, {.designator_layer = 18}));
  ReadDesignRecords(context());
  EXPECT_FALSE(context().warnings.HasWarnings());
  for (const Comp& comp : {Comp{.designator_layer = 2, .comment_shown = 1},  // top by primitives
                          Comp{.designator_layer = 2, .comment_layer = 18},  // bottom by primitives
                          Comp{.designator_layer = 2, .comment_shown = 0}}) {  // undefined
    StartRun(9, Component(9, comp));
    ReadDesignRecords(context());
    EXPECT_TRUE(context().warnings.HasWarnings());
    TearDown();
  }
}


TEST_F(LayerWarningsTest, ReportBesideTheBoardWithHeaderAndTheNonEmptySections) {
  // Four components decided by their designator, one by its primitives, in file order.
  std::string text;
  for (const char* designator : {"U1", "U2", "U3", "U4"}) {
    text += Component(9, {.designator = designator, .designator_layer = 17});
  }
  text += Component(9, {.pattern = "SO8", .designator = "U5", .designator_layer = 2, .comment = "LM358"});
  StartRun(9, text);
  ReadDesignRecords(context());
  context().warnings.WriteReport(context().board.FileName(), context().format_level);

  const std::string report_path = ReportPathOf(path());
  EXPECT_EQ(context().warnings.ReportFileName().Str(), report_path);
  const std::vector<std::string> lines = SplitCrLf(test_support::ReadText(report_path));
  const std::string d = "Quorix PCB Ascii Version 2.70";
  ASSERT_EQ(lines.size(), 7u + 3 + 4 + 2 + 3 + 1 + 2);
  EXPECT_EQ(lines[0], d + " Importer - Component Layer Warnings Report");
  EXPECT_EQ(lines[1], "PCB File : " + FileNamePart(path()));
  EXPECT_EQ(lines[2].substr(0, 11), "Date     : ");
  EXPECT_GT(lines[2].size(), 11u);
  EXPECT_EQ(lines[3].substr(0, 11), "Time     : ");
  EXPECT_EQ(lines[4], std::string(73, '='));
  const std::vector<std::string> rest(lines.begin() + 5, lines.end());
  const std::vector<std::string> expected = {
      "", "",
      "Top Layer Components", "These components have a valid top layer attribute in the", d + " file",
      "U1 (DIP14, 74HC00)", "U2 (DIP14, 74HC00)", "U3 (DIP14, 74HC00)", "U4 (DIP14, 74HC00)", "", "",
      "Top Layer Components With Warnings",
      "These components do not have a valid layer in the " + d + " file,",
      "but were assumed to be top layer because of their footprint primitives.",
      "U5 (SO8, LM358)", "", ""};
  EXPECT_EQ(rest, expected);
}


TEST_F(LayerWarningsTest, MessageNamesBothFilesWithoutFolders) {
  StartRun(9, Component(9, {.designator_layer = 2}));
  ReadDesignRecords(context());
  context().warnings.WriteReport(context().board.FileName(), context().format_level);
  const std::size_t before = Session().messages.size();
  context().warnings.ShowReportMessage(context().board.FileName(), context().format_level);
  ASSERT_EQ(Session().messages.size(), before + 1);
  const nlohmann::json& message = Session().messages.back();
  EXPECT_EQ(message["Caption"], "Information");
  EXPECT_EQ(message["Text"], FileNamePart(path()) +
                                 ": some of the components' layers in this\r\nQuorix PCB Ascii Version 2.70 file could "
                                 "not be determined.\r\nPlease review the report file " +
                                 FileNamePart(ReportPathOf(path())) + " for more information.");
  EXPECT_EQ(message["Type"].get<unsigned>() & 0xFF, MB_OK | MB_ICONINFORMATION);
}

TEST_F(LayerWarningsTest, ReportThatCannotBeCreatedDoesNotStopTheRun) {
  StartRun(9, Component(9, {.designator_layer = 2}));
  ReadDesignRecords(context());
  context().board.Board.FileName.Assign("/no/such/folder/board.PCB");
  context().warnings.WriteReport(context().board.FileName(), context().format_level);
  context().warnings.ShowReportMessage(context().board.FileName(), context().format_level);
  EXPECT_EQ(context().warnings.ReportFileName().Str(), "/no/such/folder/board.rpt");
  EXPECT_NE(Session().messages.back()["Text"].get<std::string>().find("board.rpt"), std::string::npos);
}

// The whole import in the host program: the report is written through the host's streams and
// listed in the document, and the information box is shown once.
TEST(LayerWarningsImport, HostProgramWritesTheReportAndShowsTheMessage) {
  const std::string board = test_support::WriteFile(
      test_support::UniqueBoardPath("report"),
      "PCB FILE 6 VERSION 2.70\n1 2 3 4 5 6 7 8 9 10\n" + Component(9, {.designator_layer = 2}) +
          design_test::NetDef(9, {.name = "GND", .width = 12, .via_size = 50}));
  const std::string json = board + ".json";
  const test_support::ProgramRun run = test_support::RunHost("import " + test_support::Quote(board) + " --quiet --json " +
                                                             test_support::Quote(json));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json document = test_support::ReadJson(json);
  const std::string report = test_support::ReadText(ReportPathOf(board));
  const nlohmann::json& files = document["host"]["files"];
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0]["Name"], ReportPathOf(board));
  EXPECT_EQ(files[0]["Size"], report.size());
  ASSERT_EQ(document["host"]["messages"].size(), 1u);
  EXPECT_EQ(document["host"]["messages"][0]["Caption"], "Information");

  // The net's width and via size reach the rules times 10, not scaled otherwise.
  bool width_seen = false;
  bool via_seen = false;
  for (const nlohmann::json& rule : test_support::OfKind(document, "Rule")) {
    if (rule["RuleName"] == "Width") {
      width_seen = true;
      EXPECT_EQ(rule["Constraint"]["Values"][0], 120);
    }
    if (rule["RuleName"] == "RoutingVias") {
      via_seen = true;
      EXPECT_EQ(rule["Constraint"]["Values"][2], 500);
    }
  }
  EXPECT_TRUE(width_seen);
  EXPECT_TRUE(via_seen);
}


}  // namespace
