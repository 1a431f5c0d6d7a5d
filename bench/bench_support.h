// The steps of an import whose cost must grow linearly with the file, each runnable on its own at
// a chosen size against the stand-in server in this process: shared by the scaling benchmarks
// (scaling_bench.cpp) and the linearity tests (linearity_test.cpp). Every step starts from an
// empty server (Reset) and leaves its objects there for the caller to inspect.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "boardgen/board_generator.h"
#include "host/api/layer_id.h"
#include "host/api/vocabulary.h"
#include "host/core_calls.h"
#include "plugin/import_run.h"
#include "rules/classifier.h"
#include "host/board.h"
#include "standin/host/document.h"
#include "standin/host/session.h"
#include "standin/orvpcb/model.h"

namespace bench {

inline std::uint32_t FreshBoard(const std::string& name = "/bench/board.PCB") {
  orv::Server().Reset();
  return orv::Server().OpenBoard(name);
}

// A realistic board of about `primitives` primitive records written to `path`, imported into a
// fresh board; returns the board's handle (0 when the import failed).
inline std::uint32_t ImportBoard(std::int64_t primitives, const std::string& path) {
  if (!boardgen::WriteBoardFile(boardgen::RealisticBoard(primitives), path)) return 0;
  Session().options.test_mode = true;
  Session().options.quiet = true;
  const std::uint32_t board = FreshBoard(path);
  return ImportFile(path) ? board : 0;
}

// The classifier's name checks: `names` distinct pad names, each given to the four pad families
// under one of a handful of values, then the family counts.
inline std::int32_t ClassifyNames(std::int64_t names) {
  TPcbBoard board(FreshBoard());
  TClassifier classifier(board);
  for (std::int64_t i = 0; i < names; ++i) {
    const std::string name = "U" + std::to_string(i / 16) + "-" + std::to_string(i % 16);
    const auto value = static_cast<std::int32_t>(i % 7) * 1000;
    classifier.AddSolderMaskExpansion(value, name);
    classifier.AddPasteMaskExpansion(value / 2, name);
    classifier.AddPlaneClearance(value + 1, name);
    classifier.AddPlaneConnect(value, 1, 2, 3, 4, name);
    classifier.AddSolderMaskExpansion(value, name);  // the same name again counts once
  }
  std::int32_t rules = 0;
  for (int family = 1; family <= 4; ++family) rules += classifier.RuleCount(family);
  return rules;
}

// The board's rules removed one by one, as the run removes the rules a board had.
inline std::int64_t RemoveRules(std::int64_t rules) {
  const std::uint32_t board = FreshBoard();
  std::vector<std::uint32_t> made;
  for (std::int64_t i = 0; i < rules; ++i) {
    const std::uint32_t rule = host::PcbApi_CreateRuleObject(static_cast<std::uint8_t>(i % 50));
    host::PcbApi_AddObjectToContainer(board, rule);
    made.push_back(rule);
  }
  std::int64_t removed = 0;
  for (std::uint32_t rule : made) removed += host::PcbApi_DeleteObjectFromContainer(board, rule);
  return removed;
}

// The link pass's pattern: `objects` tracks on the board join nets one by one while iterators
// over another bucket of the board are made in between; an iterator must not rebuild the
// board's index when only other buckets changed.
inline std::int64_t JoinWhileIterating(std::int64_t objects) {
  orv::Model& model = orv::Server();
  const std::uint32_t board = FreshBoard();
  std::vector<std::uint32_t> nets;
  for (int i = 0; i < 64; ++i) {
    nets.push_back(model.Create(KindCode(ObjectKind::kNet)));
    model.AddToContainer(board, nets.back());
  }
  std::vector<std::uint32_t> tracks;
  for (std::int64_t i = 0; i < objects; ++i) {
    const std::uint32_t track = model.Create(KindCode(ObjectKind::kTrack));
    model.SetNumber(track, "Layer", 1);
    model.AddToContainer(board, track);
    tracks.push_back(track);
  }
  const std::uint32_t other = model.Create(KindCode(ObjectKind::kTrack));
  model.SetNumber(other, "Layer", 2);
  model.AddToContainer(board, other);
  std::int64_t seen = 0;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    host::PcbApi_AddObjectToContainer(nets[i % nets.size()], tracks[i]);
    const std::uint32_t iterator =
        host::PcbApi_CreateIterator(board, KindCode(ObjectKind::kTrack), 0, layer_id::FromNumber(2));
    for (std::uint32_t o = host::PcbApi_GetFirstObject(iterator); o != 0; o = host::PcbApi_GetNextObject(iterator)) {
      ++seen;
    }
    host::PcbApi_DestroyIterator(iterator);
  }
  return seen;
}

// The board document of the board, written to a stream that only counts the bytes; returns its
// size (-1 on failure).
inline long WriteDocument(std::uint32_t board, const std::string& file_name) {
  long bytes = 0;
  cookie_io_functions_t counter{};
  counter.write = [](void* cookie, const char*, std::size_t size) -> ssize_t {
    *static_cast<long*>(cookie) += static_cast<long>(size);
    return static_cast<ssize_t>(size);
  };
  std::FILE* out = fopencookie(&bytes, "w", counter);
  if (out == nullptr) return -1;
  const bool ok = WriteBoardDocument(orv::Server(), board, file_name, out);
  std::fclose(out);
  return ok ? bytes : -1;
}

}  // namespace bench
