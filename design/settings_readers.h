// The readers of the board-settings sections DEFAULTS and OPTIONS. Each loads the run's board
// wrapper, writes the section's values into it and stores it back into the host.
//
//   if (line == "DEFAULTS") ReadDefaults(context);
//
// Both take the run's context with its input positioned just after their keyword line and
// return nothing; no object is added to the board.
#pragma once

struct ReadContext;

// DEFAULTS: board values, grids, the current layer, one flag per file layer and, from version
// 2.20 on, the engineering change order options. Returns without storing anything when a value
// read so far (in this section or an earlier record) was not a valid number.
void ReadDefaults(ReadContext& context);
// OPTIONS: output, printer, Gerber and placer settings, the plot and flip layer sets, and the
// context's routing directions and clearances. Always read whole and always stored.
void ReadOptions(ReadContext& context);
