// The state of one import run. There is one run at a time, and everything a run needs lives
// here, set up afresh when the run starts and released at both of its ends; nothing carries
// over from one run to the next.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/short_string.h"

class TPcbBoard;
class TClassifier;
class TComponentLayerWarnings;
class TInput;
class TIndexTables;

struct RunState {
  RunState();
  ~RunState();

  std::unique_ptr<TPcbBoard> board;                   // the board the host opened under the file's name
  std::unique_ptr<TClassifier> classifier;            // per-pad and per-net rule values
  std::unique_ptr<TComponentLayerWarnings> warnings;  // components whose side was deduced
  std::unique_ptr<TInput> input;
  std::unique_ptr<TIndexTables> index_tables;         // owners by sequence number, sequence counters

  std::int32_t format_level = 0;  // 0 to 10, from the banner
  bool old_format = true;         // levels 0 and 1: lengths in mils
  bool abort = false;             // set by the abort poll when the user confirms

  ShortString<255> CurrentComponentName;  // designator while a component's primitives are read
  std::int32_t FreePadNumber = 0;         // name of the last free pad
  std::vector<std::int32_t> SplitPlaneNets;  // file net numbers of the split planes read so far

  // Routing direction per host signal layer 1 to 32 (index layer - 1).
  std::array<std::uint8_t, 32> routing_directions{};
  // The options section's six clearance values, host units.
  std::array<std::int32_t, 6> clearances{};
  std::vector<std::uint32_t> rule_removal_list;
};

// The current run; valid from the start of ImportFileIntoPcb to its return.
RunState& Run();
// Makes `run` the current run (nullptr: none). The import run installs its state for its
// duration; tests install one to call a single reader.
void InstallRun(RunState* run);
