// The plug-in's exports called again and again in one process, as a host calls them over a
// session: 200 imports of boards of every format level through the loaded module, with runs that
// end in a read error, an abort or a refusal in between. No run may leak (checked by the leak
// sanitizer in the sanitizer build) or leave anything behind that changes a later run: the same
// file imported early and late gives the same document, apart from the handles the host gave.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "boardgen/board_generator.h"
#include "plugin/import_run.h"
#include "standin/host/plugin_loader.h"
#include "tests/robustness/pcb_text.h"
#include "tests/robustness/robustness_support.h"
#include "tests/support/leak_check.h"
#include "tests/support/run_fixture.h"

namespace {

using test_support::LeakCheck;

// A small board with every record kind at the level, varied by the seed, and extra tracks.
std::string SmallBoard(int level, std::uint32_t seed, bool defaults, int extra_tracks = 0) {
  boardgen::BoardRecipe recipe;
  recipe.level = level;
  recipe.seed = seed;
  recipe.tracks = 3 + static_cast<int>(seed % 4) + extra_tracks;
  recipe.arcs = 2;
  recipe.vias = 2;
  recipe.pads = 2;
  recipe.fills = 1;
  recipe.strings = 1;
  recipe.polygons = 1;
  recipe.split_planes = 1;
  recipe.coordinates = 1;
  recipe.dimensions = 1;
  recipe.nets = 4;
  recipe.polygon_vertices = 5;
  recipe.components = boardgen::Components(2, {.pads = 3, .tracks = 1, .arcs = 1, .vias = 1, .fills = 1, .strings = 1});
  recipe.defaults = defaults;
  recipe.options = true;
  recipe.pad_rules.solder_mask = {1000, 2000};
  recipe.net_rules.width = {10000, 12000, 14000};
  std::string text;
  boardgen::Generate(recipe, text);
  return text;
}

const std::vector<std::string> kHandleFields = {"Handle", "Net", "Polygon", "Coordinate", "Dimension",
                                                "Component", "NameText", "CommentText"};

// Every handle in the document made relative to the board's, so that two runs of one file on two
// boards compare equal.
void RelativeHandles(nlohmann::json& value, std::int64_t board) {
  if (value.is_array()) {
    for (auto& element : value) RelativeHandles(element, board);
    return;
  }
  if (!value.is_object()) return;
  for (auto& [key, field] : value.items()) {
    const bool handle = std::find(kHandleFields.begin(), kHandleFields.end(), key) != kHandleFields.end();
    if (handle && field.is_number_integer() && field.get<std::int64_t>() != 0) {
      field = field.get<std::int64_t>() - board;
    } else if (key == "Containers") {
      for (auto& container : field) container = container.get<std::int64_t>() - board;
    } else {
      RelativeHandles(field, board);
    }
  }
}

class RepeatedRuns : public ::testing::Test {
 protected:
  RepeatedRuns() : plugin_(DefaultPluginPath()) {}

  // The host's own records of a run (messages, progress counts) start afresh, as in a new
  // host process; the plug-in gets no such help.
  static void FreshHost() {
    robustness::FreshSession();
    orv::Server().progress = orv::ProgressRecord{};
    orv::Server().commands.clear();
  }

  struct Outcome {
    bool imported = false;
    nlohmann::json document;  // handles relative to the board, the file named "FILE"
  };

  // Imports the text through the module's export on a new board, as the host does.
  Outcome Import(const std::string& text) {
    FreshHost();
    const std::string path = test_support::WriteFile(test_support::UniqueBoardPath("repeat"), text);
    const std::uint32_t board = orv::Server().OpenBoard(path);
    Outcome outcome;
    outcome.imported = plugin_.Import(path);
    std::string dumped = robustness::DocumentOf(board, path).dump();
    for (std::size_t at = dumped.find(path); at != std::string::npos; at = dumped.find(path, at)) {
      dumped.replace(at, path.size(), "FILE");
    }
    outcome.document = nlohmann::json::parse(dumped);
    RelativeHandles(outcome.document, board);
    ++runs_;
    return outcome;
  }

  PluginModule plugin_;
  int runs_ = 0;
};

TEST_F(RepeatedRuns, TwoHundredImportsInOneProcessLeakNothingAndCarryNothing) {
  ASSERT_TRUE(plugin_.Loaded()) << plugin_.Error();
  ASSERT_EQ(LeakCheck(), 0) << "leaks before the first run";

  // Probes: files imported at the start, and again after the runs that could leave state behind.
  const std::string with_defaults = SmallBoard(10, 7, true);
  const std::string old_format = SmallBoard(1, 8, true);
  const Outcome first_defaults = Import(with_defaults);
  const Outcome first_old = Import(old_format);
  ASSERT_TRUE(first_defaults.imported);
  ASSERT_TRUE(first_old.imported);

  // A read error (the token "12ab") in a file without DEFAULTS: the error belongs to that run's
  // input and must not end the DEFAULTS section of the next run.
  const std::string bad_token = std::string(robustness::kHeader280) + "FT\n0 0 12ab 0 1 1 10 1 0 0 0\n0 0 0 0 0\n";
  struct Disturbance {
    const char* name;
    std::string text;
    bool abort;
    bool imported;
  } disturbances[] = {
      {"read error", bad_token, false, true},
      // Escape confirmed at the first record: the next run starts with the abort flag clear.
      {"abort", with_defaults, true, false},
      {"refused (empty file)", "", false, false},
      {"input cut inside a component", SmallBoard(10, 9, false).substr(0, 2000), false, true},
  };

  int level = 0;
  std::uint32_t seed = 100;
  const auto ordinary_run = [&] {
    const Outcome outcome = Import(SmallBoard(level, seed++, level % 2 == 0));
    EXPECT_TRUE(outcome.imported) << "level " << level;
    level = (level + 1) % 11;
  };
  for (const Disturbance& d : disturbances) {
    SCOPED_TRACE(d.name);
    for (int i = 0; i < 40; ++i) ordinary_run();
    FreshHost();
    if (d.abort) {
      Session().options.confirm_abort = {true};
      PostEscapeKey();
    }
    const std::string path = test_support::WriteFile(test_support::UniqueBoardPath("disturb"), d.text);
    orv::Server().OpenBoard(path);
    EXPECT_EQ(plugin_.Import(path), d.imported);
    ++runs_;

    const Outcome again = Import(with_defaults);
    EXPECT_TRUE(again.imported);
    EXPECT_TRUE(again.document == first_defaults.document)
        << nlohmann::json::diff(first_defaults.document, again.document).dump(1);
    const Outcome again_old = Import(old_format);
    EXPECT_TRUE(again_old.document == first_old.document)
        << nlohmann::json::diff(first_old.document, again_old.document).dump(1);
  }
  while (runs_ < 200) ordinary_run();
  EXPECT_EQ(runs_, 200);

  EXPECT_EQ(LeakCheck(), 0) << "the leak sanitizer's report above lists what the runs lost";
}

// The server reset between files (as the fuzz target resets it) keeps its storage blocks but
// nothing of the board: a file imported after a reset gives the document of the same file
// imported first, handles and all. The large board fills more than one block of records.
TEST(ServerReset, AFileImportedAfterAResetGivesTheFirstDocument) {
  for (const int extra_tracks : {0, 60000}) {
    SCOPED_TRACE(extra_tracks);
    const std::string text = SmallBoard(10, 11, true, extra_tracks);
    const std::string path = test_support::WriteFile(test_support::UniqueBoardPath("reset"), text);
    std::string documents[2];
    for (std::string& document : documents) {
      orv::Server().Reset();
      robustness::FreshSession();
      const std::uint32_t board = orv::Server().OpenBoard(path);
      ASSERT_TRUE(ImportFile(path));
      document = robustness::DocumentOf(board, path).dump();
    }
    EXPECT_TRUE(documents[0] == documents[1]) << "the documents differ";
  }
  orv::Server().Reset();
}

}  // namespace
