// DEFAULTS section reader: board values, grids, the current layer, the layer flags and the
// engineering change order options.
//
//   DEFAULTS
//   0 0                      <- board values 4 and 5 (whole mils before version 2.00)
//   100000000 80000000       <- board values 6 and 7
//   0
//   1 1 0                    <- board byte 8 and grid bytes 2 to 4
//   250000.0 250000.0 50000.0 50000.0
//   1 0.0                    <- the current layer, a host layer number
//   1                        <- 42 flag lines, file layers 1 to 42
//   ...
//   0 BOARD.ECO              <- from version 2.20: change order flag and log file
#include <array>
#include <cstdint>

#include "design/settings_readers.h"
#include "host/board.h"
#include "records/conventions.h"
#include "records/input.h"
#include "records/read_context.h"

namespace {

// File layers 1 to 42 each have a flag line.
constexpr std::int32_t kFlaggedFileLayers = 42;
// Version 2.20 added the engineering change order line.
constexpr std::int32_t kFirstEcoLevel = 4;

// Reads `count` integers and the line end.
template <std::size_t N>
std::array<std::int32_t, N> ReadIntegerLine(TInput& input) {
  std::array<std::int32_t, N> values{};
  for (std::int32_t& value : values) value = input.ReadInt();
  input.LineEnd();
  return values;
}

// Lengths before version 2.00 are whole mils.
std::int32_t ToHostLength(std::int32_t value, bool old_format) {
  return old_format ? MilsToCoord(static_cast<double>(value)) : value;
}

}  // namespace

void ReadDefaults(ReadContext& context) {
  TPcbBoard& board = context.board;
  TInput& input = context.input;
  const bool old_format = context.old_format;

  // Every group is tested before it is used: a value that was not a number (here or in an
  // earlier record) leaves the host's board as it was, and the rest of the section to the
  // record loop.
  board.Load();

  const auto group1 = ReadIntegerLine<2>(input);
  if (input.TakeReadError()) return;
  board.Board.Value4 = ToHostLength(group1[0], old_format);
  board.Board.Value5 = ToHostLength(group1[1], old_format);

  const auto group2 = ReadIntegerLine<2>(input);
  if (input.TakeReadError()) return;
  board.Board.Value6 = ToHostLength(group2[0], old_format);
  board.Board.Value7 = ToHostLength(group2[1], old_format);

  ReadIntegerLine<1>(input);  // not used by the host
  if (input.TakeReadError()) return;

  const auto group4 = ReadIntegerLine<3>(input);
  if (input.TakeReadError()) return;
  board.Board.Value8 = LowByte(group4[0]);
  board.GridsEx.Value2 = LowByte(group4[0]);
  board.GridsEx.Value3 = LowByte(group4[1]);
  board.GridsEx.Value4 = LowByte(group4[2]);

  std::array<double, 4> grids{};
  for (double& value : grids) value = input.ReadReal();
  input.LineEnd();
  if (input.TakeReadError()) return;
  if (old_format) {
    for (double& value : grids) value = MilsToCoord(value);
  }
  board.GridsEx.Value5 = grids[0];
  board.GridsEx.Value6 = grids[1];
  // The last two grids have no host value: the wrapper's copies of grid values 13 and 7 take
  // them, and the next grid exchange overwrites them.
  board.GridsExValue13Copy = grids[2];
  board.GridsExValue7Copy = grids[3];

  // The current layer is written as the host numbers it, not as a file layer.
  const std::int32_t current_layer = input.ReadInt();
  input.ReadReal();  // not used by the host
  input.LineEnd();
  if (input.TakeReadError()) return;
  board.Board.CurrentLayer = LowByte(current_layer);

  for (std::int32_t file_layer = 1; file_layer <= kFlaggedFileLayers; ++file_layer) {
    const std::int32_t flag = input.ReadInt();
    input.LineEnd();
    if (input.TakeReadError()) return;
    board.SetLayerFlag(MapFileLayer(file_layer), flag != 0 ? 1 : 0);
  }

  if (context.format_level >= kFirstEcoLevel) {
    // "1 changes.eco": the file name is the rest of the line, the blank after the flag included.
    board.EcoOptions.Value1 = input.ReadInt() != 0 ? 1 : 0;
    input.ReadString(board.EcoOptions.Value2);
    input.LineEnd();
  }

  board.Store();
}
