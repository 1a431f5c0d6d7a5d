// The host program told to fail host calls through VIDERAVE_FAIL, as a user or a script does:
// it says which call failed and how, saves the document all the same and exits with 1; it
// tells the calls of every kind when asked; a plan it does not understand stops it before the
// import (exit 2), and a call that never comes leaves the import as it was (exit 0).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "boardgen/board_generator.h"
#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"

namespace {

using test_support::Quote;
using test_support::RunHost;

// The host program run with VIDERAVE_FAIL set to `plan`.
test_support::ProgramRun RunFailing(const std::string& plan, const std::string& arguments) {
  setenv("VIDERAVE_FAIL", plan.c_str(), 1);
  test_support::ProgramRun run = RunHost(arguments);
  unsetenv("VIDERAVE_FAIL");
  return run;
}

class HostProgramFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    // The old-format example guesses component sides: it writes the layer report and tells it.
    board_ =
        test_support::WriteFile(test_support::UniqueBoardPath("legacy"),
                                test_support::ReadText(std::string(VIDERAVE_SOURCE_DIR) + "/examples/legacy-1.10.PCB"));
    document_ = board_ + ".json";
  }
  std::string Import(const std::string& extra = "--test-mode") const {
    return "import " + Quote(board_) + " --json " + Quote(document_) + " " + extra;
  }

  std::string board_;
  std::string document_;
};

TEST_F(HostProgramFaults, SaysWhichCallFailedAndExitsWithOne) {
  struct Case {
    const char* plan;
    const char* said;
  } cases[] = {
      {"create:3", "PcbApi_CreateObject gave no object (create call 3 of "},
      {"load:40", "could not load object"},
      {"store:40", "could not store object"},
      {"progress:1", "PcbApi_Percent_Init failed: no progress shown (progress call 1 of "},
      {"stream-create:1", "VFSAPI_VFS_StreamCreate gave no stream: the report file was not written"},
      {"stream-write:1", "VFSAPI_VFS_StreamWrite wrote nothing: the report file is incomplete"},
      {"message-box:1", "MessageBoxA could not show its message (message-box call 1 of 1, failed as VIDERAVE_FAIL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plan);
    std::filesystem::remove(document_);
    const test_support::ProgramRun run = RunFailing(c.plan, Import());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("import did not complete: " + board_ + ": a host call failed: "), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::exists(document_)) << "the document is saved all the same";
  }
}

TEST_F(HostProgramFaults, DialogThatCannotBeShown) {
  boardgen::BoardRecipe recipe;
  recipe.nets = 12;
  for (int i = 0; i < 12; ++i) recipe.net_rules.width.push_back(10000 + 1000 * i);
  std::string text;
  boardgen::Generate(recipe, text);
  board_ = test_support::WriteFile(test_support::UniqueBoardPath("dialog"), text);
  document_ = board_ + ".json";
  const test_support::ProgramRun run = RunFailing("dialog:1", Import("--uncheck RoutingTrackWidthCheckbox"));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find("ViderveUI_ShowModal could not show the rules dialog (dialog call 1 of 1"), std::string::npos)
      << run.err;
}

TEST_F(HostProgramFaults, CountsTheCallsOfEveryKind) {
  const test_support::ProgramRun run = RunFailing("count", Import("--test-mode --quiet"));
  EXPECT_EQ(run.status, 0) << run.err;
  const std::size_t at = run.err.find("viderave: host calls: create ");
  ASSERT_NE(at, std::string::npos) << run.err;
  const std::string line = run.err.substr(at, run.err.find('\n', at) - at);
  for (const char* kind : {", load ", ", store ", ", progress ", ", stream-create 1", ", stream-write 1",
                           ", message-box 1", ", dialog 0"}) {
    EXPECT_NE(line.find(kind), std::string::npos) << line;
  }
}

TEST_F(HostProgramFaults, PlanThatIsNotUnderstoodOrNeverComes) {
  std::filesystem::remove(document_);
  const test_support::ProgramRun refused = RunFailing("create:0", Import());
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("VIDERAVE_FAIL: \"create:0\" is neither count nor KIND:N"), std::string::npos)
      << refused.err;
  EXPECT_FALSE(std::filesystem::exists(document_)) << "nothing is imported on a plan not understood";

  const test_support::ProgramRun unchanged = RunFailing("create:1000000", Import("--test-mode --quiet"));
  EXPECT_EQ(unchanged.status, 0) << unchanged.err;
  EXPECT_NE(unchanged.err.find("VIDERAVE_FAIL: no planned call came"), std::string::npos) << unchanged.err;
}

}  // namespace
