// Sequence numbers of the records and the tables that find an owner by its number.
//
//   const std::uint16_t index = tables.Next(TIndexTables::Sequence::kPolygon);  // into Index
//   ... store the object ...; tables.Enter(TIndexTables::Table::kPolygon, handle);
//   tables.Lookup(TIndexTables::Table::kPolygon, track_polygon_number);          // link pass
//
// The file names a primitive's net, polygon, coordinate and dimension by the 1-based position of
// the owner's record among the records of its kind. Each table holds the first 16000 owners of
// its kind; numbers outside 1 to 16000 have no entry. A table grows to the highest number entered
// in it, so a small board does not pay for 16000 empty entries of each kind.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class TIndexTables {
 public:
  enum class Sequence { kPad, kComponent, kNet, kPolygon, kCoordinate, kDimension };
  enum class Table { kNet, kPolygon, kCoordinate, kDimension };
  static constexpr std::int32_t kTableSize = 16000;

  // Every entry 0, every counter 0.
  TIndexTables();

  // Adds 1 to the counter and returns the low 16 bits of its new value: an object's Index.
  std::uint16_t Next(Sequence sequence);
  // The counter's full value (beyond 16 bits).
  [[nodiscard]] std::int64_t Count(Sequence sequence) const;
  void Reset(Sequence sequence);
  // Enters a stored owner under the Index the host holds for it. Nothing for handle 0, for an
  // Index outside 1 to 16000, or once more than 16000 owners of the kind have been numbered:
  // the 16-bit Index of the 65537th owner is 1 again, and entering it would take the first
  // owner's place.
  void Enter(Table table, std::uint32_t handle);
  // The owner entered under number, or 0.
  [[nodiscard]] std::uint32_t Lookup(Table table, std::int32_t number) const;

 private:
  static constexpr std::size_t kSequences = 6;
  static constexpr std::size_t kTables = 4;

  std::array<std::int64_t, kSequences> counters_{};
  std::array<std::vector<std::uint32_t>, kTables> tables_;  // entry n - 1 holds number n; 0: none
};
