// OPTIONS section reader: output, printer, Gerber and placer options, the per-layer print
// settings, the plot and flip layer sets, the routing directions and the clearances.
//
//   OPTIONS
//   1 0 1 0 0 0 0 0 1   <- output options 1, 2, 3, 8, 9, 10, 11, 24, 7
//   ...
// The section has the same layout in every version. No value is scaled: the clearances are
// written in host units already.
#include <array>
#include <cstdint>

#include "design/settings_readers.h"
#include "host/board.h"
#include "records/conventions.h"
#include "records/input.h"
#include "records/read_context.h"

namespace {

// The flip and plot lines hold file layers 1 to 53 except the background and one unused
// layer, which the format never gave a value.
constexpr std::int32_t kLastSlotFileLayer = 53;
constexpr std::array<std::int32_t, 2> kSlotFileLayersWithoutValue = {36, 51};
// The per-layer print lines cover file layers 1 to 42; the routing directions the 16 signal layers.
constexpr std::int32_t kPrintedFileLayers = 42;
constexpr std::int32_t kSignalFileLayers = 16;
constexpr int kLinesAfterRoutingDirections = 3;
constexpr int kLineEndsAfterClearances = 12;

void Store(std::uint8_t& destination, std::int32_t value) { destination = LowByte(value); }
void Store(std::int32_t& destination, std::int32_t value) { destination = value; }

// Integers into the destinations in order; 8-bit destinations keep the low 8 bits.
template <typename... Destinations>
void ReadInts(TInput& input, Destinations&... destinations) {
  (Store(destinations, input.ReadInt()), ...);
}

template <typename... Destinations>
void ReadReals(TInput& input, Destinations&... destinations) {
  ((destinations = input.ReadReal()), ...);
}

void SkipInts(TInput& input, int count) {
  for (int i = 0; i < count; ++i) input.ReadInt();
}

template <std::size_t N>
void ReadStringLine(TInput& input, ShortString<N>& destination) {
  input.ReadString(destination);
  input.LineEnd();
}

void ReadSlotFlags(TInput& input, TOptionSlotFlags& flags) {
  for (std::int32_t file_layer = 1; file_layer <= kLastSlotFileLayer; ++file_layer) {
    if (file_layer == kSlotFileLayersWithoutValue[0] || file_layer == kSlotFileLayersWithoutValue[1]) continue;
    const std::int32_t value = input.ReadInt();
    const std::uint8_t slot = MapOptionsLayer(file_layer);
    if (slot >= 1 && slot <= flags.size()) Store(flags[slot - 1u], value);
  }
  input.LineEnd();
}

TCompositeLayer* CompositeOf(TPcbBoard& board, std::int32_t file_layer) {
  const std::uint8_t layer = MapFileLayer(file_layer);
  return layer >= 1 && layer <= board.CompositeLayers.size() ? &board.CompositeLayers[layer - 1u] : nullptr;
}

// One line per file layer of three colour components, each cut to 8 bits.
void ReadColours(TInput& input, TPcbBoard& board, std::int32_t TCompositeLayer::*value) {
  for (std::int32_t file_layer = 1; file_layer <= kPrintedFileLayers; ++file_layer) {
    const std::int32_t red = input.ReadInt() & 0xFF;
    const std::int32_t green = input.ReadInt() & 0xFF;
    const std::int32_t blue = input.ReadInt() & 0xFF;
    input.LineEnd();
    if (TCompositeLayer* composite = CompositeOf(board, file_layer)) {
      composite->*value = red + 256 * green + 65536 * blue;
    }
  }
}

template <typename Value>
void ReadPerLayer(TInput& input, TPcbBoard& board, Value TCompositeLayer::*value) {
  for (std::int32_t file_layer = 1; file_layer <= kPrintedFileLayers; ++file_layer) {
    const std::int32_t read = input.ReadInt();
    if (TCompositeLayer* composite = CompositeOf(board, file_layer)) Store(composite->*value, read);
  }
  input.LineEnd();
}

void ReadOutputAndPrinter(TInput& input, TPcbBoard& board) {
  TOutputOptions& o = board.OutputOptions;
  ReadInts(input, o.Value1, o.Value2, o.Value3, o.Value8, o.Value9, o.Value10, o.Value11, o.Value24, o.Value7);
  input.LineEnd();
  ReadSlotFlags(input, board.FlipLayers);
  ReadSlotFlags(input, board.PlotLayers);

  TPrinterOptions& p = board.PrinterOptions;
  ReadStringLine(input, p.Value1);
  ReadStringLine(input, p.Value2);
  ReadStringLine(input, p.Value3);
  ReadInts(input, p.Value4, p.Value5, p.Value6, p.Value7, p.Value8, p.Value9, p.Value10);
  ReadReals(input, p.Value11, p.Value12, p.Value13);
  input.LineEnd();
  auto& block = p.Value14;
  ReadInts(input, block[1], block[6], block[2], block[5], block[4], block[3], p.Value15, p.Value16);
  input.LineEnd();

  ReadColours(input, board, &TCompositeLayer::Value1);
  ReadColours(input, board, &TCompositeLayer::Value2);
  ReadPerLayer(input, board, &TCompositeLayer::Value3);
  ReadPerLayer(input, board, &TCompositeLayer::Value4);

  ReadReals(input, p.Value17, p.Value18, p.Value19);
  ReadInts(input, p.Value20, p.Value21, p.Value22, p.Value23, p.Value24, p.Value25, p.Value26);
  input.LineEnd();
  for (TPlotterPen& pen : board.PlotterPens) ReadInts(input, pen.Value1, pen.Value2);
  input.LineEnd();
}

void ReadGerberAndPlacer(TInput& input, TPcbBoard& board, ReadContext& context) {
  TGerberOptions& g = board.GerberOptions;
  ReadInts(input, g.Value1, g.Value2, g.Value6, g.Value7, g.Value15, g.Value4, g.Value8, g.Value9, g.Value10, g.Value11,
           g.Value12, g.Value18, g.Value17, g.Value14, g.Value16);
  input.LineEnd();
  ReadStringLine(input, g.Value13);

  SkipInts(input, 8);  // not used by the host
  input.ReadReal();
  input.LineEnd();
  input.LineEnd();

  for (std::int32_t file_layer = 1; file_layer <= kSignalFileLayers; ++file_layer) {
    const std::int32_t direction = input.ReadInt();
    const std::uint8_t layer = MapFileLayer(file_layer);
    if (layer >= 1 && layer <= context.routing_directions.size())
      Store(context.routing_directions[layer - 1u], direction);
  }
  input.LineEnd();
  for (int i = 0; i < kLinesAfterRoutingDirections; ++i) input.LineEnd();

  TPlacerOptions& placer = board.PlacerOptions;
  SkipInts(input, 3);  // not used by the host
  ReadInts(input, placer.Value3, placer.Value4, placer.Value5, placer.Value6);
  input.LineEnd();
  ReadStringLine(input, placer.Value1);
  ReadStringLine(input, placer.Value2);

  for (std::int32_t& clearance : context.clearances) clearance = input.ReadInt();
  for (int i = 0; i < kLineEndsAfterClearances; ++i) input.LineEnd();
}

}  // namespace

void ReadOptions(ReadContext& context) {
  TPcbBoard& board = context.board;
  board.Load();
  ReadOutputAndPrinter(context.input, board);
  ReadGerberAndPlacer(context.input, board, context);
  board.Store();
}
