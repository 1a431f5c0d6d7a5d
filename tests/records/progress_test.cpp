// Progress bar sizing and the abort poll against the stand-in host's message queue.
#include <gtest/gtest.h>

#include "plugin/header.h"
#include "records/progress.h"
#include "standin/host/session.h"
#include "tests/support/run_fixture.h"

namespace {

MSG Message(UINT message, WPARAM key) {
  MSG m{};
  m.hwnd = kMainWindow;
  m.message = message;
  m.wParam = key;
  return m;
}

class AbortPoll : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.queue.clear();
    session_.messages = nlohmann::json::array();
    session_.options = HostOptions{};
    session_.confirm_answers_used = 0;
    session_.delivered_messages = 0;
  }
  void TearDown() override { SetUp(); }
  HostSession& session_ = Session();
};

TEST_F(AbortPoll, EscapeAsksAndYesSetsTheFlag) {
  session_.options.confirm_abort = {true};
  session_.queue.push_back(Message(WM_KEYDOWN, VK_ESCAPE));
  bool abort = false;
  PollAbort(abort);
  EXPECT_TRUE(abort);
  ASSERT_EQ(session_.messages.size(), 1u);
  EXPECT_EQ(session_.messages[0]["Caption"], "Confirm");
  EXPECT_EQ(session_.messages[0]["Text"], "Confirm Abort Process");
  EXPECT_EQ(session_.messages[0]["Type"], MB_YESNO);
}

TEST_F(AbortPoll, NoKeepsTheRunGoing) {
  session_.options.confirm_abort = {false};
  session_.queue.push_back(Message(WM_SYSKEYDOWN, VK_ESCAPE));
  bool abort = false;
  PollAbort(abort);
  EXPECT_FALSE(abort);
  EXPECT_EQ(session_.messages.size(), 1u) << "a system key-down asks as well";
}

TEST_F(AbortPoll, TwoEscapesAskTwiceAndALaterNoKeepsTheFlag) {
  session_.options.confirm_abort = {true, false};
  session_.queue.push_back(Message(WM_KEYDOWN, VK_ESCAPE));
  session_.queue.push_back(Message(WM_KEYDOWN, VK_ESCAPE));
  bool abort = false;
  PollAbort(abort);
  EXPECT_TRUE(abort);
  EXPECT_EQ(session_.messages.size(), 2u) << "the queue is drained also after the flag was set";
  EXPECT_TRUE(session_.queue.empty());
}

TEST_F(AbortPoll, KeyUpAndOtherMessagesGoStraightToTheirWindow) {
  session_.queue.push_back(Message(WM_KEYUP, VK_ESCAPE));
  session_.queue.push_back(Message(WM_PAINT, 0));
  session_.queue.push_back(Message(WM_KEYDOWN, 'A'));
  bool abort = false;
  PollAbort(abort);
  EXPECT_FALSE(abort);
  EXPECT_TRUE(session_.messages.empty());
  EXPECT_EQ(session_.delivered_messages, 3);
  EXPECT_TRUE(session_.queue.empty());
}

TEST_F(AbortPoll, APollThatStartsAbortedTakesNothing) {
  session_.queue.push_back(Message(WM_KEYDOWN, VK_ESCAPE));
  bool abort = true;
  PollAbort(abort);
  EXPECT_EQ(session_.queue.size(), 1u);
  EXPECT_TRUE(session_.messages.empty());
}

class ProgressStartTest : public test_support::RunFixture {};

TEST_F(ProgressStartTest, CountLineGivesTheSumOfTheRecordCounts) {
  StartRun(10, "1 2 3 4 5 6 7 8 9 10 and the rest\nFT\n");
  ProgressStart(context().input, "C:\\B\\X.PCB", 10, CaptionSuffix(10));
  EXPECT_EQ(model().progress.total, 2 + 4 + 5 + 6 + 7 + 8 + 9 + 10);
  EXPECT_EQ(model().progress.caption, "Loading C:\\B\\X.PCB (Text 2.8)");
  ShortString<255> line;
  context().input.ReadLine(line);
  EXPECT_EQ(line.View(), "FT") << "the input is left at the first record line";
}

TEST_F(ProgressStartTest, CountsMaySpanLines) {
  StartRun(5, "1 2 3\n4 5 6 7\n8 9 10 x\nFT\n");
  ProgressStart(context().input, "b.PCB", 5, CaptionSuffix(5));
  EXPECT_EQ(model().progress.total, 51);
  ShortString<255> line;
  context().input.ReadLine(line);
  EXPECT_EQ(line.View(), "FT");
}

TEST_F(ProgressStartTest, LevelZeroCountsTheLinesAfterTheBanner) {
  std::string text;
  for (int i = 0; i < 99; ++i) text += "line\n";
  text += "last without a line end";
  StartRun(0, text);
  ProgressStart(context().input, "C:\\B\\X.PCB", 0, CaptionSuffix(0));
  EXPECT_EQ(model().progress.total, 100);
  EXPECT_EQ(model().progress.caption, "Loading C:\\B\\X.PCB (Text)");
  ShortString<255> line;
  context().input.ReadLine(line);
  EXPECT_EQ(line.View(), "line") << "counting leaves the input where it was";
}

TEST_F(ProgressStartTest, CaptionIsCutAt255) {
  StartRun(10, "0 0 0 0 0 0 0 0 0 0\n");
  ProgressStart(context().input, std::string(300, 'n'), 10, CaptionSuffix(10));
  EXPECT_EQ(model().progress.caption.size(), 255u);
}

}  // namespace
