// Layer tables and unit conversions of the file's records.
#include "records/conventions.h"

#include <array>
#include <cmath>

namespace {

// File layer 0 to 42; the file knows 16 signal layers (top, 14 mid layers, bottom), 4 internal
// planes and 4 mechanical layers, so its numbering packs the host's sparse one.
constexpr std::array<std::uint8_t, 43> kFileLayers = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,  // NoLayer, Top, Mid 1..14
    32,                                                              // 16 BottomLayer
    33, 34, 35, 36, 37, 38,                                          // overlays, paste, solder
    39, 40, 41, 42,                                                  // InternalPlane1..4
    55, 56,                                                          // DrillGuide, KeepOut
    57, 58, 59, 60,                                                  // Mechanical1..4
    73, 74, 75, 76, 77, 78, 79, 80, 81, 82,                          // DrillDrawing..ViaHole
};

// File layers 33 to 53 in the options section address slots of the board's option arrays.
constexpr std::array<std::uint8_t, 21> kOptionSlotsFrom33 = {
    61,  62,                                // 33, 34
    71,  72,                                // 35, 36
    73,  74,  75,  76,  77,                 // 37 to 41
    90,  91,  92,  93,  94,  95,  96,  97,  // 42 to 49
    106, 107, 108, 109,                     // 50 to 53
};

constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 9> kViaPairs = {{
    {1, 32},  // 0: through the whole board
    {1, 2},
    {3, 4},
    {5, 6},
    {7, 8},
    {9, 10},
    {11, 12},
    {13, 14},
    {15, 32},
}};

// The low 32 bits of an integral double, as a two's-complement int32.
std::int32_t LowBits32(double integral) {
  if (!std::isfinite(integral)) return 0;
  double low = std::fmod(integral, 4294967296.0);  // exact
  if (low < 0) low += 4294967296.0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(low));
}

}  // namespace

std::uint8_t MapFileLayer(std::int32_t file_layer) {
  const std::uint8_t number = static_cast<std::uint8_t>(file_layer & 0xFF);
  return number < kFileLayers.size() ? kFileLayers[number] : 0;
}

std::uint8_t MapOptionsLayer(std::int32_t file_layer) {
  const std::uint8_t number = static_cast<std::uint8_t>(file_layer & 0xFF);
  if (number <= 32) return kFileLayers[number];
  const std::size_t slot = number - 33u;
  return slot < kOptionSlotsFrom33.size() ? kOptionSlotsFrom33[slot] : 0;
}

std::pair<std::uint8_t, std::uint8_t> ViaLayerPairSpan(std::int32_t code) {
  const std::uint8_t number = static_cast<std::uint8_t>(code & 0xFF);
  return number < kViaPairs.size() ? kViaPairs[number] : kViaPairs[0];
}

double RoundHalfEven(double value) {
  const double whole = std::trunc(value);
  if (std::fabs(value - whole) == 0.5) return 2.0 * std::round(value / 2.0);
  return std::round(value);
}

std::int32_t MilsToCoord(double mils) { return LowBits32(RoundHalfEven(mils * 10000.0)); }

double CoordToMils(std::int32_t coord) {
  const double mils = coord / 10000.0;
  const double whole = std::trunc(mils);
  return whole + RoundHalfEven((mils - whole) * 1000.0) / 1000.0;
}

std::int32_t DefaultTextWidth(std::int32_t height) {
  const std::int32_t w = LowBits32(RoundHalfEven(height * 0.1));
  if (w <= MilsToCoord(3.0)) return MilsToCoord(6.0);
  if (w < 60000) return 60000 + LowBits32(RoundHalfEven((w - 30000) * 2.0 / 3.0));
  if (w < MilsToCoord(8.0)) return MilsToCoord(8.0);
  return w;
}

std::int32_t ScaleLength(std::int32_t value, bool old_format) {
  const auto times_ten = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * 10u);
  if (!old_format) return times_ten;
  return LowBits32(RoundHalfEven(times_ten * 1000.0));
}
