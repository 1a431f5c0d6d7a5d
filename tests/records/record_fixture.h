// A run state on a fresh stand-in board with an in-memory input, for running the record readers
// one record at a time, and lookups of what they stored.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/board.h"
#include "host/core_calls.h"
#include "host/pcb_objects.h"
#include "plugin/index_tables.h"
#include "plugin/run_state.h"
#include "records/input.h"
#include "records/readers.h"
#include "rules/classifier.h"
#include "standin/orvpcb/model.h"

class RecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = std::make_unique<RunState>();
    InstallRun(state_.get());
    static int boards = 0;
    board_ = orv::Server().OpenBoard("/records-test/board" + std::to_string(++boards) + ".PCB");
    run().board = std::make_unique<TPcbBoard>(board_);
    run().board->Exchange(true);
    run().classifier = std::make_unique<TClassifier>(*run().board);
    run().index_tables = std::make_unique<TIndexTables>();
    run().input = std::make_unique<TInput>();
  }
  void TearDown() override {
    InstallRun(nullptr);
    state_.reset();
  }
  // A fresh run on a fresh board, inside one test.
  void Restart() {
    TearDown();
    SetUp();
  }

  // The installed run state (the readers reach it through the global Run()).
  RunState& run() { return *state_; }

  // The records that follow at the format level; the first line is a keyword line.
  void Open(std::int32_t level, std::string_view text) {
    run().format_level = level;
    run().old_format = level <= 1;
    run().input->OpenText(text);
  }

  // The record loop in small: every keyword line calls its reader and the handle joins the
  // board; other lines are skipped. Returns the readers' results in file order.
  std::vector<std::uint32_t> ReadRecords(std::int32_t level, std::string_view text) {
    Open(level, text);
    std::vector<std::uint32_t> handles;
    ShortString<255> line;
    while (!run().input->AtEnd()) {
      run().input->ReadLine(line);
      run().CurrentComponentName.Clear();
      std::uint32_t (*reader)() = ReaderFor(line.View());
      if (reader == nullptr) continue;
      const std::uint32_t handle = reader();
      run().board->AddObject(handle);
      handles.push_back(handle);
    }
    return handles;
  }

  // One record; its keyword line comes first.
  std::uint32_t ReadOne(std::int32_t level, std::string_view text) {
    const std::vector<std::uint32_t> handles = ReadRecords(level, text);
    EXPECT_EQ(handles.size(), 1u);
    return handles.empty() ? 0 : handles.front();
  }

  // A host object's fields, loaded into its wrapper.
  template <typename Wrapper>
  std::unique_ptr<Wrapper> Load(std::uint32_t handle) {
    auto wrapper = std::make_unique<Wrapper>(handle);
    wrapper->Exchange(true);
    return wrapper;
  }

  // A net object numbered and entered as the net reader would.
  std::uint32_t MakeNet() {
    const std::uint32_t handle = host::PcbApi_CreateObject(8);
    TPcbNet net(handle);
    net.Exchange(true);
    net.Index = run().index_tables->Next(TIndexTables::Sequence::kNet);
    net.Exchange(false);
    run().index_tables->Enter(TIndexTables::Table::kNet, handle);
    return handle;
  }

  static bool IsMember(std::uint32_t container, std::uint32_t object) {
    for (std::uint32_t member : orv::Server().Members(container)) {
      if (member == object) return true;
    }
    return false;
  }

  static std::uint32_t (*ReaderFor(std::string_view line))() {
    struct Entry {
      std::string_view keyword;
      std::uint32_t (*reader)();
    };
    static constexpr Entry kReaders[] = {
        {"FV", ReadVia},   {"FP", ReadPad},        {"FF", ReadFill},      {"FA", ReadArc},    {"FT", ReadTrack},
        {"PG", ReadPolygon}, {"FD", ReadCoordinate}, {"FI", ReadDimension}, {"FS", ReadString},
    };
    for (const Entry& entry : kReaders) {
      if (entry.keyword == line) return entry.reader;
    }
    return nullptr;
  }

  std::unique_ptr<RunState> state_;  // installed as the current run
  std::uint32_t board_ = 0;
};
