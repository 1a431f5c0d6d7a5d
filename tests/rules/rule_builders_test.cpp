// Rule names, scopes and the clearance arithmetic as tables; the builders and the end-of-run
// rules against the stand-in server.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "rules/classifier.h"
#include "rules/rule_builders.h"
#include "rules/rule_kinds.h"
#include "tests/rules/rules_fixture.h"

namespace {

using rules_test::Named;
using rules_test::Names;
using rules_test::Rule;
using rules_test::RuleBoardTest;
using Values = std::vector<std::int64_t>;

constexpr std::int32_t kMil = 10000;

TEST(RuleText, NamesCarryTheNumberAfterAnUnderscore) {
  EXPECT_EQ(RuleName(rule_kind::kClearance, 0), "Clearance");
  EXPECT_EQ(RuleName(rule_kind::kClearance, 3), "Clearance_3");
  EXPECT_EQ(RuleName(rule_kind::kUnRoutedNet, 12), "UnRoutedNet_12");
  EXPECT_EQ(rule_kind::Name(58), "AssemblyTestPointUsage");
  EXPECT_EQ(rule_kind::Name(60), "");
}

TEST(RuleText, ScopesAreCutAtTheHostsLength) {
  EXPECT_EQ(PadScope("U1-14"), "HasPad('U1-14')");
  EXPECT_EQ(NetScope("GND"), "InNet('GND')");
  EXPECT_EQ(NetScope(""), "");
  // A 250-character net name leaves room for "InNet('" and the name only: the closing "')" is lost.
  const std::string long_name(250, 'N');
  const std::string scope = NetScope(long_name);
  EXPECT_EQ(scope.size(), 255u);
  EXPECT_EQ(scope, "InNet('" + long_name.substr(0, 248));
  const std::array<std::string_view, 8> kClassScopes = {"", "IsWire", "IsThruPin", "IsSMTPin",
                                                        "IsVia", "IsFill", "InPoly", ""};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(ClearanceClassScope(c), kClassScopes[static_cast<std::size_t>(c)]) << c;
}

TEST(RuleText, MostFrequentClearanceCountsInTheOrderV1V4V2V3V5V6) {
  struct Case {
    std::array<std::int32_t, 6> values;
    std::int32_t expected;
  };
  const Case kCases[] = {
      {{10, 10, 10, 10, 10, 10}, 10},
      {{8, 10, 10, 12, 10, 10}, 10},  // four of six
      {{1, 2, 3, 4, 5, 6}, 1},        // all once: V1 is met first
      {{5, 7, 9, 6, 6, 7}, 6},        // V4's 6 and V2's 7 twice each: V4 comes before V2
      {{5, 7, 7, 6, 6, 9}, 6},
      {{3, 7, 8, 4, 9, 3}, 3},        // V1 and V6 share 3
  };
  for (const Case& c : kCases) EXPECT_EQ(MostFrequentClearance(c.values), c.expected);
}

TEST(RuleText, ClearanceContributionsOfTheClasses) {
  const std::array<std::int32_t, 6> v = {11, 22, 33, 44, 55, 66};
  EXPECT_EQ(ClearanceContribution(1, v), 44);  // the larger of V1 and V4
  EXPECT_EQ(ClearanceContribution(1, {50, 22, 33, 44, 55, 66}), 50);
  EXPECT_EQ(ClearanceContribution(2, v), 33);
  EXPECT_EQ(ClearanceContribution(3, v), 33);
  EXPECT_EQ(ClearanceContribution(4, v), 66);
  EXPECT_EQ(ClearanceContribution(5, v), 22);
  EXPECT_EQ(ClearanceContribution(6, v), 0);
  EXPECT_EQ(ClearanceContribution(0, v), 0);
}

TEST(RuleText, DirectionRecordKeepsCodesZeroToThree) {
  std::array<std::uint8_t, 32> directions{};
  for (std::size_t i = 0; i < directions.size(); ++i) directions[i] = static_cast<std::uint8_t>(i * 9 % 7);
  directions[31] = 255;
  const auto record = RoutingDirectionRecord(directions);
  for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(record[i], directions[i] <= 3 ? directions[i] : 0) << i;
}

TEST(RuleText, TopologyCodesMapToHostValues) {
  const std::pair<std::int32_t, std::uint8_t> kCases[] = {{0, 1}, {1, 2}, {2, 0}, {3, 3},  {4, 3},
                                                          {5, 3}, {6, 0}, {7, 0}, {8, 6}, {200, 6}};
  for (auto [code, value] : kCases) EXPECT_EQ(MapTopologyCode(code), value) << code;
}

class EndOfRunRules : public RuleBoardTest {
 protected:
  std::vector<Rule> Make(const std::array<std::int32_t, 6>& clearances) {
    std::array<std::uint8_t, 32> directions{};
    directions.front() = 1;
    directions.back() = 2;
    MakeEndOfRunRules(board(), directions, clearances);
    return NewRules();
  }
};

TEST_F(EndOfRunRules, EqualClearancesGiveOneGeneralRule) {
  const std::vector<Rule> rules = Make({10 * kMil, 10 * kMil, 10 * kMil, 10 * kMil, 10 * kMil, 10 * kMil});
  ASSERT_EQ(Names(rules), (std::vector<std::string>{"UnRoutedNet", "ShortCircuit", "Clearance", "RoutingLayers"}));
  EXPECT_EQ(rules[0].function, "");
  EXPECT_EQ(rules[0].scope1, "");
  EXPECT_EQ(rules[0].scope2, "");
  EXPECT_EQ(rules[1].function, "PcbApi_QueryRuleShortCircuitConstraint");
  EXPECT_EQ(rules[1].values, Values{0});
  EXPECT_EQ(rules[2].function, "PcbApi_QueryRuleClearanceConstraint");
  EXPECT_EQ(rules[2].values, Values{20 * kMil});
  EXPECT_EQ(rules[2].scope1, "");
  EXPECT_EQ(rules[2].scope2, "");
  EXPECT_EQ(rules[3].kind, rule_kind::kRoutingLayers);
  ASSERT_EQ(rules[3].values.size(), 32u);
  EXPECT_EQ(rules[3].values.front(), 1);
  EXPECT_EQ(rules[3].values.back(), 2);
  EXPECT_EQ(rules[3].scope1, "");
  EXPECT_EQ(rules[3].scope2, "All");  // as the host made it
}

TEST_F(EndOfRunRules, WiderWireClearanceGivesFivePairRules) {
  const std::vector<Rule> rules = Make({8 * kMil, 10 * kMil, 10 * kMil, 12 * kMil, 10 * kMil, 10 * kMil});
  ASSERT_EQ(rules.size(), 9u);
  EXPECT_EQ(rules[2].name, "Clearance");
  EXPECT_EQ(rules[2].values, Values{20 * kMil});
  const struct {
    const char* partner;
    std::int64_t gap;
  } kPairs[] = {{"IsWire", 24 * kMil}, {"IsThruPin", 22 * kMil}, {"IsSMTPin", 22 * kMil},
                {"IsVia", 22 * kMil}, {"IsFill", 22 * kMil}};
  for (int n = 1; n <= 5; ++n) {
    const Rule& rule = rules[static_cast<std::size_t>(2 + n)];
    EXPECT_EQ(rule.name, "Clearance_" + std::to_string(n));
    EXPECT_EQ(rule.kind, rule_kind::kClearance);
    EXPECT_EQ(rule.scope1, "IsWire");
    EXPECT_EQ(rule.scope2, kPairs[n - 1].partner);
    EXPECT_EQ(rule.values, Values{kPairs[n - 1].gap});
  }
  EXPECT_EQ(rules.back().name, "RoutingLayers");
}

TEST_F(EndOfRunRules, SixDifferentClearancesTakeV1) {
  const std::vector<Rule> rules = Make({10 * kMil, 20 * kMil, 30 * kMil, 40 * kMil, 50 * kMil, 60 * kMil});
  ASSERT_NE(Named(rules, "Clearance"), nullptr);
  EXPECT_EQ(Named(rules, "Clearance")->values, Values{20 * kMil});
  // No pair adds up to twice V1, so all fifteen get a rule; the last is fill-fill at 2 * V2.
  ASSERT_NE(Named(rules, "Clearance_15"), nullptr);
  EXPECT_EQ(Named(rules, "Clearance_15")->scope1, "IsFill");
  EXPECT_EQ(Named(rules, "Clearance_15")->values, Values{40 * kMil});
  EXPECT_EQ(Named(rules, "Clearance_16"), nullptr);
}

TEST_F(EndOfRunRules, PairRulesSkipNumbersOnlyForRulesMade) {
  // Wire 10, pins 5, via 15, fill 10 mil: A = 10 mil (three of six); wire-wire and wire-fill,
  // fill-fill, pin-via pairs match 20 mil and make no rule.
  const std::vector<Rule> rules = Make({10 * kMil, 10 * kMil, 5 * kMil, 10 * kMil, 5 * kMil, 15 * kMil});
  std::vector<std::string> pairs;
  for (const Rule& rule : rules) {
    if (rule.kind == rule_kind::kClearance && !rule.scope1.empty()) {
      pairs.push_back(rule.name + " " + rule.scope1 + "-" + rule.scope2 + " " + std::to_string(rule.values[0]));
    }
  }
  EXPECT_EQ(pairs, (std::vector<std::string>{
                       "Clearance_1 IsWire-IsThruPin 150000", "Clearance_2 IsWire-IsSMTPin 150000",
                       "Clearance_3 IsWire-IsVia 250000", "Clearance_4 IsThruPin-IsThruPin 100000",
                       "Clearance_5 IsThruPin-IsSMTPin 100000", "Clearance_6 IsThruPin-IsFill 150000",
                       "Clearance_7 IsSMTPin-IsSMTPin 100000", "Clearance_8 IsSMTPin-IsFill 150000",
                       "Clearance_9 IsVia-IsVia 300000", "Clearance_10 IsVia-IsFill 250000"}));
}

TEST_F(EndOfRunRules, UnknownDirectionCodesBecomeZero) {
  std::array<std::uint8_t, 32> directions{};
  directions[0] = 3;
  directions[1] = 4;
  directions[2] = 2;
  directions[31] = 200;
  MakeRoutingLayersRule(board(), RoutingDirectionRecord(directions), 0);
  const std::vector<Rule> rules = NewRules();
  ASSERT_EQ(rules.size(), 1u);
  Values expected(32, 0);
  expected[0] = 3;
  expected[2] = 2;
  EXPECT_EQ(rules[0].values, expected);
}

class Builders : public RuleBoardTest {};

TEST_F(Builders, PadAndNetRulesScopeTheFirstExpressionOnly) {
  MakeSolderMaskRule(board(), "U1-1", 3 * kMil, 4);
  MakeTopologyRule(board(), "GND", 3, 0);
  MakePriorityRule(board(), "VCC", 255, 2);
  const std::vector<Rule> rules = NewRules();
  ASSERT_EQ(rules.size(), 3u);
  EXPECT_EQ(rules[0].name, "SolderMaskExpansion_4");
  EXPECT_EQ(rules[0].scope1, "HasPad('U1-1')");
  EXPECT_EQ(rules[0].scope2, "All");
  EXPECT_EQ(rules[0].values, Values{3 * kMil});
  EXPECT_EQ(rules[1].name, "RoutingTopology");
  EXPECT_EQ(rules[1].scope1, "InNet('GND')");
  EXPECT_EQ(rules[1].values, Values{3});
  EXPECT_EQ(rules[2].name, "RoutingPriority_2");
  EXPECT_EQ(rules[2].values, Values{255});
}

TEST_F(Builders, WidthZeroTakesTheRulesSecondWidthForBothLimits) {
  MakeWidthRule(board(), "GND", 0, 1);
  MakeWidthRule(board(), "VCC", 25 * kMil, 2);
  const std::vector<Rule> rules = NewRules();
  ASSERT_EQ(rules.size(), 2u);
  // A new width rule of the host allows 8 to 10 mil.
  EXPECT_EQ(rules[0].values, (Values{10 * kMil, 10 * kMil}));
  EXPECT_EQ(rules[1].values, (Values{25 * kMil, 25 * kMil}));
}

TEST_F(Builders, ViaStyleZeroesTakeTheRulesValuesButNotTheByte) {
  MakeViaStyleRule(board(), "A", 0, 0, 7, 0);
  MakeViaStyleRule(board(), "B", 40 * kMil, 20 * kMil, 0, 0);
  const std::vector<Rule> rules = NewRules();
  ASSERT_EQ(rules.size(), 2u);
  // A new via rule of the host: 28 mil first value, 50 mil via value.
  EXPECT_EQ(rules[0].values, (Values{28 * kMil, 7, 50 * kMil}));
  EXPECT_EQ(rules[1].values, (Values{20 * kMil, 0, 40 * kMil}));
}

TEST_F(Builders, OldFormatDefaultsCoverTheWholeBoard) {
  MakeOldFormatDefaultRules(board());
  const std::vector<Rule> rules = NewRules();
  ASSERT_EQ(Names(rules), (std::vector<std::string>{"SolderMaskExpansion", "PasteMaskExpansion", "PlaneClearance",
                                                    "PlaneConnect"}));
  for (const Rule& rule : rules) EXPECT_EQ(rule.scope1, "") << rule.name;
  EXPECT_EQ(rules[0].values, Values{2 * kMil});
  EXPECT_EQ(rules[1].values, Values{0});
  EXPECT_EQ(rules[2].values, Values{10 * kMil});
  EXPECT_EQ(rules[3].function, "PcbApi_QueryRulePowerPlaneConnectStyleRule");
  EXPECT_EQ(rules[3].values, (Values{0, 10 * kMil, 10 * kMil, 4, 10 * kMil}));
}

}  // namespace
