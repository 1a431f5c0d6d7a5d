// A read context on a fresh stand-in board with an in-memory input, for running the record
// readers one record at a time, and lookups of what they stored.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "design/record_table.h"
#include "host/api/vocabulary.h"
#include "host/board.h"
#include "host/core_calls.h"
#include "host/pcb_objects.h"
#include "records/input.h"
#include "records/read_context.h"
#include "records/readers.h"
#include "standin/orvpcb/model.h"
#include "tests/support/run_fixture.h"

class RecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int boards = 0;
    board_ = orv::Server().OpenBoard("/records-test/board" + std::to_string(++boards) + ".PCB");
    run_ = std::make_unique<test_support::TestRun>(board_, 10, "");
  }
  void TearDown() override { run_.reset(); }
  // A fresh run on a fresh board, inside one test.
  void Restart() {
    TearDown();
    SetUp();
  }

  // The context every reader of the test is given.
  ReadContext& context() { return run_->context(); }

  // The records that follow at the format level; the first line is a keyword line.
  void Open(std::int32_t level, std::string_view text) {
    context().SetFormatLevel(level);
    context().input.OpenText(text);
  }

  // The record loop in small: every keyword line calls its reader and the handle joins the
  // board; other lines are skipped. Returns the readers' results in file order.
  std::vector<std::uint32_t> ReadRecords(std::int32_t level, std::string_view text) {
    Open(level, text);
    std::vector<std::uint32_t> handles;
    ShortString<255> line;
    while (!context().input.AtEnd()) {
      context().input.ReadLine(line);
      context().component_name.Clear();
      const RecordReader reader = RecordReaderFor(line.View());
      if (reader == nullptr) continue;
      const std::uint32_t handle = reader(context());
      context().board.AddObject(handle);
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
    wrapper->Load();
    return wrapper;
  }

  // A net object numbered and entered as the net reader would.
  std::uint32_t MakeNet() {
    const std::uint32_t handle = host::PcbApi_CreateObject(KindCode(ObjectKind::kNet));
    TPcbNet net(handle);
    net.Load();
    net.Index = context().tables.Next(TIndexTables::Sequence::kNet);
    net.Store();
    context().tables.Enter(TIndexTables::Table::kNet, handle);
    return handle;
  }

  static bool IsMember(std::uint32_t container, std::uint32_t object) {
    for (std::uint32_t member : orv::Server().Members(container)) {
      if (member == object) return true;
    }
    return false;
  }

  std::unique_ptr<test_support::TestRun> run_;
  std::uint32_t board_ = 0;
};
