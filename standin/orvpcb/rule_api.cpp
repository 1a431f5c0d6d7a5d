// The stand-in server's rule constraint functions: each exchanges one rule family's values of a
// rule through the model's constraint records (schemas in rule_schemas.cpp).
#include <type_traits>

#include "host/api/rules.h"
#include "standin/orvpcb/exchange.h"

using orv::ExchangeRecord;
using orv::SchemaId;

extern "C" {

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRuleShortCircuitConstraint(std::uint8_t dir,
                                                                                     std::uint32_t handle,
                                                                                     std::uint8_t* Allowed) {
  static const int schema = SchemaId("PcbApi_QueryRuleShortCircuitConstraint");
  return ExchangeRecord(schema, dir, handle, Allowed);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRuleClearanceConstraint(std::uint8_t dir,
                                                                                  std::uint32_t handle,
                                                                                  std::int32_t* Gap) {
  static const int schema = SchemaId("PcbApi_QueryRuleClearanceConstraint");
  return ExchangeRecord(schema, dir, handle, Gap);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRuleRoutingLayersRule(std::uint8_t dir,
                                                                                std::uint32_t handle,
                                                                                std::uint8_t* Directions) {
  static const int schema = SchemaId("PcbApi_QueryRuleRoutingLayersRule");
  return ExchangeRecord(schema, dir, handle, Directions);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRuleMaxMinWidthConstraint(std::uint8_t dir,
                                                                                    std::uint32_t handle,
                                                                                    std::int32_t* MinWidth,
                                                                                    std::int32_t* MaxWidth) {
  static const int schema = SchemaId("PcbApi_QueryRuleMaxMinWidthConstraint");
  return ExchangeRecord(schema, dir, handle, MinWidth, MaxWidth);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRuleRoutingViaStyleRule(std::uint8_t dir,
                                                                                  std::uint32_t handle,
                                                                                  std::int32_t* HoleSize,
                                                                                  std::uint8_t* ViaStyle,
                                                                                  std::int32_t* ViaSize) {
  static const int schema = SchemaId("PcbApi_QueryRuleRoutingViaStyleRule");
  return ExchangeRecord(schema, dir, handle, HoleSize, ViaStyle, ViaSize);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRuleSolderMaskExpansionRule(std::uint8_t dir,
                                                                                      std::uint32_t handle,
                                                                                      std::int32_t* Expansion) {
  static const int schema = SchemaId("PcbApi_QueryRuleSolderMaskExpansionRule");
  return ExchangeRecord(schema, dir, handle, Expansion);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRulePasteMaskExpansionRule(std::uint8_t dir,
                                                                                     std::uint32_t handle,
                                                                                     std::int32_t* Expansion) {
  static const int schema = SchemaId("PcbApi_QueryRulePasteMaskExpansionRule");
  return ExchangeRecord(schema, dir, handle, Expansion);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRulePowerPlaneExpansionRule(std::uint8_t dir,
                                                                                      std::uint32_t handle,
                                                                                      std::int32_t* Clearance) {
  static const int schema = SchemaId("PcbApi_QueryRulePowerPlaneExpansionRule");
  return ExchangeRecord(schema, dir, handle, Clearance);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRulePowerPlaneConnectStyleRule(
    std::uint8_t dir, std::uint32_t handle, std::uint8_t* ConnectStyle, std::int32_t* Expansion, std::int32_t* AirGap,
    std::int32_t* ConductorCount, std::int32_t* ConductorWidth) {
  static const int schema = SchemaId("PcbApi_QueryRulePowerPlaneConnectStyleRule");
  return ExchangeRecord(schema, dir, handle, ConnectStyle, Expansion, AirGap, ConductorCount, ConductorWidth);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRuleRoutingTopologyRule(std::uint8_t dir,
                                                                                  std::uint32_t handle,
                                                                                  std::uint8_t* Topology) {
  static const int schema = SchemaId("PcbApi_QueryRuleRoutingTopologyRule");
  return ExchangeRecord(schema, dir, handle, Topology);
}

VIDERAVE_EXPORT std::int32_t VIDERAVE_STDCALL PcbApi_QueryRuleRoutingPriorityRule(std::uint8_t dir,
                                                                                  std::uint32_t handle,
                                                                                  std::int32_t* Priority) {
  static const int schema = SchemaId("PcbApi_QueryRuleRoutingPriorityRule");
  return ExchangeRecord(schema, dir, handle, Priority);
}

}  // extern "C"

// The definitions must match the signatures the plug-in binds.
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleShortCircuitConstraint),
                             api::PcbApi_QueryRuleShortCircuitConstraint>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleClearanceConstraint), api::PcbApi_QueryRuleClearanceConstraint>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleRoutingLayersRule), api::PcbApi_QueryRuleRoutingLayersRule>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleMaxMinWidthConstraint),
                             api::PcbApi_QueryRuleMaxMinWidthConstraint>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleRoutingViaStyleRule), api::PcbApi_QueryRuleRoutingViaStyleRule>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleSolderMaskExpansionRule),
                             api::PcbApi_QueryRuleSolderMaskExpansionRule>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRulePasteMaskExpansionRule),
                             api::PcbApi_QueryRulePasteMaskExpansionRule>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRulePowerPlaneExpansionRule),
                             api::PcbApi_QueryRulePowerPlaneExpansionRule>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRulePowerPlaneConnectStyleRule),
                             api::PcbApi_QueryRulePowerPlaneConnectStyleRule>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleRoutingTopologyRule), api::PcbApi_QueryRuleRoutingTopologyRule>);
static_assert(std::is_same_v<decltype(PcbApi_QueryRuleRoutingPriorityRule), api::PcbApi_QueryRuleRoutingPriorityRule>);
