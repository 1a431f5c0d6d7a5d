// The steps every primitive reader shares: the host object made, wrapped, loaded and counted on
// the progress bar; the wrapper stored; values skipped.
#pragma once

#include <cstdint>
#include <memory>

#include "host/api/vocabulary.h"
#include "host/core_calls.h"
#include "records/input.h"
#include "records/progress.h"
#include "records/read_context.h"

namespace records {

// A new host object of the kind in its record class, loaded, after one progress step and
// one abort poll. On the heap: outline records are large.
template <typename Record>
std::unique_ptr<Record> CreateRecord(ReadContext& context, ObjectKind kind) {
  auto record = std::make_unique<Record>(host::PcbApi_CreateObject(KindCode(kind)));
  record->Load();
  StepAndPoll(context);
  return record;
}

// Stores the record into its host object and gives the handle.
template <typename Record>
std::uint32_t StoreRecord(Record& record) {
  record.Store();
  return record.Handle;
}

inline void SkipInts(TInput& input, int count) {
  for (int i = 0; i < count; ++i) (void)input.ReadInt();
}

}  // namespace records
