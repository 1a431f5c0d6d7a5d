// Choices fixed before any record is written: board size, each component's side, mount,
// designator and place, and the link patterns. Both the writer and Summarize work from the
// plan, so the summary of a board is known without writing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "boardgen/board_generator.h"
#include "boardgen/line_writer.h"
#include "boardgen/random.h"

namespace boardgen {

// The import's index tables hold this many entries per kind.
inline constexpr int64_t kIndexTableSize = 16000;

// File layer numbers used by the generator.
inline constexpr int kTopLayer = 1;
inline constexpr int kBottomLayer = 16;
inline constexpr int kTopOverlay = 17;
inline constexpr int kBottomOverlay = 18;
inline constexpr int kFirstPlane = 23;
inline constexpr int kKeepOut = 28;
inline constexpr int kMechanical1 = 29;
inline constexpr int kMultiLayer = 34;

struct ComponentPlan {
  const ComponentRecipe* recipe = nullptr;
  bool bottom = false;
  bool surface = false;
  bool comment_shown = false;
  int designator_layer = kTopOverlay;
  std::string designator;
  std::string pattern;
  const char* comment = "";
  int64_t x = 0, y = 0;  // 1/1000 mil, whole mils
};

struct BoardPlan {
  int64_t width = 0, height = 0;  // 1/1000 mil
  std::vector<ComponentPlan> components;
};

enum class Link { kNone, kValid, kDangling };

// The i-th record of a kind names an owner when the percent pattern picks it (see LinkRecipe).
inline bool Picked(int64_t i, int percent) { return (i + 1) * percent / 100 != i * percent / 100; }

inline Link LinkOf(int64_t i, int percent, int dangling_percent, int64_t owners) {
  if (owners <= 0 || !Picked(i, percent)) return Link::kNone;
  return Picked(i * percent / 100, dangling_percent) ? Link::kDangling : Link::kValid;
}

// Throws std::invalid_argument for a BoardRecipe out of range.
void CheckRecipe(const BoardRecipe& recipe);
BoardPlan MakePlan(const BoardRecipe& recipe);
BoardSummary Summarize(const BoardRecipe& recipe, const BoardPlan& plan);
// Writes the whole file (board_writer.cpp).
void WriteBoard(const BoardRecipe& recipe, const BoardPlan& plan, LineWriter& out);

}  // namespace boardgen
