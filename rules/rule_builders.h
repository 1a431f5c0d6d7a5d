// Rule builders: each creates one host rule of one kind, names it, scopes it, adds it to the
// board and sets its kind's values. Plus the fixed rules made at the end of every run from the
// board options, and the default manufacturing rules that old files (format level 8 and below)
// always had.
//
//   MakeEndOfRunRules(board, run.routing_directions, run.clearances);
//   classifier.GenerateRules();
//   if (run.format_level <= 8) MakeOldFormatDefaultRules(board);
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TPcbBoard;

// Names and scopes as the host reads them.
std::string RuleName(std::uint8_t kind, std::int32_t rule_number);  // "Clearance", "Clearance_3"
std::string PadScope(std::string_view pad_name);  // "HasPad('...')", empty for an empty name
std::string NetScope(std::string_view net_name);  // "InNet('...')", empty for an empty name
std::string_view ClearanceClassScope(int clearance_class);  // "IsWire" (1) ... "InPoly" (6)

// A clearance class's share of a gap, from the options' six clearance values V1 to V6.
std::int32_t ClearanceContribution(int clearance_class, const std::array<std::int32_t, 6>& clearances);
// The most frequent of the six values, counted in the order V1, V4, V2, V3, V5, V6; equal
// counts go to the value met first.
std::int32_t MostFrequentClearance(const std::array<std::int32_t, 6>& clearances);
// The routing layers record: one byte per signal layer, codes other than 0 to 3 become 0.
std::array<std::uint8_t, 32> RoutingDirectionRecord(const std::array<std::uint8_t, 32>& directions);

void MakeUnroutedNetRule(TPcbBoard& board, std::int32_t rule_number);
void MakeShortCircuitRule(TPcbBoard& board, std::uint8_t allowed, std::int32_t rule_number);
void MakeClearanceRule(TPcbBoard& board, std::int32_t gap, std::int32_t rule_number);
void MakeKindClearanceRule(TPcbBoard& board, int first_class, int second_class, std::int32_t gap,
                           std::int32_t rule_number);
void MakeRoutingLayersRule(TPcbBoard& board, const std::array<std::uint8_t, 32>& directions,
                           std::int32_t rule_number);
// A width of 0 keeps the rule's current second width; both limits get the same value.
void MakeWidthRule(TPcbBoard& board, std::string_view net_name, std::int32_t width, std::int32_t rule_number);
// A via value or first value of 0 keeps the rule's current one; the byte value is always set.
void MakeViaStyleRule(TPcbBoard& board, std::string_view net_name, std::int32_t via_value,
                      std::int32_t first_value, std::uint8_t byte_value, std::int32_t rule_number);
void MakeSolderMaskRule(TPcbBoard& board, std::string_view pad_name, std::int32_t expansion,
                        std::int32_t rule_number);
void MakePasteMaskRule(TPcbBoard& board, std::string_view pad_name, std::int32_t expansion,
                       std::int32_t rule_number);
void MakePlaneClearanceRule(TPcbBoard& board, std::string_view pad_name, std::int32_t clearance,
                            std::int32_t rule_number);
void MakePlaneConnectRule(TPcbBoard& board, std::string_view pad_name, std::uint8_t style, std::int32_t value1,
                          std::int32_t value2, std::int32_t value3, std::int32_t value4,
                          std::int32_t rule_number);
void MakeTopologyRule(TPcbBoard& board, std::string_view net_name, std::uint8_t topology,
                      std::int32_t rule_number);
void MakePriorityRule(TPcbBoard& board, std::string_view net_name, std::int32_t priority,
                      std::int32_t rule_number);

// "UnRoutedNet", "ShortCircuit", the clearance rules and "RoutingLayers", in that order.
void MakeEndOfRunRules(TPcbBoard& board, const std::array<std::uint8_t, 32>& routing_directions,
                       const std::array<std::int32_t, 6>& clearances);
// Whole-board solder mask, paste mask, plane clearance and plane connect rules.
void MakeOldFormatDefaultRules(TPcbBoard& board);
