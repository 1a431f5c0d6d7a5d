// Rule constraint schemas of the stand-in server, the defaults a new rule holds, and the
// default rules a new board document starts with.
//
// Each rule family's values live in a constraint record of the rule, one per query function;
// a new rule's values are the defaults below, what an editor offers for a rule made from
// scratch.
#include <cstdint>
#include <string_view>

#include "standin/orvpcb/schema_areas.h"

namespace orv {
namespace {

constexpr std::int32_t kMil = 10000;  // host units per mil

FieldDef Field(const char* name, FieldType type, std::uint16_t size = 0, double initial = 0) {
  FieldDef def;
  def.name = name;
  def.type = type;
  def.size = size;
  def.initial = initial;
  return def;
}

void AddConstraint(Model& model, const char* function, std::vector<FieldDef> fields) {
  Schema schema{function, std::move(fields)};
  schema.constraint = true;
  model.AddSchema(std::move(schema), {KindCode(ObjectKind::kRule)});
}

// Stores a rule's constraint values, as a store through the family's function would.
template <typename... Values>
void SetConstraint(Model& model, std::uint32_t rule, std::string_view function, Values... values) {
  void* pointers[] = {static_cast<void*>(&values)..., nullptr};
  model.Exchange(model.FindSchema(function), 0, rule, 0, pointers);
}

void AddDefaultRules(Model& model, std::uint32_t board) {
  struct Default {
    std::uint8_t kind;
    const char* name;
  };
  constexpr Default kDefaults[] = {{0, "Clearance"}, {2, "Width"}, {15, "ShortCircuit"}};
  for (const Default& rule : kDefaults) {
    const std::uint32_t handle = model.Create(KindCode(ObjectKind::kRule));
    model.SetNumber(handle, "RuleKind", rule.kind);
    model.SetText(handle, "RuleName", rule.name);
    switch (rule.kind) {
      case 0:
        SetConstraint<std::int32_t>(model, handle, "PcbApi_QueryRuleClearanceConstraint", 10 * kMil);
        break;
      case 2:
        SetConstraint<std::int32_t, std::int32_t>(model, handle, "PcbApi_QueryRuleMaxMinWidthConstraint", 10 * kMil,
                                                  10 * kMil);
        break;
      default:
        SetConstraint<std::uint8_t>(model, handle, "PcbApi_QueryRuleShortCircuitConstraint", 0);
        break;
    }
    model.AddToContainer(board, handle);
  }
}

}  // namespace

void RegisterRuleSchemas(Model& model) {
  AddConstraint(model, "PcbApi_QueryRuleShortCircuitConstraint", {Field("Allowed", FieldType::kU8)});
  AddConstraint(model, "PcbApi_QueryRuleClearanceConstraint", {Field("Gap", FieldType::kI32, 0, 10 * kMil)});
  // Directions per signal layer; a new rule leaves every layer at code 0.
  AddConstraint(model, "PcbApi_QueryRuleRoutingLayersRule", {Field("Directions", FieldType::kBytes, 32)});
  // A new width rule allows 8 to 10 mil.
  AddConstraint(model, "PcbApi_QueryRuleMaxMinWidthConstraint",
                {Field("MinWidth", FieldType::kI32, 0, 8 * kMil), Field("MaxWidth", FieldType::kI32, 0, 10 * kMil)});
  // A new via rule: 28 mil hole, round, 50 mil across.
  AddConstraint(model, "PcbApi_QueryRuleRoutingViaStyleRule",
                {Field("HoleSize", FieldType::kI32, 0, 28 * kMil),
                 Field("ViaStyle", FieldType::kU8),
                 Field("ViaSize", FieldType::kI32, 0, 50 * kMil)});
  AddConstraint(model, "PcbApi_QueryRuleSolderMaskExpansionRule", {Field("Expansion", FieldType::kI32, 0, 4 * kMil)});
  AddConstraint(model, "PcbApi_QueryRulePasteMaskExpansionRule", {Field("Expansion", FieldType::kI32)});
  AddConstraint(model, "PcbApi_QueryRulePowerPlaneExpansionRule", {Field("Clearance", FieldType::kI32, 0, 20 * kMil)});
  // Relief connection: 20 mil expansion, 10 mil air gap, four 10 mil conductors.
  AddConstraint(model, "PcbApi_QueryRulePowerPlaneConnectStyleRule",
                {Field("ConnectStyle", FieldType::kU8),
                 Field("Expansion", FieldType::kI32, 0, 20 * kMil),
                 Field("AirGap", FieldType::kI32, 0, 10 * kMil),
                 Field("ConductorCount", FieldType::kI32, 0, 4),
                 Field("ConductorWidth", FieldType::kI32, 0, 10 * kMil)});
  AddConstraint(model, "PcbApi_QueryRuleRoutingTopologyRule", {Field("Topology", FieldType::kU8)});
  AddConstraint(model, "PcbApi_QueryRuleRoutingPriorityRule", {Field("Priority", FieldType::kI32)});

  model.board_initialisers.push_back(AddDefaultRules);
}

}  // namespace orv
