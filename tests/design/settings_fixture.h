// A run on a fresh stand-in board reading one settings section from memory, with lookups of the
// host's board values and of the sections the board generator writes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "boardgen/board_generator.h"
#include "design/settings_readers.h"
#include "standin/host/board_document.h"
#include "tests/support/run_fixture.h"

namespace settings_test {

class SettingsTest : public test_support::RunFixture {
 protected:
  // The host's value of a board field (instance: layer, pen or pair).
  double Host(std::string_view field, std::uint32_t instance = 1) {
    return model().GetNumber(board(), field, instance);
  }
  std::string HostText(std::string_view field, std::uint32_t instance = 1) {
    return model().GetText(board(), field, instance);
  }
  // Everything the host holds for the board.
  nlohmann::json Snapshot() { return BoardDocument(model(), board()); }

  // The line the record loop would read next.
  std::string NextLine() {
    ShortString<255> line;
    context().input.ReadLine(line);
    return line.Str();
  }
};

// The text after the line "keyword" of a generated file with every settings value distinct.
inline std::string DistinctSection(int level, std::string_view keyword) {
  boardgen::BoardRecipe recipe;
  recipe.level = level;
  recipe.defaults = true;
  recipe.options = true;
  recipe.distinct_settings = true;
  std::string text;
  boardgen::Generate(recipe, text);
  const std::string marker = "\n" + std::string(keyword) + "\n";
  const std::size_t at = text.find(marker);
  return at == std::string::npos ? std::string() : text.substr(at + marker.size());
}

// Value at position k of a distinct section, as an integer read keeps it.
inline double Distinct(int k) { return static_cast<double>(boardgen::DistinctSettingValue(k)); }
inline double DistinctLow8(int k) { return static_cast<double>(boardgen::DistinctSettingValue(k) & 0xFF); }
inline double DistinctReal(int k) { return boardgen::DistinctSettingReal(k); }

}  // namespace settings_test
