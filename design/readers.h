// The readers of the design records: components (COMP ... ENDCOMP) and net definitions (NETDEF),
// plus the board-settings sections DEFAULTS and OPTIONS.
//
//   if (line == "COMP") context.board.AddObject(ReadComponent(context));
//
// Each reader takes the run's context with its input positioned just after the keyword line and
// leaves the input after the record's last line (or at the end of the input). The component and
// net readers return the stored object's handle, 0 when the host created nothing.
#pragma once

#include <cstdint>

#include "design/settings_readers.h"

struct ReadContext;

// NETDEF: one net, numbered in file order and entered in the net table; its routing values go
// to the classifier and, from version 2.30 on, it may name the net of an internal plane.
std::uint32_t ReadNetDef(ReadContext& context);
// COMP: one component with the primitives nested in it, up to the ENDCOMP line.
std::uint32_t ReadComponent(ReadContext& context);
