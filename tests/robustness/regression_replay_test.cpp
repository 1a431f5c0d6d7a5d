// Replays every file of tests/robustness/regressions: inputs that once crashed, hung or leaked
// under the fuzzer (named after what they broke), and small hand-made hostile files. Each is
// imported whole in this process and must end, sanitizer-clean, with a board the host can still
// write as a valid document.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/robustness/robustness_support.h"
#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> RegressionFiles() {
  std::vector<fs::path> files;
  const fs::path folder = fs::path(VIDERAVE_SOURCE_DIR) / "tests" / "robustness" / "regressions";
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Regressions, EveryKeptInputImportsToAValidDocument) {
  const auto files = RegressionFiles();
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    robustness::FreshSession();
    const auto result = test_support::ImportText(test_support::ReadText(file.string()), "regression");
    const nlohmann::json document = robustness::DocumentOf(result.board, result.path);
    EXPECT_EQ(document["document"], "viderave-board");
    fs::remove(result.path);
  }
}

}  // namespace
