// The readers of the free primitive records FV, FP, FF, FA, FT, PG, FD, FI and FS.
//
//   if (line == "FT") Run().board->AddObject(ReadTrack());
//
// Each reader takes the run's input positioned just after its keyword line, turns the record
// into one host object and leaves the input after the record's last line. It returns the
// stored object's handle, or 0 when nothing was created or stored. The component reader calls
// the same readers for the primitives nested in a component.
#pragma once

#include <cstdint>

std::uint32_t ReadVia();
std::uint32_t ReadPad();
std::uint32_t ReadFill();
std::uint32_t ReadArc();
std::uint32_t ReadTrack();
std::uint32_t ReadPolygon();  // PG: a polygon, or a split plane on InternalPlane1 to 4
std::uint32_t ReadCoordinate();
std::uint32_t ReadDimension();
std::uint32_t ReadString();
