// Test fixtures that run the plug-in against the stand-in server in this process.
//
//   RunFixture: a run state on a fresh board, with the input read from a string, so that one
//   reader can be called on a few lines:  StartRun(10, "0 0 1000 2000 ...\n"); ReadTrack();
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
#include "plugin/index_tables.h"
#include "plugin/run_state.h"
#include "records/input.h"
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

class RunFixture : public ::testing::Test {
 protected:
  // A run at the format level on a new board, reading `text` as the rest of the file.
  void StartRun(std::int32_t format_level, std::string_view text) {
    path_ = UniqueBoardPath("run");
    board_ = orv::Server().OpenBoard(path_);
    state_ = std::make_unique<RunState>();
    InstallRun(state_.get());
    state_->format_level = format_level;
    state_->old_format = format_level <= 1;
    state_->board = std::make_unique<TPcbBoard>(board_);
    state_->board->Exchange(true);
    state_->classifier = std::make_unique<TClassifier>(*state_->board);
    state_->warnings = std::make_unique<TComponentLayerWarnings>();
    state_->index_tables = std::make_unique<TIndexTables>();
    state_->input = std::make_unique<TInput>();
    state_->input->OpenText(text);
    state_->routing_directions.fill(0);
    state_->routing_directions.front() = 1;
    state_->routing_directions.back() = 2;
    state_->clearances.fill(50000);
  }

  void TearDown() override {
    InstallRun(nullptr);
    state_.reset();
    Session().queue.clear();
  }

  RunState& run() { return *state_; }
  orv::Model& model() { return orv::Server(); }
  std::uint32_t board() const { return board_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::uint32_t board_ = 0;
  std::unique_ptr<RunState> state_;
};

}  // namespace test_support
