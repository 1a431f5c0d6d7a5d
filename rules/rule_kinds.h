// The host's rule kinds: the number passed to PcbApi_CreateRuleObject indexes this table of
// kind names, and a rule is named after its kind.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace rule_kind {

inline constexpr std::uint8_t kClearance = 0;
inline constexpr std::uint8_t kWidth = 2;
inline constexpr std::uint8_t kPlaneConnect = 6;
inline constexpr std::uint8_t kRoutingTopology = 7;
inline constexpr std::uint8_t kRoutingPriority = 8;
inline constexpr std::uint8_t kRoutingLayers = 9;
inline constexpr std::uint8_t kRoutingVias = 11;
inline constexpr std::uint8_t kPlaneClearance = 12;
inline constexpr std::uint8_t kSolderMaskExpansion = 13;
inline constexpr std::uint8_t kPasteMaskExpansion = 14;
inline constexpr std::uint8_t kShortCircuit = 15;
inline constexpr std::uint8_t kUnRoutedNet = 16;

// Index 59 is the kind of rules brought in from another design tool's format; it has no name
// of its own here.
inline constexpr std::array<std::string_view, 60> kNames = {
    "Clearance",          "ParallelSegment",        "Width",
    "Length",             "MatchedLengths",         "StubLength",
    "PlaneConnect",       "RoutingTopology",        "RoutingPriority",
    "RoutingLayers",      "RoutingCorners",         "RoutingVias",
    "PlaneClearance",     "SolderMaskExpansion",    "PasteMaskExpansion",
    "ShortCircuit",       "UnRoutedNet",            "ViasUnderSMD",
    "MaximumViaCount",    "MinimumAnnularRing",     "PolygonConnect",
    "AcuteAngle",         "RoomDefinition",         "SMDToCorner",
    "ComponentClearance", "ComponentOrientations",  "PermittedLayers",
    "NetsToIgnore",       "SignalStimulus",         "OvershootFalling",
    "OvershootRising",    "UndershootFalling",      "UndershootRising",
    "MaxMinImpedance",    "SignalTopValue",         "SignalBaseValue",
    "FlightTimeRising",   "FlightTimeFalling",      "LayerStack",
    "SlopeRising",        "SlopeFalling",           "SupplyNets",
    "HoleSize",           "FabricationTestpoint",   "FabricationTestPointUsage",
    "UnConnectedPin",     "SMDToPlane",             "SMDNeckDown",
    "LayerPairs",         "FanoutControl",          "Height",
    "DiffPairsRouting",   "HoleToHoleClearance",    "MinimumSolderMaskSliver",
    "SilkscreenOverComponentPads", "SilkToSilkClearance", "NetAntennae",
    "AssemblyTestpoint",  "AssemblyTestPointUsage", "",
};

// The kind's name; empty beyond the table.
constexpr std::string_view Name(std::uint8_t kind) { return kind < kNames.size() ? kNames[kind] : std::string_view(); }

}  // namespace rule_kind
