// Aborting an import with Escape, and the record loop's keyword lines, through the host program.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"

namespace {

using test_support::OfKind;
using test_support::Quote;
using test_support::ReadJson;
using test_support::RunHost;
using test_support::UniqueBoardPath;
using test_support::WriteFile;

std::string TrackRecord(int x) {
  return "FT\r\n0 0 " + std::to_string(x) + " 0 " + std::to_string(x + 100) + " 0 10 1 0 0 0\r\n0 0 0 0 0\r\n";
}

std::string FiveTracks() {
  std::string text = "PCB FILE 6 VERSION 2.80\r\n0 5 0 0 0 0 0 0 0 0\r\n";
  for (int i = 1; i <= 5; ++i) text += TrackRecord(i * 1000);
  return text;
}

nlohmann::json Import(const std::string& text, const std::string& options, int expected_status) {
  const std::string path = WriteFile(UniqueBoardPath("abort"), text);
  const std::string json = path + ".json";
  const auto run = RunHost("import " + Quote(path) + " --quiet --test-mode --json " + Quote(json) + " " + options);
  EXPECT_EQ(run.status, expected_status) << run.err;
  return ReadJson(json);
}

std::vector<std::string> RuleNames(const nlohmann::json& document) {
  std::vector<std::string> names;
  for (const auto& rule : OfKind(document, "Rule")) names.push_back(rule["RuleName"]);
  return names;
}

TEST(Abort, YesEndsTheImportAfterTheCurrentRecord) {
  const auto document = Import(FiveTracks(), "--escape-at 2 --confirm-abort yes", 1);
  EXPECT_EQ(OfKind(document, "Track").size(), 2u);
  EXPECT_EQ(document["host"]["progress"]["Finished"], 1);
  EXPECT_EQ(document["host"]["progress"]["Updates"], 2);
  ASSERT_EQ(document["host"]["messages"].size(), 1u);
  EXPECT_EQ(document["host"]["messages"][0]["Answer"], 6);
  // The board keeps the rules it had; an aborted run touches none.
  const auto names = RuleNames(document);
  EXPECT_FALSE(names.empty());
  EXPECT_EQ(std::count(names.begin(), names.end(), "UnRoutedNet"), 0);
}

TEST(Abort, NoRunsToTheEnd) {
  const auto document = Import(FiveTracks(), "--escape-at 2 --confirm-abort no", 0);
  EXPECT_EQ(OfKind(document, "Track").size(), 5u);
  ASSERT_EQ(document["host"]["messages"].size(), 1u);
  EXPECT_EQ(document["host"]["messages"][0]["Answer"], 7);
}

TEST(Abort, NoThenYesAbortsAtTheSecondEscape) {
  const auto document = Import(FiveTracks(), "--escape-at 1,3 --confirm-abort no,yes", 1);
  EXPECT_EQ(OfKind(document, "Track").size(), 3u);
  EXPECT_EQ(document["host"]["messages"].size(), 2u);
}

TEST(RecordLoop, OnlyExactKeywordLinesOpenRecords) {
  std::string text = "PCB FILE 6 VERSION 2.80\r\n0 0 0 0 0 0 0 0 0 0\r\n";
  text += "FT \r\n0 0 1 0 2 0 1 1 0 0 0\r\n0 0 0 0 0\r\n";   // trailing blank
  text += " FT\r\n0 0 1 0 2 0 1 1 0 0 0\r\n0 0 0 0 0\r\n";   // leading blank
  text += "ft\r\n0 0 1 0 2 0 1 1 0 0 0\r\n0 0 0 0 0\r\n";    // small letters
  text += TrackRecord(7000);
  const auto document = Import(text, "", 0);
  const auto tracks = OfKind(document, "Track");
  ASSERT_EQ(tracks.size(), 1u);
  EXPECT_EQ(tracks[0]["X"], 70000);
}

TEST(RecordLoop, EndOfFileMarkEndsTheInput) {
  std::string text = "PCB FILE 6 VERSION 2.80\r\n0 0 0 0 0 0 0 0 0 0\r\n" + TrackRecord(1000) + "\x1A" + TrackRecord(2000);
  EXPECT_EQ(OfKind(Import(text, "", 0), "Track").size(), 1u);
}

TEST(RecordLoop, CrOnlyLineEndsMakeOneLongLine) {
  const std::string text = "PCB FILE 6 VERSION 2.80\r0 0 0 0 0 0 0 0 0 0\rFT\r0 0 1 0 2 0 1 1 0 0 0\r";
  const auto document = Import(text, "", 0);
  EXPECT_TRUE(OfKind(document, "Track").empty());
}

}  // namespace
