// The plug-in's forwarding objects for the host's rule constraint functions (signatures in
// host/api/rules.h), called like the functions: host::PcbApi_QueryRuleClearanceConstraint(0, rule, &gap).
#pragma once

#include "host/api/rules.h"
#include "host/host_binding.h"

namespace host {

inline const HostFunction<api::PcbApi_QueryRuleShortCircuitConstraint> PcbApi_QueryRuleShortCircuitConstraint{
    HostModule::kPcbServer, "PcbApi_QueryRuleShortCircuitConstraint"};
inline const HostFunction<api::PcbApi_QueryRuleClearanceConstraint> PcbApi_QueryRuleClearanceConstraint{
    HostModule::kPcbServer, "PcbApi_QueryRuleClearanceConstraint"};
inline const HostFunction<api::PcbApi_QueryRuleRoutingLayersRule> PcbApi_QueryRuleRoutingLayersRule{
    HostModule::kPcbServer, "PcbApi_QueryRuleRoutingLayersRule"};
inline const HostFunction<api::PcbApi_QueryRuleMaxMinWidthConstraint> PcbApi_QueryRuleMaxMinWidthConstraint{
    HostModule::kPcbServer, "PcbApi_QueryRuleMaxMinWidthConstraint"};
inline const HostFunction<api::PcbApi_QueryRuleRoutingViaStyleRule> PcbApi_QueryRuleRoutingViaStyleRule{
    HostModule::kPcbServer, "PcbApi_QueryRuleRoutingViaStyleRule"};
inline const HostFunction<api::PcbApi_QueryRuleSolderMaskExpansionRule> PcbApi_QueryRuleSolderMaskExpansionRule{
    HostModule::kPcbServer, "PcbApi_QueryRuleSolderMaskExpansionRule"};
inline const HostFunction<api::PcbApi_QueryRulePasteMaskExpansionRule> PcbApi_QueryRulePasteMaskExpansionRule{
    HostModule::kPcbServer, "PcbApi_QueryRulePasteMaskExpansionRule"};
inline const HostFunction<api::PcbApi_QueryRulePowerPlaneExpansionRule> PcbApi_QueryRulePowerPlaneExpansionRule{
    HostModule::kPcbServer, "PcbApi_QueryRulePowerPlaneExpansionRule"};
inline const HostFunction<api::PcbApi_QueryRulePowerPlaneConnectStyleRule>
    PcbApi_QueryRulePowerPlaneConnectStyleRule{HostModule::kPcbServer, "PcbApi_QueryRulePowerPlaneConnectStyleRule"};
inline const HostFunction<api::PcbApi_QueryRuleRoutingTopologyRule> PcbApi_QueryRuleRoutingTopologyRule{
    HostModule::kPcbServer, "PcbApi_QueryRuleRoutingTopologyRule"};
inline const HostFunction<api::PcbApi_QueryRuleRoutingPriorityRule> PcbApi_QueryRuleRoutingPriorityRule{
    HostModule::kPcbServer, "PcbApi_QueryRuleRoutingPriorityRule"};

}  // namespace host
