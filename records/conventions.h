// Units and layer numbering shared by the file's records: the file-to-host layer tables, the
// via layer-pair codes, the conversions between mils and host units (1/10000 mil), and the
// record classes whose Finish() scales a record's lengths from file units to host units.
//
//   TTrack track(host::PcbApi_CreateObject(4));
//   track.Load();
//   ... read the values ...; track.SetLayerNumber(MapFileLayer(layer)); track.Finish();
//
// File lengths are mils at format levels 0 and 1 (the old format) and 1/1000 mil from level 2
// on; coordinate markers, dimensions, polygons and split planes use 1/1000 mil at every level.
#pragma once

#include <cstdint>
#include <utility>

#include "records/record_classes.h"

// The low 8 bits of a file value: the format writes bytes (layers, shapes, tags, flags) as
// integers, and the host keeps only the byte.
constexpr std::uint8_t LowByte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

// File layer number (its low 8 bits) to host layer number; unknown numbers give 0, NoLayer.
std::uint8_t MapFileLayer(std::int32_t file_layer);
// File layer number (its low 8 bits) to the slot of the board's per-layer option arrays;
// unknown numbers give 0.
std::uint8_t MapOptionsLayer(std::int32_t file_layer);
// Layer-pair code of a via (its low 8 bits) to the via's (LowLayer, HighLayer) host layer
// numbers; codes outside 1 to 8 span the whole board.
std::pair<std::uint8_t, std::uint8_t> ViaLayerPairSpan(std::int32_t code);

// Nearest integer, ties to even, whatever the processor's rounding mode.
double RoundHalfEven(double value);
// Real mils to host units, ties to even (2.5 -> 25000). Only the low 32 bits of the rounded
// value are kept, as for every length the host takes; NaN gives 0.
std::int32_t MilsToCoord(double mils);
// Host units to mils kept to three decimals: the whole mils, plus the fraction rounded on its
// own to thousandths (-12346 -> -1.235).
double CoordToMils(std::int32_t coord);

// The stroke width of a string whose file carries none (below format level 9), from its height
// as read from the file, in host units. The thresholds are host units although the height is a
// file value: the format's own writer derived the width that way.
std::int32_t DefaultTextWidth(std::int32_t height);

// A file length in host units: times 10, and for the old format times 1000.0 more, rounded;
// only the low 32 bits are kept at each step.
std::int32_t ScaleLength(std::int32_t value, bool old_format);
