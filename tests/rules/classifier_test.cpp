// The classifier against the stand-in server: grouping, the common value, numbering of the
// scoped rules and the values each family hands its builder.
#include <gtest/gtest.h>

#include <string>

#include "rules/classifier.h"
#include "rules/rule_kinds.h"
#include "tests/rules/rules_fixture.h"

namespace {

using rules_test::Named;
using rules_test::Names;
using rules_test::Rule;
using Values = std::vector<std::int64_t>;

constexpr std::int32_t kMil = 10000;

class Classifier : public rules_test::RuleBoardTest {
 protected:
  std::vector<Rule> Generate() {
    classifier_->GenerateRules();
    return NewRules();
  }
  std::vector<std::string> Described(const std::vector<Rule>& rules) {
    std::vector<std::string> lines;
    for (const Rule& rule : rules) {
      std::string line = rule.name + " [" + rule.scope1 + "]";
      for (std::int64_t v : rule.values) line += " " + std::to_string(v);
      lines.push_back(line);
    }
    return lines;
  }

  void SetUp() override {
    RuleBoardTest::SetUp();
    classifier_ = std::make_unique<TClassifier>(board());
  }

  std::unique_ptr<TClassifier> classifier_;
};

TEST_F(Classifier, CommonValueIsBoardWideAndOthersAreScoped) {
  classifier_->AddSolderMaskExpansion(4 * kMil, "P1");
  classifier_->AddSolderMaskExpansion(4 * kMil, "P2");
  classifier_->AddSolderMaskExpansion(2 * kMil, "P4");
  classifier_->AddSolderMaskExpansion(4 * kMil, "P3");
  const std::vector<Rule> rules = Generate();
  EXPECT_EQ(Described(rules), (std::vector<std::string>{"SolderMaskExpansion [] 40000",
                                                        "SolderMaskExpansion_1 [HasPad('P4')] 20000"}));
  EXPECT_EQ(rules[1].scope2, "All");
}

TEST_F(Classifier, EqualCountsGoToTheValueSeenLater) {
  classifier_->AddNetWidth(10 * kMil, "A");
  classifier_->AddNetWidth(10 * kMil, "B");
  classifier_->AddNetWidth(20 * kMil, "C");
  classifier_->AddNetWidth(20 * kMil, "D");
  EXPECT_EQ(classifier_->RuleCount(static_cast<int>(RuleFamily::kWidth)), 3);
  EXPECT_EQ(Described(Generate()),
            (std::vector<std::string>{"Width [] 200000 200000", "Width_1 [InNet('B')] 100000 100000",
                                      "Width_2 [InNet('A')] 100000 100000"}));
}

TEST_F(Classifier, ScopedRulesRunFromTheNewestGroupAndName) {
  // Topology codes 2, 6 and 7 are one host value (0); 3 and 5 another (3); 200 is 6.
  classifier_->AddNetTopology(2, "N1");
  classifier_->AddNetTopology(3, "N2");
  classifier_->AddNetTopology(6, "N3");
  classifier_->AddNetTopology(200, "N4");
  classifier_->AddNetTopology(7, "N5");
  classifier_->AddNetTopology(5, "N6");
  EXPECT_EQ(classifier_->RuleCount(static_cast<int>(RuleFamily::kTopology)), 4);
  EXPECT_EQ(Described(Generate()),
            (std::vector<std::string>{"RoutingTopology [] 0", "RoutingTopology_1 [InNet('N4')] 6",
                                      "RoutingTopology_2 [InNet('N6')] 3", "RoutingTopology_3 [InNet('N2')] 3"}));
}

TEST_F(Classifier, NamesCountOncePerGroup) {
  classifier_->AddPasteMaskExpansion(1 * kMil, "P1");
  classifier_->AddPasteMaskExpansion(1 * kMil, "P1");
  classifier_->AddPasteMaskExpansion(1 * kMil, "P1");
  classifier_->AddPasteMaskExpansion(0, "P2");
  classifier_->AddPasteMaskExpansion(0, "P3");
  classifier_->AddPasteMaskExpansion(3 * kMil, "P1");  // the same pad under a second value
  EXPECT_EQ(classifier_->RuleCount(static_cast<int>(RuleFamily::kPasteMask)), 3);
  EXPECT_EQ(Described(Generate()),
            (std::vector<std::string>{"PasteMaskExpansion [] 0", "PasteMaskExpansion_1 [HasPad('P1')] 30000",
                                      "PasteMaskExpansion_2 [HasPad('P1')] 10000"}));
}

TEST_F(Classifier, NamesCompareExactly) {
  classifier_->AddNetPriority(1, "gnd");
  classifier_->AddNetPriority(1, "GND");
  classifier_->AddNetPriority(1, "GND ");
  EXPECT_EQ(classifier_->RuleCount(static_cast<int>(RuleFamily::kPriority)), 1);
  classifier_->AddNetPriority(2, "x");
  EXPECT_EQ(classifier_->RuleCount(static_cast<int>(RuleFamily::kPriority)), 2);
}

TEST_F(Classifier, FamiliesGenerateInOrderWithTheirOwnCounters) {
  classifier_->AddNetPriority(258, "N1");  // the low byte: 2
  classifier_->AddNetPriority(2, "N2");
  classifier_->AddNetPriority(7, "N3");
  classifier_->AddNetWidth(10 * kMil, "N1");
  classifier_->AddNetWidth(12 * kMil, "N2");
  classifier_->AddSolderMaskExpansion(4 * kMil, "P1");
  classifier_->AddSolderMaskExpansion(5 * kMil, "P2");
  classifier_->AddPlaneClearance(20 * kMil, "P1");
  EXPECT_EQ(Names(Generate()),
            (std::vector<std::string>{"SolderMaskExpansion", "SolderMaskExpansion_1", "PlaneClearance", "Width",
                                      "Width_1", "RoutingPriority", "RoutingPriority_1"}));
  EXPECT_EQ(Named(NewRules(), "RoutingPriority")->values, Values{2});
  EXPECT_EQ(Named(NewRules(), "RoutingPriority_1")->values, Values{7});
}

TEST_F(Classifier, PlaneConnectGroupsByAllFiveValuesAndOrdersTheBuilderValues) {
  // Value, style, connect values 1, 2, 3.
  classifier_->AddPlaneConnect(20 * kMil, 1, 10 * kMil, 4, 15 * kMil, "P1");
  classifier_->AddPlaneConnect(20 * kMil, 1, 10 * kMil, 4, 15 * kMil, "P2");
  classifier_->AddPlaneConnect(20 * kMil, 2, 10 * kMil, 4, 15 * kMil, "P3");
  classifier_->AddPlaneConnect(20 * kMil, 1, 10 * kMil, 2, 15 * kMil, "P4");
  const std::vector<Rule> rules = Generate();
  // The rule takes style, Value, connect value 1, connect value 3, connect value 2.
  EXPECT_EQ(Described(rules), (std::vector<std::string>{"PlaneConnect [] 1 200000 100000 150000 4",
                                                        "PlaneConnect_1 [HasPad('P4')] 1 200000 100000 150000 2",
                                                        "PlaneConnect_2 [HasPad('P3')] 2 200000 100000 150000 4"}));
}

TEST_F(Classifier, ViaRulesTakeTheFixedFirstValue) {
  classifier_->AddNetViaSize(0, "A");
  classifier_->AddNetViaSize(0, "B");
  classifier_->AddNetViaSize(40 * kMil, "C");
  // A via value of 0 keeps the host's via value of a new rule (50 mil).
  EXPECT_EQ(Described(Generate()), (std::vector<std::string>{"RoutingVias [] 200000 0 500000",
                                                             "RoutingVias_1 [InNet('C')] 200000 0 400000"}));
}

TEST_F(Classifier, ClosedGateKeepsTheBoardWideRule) {
  classifier_->AddNetWidth(10 * kMil, "A");
  classifier_->AddNetWidth(10 * kMil, "B");
  classifier_->AddNetWidth(30 * kMil, "C");
  classifier_->SetGate(static_cast<int>(RuleFamily::kWidth), false);
  EXPECT_EQ(Names(Generate()), (std::vector<std::string>{"Width"}));
}

TEST_F(Classifier, EmptyFamiliesMakeNothing) {
  for (int family = 0; family <= 9; ++family) EXPECT_EQ(classifier_->RuleCount(family), 0) << family;
  EXPECT_TRUE(Generate().empty());
}

TEST_F(Classifier, LongNamesAreKeptAtTheHostsLength) {
  const std::string long_name(300, 'n');
  classifier_->AddNetWidth(10 * kMil, long_name);
  classifier_->AddNetWidth(10 * kMil, long_name.substr(0, 255));  // the same name once cut
  classifier_->AddNetWidth(20 * kMil, "x");
  classifier_->AddNetWidth(20 * kMil, "y");
  EXPECT_EQ(classifier_->RuleCount(static_cast<int>(RuleFamily::kWidth)), 2);
}

TEST_F(Classifier, ManyNamesInOneGroupStayCheap) {
  // Thousands of pads of one value: the uniqueness check must not walk the group's names.
  for (int i = 0; i < 200000; ++i) classifier_->AddSolderMaskExpansion(4 * kMil, "U" + std::to_string(i % 100000));
  classifier_->AddSolderMaskExpansion(2 * kMil, "odd");
  EXPECT_EQ(classifier_->RuleCount(static_cast<int>(RuleFamily::kSolderMask)), 2);
}

}  // namespace
