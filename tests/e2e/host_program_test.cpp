// The host program end to end: recognition, description, import of minimal files, trace and
// progress, as a user runs it without a terminal.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"

namespace {

using test_support::OfKind;
using test_support::Quote;
using test_support::ReadJson;
using test_support::ReadText;
using test_support::RunHost;
using test_support::UniqueBoardPath;
using test_support::WriteFile;

constexpr char kCounts[] = "0 0 0 0 0 0 0 0 0 0\r\n";

TEST(HostProgram, DescribesTheImporter) {
  const auto run = RunHost("describe");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Quorix PCB 2.8 ASCII file (*.PCB)\n");
}

TEST(HostProgram, RecognisesTheBannerAnywhereInTheFirstLine) {
  struct Case {
    std::string text;
    int status;
  } cases[] = {
      {"pcb file 6 version 2.80\nFT\n", 0},
      {"xx PCB FILE 6 yy\n", 0},
      {"PCB FILE 5\nPCB FILE 6\nFT\n", 1},
      {"", 1},
  };
  for (const Case& c : cases) {
    const std::string path = WriteFile(UniqueBoardPath("recognise"), c.text);
    const auto run = RunHost("recognise " + Quote(path));
    EXPECT_EQ(run.status, c.status) << c.text;
    EXPECT_EQ(run.out, c.status == 0 ? "1\n" : "0\n") << c.text;
  }
  const auto missing = RunHost("recognise /nonexistent/board.PCB");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "0\n");
}

TEST(HostProgram, ImportsAFileOfOnlyTheHeader) {
  const std::string path = WriteFile(UniqueBoardPath("header"), std::string("PCB FILE 6 VERSION 2.80\r\n") + kCounts);
  const std::string json = path + ".json";
  const std::string trace = path + ".trace";
  const auto run = RunHost("import " + Quote(path) + " --quiet --json " + Quote(json) + " --trace " + Quote(trace));
  ASSERT_EQ(run.status, 0) << run.err;

  const std::string calls = ReadText(trace);
  EXPECT_EQ(calls.rfind("PcbApi_GetBoardHandleFromFullFileName(", 0), 0u) << calls.substr(0, 200);
  EXPECT_NE(calls.find("PcbApi_Percent_Finish() -> 0\n"), std::string::npos);
  EXPECT_EQ(calls.size() - calls.rfind("PcbApi_Percent_Finish() -> 0\n"), sizeof("PcbApi_Percent_Finish() -> 0\n") - 1)
      << "the progress bar's end is the last host call";

  const auto document = ReadJson(json);
  EXPECT_EQ(document["document"], "viderave-board");
  EXPECT_EQ(document["host"]["progress"]["Caption"], "Loading " + path + " (Text 2.8)");
  EXPECT_EQ(document["host"]["progress"]["Finished"], 1);
  // The new board's own rules were replaced by the run's.
  for (const auto& rule : OfKind(document, "Rule")) {
    EXPECT_NE(rule["Handle"], document["board"]["Handle"]);
    EXPECT_LT(document["board"]["Handle"].get<int>(), rule["Handle"].get<int>());
  }
}

TEST(HostProgram, UnrecognisedFileCallsNoHostFunction) {
  const std::string path = WriteFile(UniqueBoardPath("foreign"), "NOT A BOARD\nFT\n");
  const std::string trace = path + ".trace";
  const auto run = RunHost("import " + Quote(path) + " --quiet --json " + Quote(path + ".json") + " --trace " +
                           Quote(trace));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadText(trace), "");
}

std::string Repeated(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

// An import that does not complete says why on the terminal, and still saves the document.
TEST(HostProgram, SaysWhyAnImportDidNotComplete) {
  struct Case {
    std::string name, text, options, reason;
  } cases[] = {
      {"empty", "", "", ": the file is empty"},
      {"foreign", "PCB FIL 6 VERSION 2.80\x01\nFT\n", "",
       R"(: not a text PCB file: its first line is "PCB FIL 6 VERSION 2.80\x01", not a banner)"},
      {"long", std::string(100, 'x') + "\n", "", "its first line is \"" + std::string(60, 'x') + "...\""},
      {"aborted", "PCB FILE 6 VERSION 2.80\n0 5 0 0 0 0 0 0 0 0\n" + Repeated("FT\n0 0 0 0 100 0 10 1 0 0 0\n0 0 0 0 0\n", 5),
       "--escape-at 2 --confirm-abort yes", ": aborted: the abort was confirmed"},
  };
  for (const Case& c : cases) {
    const std::string path = WriteFile(UniqueBoardPath(c.name), c.text);
    const std::string json = path + ".json";
    const auto run = RunHost("import " + Quote(path) + " --test-mode --json " + Quote(json) + " " + c.options);
    EXPECT_EQ(run.status, 1) << c.name << run.err;
    EXPECT_NE(run.err.find("viderave: import did not complete: " + path), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.name << ": " << run.err;
    EXPECT_EQ(ReadJson(json)["document"], "viderave-board") << c.name;
  }
}

TEST(HostProgram, MissingFileOrFolderIsAUsageError) {
  const std::string json = UniqueBoardPath("none") + ".json";
  EXPECT_EQ(RunHost("import /nonexistent/board.PCB --quiet --json " + Quote(json)).status, 2);
  EXPECT_EQ(RunHost("import / --quiet --json " + Quote(json)).status, 2);
  EXPECT_EQ(ReadText(json), "") << "no document for a file that was not imported";
  EXPECT_EQ(RunHost("import").status, 2);
  EXPECT_EQ(RunHost("frobnicate").status, 2);
}

TEST(HostProgram, BannerDecidesTheFormatLevel) {
  struct Case {
    std::string banner;
    std::string suffix;
  } cases[] = {
      {"PCB FILE 6", " (Text)"},
      {"PCB FILE 6 VERSION 1.10", " (Text 1.1)"},
      {"pcb file 6 version 2.80", " (Text 2.8)"},
      {"PCB FILE 6 VERSION 2.805", " (Text 2.8)"},
      {"PCB FILE 6 VERSION 2.90", " (Text)"},
      {std::string(240, ' ') + "PCB FILE 6 VERSION 2.80", " (Text)"},  // the version lies past 255
  };
  for (const Case& c : cases) {
    const std::string path = WriteFile(UniqueBoardPath("level"), c.banner + "\n" + kCounts);
    const std::string json = path + ".json";
    ASSERT_EQ(RunHost("import " + Quote(path) + " --quiet --json " + Quote(json)).status, 0) << c.banner;
    EXPECT_EQ(ReadJson(json)["host"]["progress"]["Caption"], "Loading " + path + c.suffix) << c.banner;
  }
}

}  // namespace
