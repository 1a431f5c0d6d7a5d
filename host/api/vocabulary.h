// The host's vocabulary shared by the plug-in, the stand-in server, the viewers, the benchmarks
// and the tests: object kind codes (PcbApi_CreateObject, PcbApi_GetObjectIdFromObjectHandle,
// iteration kind sets) and the one-byte host layer numbers every primitive carries. Nothing else
// defines these numbers.
#pragma once

#include <cstdint>

// Object kind codes of the host.
enum class ObjectKind : std::uint8_t {
  kArc = 1,
  kPad = 2,
  kVia = 3,
  kTrack = 4,
  kText = 5,
  kFill = 6,
  kFromTo = 7,
  kNet = 8,
  kComponent = 9,
  kPolygon = 10,
  kRegion = 11,
  kComponentBody = 12,
  kDimension = 13,
  kCoordinate = 14,
  kObjectClass = 15,
  kRule = 16,
  kManualFromTo = 17,
  kDifferentialPair = 18,
  kViolation = 19,
  kEmbedded = 20,
  kEmbeddedBoard = 21,
  kSplitPlane = 22,
  kBoardOutline = 26,
};

// The code as the host's functions take and give it.
constexpr std::uint8_t KindCode(ObjectKind kind) { return static_cast<std::uint8_t>(kind); }

// Host layer numbers: the names are those of the host's layer-name table. The numbers between
// the named ends of a range (MidLayer2 to MidLayer29, InternalPlane2 to InternalPlane15,
// Mechanical2 to Mechanical15) follow on one by one.
namespace host_layer {

inline constexpr std::uint8_t kNoLayer = 0;
inline constexpr std::uint8_t kTopLayer = 1;
inline constexpr std::uint8_t kMidLayer1 = 2;
inline constexpr std::uint8_t kMidLayer30 = 31;
inline constexpr std::uint8_t kBottomLayer = 32;
inline constexpr std::uint8_t kTopOverlay = 33;
inline constexpr std::uint8_t kBottomOverlay = 34;
inline constexpr std::uint8_t kTopPaste = 35;
inline constexpr std::uint8_t kBottomPaste = 36;
inline constexpr std::uint8_t kTopSolder = 37;
inline constexpr std::uint8_t kBottomSolder = 38;
inline constexpr std::uint8_t kInternalPlane1 = 39;
inline constexpr std::uint8_t kInternalPlane4 = 42;  // the last plane a file can name
inline constexpr std::uint8_t kInternalPlane16 = 54;
inline constexpr std::uint8_t kDrillGuide = 55;
inline constexpr std::uint8_t kKeepOutLayer = 56;
inline constexpr std::uint8_t kMechanical1 = 57;
inline constexpr std::uint8_t kMechanical16 = 72;
inline constexpr std::uint8_t kDrillDrawing = 73;
inline constexpr std::uint8_t kMultiLayer = 74;
inline constexpr std::uint8_t kConnectLayer = 75;
inline constexpr std::uint8_t kBackGroundLayer = 76;
inline constexpr std::uint8_t kDRCErrorLayer = 77;
inline constexpr std::uint8_t kHighlightLayer = 78;
inline constexpr std::uint8_t kGridColor1 = 79;
inline constexpr std::uint8_t kGridColor10 = 80;
inline constexpr std::uint8_t kPadHoleLayer = 81;
inline constexpr std::uint8_t kViaHoleLayer = 82;
inline constexpr std::uint8_t kLastLayer = kViaHoleLayer;
// Per-layer values of a pad are kept for every number from NoLayer to the last layer.
inline constexpr int kLayerSlots = kLastLayer + 1;

constexpr bool IsSignal(std::uint8_t layer) { return layer >= kTopLayer && layer <= kBottomLayer; }
constexpr bool IsMidSignal(std::uint8_t layer) { return layer >= kMidLayer1 && layer <= kMidLayer30; }
constexpr bool IsInternalPlane(std::uint8_t layer) { return layer >= kInternalPlane1 && layer <= kInternalPlane16; }
constexpr bool IsMechanical(std::uint8_t layer) { return layer >= kMechanical1 && layer <= kMechanical16; }

}  // namespace host_layer
