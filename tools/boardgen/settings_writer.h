// The DEFAULTS and OPTIONS sections: realistic board settings, or every value distinct by the
// formula documented in board_generator.h.
#pragma once

#include <cstdint>

#include "boardgen/board_generator.h"
#include "boardgen/line_writer.h"

namespace boardgen {

struct SettingsContext {
  int level = 10;
  bool distinct = false;
  int64_t board_width = 0, board_height = 0;  // 1/1000 mil
  OptionValues options;
};

void WriteDefaults(LineWriter& out, const SettingsContext& context);
void WriteOptions(LineWriter& out, const SettingsContext& context);

}  // namespace boardgen
