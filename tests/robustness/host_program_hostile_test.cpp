// Hostile files given to the host program (build/viderave) as a user would give them: an empty
// file, a folder, an unreadable file, full names at and beyond the 255 characters of a counted
// string, and lines of hundreds of megabytes, whose import must keep memory small and time short.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/robustness/pcb_text.h"
#include "tests/robustness/robustness_support.h"
#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"

namespace {

namespace fs = std::filesystem;
using test_support::Quote;
using test_support::ReadJson;
using test_support::RunHost;

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = ::testing::TempDir() + "viderave-hostile-" + std::to_string(getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    folder_ = fs::canonical(folder_).string();
    json_ = folder_ + "/out.json";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_ + "/locked.PCB", fs::perms::owner_all, ignored);
    fs::remove_all(folder_, ignored);
  }
  test_support::ProgramRun Import(const std::string& file) {
    return RunHost("import " + Quote(file) + " --test-mode --quiet --json " + Quote(json_));
  }

  std::string folder_;
  std::string json_;
};

// An empty file is not a text PCB file: the importer refuses it before any host call, the
// program says the import did not complete (1), and the document shows the new board untouched.
TEST_F(HostileFiles, EmptyFileIsRefusedWithTheBoardUntouched) {
  const std::string path = test_support::WriteFile(folder_ + "/empty.PCB", "");
  const auto run = Import(path);
  EXPECT_EQ(run.status, 1) << run.err;
  const auto document = ReadJson(json_);
  EXPECT_EQ(document["host"]["progress"]["Caption"], "");
  for (const auto& object : document["objects"]) EXPECT_EQ(object["Kind"], "Rule") << "only the host's own rules";
  EXPECT_FALSE(document["objects"].empty());
}

// FILE that cannot be read is a usage error: status 2, a message naming the reason, the importer
// not called and no document.
TEST_F(HostileFiles, FolderIsAUsageError) {
  const auto run = Import(folder_);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("folder"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(json_));
}

// Permissions do not stop root, as CI runs, so this case only runs for other users.
TEST_F(HostileFiles, UnreadableFileIsAUsageError) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
  const std::string locked = test_support::WriteFile(folder_ + "/locked.PCB", robustness::kHeader280);
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  const auto run = Import(locked);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("ermission"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(json_));
}

// The importer takes the full file name as a counted string of at most 255 characters. A name of
// exactly 255 imports; a longer one would reach the importer cut, naming a file that does not
// exist, so the program refuses it: status 2 and a message, the importer not called, no document.
TEST_F(HostileFiles, FullNamesOfTwoHundredFiftyFiveCharactersAndLonger) {
  const std::string text = std::string(robustness::kHeader280) + robustness::Track(0, 0, 1000, 1000);
  const auto name_of_length = [&](std::size_t length) {
    // folder/ddd.../fff...PCB with no component longer than the file system's 255.
    std::string path = folder_ + "/";
    std::string deeper = path + std::string(120, 'd');
    if (length > deeper.size() + 130) {
      fs::create_directories(deeper);
      path = deeper + "/";
    }
    EXPECT_GT(length, path.size() + 4);
    return path + std::string(length - path.size() - 4, 'f') + ".PCB";
  };

  const std::string exact = test_support::WriteFile(name_of_length(255), text);
  ASSERT_EQ(exact.size(), 255u);
  const auto fits = Import(exact);
  ASSERT_EQ(fits.status, 0) << fits.err;
  const auto document = ReadJson(json_);
  EXPECT_EQ(document["fileName"], exact);
  EXPECT_EQ(test_support::OfKind(document, "Track").size(), 1u);
  fs::remove(json_);

  for (const std::size_t length : {256u, 400u}) {
    SCOPED_TRACE(length);
    const std::string path = test_support::WriteFile(name_of_length(length), text);
    ASSERT_EQ(path.size(), length);
    const auto run = Import(path);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("at most 255"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(json_));
  }
}

// A file whose components' sides must be deduced makes the import write a report named after
// the board with the extension "rpt". When that name cannot be made (a board name of 255
// characters without an extension would come back cut to the board's own name) or is the board's
// own (a board named *.rpt), no report is written: the board file is never overwritten.
TEST_F(HostileFiles, ReportNeverOverwritesTheBoardFile) {
  // Version 2.70: the side of a component whose designator lies on a mechanical layer is guessed.
  const std::string text = "PCB FILE 6 VERSION 2.70\n0 0 0 0 0 0 0 0 0 0\nCOMP\nDIP8\n0 0 0 0 1 1 0 0 0 0 0 0.0 0 0\n"
                           "CS\n0 0 0 0 1 0 0 0 29 0 0 0 0 1 0\nU1\nCS\n0 0 0 0 1 0 0 0 29 0 0 0 0 1 0\nc\nENDCOMP\n";
  const std::string ordinary = test_support::WriteFile(folder_ + "/board.PCB", text);
  ASSERT_EQ(Import(ordinary).status, 0);
  EXPECT_TRUE(fs::exists(folder_ + "/board.rpt")) << "the report is written beside an ordinary board";

  const std::string no_extension = folder_ + "/" + std::string(255 - folder_.size() - 1, 'b');
  for (const std::string& board : {no_extension, folder_ + "/board.rpt"}) {
    SCOPED_TRACE(board);
    test_support::WriteFile(board, text);
    const auto run = Import(board);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test_support::ReadText(board), text);
    EXPECT_TRUE(ReadJson(json_)["host"]["files"].empty());
  }
}

// A line of 100 MB in a net's name and a run of 100 MB of blanks inside a track's value line:
// the name keeps its first 255 characters, the track its values, and the import reads the file
// through a fixed buffer, so its peak memory stays that of a tiny file and its time is short.
// (Done once by hand with 1 GB lines as well; see the developer guide.)
TEST_F(HostileFiles, HundredMegabyteLinesKeepMemorySmall) {
  constexpr long kMegabytes = 100;
  const std::string megabyte_of_n(1 << 20, 'N');
  const std::string megabyte_of_blanks(1 << 20, ' ');
  const std::string path = folder_ + "/long.PCB";
  ASSERT_TRUE(robustness::WriteStreamed(path, 2 * kMegabytes + 3, [&](long i) -> std::string {
    if (i == 0) return "PCB FILE 6 VERSION 2.80\n0 0 0 0 0 0 0 0 0 0\nNETDEF\n";
    if (i <= kMegabytes) return megabyte_of_n;
    if (i == kMegabytes + 1) return "\n0 0 0 0\n(\n)\n{\n}\n0 0 0\n0 0 0\nFT\n0 0 100 200";
    if (i <= 2 * kMegabytes + 1) return megabyte_of_blanks;
    return "300 400 10 1 0 1 0\n0 0 0 0 0\n";
  }));
  const std::string tiny = test_support::WriteFile(folder_ + "/tiny.PCB", std::string(robustness::kHeader280) +
                                                                              robustness::NetDef("N") +
                                                                              robustness::Track(0, 0, 1, 1, 1));

  const auto baseline = robustness::RunHostMeasured({"import", tiny, "--test-mode", "--quiet", "--json", json_});
  ASSERT_EQ(baseline.status, 0);
  const auto run = robustness::RunHostMeasured({"import", path, "--test-mode", "--quiet", "--json", json_});
  ASSERT_EQ(run.status, 0);
  EXPECT_LT(run.peak_rss_kb, baseline.peak_rss_kb + 32 * 1024) << "baseline " << baseline.peak_rss_kb << " KB";
  EXPECT_LT(run.seconds, 60.0);

  const auto document = ReadJson(json_);
  const auto nets = test_support::OfKind(document, "Net");
  ASSERT_EQ(nets.size(), 1u);
  EXPECT_EQ(nets[0]["Name"], std::string(255, 'N'));
  const auto tracks = test_support::OfKind(document, "Track");
  ASSERT_EQ(tracks.size(), 1u);
  EXPECT_EQ(tracks[0]["X"], 1000);
  EXPECT_EQ(tracks[0]["Y2"], 4000);
  EXPECT_EQ(tracks[0]["Net"], nets[0]["Handle"]);
  fs::remove(path);
}

}  // namespace
