// ReadContext: everything a record reader reads from or leaves for the rest of one import run.
// The import loop owns one per run and hands it to each reader; nothing is reached any other way.
//
//   ReadContext context(input, format_level, board, classifier, warnings);
//   board.AddObject(ReadTrack(context));   // the input stands just after the "FT" line
//
// The input, the board wrapper, the classifier and the layer warnings collector belong to the
// run; the context only refers to them. The owner tables, the abort flag and the values that
// pass from one record to a later one (the component under way, free pad numbers, split-plane
// nets, the options section's routing directions and clearances) are the context's own.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "host/short_string.h"
#include "records/index_tables.h"

class TInput;
class TPcbBoard;
class TClassifier;
class TComponentLayerWarnings;

struct ReadContext {
  ReadContext(TInput& input, std::int32_t format_level, TPcbBoard& board, TClassifier& classifier,
              TComponentLayerWarnings& warnings);
  ReadContext(const ReadContext&) = delete;
  ReadContext& operator=(const ReadContext&) = delete;

  // Levels 0 and 1 (the old format) give lengths in mils.
  void SetFormatLevel(std::int32_t level) {
    format_level = level;
    old_format = level <= 1;
  }

  TInput& input;
  TPcbBoard& board;                   // the board the host opened under the file's name
  TClassifier& classifier;            // per-pad and per-net rule values
  TComponentLayerWarnings& warnings;  // components whose side was deduced

  std::int32_t format_level = 0;  // 0 to 10, from the banner
  bool old_format = true;
  bool abort = false;  // set by the abort poll when the user confirms

  TIndexTables tables;  // owners by sequence number, sequence counters

  ShortString<255> component_name;  // designator while a component's primitives are read
  std::int32_t free_pad_number = 0;  // name of the last free pad
  std::vector<std::int32_t> split_plane_nets;  // file net numbers of the split planes read so far

  // Routing direction per host signal layer 1 to 32 (index layer - 1): horizontal on the top
  // layer and vertical on the bottom layer until the options section says otherwise.
  std::array<std::uint8_t, 32> routing_directions{};
  // The options section's six clearance values, host units; 5 mil when the file has none.
  std::array<std::int32_t, 6> clearances{};
};
