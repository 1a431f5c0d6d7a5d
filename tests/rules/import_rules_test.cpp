// The rules of whole imports, run through the host program as a user runs it (no terminal):
// the board's earlier rules replaced, the order of the new ones, the old-format defaults, and
// the rules dialog answered by the program's options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boardgen/board_generator.h"
#include "tests/support/host_program.h"
#include "tests/support/run_fixture.h"

namespace {

using nlohmann::json;
using test_support::OfKind;
using test_support::Quote;
using test_support::ReadJson;
using test_support::RunHost;

struct Imported {
  int status = -1;
  std::string err;
  json document;
  std::vector<json> rules;
};

Imported Import(const boardgen::BoardRecipe& recipe, const std::string& options = "") {
  const std::string path = test_support::UniqueBoardPath("import-rules");
  EXPECT_TRUE(boardgen::WriteBoardFile(recipe, path));
  const std::string document = path + ".json";
  Imported imported;
  const auto run = RunHost("import " + Quote(path) + " --quiet --json " + Quote(document) + " " + options);
  imported.status = run.status;
  imported.err = run.err;
  if (run.status == 0) {
    imported.document = ReadJson(document);
    imported.rules = OfKind(imported.document, "Rule");
  }
  return imported;
}

std::vector<std::string> RuleNames(const Imported& imported) {
  std::vector<std::string> names;
  for (const json& rule : imported.rules) names.push_back(rule["RuleName"]);
  return names;
}

// Three nets with one value each per family, all clearances equal: one rule per family.
boardgen::BoardRecipe NetsOnly(int level) {
  boardgen::BoardRecipe recipe;
  recipe.level = level;
  recipe.nets = 3;
  recipe.options = true;
  recipe.net_rules.width = {12000};
  recipe.net_rules.via_size = {40000};
  recipe.net_rules.topology = {0};
  recipe.net_rules.priority = {5};
  return recipe;
}

// `scoped` nets of distinct widths besides two of the common width: `scoped` + 1 width rules.
boardgen::BoardRecipe ManyWidths(int scoped) {
  boardgen::BoardRecipe recipe = NetsOnly(10);
  recipe.nets = scoped + 2;
  recipe.net_rules.width = {10000, 10000};
  for (int i = 0; i < scoped; ++i) recipe.net_rules.width.push_back(20000 + 1000 * i);
  return recipe;
}

int CountOfKind(const Imported& imported, int kind) {
  int count = 0;
  for (const json& rule : imported.rules) count += rule["RuleKind"] == kind ? 1 : 0;
  return count;
}

const json* ControlNamed(const json& dialog, const std::string& name) {
  for (const json& control : dialog["Controls"]) {
    if (control["Name"] == name) return &control;
  }
  return nullptr;
}

TEST(ImportRules, OldFormatDefaultsFollowTheClassifiersRulesUpToLevelEight) {
  const std::vector<std::string> common = {"UnRoutedNet",  "ShortCircuit",    "Clearance",      "RoutingLayers",
                                           "Width",        "RoutingVias",     "RoutingTopology", "RoutingPriority"};
  for (int level : {1, 8, 9, 10}) {
    const Imported imported = Import(NetsOnly(level));
    ASSERT_EQ(imported.status, 0) << imported.err;
    std::vector<std::string> expected = common;
    if (level <= 8) {
      for (const char* name : {"SolderMaskExpansion", "PasteMaskExpansion", "PlaneClearance", "PlaneConnect"}) {
        expected.push_back(name);
      }
    }
    // The new board's own rules (a clearance, a width and a short-circuit rule) are gone.
    EXPECT_EQ(RuleNames(imported), expected) << "level " << level;
    for (const json& rule : imported.rules) EXPECT_NE(rule["Scope1"], "All") << rule["RuleName"];
  }
}

TEST(ImportRules, RuleValuesReachTheDocument) {
  const Imported imported = Import(NetsOnly(8));
  ASSERT_EQ(imported.status, 0) << imported.err;
  const json& width = imported.rules.at(4);
  EXPECT_EQ(width["Constraint"]["Function"], "PcbApi_QueryRuleMaxMinWidthConstraint");
  EXPECT_EQ(width["Constraint"]["Values"], json({120000, 120000}));  // 12 mil from 12000 thousandths
  EXPECT_EQ(imported.rules.at(5)["Constraint"]["Values"], json({200000, 0, 400000}));
  EXPECT_EQ(imported.rules.at(3)["Constraint"]["Values"].size(), 32u);
  const json& connect = imported.rules.back();
  EXPECT_EQ(connect["Constraint"]["Function"], "PcbApi_QueryRulePowerPlaneConnectStyleRule");
  EXPECT_EQ(connect["Constraint"]["Values"], json({0, 100000, 100000, 4, 100000}));
}

TEST(ImportRules, WithoutATerminalTheDialogIsShownAndLeftAsItIs) {
  const Imported imported = Import(ManyWidths(11));
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(CountOfKind(imported, 2), 12);
  const json& dialogs = imported.document["host"]["dialogs"];
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_TRUE(dialogs[0]["Shown"]);
  const json* box = ControlNamed(dialogs[0], "RoutingTrackWidthCheckbox");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ((*box)["Caption"], "Create 12 routing track width rules");
  EXPECT_TRUE((*box)["Checked"]);
}

TEST(ImportRules, UncheckedFamiliesKeepOnlyTheirBoardWideRule) {
  for (const std::string& close : {std::string(), std::string(" --close-dialog-with-box")}) {
    const Imported imported = Import(ManyWidths(11), "--uncheck RoutingTrackWidthCheckbox,SolderMaskCheckBox" + close);
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(CountOfKind(imported, 2), 1) << close;
    EXPECT_EQ(CountOfKind(imported, 11), 1) << close;  // the via family was not touched
    const json& dialog = imported.document["host"]["dialogs"].at(0);
    EXPECT_TRUE(dialog["Shown"]);
    EXPECT_FALSE((*ControlNamed(dialog, "RoutingTrackWidthCheckbox"))["Checked"]);
  }
}

TEST(ImportRules, TestModeMakesEveryRuleWithoutShowingTheDialog) {
  const Imported imported = Import(ManyWidths(11), "--test-mode --uncheck RoutingTrackWidthCheckbox");
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(CountOfKind(imported, 2), 12);
  EXPECT_FALSE(imported.document["host"]["dialogs"].at(0)["Shown"]);
}

TEST(ImportRules, PadRulesNameTheirPads) {
  boardgen::BoardRecipe recipe;
  recipe.level = 10;
  recipe.components = boardgen::Components(1, {.pads = 4, .tracks = 0, .arcs = 0, .mount = boardgen::Mount::kThroughHole});
  recipe.pad_rules.solder_mask = {4000, 4000, 2000, 4000};
  const Imported imported = Import(recipe);
  ASSERT_EQ(imported.status, 0) << imported.err;
  std::vector<json> solder;
  for (const json& rule : imported.rules) {
    if (rule["RuleKind"] == 13) solder.push_back(rule);
  }
  ASSERT_EQ(solder.size(), 2u);
  EXPECT_EQ(solder[0]["RuleName"], "SolderMaskExpansion");
  EXPECT_EQ(solder[0]["Scope1"], "");
  EXPECT_EQ(solder[0]["Constraint"]["Values"], json({40000}));
  EXPECT_EQ(solder[1]["RuleName"], "SolderMaskExpansion_1");
  EXPECT_EQ(solder[1]["Constraint"]["Values"], json({20000}));
  const std::string scope = solder[1]["Scope1"];
  EXPECT_EQ(scope.rfind("HasPad('", 0), 0u) << scope;
  EXPECT_TRUE(scope.ends_with("-3')")) << scope;  // the component's third pad
}

}  // namespace
