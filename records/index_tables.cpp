// Sequence counters and owner tables of one import run.
#include "records/index_tables.h"

#include "host/object_access.h"

namespace {

// The sequence that numbers the owners of a table.
TIndexTables::Sequence SequenceOf(TIndexTables::Table table) {
  switch (table) {
    case TIndexTables::Table::kNet:
      return TIndexTables::Sequence::kNet;
    case TIndexTables::Table::kPolygon:
      return TIndexTables::Sequence::kPolygon;
    case TIndexTables::Table::kCoordinate:
      return TIndexTables::Sequence::kCoordinate;
    case TIndexTables::Table::kDimension:
      break;
  }
  return TIndexTables::Sequence::kDimension;
}

}  // namespace

TIndexTables::TIndexTables() = default;

std::uint16_t TIndexTables::Next(Sequence sequence) {
  std::int64_t& counter = counters_[static_cast<std::size_t>(sequence)];
  ++counter;
  return static_cast<std::uint16_t>(counter & 0xFFFF);
}

std::int64_t TIndexTables::Count(Sequence sequence) const {
  return counters_[static_cast<std::size_t>(sequence)];
}

void TIndexTables::Reset(Sequence sequence) { counters_[static_cast<std::size_t>(sequence)] = 0; }

void TIndexTables::Enter(Table table, std::uint32_t handle) {
  if (handle == 0) return;
  // Owners numbered beyond the table never get an entry; checking the full counter, not only
  // the 16-bit Index, keeps the 65537th owner (Index 1 again) from taking the first one's place.
  if (Count(SequenceOf(table)) > kTableSize) return;
  const std::int32_t number = GetIndex(handle);
  if (number < 1 || number > kTableSize) return;
  std::vector<std::uint32_t>& entries = tables_[static_cast<std::size_t>(table)];
  const auto at = static_cast<std::size_t>(number - 1);
  if (at >= entries.size()) entries.resize(at + 1);
  entries[at] = handle;
}

std::uint32_t TIndexTables::Lookup(Table table, std::int32_t number) const {
  if (number < 1 || number > kTableSize) return 0;
  const std::vector<std::uint32_t>& entries = tables_[static_cast<std::size_t>(table)];
  const auto at = static_cast<std::size_t>(number - 1);
  return at < entries.size() ? entries[at] : 0;
}
