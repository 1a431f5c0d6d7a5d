// Rule builders and the fixed rule sequences of the end of a run.
#include "rules/rule_builders.h"

#include <algorithm>
#include <optional>

#include "host/board.h"
#include "host/core_calls.h"
#include "host/pcb_objects.h"
#include "host/rule_calls.h"
#include "rules/rule_kinds.h"

namespace {

// Names and scopes are counted strings of the host.
constexpr std::size_t kTextCapacity = 255;

std::string Cut(std::string text) {
  if (text.size() > kTextCapacity) text.resize(kTextCapacity);
  return text;
}

std::string Wrapped(std::string_view head, std::string_view name) {
  if (name.empty()) return {};
  std::string text;
  text.reserve(head.size() + name.size() + 2);
  text.append(head).append(name).append("')");
  return Cut(std::move(text));
}

// An empty view may have no characters at all: never hand its address on.
void Put(ShortString<255>& field, std::string_view text) {
  if (text.empty()) {
    field.Clear();
  } else {
    field.Assign(text);
  }
}

// The steps every builder shares: a new rule of the kind, loaded, named, scoped, stored and
// added to the board. Returns the rule's handle for the kind's values (0 when the host made
// no rule; every later call then does nothing). Without a second scope the rule keeps the
// one the host gave it.
std::uint32_t StartRule(TPcbBoard& board, std::uint8_t kind, std::int32_t rule_number, std::string_view scope1,
                        std::optional<std::string_view> scope2 = std::nullopt) {
  const std::uint32_t handle = host::PcbApi_CreateRuleObject(kind);
  TPcbRuleEx rule(handle);
  rule.Load();
  rule.RuleName.Assign(RuleName(kind, rule_number));
  Put(rule.Scope1, scope1);
  if (scope2) Put(rule.Scope2, *scope2);
  rule.Store();
  board.AddObject(handle);
  return handle;
}

constexpr std::uint8_t kSet = 0;
constexpr std::uint8_t kRead = 1;

constexpr int kClearanceClassCount = 5;

}  // namespace

std::string RuleName(std::uint8_t kind, std::int32_t rule_number) {
  std::string name(rule_kind::Name(kind));
  if (rule_number != 0) name.append("_").append(std::to_string(rule_number));
  return Cut(std::move(name));
}

std::string PadScope(std::string_view pad_name) { return Wrapped("HasPad('", pad_name); }
std::string NetScope(std::string_view net_name) { return Wrapped("InNet('", net_name); }

std::string_view ClearanceClassScope(int clearance_class) {
  constexpr std::string_view kScopes[] = {"IsWire", "IsThruPin", "IsSMTPin", "IsVia", "IsFill", "InPoly"};
  if (clearance_class < 1 || clearance_class > 6) return {};
  return kScopes[clearance_class - 1];
}

std::int32_t ClearanceContribution(int clearance_class, const std::array<std::int32_t, 6>& clearances) {
  switch (clearance_class) {
    case 1:
      return std::max(clearances[0], clearances[3]);
    case 2:
    case 3:
      return clearances[2];
    case 4:
      return clearances[5];
    case 5:
      return clearances[1];
    default:
      return 0;
  }
}

std::int32_t MostFrequentClearance(const std::array<std::int32_t, 6>& clearances) {
  constexpr int kOrder[] = {0, 3, 1, 2, 4, 5};
  std::int32_t best = clearances[0];
  int best_count = 0;
  for (int i : kOrder) {
    const int count = static_cast<int>(std::count(clearances.begin(), clearances.end(), clearances[i]));
    if (count > best_count) {
      best = clearances[i];
      best_count = count;
    }
  }
  return best;
}

std::array<std::uint8_t, 32> RoutingDirectionRecord(const std::array<std::uint8_t, 32>& directions) {
  std::array<std::uint8_t, 32> record{};
  for (std::size_t i = 0; i < record.size(); ++i) record[i] = directions[i] <= 3 ? directions[i] : 0;
  return record;
}

void MakeUnroutedNetRule(TPcbBoard& board, std::int32_t rule_number) {
  StartRule(board, rule_kind::kUnRoutedNet, rule_number, {}, std::string_view());
}

void MakeShortCircuitRule(TPcbBoard& board, std::uint8_t allowed, std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kShortCircuit, rule_number, {}, std::string_view());
  host::PcbApi_QueryRuleShortCircuitConstraint(kSet, rule, &allowed);
}

void MakeClearanceRule(TPcbBoard& board, std::int32_t gap, std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kClearance, rule_number, {}, std::string_view());
  host::PcbApi_QueryRuleClearanceConstraint(kSet, rule, &gap);
}

void MakeKindClearanceRule(TPcbBoard& board, int first_class, int second_class, std::int32_t gap,
                           std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kClearance, rule_number, ClearanceClassScope(first_class),
                                       ClearanceClassScope(second_class));
  host::PcbApi_QueryRuleClearanceConstraint(kSet, rule, &gap);
}

void MakeRoutingLayersRule(TPcbBoard& board, const std::array<std::uint8_t, 32>& directions,
                           std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kRoutingLayers, rule_number, {});
  std::array<std::uint8_t, 32> record = directions;
  host::PcbApi_QueryRuleRoutingLayersRule(kSet, rule, record.data());
}

void MakeWidthRule(TPcbBoard& board, std::string_view net_name, std::int32_t width, std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kWidth, rule_number, NetScope(net_name));
  std::int32_t first = 0;
  std::int32_t second = 0;
  host::PcbApi_QueryRuleMaxMinWidthConstraint(kRead, rule, &first, &second);
  if (width == 0) width = second;
  std::int32_t both = width;
  host::PcbApi_QueryRuleMaxMinWidthConstraint(kSet, rule, &width, &both);
}

void MakeViaStyleRule(TPcbBoard& board, std::string_view net_name, std::int32_t via_value,
                      std::int32_t first_value, std::uint8_t byte_value, std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kRoutingVias, rule_number, NetScope(net_name));
  std::int32_t current_first = 0;
  std::uint8_t current_byte = 0;
  std::int32_t current_via = 0;
  host::PcbApi_QueryRuleRoutingViaStyleRule(kRead, rule, &current_first, &current_byte, &current_via);
  if (via_value == 0) via_value = current_via;
  if (first_value == 0) first_value = current_first;
  host::PcbApi_QueryRuleRoutingViaStyleRule(kSet, rule, &first_value, &byte_value, &via_value);
}

void MakeSolderMaskRule(TPcbBoard& board, std::string_view pad_name, std::int32_t expansion,
                        std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kSolderMaskExpansion, rule_number, PadScope(pad_name));
  host::PcbApi_QueryRuleSolderMaskExpansionRule(kSet, rule, &expansion);
}

void MakePasteMaskRule(TPcbBoard& board, std::string_view pad_name, std::int32_t expansion,
                       std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kPasteMaskExpansion, rule_number, PadScope(pad_name));
  host::PcbApi_QueryRulePasteMaskExpansionRule(kSet, rule, &expansion);
}

void MakePlaneClearanceRule(TPcbBoard& board, std::string_view pad_name, std::int32_t clearance,
                            std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kPlaneClearance, rule_number, PadScope(pad_name));
  host::PcbApi_QueryRulePowerPlaneExpansionRule(kSet, rule, &clearance);
}

void MakePlaneConnectRule(TPcbBoard& board, std::string_view pad_name, std::uint8_t style, std::int32_t value1,
                          std::int32_t value2, std::int32_t value3, std::int32_t value4,
                          std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kPlaneConnect, rule_number, PadScope(pad_name));
  host::PcbApi_QueryRulePowerPlaneConnectStyleRule(kSet, rule, &style, &value1, &value2, &value3, &value4);
}

void MakeTopologyRule(TPcbBoard& board, std::string_view net_name, std::uint8_t topology,
                      std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kRoutingTopology, rule_number, NetScope(net_name));
  host::PcbApi_QueryRuleRoutingTopologyRule(kSet, rule, &topology);
}

void MakePriorityRule(TPcbBoard& board, std::string_view net_name, std::int32_t priority,
                      std::int32_t rule_number) {
  const std::uint32_t rule = StartRule(board, rule_kind::kRoutingPriority, rule_number, NetScope(net_name));
  host::PcbApi_QueryRuleRoutingPriorityRule(kSet, rule, &priority);
}

void MakeEndOfRunRules(TPcbBoard& board, const std::array<std::uint8_t, 32>& routing_directions,
                       const std::array<std::int32_t, 6>& clearances) {
  MakeUnroutedNetRule(board, 0);
  MakeShortCircuitRule(board, 0, 0);

  // The general gap is twice the usual clearance; a pair of classes whose own clearances add
  // up to something else gets a rule of its own.
  const std::int64_t general_gap = 2 * static_cast<std::int64_t>(MostFrequentClearance(clearances));
  MakeClearanceRule(board, static_cast<std::int32_t>(general_gap), 0);
  std::int32_t rule_number = 1;
  for (int first = 1; first <= kClearanceClassCount; ++first) {
    for (int second = first; second <= kClearanceClassCount; ++second) {
      const std::int64_t gap = static_cast<std::int64_t>(ClearanceContribution(first, clearances)) +
                               ClearanceContribution(second, clearances);
      if (gap == general_gap) continue;
      MakeKindClearanceRule(board, first, second, static_cast<std::int32_t>(gap), rule_number++);
    }
  }

  MakeRoutingLayersRule(board, RoutingDirectionRecord(routing_directions), 0);
}

void MakeOldFormatDefaultRules(TPcbBoard& board) {
  constexpr std::int32_t kMil = 10000;
  MakeSolderMaskRule(board, {}, 2 * kMil, 0);
  MakePasteMaskRule(board, {}, 0, 0);
  MakePlaneClearanceRule(board, {}, 10 * kMil, 0);
  MakePlaneConnectRule(board, {}, 0, 10 * kMil, 10 * kMil, 4, 10 * kMil, 0);
}
