// The steps every primitive reader shares: the host object made, wrapped, loaded and counted
// on the progress bar; the wrapper stored; the run's input; the sequence numbers.
#pragma once

#include <cstdint>
#include <memory>

#include "host/core_calls.h"
#include "plugin/index_tables.h"
#include "plugin/progress.h"
#include "plugin/run_state.h"
#include "records/input.h"

namespace records {

// Object kinds of the host (PcbApi_CreateObject).
inline constexpr std::uint8_t kArcKind = 1;
inline constexpr std::uint8_t kPadKind = 2;
inline constexpr std::uint8_t kViaKind = 3;
inline constexpr std::uint8_t kTrackKind = 4;
inline constexpr std::uint8_t kTextKind = 5;
inline constexpr std::uint8_t kFillKind = 6;
inline constexpr std::uint8_t kPolygonKind = 10;
inline constexpr std::uint8_t kDimensionKind = 13;
inline constexpr std::uint8_t kCoordinateKind = 14;
inline constexpr std::uint8_t kSplitPlaneKind = 22;

inline constexpr std::uint8_t kTopLayer = 1;
inline constexpr std::uint8_t kBottomLayer = 32;
inline constexpr std::uint8_t kMultiLayer = 74;

inline TInput& In() { return *Run().input; }
inline std::int32_t Level() { return Run().format_level; }

// A new host object of the kind in its record class, loaded, after one progress step and
// one abort poll. On the heap: outline records are large.
template <typename Record>
std::unique_ptr<Record> CreateRecord(std::uint8_t kind) {
  auto record = std::make_unique<Record>(host::PcbApi_CreateObject(kind));
  record->Exchange(true);
  StepAndPoll();
  return record;
}

// Stores the record into its host object and gives the handle.
template <typename Record>
std::uint32_t StoreRecord(Record& record) {
  record.Exchange(false);
  return record.Handle;
}

inline void SkipInts(int count) {
  for (int i = 0; i < count; ++i) (void)In().ReadInt();
}

inline std::uint8_t LowByte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

// Numbering and owner tables; a run without tables (some unit tests) numbers nothing.
inline std::uint16_t NextIndex(TIndexTables::Sequence sequence) {
  return Run().index_tables ? Run().index_tables->Next(sequence) : 0;
}
inline void EnterOwner(TIndexTables::Table table, std::uint32_t handle) {
  if (Run().index_tables) Run().index_tables->Enter(table, handle);
}

}  // namespace records
