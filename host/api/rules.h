// Signatures of the host's rule constraint functions: one per rule family, each exchanging that
// family's values of one rule. Shared by the plug-in (host/rule_calls.h binds them by name) and
// the stand-in server module (standin/orvpcb/rule_api.cpp implements them).
//
// Like every exchange function they take the direction (1: the host fills the caller's values,
// 0: the host takes them), the rule's handle, then one pointer per value in the order below, and
// return 0 when done. Lengths are host units (1/10000 mil).
#pragma once

#include <cstdint>

#include "host/abi.h"

namespace api {

// Whether short circuits are allowed (0: not allowed).
using PcbApi_QueryRuleShortCircuitConstraint = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                             std::uint8_t* Allowed);
using PcbApi_QueryRuleClearanceConstraint = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                          std::int32_t* Gap);
// A 32-byte record, byte i - 1 the routing direction code of signal layer i.
using PcbApi_QueryRuleRoutingLayersRule = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                        std::uint8_t* Directions);
using PcbApi_QueryRuleMaxMinWidthConstraint = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                            std::int32_t* MinWidth,
                                                                            std::int32_t* MaxWidth);
using PcbApi_QueryRuleRoutingViaStyleRule = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                          std::int32_t* HoleSize,
                                                                          std::uint8_t* ViaStyle,
                                                                          std::int32_t* ViaSize);
using PcbApi_QueryRuleSolderMaskExpansionRule = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                              std::int32_t* Expansion);
using PcbApi_QueryRulePasteMaskExpansionRule = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                             std::int32_t* Expansion);
using PcbApi_QueryRulePowerPlaneExpansionRule = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                              std::int32_t* Clearance);
using PcbApi_QueryRulePowerPlaneConnectStyleRule = std::int32_t VIDERAVE_STDCALL(
    std::uint8_t dir, std::uint32_t handle, std::uint8_t* ConnectStyle, std::int32_t* Expansion,
    std::int32_t* AirGap, std::int32_t* ConductorCount, std::int32_t* ConductorWidth);
using PcbApi_QueryRuleRoutingTopologyRule = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                          std::uint8_t* Topology);
using PcbApi_QueryRuleRoutingPriorityRule = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t handle,
                                                                          std::int32_t* Priority);

}  // namespace api
