// Test fixtures that run the plug-in against the stand-in server in this process.
//
//   TestRun: what the import run owns around a read context (the loaded board wrapper, the
//   classifier, the layer warnings collector, an input over a string) and the context itself.
//
//   RunFixture: a TestRun on a fresh board, so that one reader can be called on a few lines:
//   StartRun(10, "0 0 1000 2000 ...\n"); ReadTrack(context());
//
//   ImportText(): writes a whole file and runs the import on it, as the host would.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "design/layer_warnings.h"
#include "host/board.h"
#include "plugin/import_run.h"
#include "records/input.h"
#include "records/read_context.h"
#include "rules/classifier.h"
#include "standin/host/session.h"
#include "standin/orvpcb/model.h"

namespace test_support {

// Removes, when the test process ends, every file its boards left in the temporary folder (the
// boards and what was written beside them: documents, pictures, reports).
class TempFileSweeper {
 public:
  TempFileSweeper() = default;
  TempFileSweeper(const TempFileSweeper&) = delete;
  TempFileSweeper& operator=(const TempFileSweeper&) = delete;
  ~TempFileSweeper() {
    const std::string mark = "-" + std::to_string(::getpid()) + "-";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(::testing::TempDir(), error)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("viderave-", 0) == 0 && name.find(mark) != std::string::npos) {
        std::filesystem::remove_all(entry.path(), error);
      }
    }
  }
};

// A file name no other test uses, in the test's temporary folder.
inline std::string UniqueBoardPath(std::string_view stem = "board") {
  static std::atomic<int> counter{0};
  static TempFileSweeper sweeper;
  // ctest runs tests as parallel processes: the process id keeps their files apart.
  return ::testing::TempDir() + "viderave-" + std::string(stem) + "-" + std::to_string(::getpid()) + "-" +
         std::to_string(++counter) + ".PCB";
}

inline std::string WriteFile(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return path;
}

struct ImportResult {
  bool ok = false;
  std::uint32_t board = 0;
  std::string path;
};

// Opens a board under the file's name and imports the text into it.
inline ImportResult ImportText(std::string_view text, std::string_view stem = "import") {
  ImportResult result;
  result.path = WriteFile(UniqueBoardPath(stem), text);
  result.board = orv::Server().OpenBoard(result.path);
  result.ok = ImportFile(result.path);
  return result;
}

// Handles of the board's objects of one kind, in creation order.
inline std::vector<std::uint32_t> ObjectsOfKind(std::uint32_t board, std::uint8_t kind) {
  orv::Model& model = orv::Server();
  std::vector<std::uint32_t> found;
  for (std::uint32_t handle = board + 1; handle < model.HandleLimit(); ++handle) {
    if (model.Alive(handle) && model.KindOf(handle) == kind) found.push_back(handle);
  }
  return found;
}

// The run's parts a reader is given, on an existing board, reading `text` at the format level.
class TestRun {
 public:
  TestRun(std::uint32_t board, std::int32_t format_level, std::string_view text)
      : board_(board), classifier_(board_), context_(input_, format_level, board_, classifier_, warnings_) {
    board_.Load();
    input_.OpenText(text);
  }
  TestRun(const TestRun&) = delete;
  TestRun& operator=(const TestRun&) = delete;

  ReadContext& context() { return context_; }

 private:
  TPcbBoard board_;
  TClassifier classifier_;
  TComponentLayerWarnings warnings_;
  TInput input_;
  ReadContext context_;
};

class RunFixture : public ::testing::Test {
 protected:
  // A run at the format level on a new board, reading `text` as the rest of the file.
  void StartRun(std::int32_t format_level, std::string_view text) {
    path_ = UniqueBoardPath("run");
    board_ = orv::Server().OpenBoard(path_);
    run_ = std::make_unique<TestRun>(board_, format_level, text);
  }

  void TearDown() override {
    run_.reset();
    Session().queue.clear();
  }

  ReadContext& context() { return run_->context(); }
  orv::Model& model() { return orv::Server(); }
  std::uint32_t board() const { return board_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::uint32_t board_ = 0;
  std::unique_ptr<TestRun> run_;
};

}  // namespace test_support
