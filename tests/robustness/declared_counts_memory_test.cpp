// Peak memory follows what a file really holds, not the counts it declares: header counts of
// 2^31 and 2^32 - 1 and negative outline counts cost no more than a tiny file, an outline count of
// 2^31 no more than the longest outline the host keeps, while a file of many real objects does
// cost memory (so the measurement means something). Measured as the peak resident size of the
// host program importing the file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/robustness/pcb_text.h"
#include "tests/robustness/robustness_support.h"
#include "tests/support/run_fixture.h"

namespace {

using robustness::Ints;

class DeclaredCounts : public ::testing::Test {
 protected:
  void SetUp() override {
    json_ = test_support::UniqueBoardPath("counts") + ".json";
    const std::string tiny = test_support::WriteFile(test_support::UniqueBoardPath("tiny"),
                                                     std::string(robustness::kHeader280) + robustness::Track(0, 0, 1, 1));
    baseline_ = Measure(tiny);
  }
  void TearDown() override { std::filesystem::remove(json_); }

  robustness::MeasuredRun Measure(const std::string& path) {
    auto run = robustness::RunHostMeasured({"import", path, "--test-mode", "--quiet", "--json", json_});
    EXPECT_EQ(run.status, 0) << path;
    return run;
  }

  std::string json_;
  robustness::MeasuredRun baseline_;
};

// Counts that size nothing: the header's counts only size the progress bar, a negative outline
// count reads no vertex.
TEST_F(DeclaredCounts, HugeHeaderAndNegativeCountsCostNoMoreThanATinyFile) {
  struct Case {
    const char* name;
    std::string text;
  } cases[] = {
      {"header counts of 2^31 - 1", "PCB FILE 6 VERSION 2.80\n"
                                        "2147483647 2147483647 2147483647 2147483647 2147483647 2147483647 "
                                        "2147483647 2147483647 2147483647 2147483647\n" +
                                        robustness::Track(0, 0, 1, 1)},
      {"hexadecimal header counts of 2^32 - 1",
       "PCB FILE 6 VERSION 2.10\n$FFFFFFFF $FFFFFFFF 0xFFFFFFFF 0xFFFFFFFF $FFFFFFFF $FFFFFFFF $FFFFFFFF $FFFFFFFF "
       "$FFFFFFFF $FFFFFFFF\n"},
      {"outlines of -2^31 edges", std::string(robustness::kHeader280) + robustness::PolygonHead(23, 0, -2147483647 - 1) +
                                      "0\n" + robustness::PolygonHead(1, 0, -2147483647 - 1) + "0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = Measure(test_support::WriteFile(test_support::UniqueBoardPath("counts"), c.text));
    EXPECT_LT(run.peak_rss_kb, baseline_.peak_rss_kb + 4 * 1024) << "baseline " << baseline_.peak_rss_kb << " KB";
    EXPECT_LT(run.seconds, 30.0);
  }
}

// An outline declaring 2^31 - 1 edges is kept to the host's 5001 segments whatever follows it:
// it costs no more than an outline that really has 5000 edges.
TEST_F(DeclaredCounts, HugeOutlineCountCostsNoMoreThanTheLongestRealOutline) {
  std::string real = std::string(robustness::kHeader280) + robustness::PolygonHead(1, 0, 5000);
  for (int i = 0; i <= 5000; ++i) real += Ints({i, i});
  real += "0";  // the flag line: an ignored value and 5000 arc flags
  for (int i = 0; i < 5000; ++i) real += " 0";
  real += "\n";
  const auto reference = Measure(test_support::WriteFile(test_support::UniqueBoardPath("outline"), real));

  std::string many_vertices = std::string(robustness::kHeader280) + robustness::PolygonHead(1, 0, 2147483647);
  for (int i = 0; i < 200000; ++i) many_vertices += Ints({i, i});
  const std::string cases[] = {
      std::string(robustness::kHeader280) + robustness::PolygonHead(1, 0, 2147483647) + "0 0\n1 0\n1 1\n",
      many_vertices,
  };
  for (const std::string& text : cases) {
    const auto run = Measure(test_support::WriteFile(test_support::UniqueBoardPath("outline"), text));
    EXPECT_LT(run.peak_rss_kb, reference.peak_rss_kb + 2 * 1024) << "5000 real edges: " << reference.peak_rss_kb
                                                                  << " KB";
    EXPECT_LT(run.seconds, 30.0);
  }
}

TEST_F(DeclaredCounts, RealObjectsDoCostMemory) {
  std::string tracks(robustness::kHeader280);
  for (int i = 0; i < 100000; ++i) tracks += robustness::Track(i, 0, i, 1000);
  const auto run = Measure(test_support::WriteFile(test_support::UniqueBoardPath("tracks"), tracks));
  EXPECT_GT(run.peak_rss_kb, baseline_.peak_rss_kb + 8 * 1024)
      << "100000 tracks should show in the peak memory; baseline " << baseline_.peak_rss_kb << " KB";
}

}  // namespace
