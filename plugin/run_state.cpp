// The module's one run state.
#include "plugin/run_state.h"

#include "design/layer_warnings.h"
#include "host/board.h"
#include "plugin/index_tables.h"
#include "records/input.h"
#include "rules/classifier.h"

RunState::RunState() = default;

// Release order: the classifier refers to the board, so it goes first.
RunState::~RunState() {
  classifier.reset();
  index_tables.reset();
  warnings.reset();
  input.reset();
  board.reset();
}

namespace {
RunState* current_run = nullptr;
}

RunState& Run() {
  // Readers are only called inside a run; outside one (unit tests of a single piece) a fresh
  // state stands in, so nothing ever dereferences a missing run.
  static RunState idle;
  return current_run != nullptr ? *current_run : idle;
}

void InstallRun(RunState* run) { current_run = run; }
