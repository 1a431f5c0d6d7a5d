// DEFAULTS and OPTIONS sections (see settings_writer.h). The group numbers in the comments are
// the groups of each section in file order.
#include "boardgen/settings_writer.h"

#include <string>
#include <string_view>

namespace boardgen {
namespace {

// File layers 1 to 42 that a two-layer board with overlays, masks, planes and a keep-out uses.
bool LayerInUse(int file_layer) {
  switch (file_layer) {
    case 1:
    case 16:
    case 17:
    case 18:
    case 21:
    case 22:
    case 23:
    case 24:
    case 28:
    case 29:
    case 34:
      return true;
    default:
      return false;
  }
}

// Screen colour of file layers 1 to 42 as red, green, blue.
void LayerColour(int file_layer, int rgb[3]) {
  static constexpr int kPalette[][3] = {{255, 0, 0},   {255, 255, 0}, {0, 255, 0},   {0, 255, 255},
                                        {255, 0, 255}, {128, 128, 0}, {0, 128, 128}, {128, 0, 128}};
  const int* colour = kPalette[file_layer % 8];
  if (file_layer == 1) colour = kPalette[0];
  if (file_layer == 16) colour = kPalette[3];
  for (int i = 0; i < 3; ++i) rgb[i] = colour[i];
}

// Writes each value either as the realistic one given or, in distinct mode, by position.
class Values {
 public:
  Values(LineWriter& out, bool distinct) : out_(out), distinct_(distinct) {}

  void Int(int64_t realistic) {
    ++position_;
    out_.Int(distinct_ ? DistinctSettingValue(position_) : realistic);
  }
  void Flag(int64_t realistic) {
    ++position_;
    out_.Int(distinct_ ? (position_ % 2 == 1 ? DistinctSettingValue(position_) : 0) : realistic);
  }
  void Real(double realistic) {
    ++position_;
    out_.Real(distinct_ ? DistinctSettingReal(position_) : realistic);
  }
  void StringLine(std::string_view realistic) {
    ++position_;
    if (distinct_) {
      out_.Text("S");
      out_.Text(std::to_string(position_));
    } else {
      out_.Text(realistic);
    }
    out_.EndLine();
  }
  // A whole line the reader skips; not counted.
  void SkippedLine(std::string_view text) { out_.Line(text); }
  void EndLine() { out_.EndLine(); }
  int position() const { return position_; }

 private:
  LineWriter& out_;
  bool distinct_;
  int position_ = 0;
};

}  // namespace

void WriteDefaults(LineWriter& out, const SettingsContext& context) {
  // Board values and grids are in mils in the old format and in host units (1/10000 mil) from
  // version 2.00 on, where the reader stores them unconverted.
  const bool old_format = context.level <= 1;
  const auto board_length = [&](int64_t fine) { return old_format ? fine / 1000 : fine * 10; };
  const double grid_unit = old_format ? 1.0 : 10000.0;

  Values v(out, context.distinct);
  out.Line("DEFAULTS");
  v.Int(board_length(1000000));  // group 1
  v.Int(board_length(1000000));
  v.EndLine();
  v.Int(board_length(context.board_width));  // group 2
  v.Int(board_length(context.board_height));
  v.EndLine();
  v.Int(0);  // group 3
  v.EndLine();
  v.Int(1);  // group 4
  v.Int(1);
  v.Int(0);
  v.EndLine();
  v.Real(25 * grid_unit);  // group 5
  v.Real(25 * grid_unit);
  v.Real(5 * grid_unit);
  v.Real(5 * grid_unit);
  v.EndLine();
  v.Int(1);  // group 6: current layer, a host layer number
  v.Real(0);
  v.EndLine();
  for (int layer = 1; layer <= 42; ++layer) {  // group 7
    v.Flag(LayerInUse(layer) ? 1 : 0);
    v.EndLine();
  }
  if (context.level >= 4) {  // group 8: change order flag and log file
    v.Flag(0);
    if (context.distinct) {
      out.Text(" S");
      out.Text(std::to_string(v.position() + 1));
    } else {
      out.Text(" BOARD.ECO");
    }
    v.EndLine();
  }
}

void WriteOptions(LineWriter& out, const SettingsContext& context) {
  Values v(out, context.distinct);
  out.Line("OPTIONS");
  for (int value : {10000, 10000, 1, 1, 0, 1, 0, 1, 0}) v.Int(value);  // group 1
  v.EndLine();
  for (int group = 2; group <= 3; ++group) {  // flip layers, then plot layers
    for (int layer = 1; layer <= 53; ++layer) {
      if (layer == 36 || layer == 51) continue;
      v.Int(group == 3 && LayerInUse(layer) ? 1 : 0);
    }
    v.EndLine();
  }
  v.StringLine("HP LaserJet III");  // groups 4 to 6
  v.StringLine("LPT1:");
  v.StringLine("Letter");
  for (int value : {1, 0, 1, 0, 0, 1, 100}) v.Int(value);  // group 7
  v.Real(1.0);
  v.Real(0.0);
  v.Real(0.0);
  v.EndLine();
  for (int value : {0, 0, 0, 0, 0, 0, 1, 0}) v.Int(value);  // group 8
  v.EndLine();
  for (int group = 9; group <= 10; ++group) {  // screen colours, then print colours
    for (int layer = 1; layer <= 42; ++layer) {
      int rgb[3] = {0, 0, 0};
      if (group == 9) LayerColour(layer, rgb);
      for (int part : rgb) v.Int(part);
      v.EndLine();
    }
  }
  for (int layer = 1; layer <= 42; ++layer) v.Int(LayerInUse(layer) ? 1 : 0);  // group 11
  v.EndLine();
  for (int layer = 1; layer <= 42; ++layer) v.Int(1 + (layer - 1) % 8);  // group 12: pens
  v.EndLine();
  v.Real(1.0);  // group 13
  v.Real(1.0);
  v.Real(0.0);
  for (int value : {0, 0, 1, 1, 0, 0, 0}) v.Int(value);
  v.EndLine();
  for (int pen = 1; pen <= 8; ++pen) {  // group 14
    v.Int(pen);
    v.Int(10);
  }
  v.EndLine();
  for (int value : {2, 4, 1, 0, 0, 1, 15000, 10000, 25000, 0, 0, 0, 0, 0, 1}) v.Int(value);  // group 15
  v.EndLine();
  v.StringLine("APERTURE.APT");          // group 16
  for (int i = 0; i < 8; ++i) v.Int(0);  // group 17
  v.Real(0.0);
  v.EndLine();
  v.SkippedLine("0 0 0 0");                                                   // group 18
  for (int direction : context.options.routing_directions) v.Int(direction);  // group 19
  v.EndLine();
  for (int i = 0; i < 3; ++i) v.SkippedLine("0 0 0 0");  // group 20
  for (int value : {0, 0, 0, 1, 1, 0, 1}) v.Int(value);  // group 21
  v.EndLine();
  v.StringLine("PCBLIB.LIB");  // groups 22, 23
  v.StringLine("NETLIST.NET");
  for (int32_t clearance : context.options.clearances) v.Int(clearance);  // group 24
  v.EndLine();
  for (int i = 0; i < 11; ++i) v.SkippedLine("0 0 0 0");  // group 25
}

}  // namespace boardgen
