// The readers of the free primitive records FV, FP, FF, FA, FT, PG, FD, FI and FS.
//
//   if (line == "FT") context.board.AddObject(ReadTrack(context));
//
// Each reader takes the run's context with its input positioned just after the keyword line,
// turns the record into one host object and leaves the input after the record's last line. It
// returns the stored object's handle, or 0 when nothing was created or stored. The component
// reader calls the same readers for the primitives nested in a component.
#pragma once

#include <cstdint>

#include "host/short_string.h"

struct ReadContext;

std::uint32_t ReadVia(ReadContext& context);
std::uint32_t ReadPad(ReadContext& context);
std::uint32_t ReadFill(ReadContext& context);
std::uint32_t ReadArc(ReadContext& context);
std::uint32_t ReadTrack(ReadContext& context);
std::uint32_t ReadPolygon(ReadContext& context);  // PG: a polygon, or a split plane on InternalPlane1 to 4
std::uint32_t ReadCoordinate(ReadContext& context);
std::uint32_t ReadDimension(ReadContext& context);
std::uint32_t ReadString(ReadContext& context);
// ReadString that also gives the text as the file holds it, whatever the host made of it.
std::uint32_t ReadStringKeepingText(ReadContext& context, ShortString<255>& text);
