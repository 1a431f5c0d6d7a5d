// The design rule translation dialog inside the rule generation: when it is shown, what its
// boxes say, and what the user's choices (scripted through the host session) change.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "rules/classifier.h"
#include "rules/design_rule_translator.h"
#include "rules/rule_kinds.h"
#include "tests/rules/rules_fixture.h"

namespace {

using rules_test::Rule;

struct FamilyRow {
  RuleFamily family;
  const char* box;
  std::uint8_t kind;
};

constexpr FamilyRow kFamilies[] = {
    {RuleFamily::kSolderMask, "SolderMaskCheckBox", rule_kind::kSolderMaskExpansion},
    {RuleFamily::kPasteMask, "PasteMaskExpansionCheckBox", rule_kind::kPasteMaskExpansion},
    {RuleFamily::kPlaneClearance, "PowerGndExpCheckBox", rule_kind::kPlaneClearance},
    {RuleFamily::kPlaneConnect, "PowerGndConnCheckBox", rule_kind::kPlaneConnect},
    {RuleFamily::kWidth, "RoutingTrackWidthCheckbox", rule_kind::kWidth},
    {RuleFamily::kViaSize, "RoutingViaSizeCheckBox", rule_kind::kRoutingVias},
    {RuleFamily::kTopology, "RoutingTechologyCheckBox", rule_kind::kRoutingTopology},
    {RuleFamily::kPriority, "RoutingPriorityCheckBox", rule_kind::kRoutingPriority},
};

void AddTo(TClassifier& classifier, RuleFamily family, bool common, const std::string& name) {
  const std::int32_t value = common ? 10000 : 20000;
  switch (family) {
    case RuleFamily::kSolderMask:
      return classifier.AddSolderMaskExpansion(value, name);
    case RuleFamily::kPasteMask:
      return classifier.AddPasteMaskExpansion(value, name);
    case RuleFamily::kPlaneClearance:
      return classifier.AddPlaneClearance(value, name);
    case RuleFamily::kPlaneConnect:
      return classifier.AddPlaneConnect(value, 1, 1, 2, 3, name);
    case RuleFamily::kWidth:
      return classifier.AddNetWidth(value, name);
    case RuleFamily::kViaSize:
      return classifier.AddNetViaSize(value, name);
    case RuleFamily::kTopology:
      return classifier.AddNetTopology(common ? 0 : 1, name);
    case RuleFamily::kPriority:
      return classifier.AddNetPriority(common ? 0 : 1, name);
  }
}

// Gives the family `count` rules: a common group of `count` names and `count` - 1 others.
void Fill(TClassifier& classifier, RuleFamily family, int count) {
  for (int i = 0; i < count; ++i) AddTo(classifier, family, true, "c" + std::to_string(i));
  for (int i = 0; i + 1 < count; ++i) AddTo(classifier, family, false, "o" + std::to_string(i));
}

class Translator : public rules_test::RuleBoardTest {
 protected:
  // Rules made per rule kind.
  // The end of a run: the dialog step, then the rules.
  std::map<int, int> Generate() {
    RunDesignRuleDialogStep(*classifier_);
    classifier_->GenerateRules();
    std::map<int, int> per_kind;
    for (const Rule& rule : NewRules()) ++per_kind[rule.kind];
    return per_kind;
  }
  static const nlohmann::json* Control(const nlohmann::json& dialog, const std::string& name) {
    for (const auto& control : dialog["Controls"]) {
      if (control["Name"] == name) return &control;
    }
    return nullptr;
  }

  void SetUp() override {
    RuleBoardTest::SetUp();
    classifier_ = std::make_unique<TClassifier>(board());
  }

  std::unique_ptr<TClassifier> classifier_;
};

TEST_F(Translator, TenRulesPerFamilyAreMadeWithoutAsking) {
  for (const FamilyRow& row : kFamilies) Fill(*classifier_, row.family, 10);
  Session().options.uncheck = {"RoutingTrackWidthCheckbox"};  // would take effect if the dialog were shown
  const std::map<int, int> per_kind = Generate();
  for (const FamilyRow& row : kFamilies) EXPECT_EQ(per_kind.at(row.kind), 10) << row.box;
  const nlohmann::json dialog = LastDialog();
  ASSERT_FALSE(dialog.is_null());  // prepared all the same
  EXPECT_FALSE(dialog["Shown"]);
}

TEST_F(Translator, ElevenRulesShowTheDialogWithCountsInTheCaptions) {
  Fill(*classifier_, RuleFamily::kWidth, 11);
  Fill(*classifier_, RuleFamily::kSolderMask, 2);
  Generate();
  const nlohmann::json dialog = LastDialog();
  EXPECT_EQ(dialog["Caption"], "Design Rule Translation ");
  EXPECT_TRUE(dialog["Shown"]);
  const struct {
    const char* name;
    const char* caption;
    bool enabled;
  } kBoxes[] = {
      {"RoutingTrackWidthCheckbox", "Create 11 routing track width rules", true},
      {"SolderMaskCheckBox", "Create 2 solder mask expansion rules", true},
      {"PasteMaskExpansionCheckBox", "Create 0 paste mask expansion rules", false},
      {"PowerGndConnCheckBox", "Create 0 power ground connect style rules", false},
      {"RoutingTechologyCheckBox", "Create 0 routing topology rules", false},
  };
  for (const auto& box : kBoxes) {
    const nlohmann::json* control = Control(dialog, box.name);
    ASSERT_NE(control, nullptr) << box.name;
    EXPECT_EQ((*control)["Caption"], box.caption);
    EXPECT_EQ((*control)["Enabled"], box.enabled) << box.name;
    EXPECT_TRUE((*control)["Checked"]) << box.name;
  }
}

TEST_F(Translator, EachBoxGatesOnlyItsOwnFamily) {
  for (const FamilyRow& unticked : kFamilies) {
    SetUp();  // a new board and session for each box
    TClassifier classifier(board());
    for (const FamilyRow& row : kFamilies) Fill(classifier, row.family, 11);
    Session().options.uncheck = {unticked.box};
    RunDesignRuleDialogStep(classifier);
    classifier.GenerateRules();
    std::map<int, int> per_kind;
    for (const Rule& rule : NewRules()) ++per_kind[rule.kind];
    for (const FamilyRow& row : kFamilies) {
      EXPECT_EQ(per_kind[row.kind], row.kind == unticked.kind ? 1 : 11) << "unticked " << unticked.box;
    }
    EXPECT_FALSE((*Control(LastDialog(), unticked.box))["Checked"]);
  }
}

TEST_F(Translator, TestModePreparesTheDialogButNeverShowsIt) {
  Fill(*classifier_, RuleFamily::kWidth, 12);
  Session().options.test_mode = true;
  Session().options.uncheck = {"RoutingTrackWidthCheckbox"};
  EXPECT_EQ(Generate().at(rule_kind::kWidth), 12);
  EXPECT_FALSE(LastDialog()["Shown"]);
}

TEST_F(Translator, ClosingWithTheBoxAppliesTheBoxesAsOkDoes) {
  Fill(*classifier_, RuleFamily::kWidth, 12);
  Fill(*classifier_, RuleFamily::kPriority, 3);
  Session().options.close_dialog_with_box = true;
  Session().options.uncheck = {"RoutingTrackWidthCheckbox"};
  const std::map<int, int> per_kind = Generate();
  EXPECT_EQ(per_kind.at(rule_kind::kWidth), 1);
  EXPECT_EQ(per_kind.at(rule_kind::kRoutingPriority), 3);
  EXPECT_TRUE(LastDialog()["Shown"]);
}

TEST_F(Translator, ClosedGatesShowAsClearBoxes) {
  Fill(*classifier_, RuleFamily::kViaSize, 3);
  classifier_->SetGate(static_cast<int>(RuleFamily::kViaSize), false);
  {
    TDesignRuleTranslator translator(*classifier_);
    EXPECT_FALSE(translator.Prepare());
    EXPECT_EQ(translator.Count(static_cast<int>(RuleFamily::kViaSize)), 3);
    EXPECT_FALSE(translator.Dialog().Find("RoutingViaSizeCheckBox")->checked);
    translator.ApplyChoices();
  }
  EXPECT_FALSE(classifier_->Gate(static_cast<int>(RuleFamily::kViaSize)));
  EXPECT_TRUE(classifier_->Gate(static_cast<int>(RuleFamily::kWidth)));
}

TEST_F(Translator, HelpButtonSendsTheHelpTopicAndKeepsTheDialogOpen) {
  TDesignRuleTranslator translator(*classifier_);
  const std::size_t commands = orv::Server().commands.size();
  ui::Control* help = translator.Dialog().Find("Button2");
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->modal_result, 0);
  help->on_click();
  ASSERT_EQ(orv::Server().commands.size(), commands + 1);
  EXPECT_EQ(orv::Server().commands.back().process, "Client:RunHelpTopic");
  EXPECT_EQ(orv::Server().commands.back().parameters, "FileName = PCBUSR.HLP | Topic = IntroducingDesignRules");
}

TEST_F(Translator, WindowIsAModalFrameOwnedByTheMainWindow) {
  TDesignRuleTranslator translator(*classifier_);
  const ui::DialogTemplate& dialog = translator.Dialog();
  EXPECT_EQ(dialog.style, WS_POPUP | WS_BORDER | WS_DLGFRAME | WS_SYSMENU | DS_MODALFRAME);
  EXPECT_EQ(dialog.ex_style & WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME);
  EXPECT_EQ(dialog.owner, kMainWindow);
  EXPECT_EQ(dialog.ClientWidth(), 508);
  EXPECT_EQ(dialog.ClientHeight(), 248);
  EXPECT_EQ(translator.Dialog().Find("Button1")->modal_result, ui::kModalOk);
}

}  // namespace
