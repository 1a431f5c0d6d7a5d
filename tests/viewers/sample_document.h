// A hand-made board document that holds what real boards rarely do all at once: net names with
// quotes, backslashes and non-ASCII letters, a repeated and an empty net name, a rotated
// component on the bottom side, an octagonal pad, a through-hole pad without a hole, a blind
// via, a full-circle copper arc, a rotated copper fill, a polygon with an arc edge, a split
// plane, a keep-out polygon, a plane with a net, markers, and rules of every scope.
#pragma once

#include <nlohmann/json.hpp>

namespace kicad_test {

inline nlohmann::json Square(int left, int bottom, int size, bool arc_on_second_edge) {
  using nlohmann::json;
  json segments = json::array();
  const int corners[5][2] = {{left, bottom}, {left + size, bottom}, {left + size, bottom + size},
                             {left, bottom + size}, {left, bottom}};
  for (int i = 0; i < 5; ++i) {
    json s = {{"SegmentKind", 0}, {"X", corners[i][0]}, {"Y", corners[i][1]}, {"CentreX", 0}, {"CentreY", 0},
              {"Radius", 0},      {"StartAngle", 0.0},  {"EndAngle", 0.0}};
    if (arc_on_second_edge && i == 1) {
      // A half circle bulging out of the right edge, from its bottom corner to its top one.
      s["SegmentKind"] = 1;
      s["CentreX"] = left + size;
      s["CentreY"] = bottom + size / 2;
      s["Radius"] = size / 2;
      s["StartAngle"] = 270.0;
      s["EndAngle"] = 90.0;
    }
    segments.push_back(s);
  }
  return segments;
}

inline nlohmann::json SampleDocument() {
  using nlohmann::json;
  constexpr int kMil = 10000;
  json objects = json::array();
  auto add = [&](json object) { objects.push_back(std::move(object)); };
  add({{"Handle", 10}, {"ObjectId", 8}, {"Kind", "Net"}, {"Name", "GND \"main\""}, {"Containers", {1}}});
  add({{"Handle", 11}, {"ObjectId", 8}, {"Kind", "Net"}, {"Name", "\xC3\x9Cml\xC3\xA4ut\\net"}, {"Containers", {1}}});
  add({{"Handle", 12}, {"ObjectId", 8}, {"Kind", "Net"}, {"Name", ""}, {"Containers", {1}}});
  add({{"Handle", 13}, {"ObjectId", 8}, {"Kind", "Net"}, {"Name", "GND \"main\""}, {"Containers", {1}}});
  add({{"Handle", 20}, {"ObjectId", 9}, {"Kind", "Component"}, {"Pattern", "SO\"8"}, {"X", 1000 * kMil},
       {"Y", 2000 * kMil}, {"Rotation", 90.0}, {"Layer", 32}, {"NameText", 21}, {"CommentText", 22},
       {"NameShown", 1}, {"CommentShown", 0}, {"Containers", {1}}});
  add({{"Handle", 21}, {"ObjectId", 5}, {"Kind", "Text"}, {"Text", "U\"1"}, {"Layer", 34}, {"X", 950 * kMil},
       {"Y", 2100 * kMil}, {"Height", 60 * kMil}, {"Width", 10 * kMil}, {"Rotation", 90.0}, {"Mirrored", 1},
       {"Component", 20}, {"Containers", json::array()}});
  add({{"Handle", 22}, {"ObjectId", 5}, {"Kind", "Text"}, {"Text", "74HC00"}, {"Layer", 34}, {"X", 950 * kMil},
       {"Y", 1900 * kMil}, {"Height", 60 * kMil}, {"Width", 10 * kMil}, {"Component", 20},
       {"Containers", json::array()}});
  add({{"Handle", 23}, {"ObjectId", 2}, {"Kind", "Pad"}, {"Name", "1"}, {"Layer", 32}, {"X", 1100 * kMil},
       {"Y", 2000 * kMil}, {"XSizeBottom", 50 * kMil}, {"YSizeBottom", 30 * kMil}, {"ShapeBottom", 2},
       {"XSizeTop", 0}, {"YSizeTop", 0}, {"Rotation", 90.0}, {"Net", 10}, {"Containers", {20, 10}}});
  add({{"Handle", 24}, {"ObjectId", 2}, {"Kind", "Pad"}, {"Name", "2"}, {"Layer", 74}, {"X", 1000 * kMil},
       {"Y", 2200 * kMil}, {"XSizeTop", 70 * kMil}, {"YSizeTop", 70 * kMil}, {"ShapeTop", 3},
       {"HoleSize", 35 * kMil}, {"Rotation", 45.0}, {"Net", 11}, {"Containers", {20, 11}}});
  add({{"Handle", 25}, {"ObjectId", 4}, {"Kind", "Track"}, {"Layer", 34}, {"X", 900 * kMil}, {"Y", 1900 * kMil},
       {"X2", 1100 * kMil}, {"Y2", 1900 * kMil}, {"Width", 10 * kMil}, {"Containers", {20}}});
  add({{"Handle", 26}, {"ObjectId", 2}, {"Kind", "Pad"}, {"Name", "7"}, {"Layer", 74}, {"X", 300 * kMil},
       {"Y", 300 * kMil}, {"XSizeTop", 60 * kMil}, {"YSizeTop", 60 * kMil}, {"ShapeTop", 1}, {"HoleSize", 0},
       {"Net", 12}, {"Containers", {1, 12}}});
  add({{"Handle", 27}, {"ObjectId", 4}, {"Kind", "Track"}, {"Layer", 3}, {"X", 100 * kMil}, {"Y", 100 * kMil},
       {"X2", 600 * kMil}, {"Y2", 100 * kMil}, {"Width", 12 * kMil}, {"Net", 13}, {"Containers", {1, 13}}});
  add({{"Handle", 28}, {"ObjectId", 1}, {"Kind", "Arc"}, {"Layer", 1}, {"X", 1500 * kMil}, {"Y", 500 * kMil},
       {"Radius", 100 * kMil}, {"StartAngle", 0.0}, {"EndAngle", 360.0}, {"Width", 10 * kMil}, {"Net", 10},
       {"Containers", {1, 10}}});
  add({{"Handle", 29}, {"ObjectId", 1}, {"Kind", "Arc"}, {"Layer", 57}, {"X", 1500 * kMil}, {"Y", 1500 * kMil},
       {"Radius", 100 * kMil}, {"StartAngle", 0.0}, {"EndAngle", 180.0}, {"Width", 5 * kMil},
       {"Containers", {1}}});
  add({{"Handle", 30}, {"ObjectId", 3}, {"Kind", "Via"}, {"LowLayer", 1}, {"HighLayer", 3}, {"X", 600 * kMil},
       {"Y", 100 * kMil}, {"Size", 40 * kMil}, {"HoleSize", 20 * kMil}, {"Net", 11}, {"Containers", {1, 11}}});
  add({{"Handle", 31}, {"ObjectId", 3}, {"Kind", "Via"}, {"LowLayer", 1}, {"HighLayer", 32}, {"X", 700 * kMil},
       {"Y", 100 * kMil}, {"Size", 40 * kMil}, {"HoleSize", 20 * kMil}, {"Net", 10}, {"Containers", {1, 10}}});
  add({{"Handle", 32}, {"ObjectId", 6}, {"Kind", "Fill"}, {"Layer", 1}, {"X", 2000 * kMil}, {"Y", 200 * kMil},
       {"X2", 2200 * kMil}, {"Y2", 300 * kMil}, {"Rotation", 30.0}, {"Net", 10}, {"Containers", {1, 10}}});
  add({{"Handle", 33}, {"ObjectId", 10}, {"Kind", "Polygon"}, {"Layer", 1}, {"Net", 10}, {"PointCount", 4},
       {"Segments", Square(2500 * kMil, 200 * kMil, 400 * kMil, true)}, {"Containers", {1}}});
  add({{"Handle", 34}, {"ObjectId", 22}, {"Kind", "SplitPlane"}, {"Layer", 39}, {"Net", 11}, {"PointCount", 4},
       {"Segments", Square(200 * kMil, 1000 * kMil, 500 * kMil, false)}, {"Containers", {1}}});
  add({{"Handle", 35}, {"ObjectId", 10}, {"Kind", "Polygon"}, {"Layer", 56}, {"Net", 0}, {"PointCount", 4},
       {"Segments", Square(2000 * kMil, 1500 * kMil, 300 * kMil, false)}, {"Containers", {1}}});
  add({{"Handle", 36}, {"ObjectId", 5}, {"Kind", "Text"}, {"Text", "say \"hi\" \\ \xC3\xA9"}, {"Layer", 33},
       {"X", 100 * kMil}, {"Y", 1800 * kMil}, {"Height", 80 * kMil}, {"Width", 8 * kMil}, {"Rotation", 30.0},
       {"Mirrored", 0}, {"Containers", {1}}});
  add({{"Handle", 37}, {"ObjectId", 14}, {"Kind", "Coordinate"}, {"Layer", 57}, {"X", 3000 * kMil},
       {"Y", 2000 * kMil}, {"Containers", {1}}});
  add({{"Handle", 38}, {"ObjectId", 13}, {"Kind", "Dimension"}, {"Layer", 57}, {"X", 0}, {"Y", 2300 * kMil},
       {"X2", 3000 * kMil}, {"Y2", 2300 * kMil}, {"Containers", {1}}});
  auto rule = [&](int handle, int kind, const char* name, const char* scope1, const char* scope2,
                  const char* function, json values) {
    add({{"Handle", handle}, {"ObjectId", 16}, {"Kind", "Rule"}, {"RuleKind", kind}, {"RuleName", name},
         {"Scope1", scope1}, {"Scope2", scope2}, {"Containers", {1}},
         {"Constraint", {{"Function", function}, {"Values", values}}}});
  };
  rule(50, 0, "Clearance", "", "", "PcbApi_QueryRuleClearanceConstraint", {10 * kMil});
  rule(51, 0, "Clearance_1", "IsWire", "IsVia", "PcbApi_QueryRuleClearanceConstraint", {12 * kMil});
  rule(52, 2, "Width", "", "All", "PcbApi_QueryRuleMaxMinWidthConstraint", {8 * kMil, 8 * kMil});
  rule(53, 2, "Width_1", "InNet('GND \"main\"')", "All", "PcbApi_QueryRuleMaxMinWidthConstraint",
       {15 * kMil, 15 * kMil});
  rule(54, 11, "RoutingVias", "", "All", "PcbApi_QueryRuleRoutingViaStyleRule", {20 * kMil, 0, 50 * kMil});
  rule(55, 13, "SolderMaskExpansion_1", "HasPad('U\"1-1')", "All", "PcbApi_QueryRuleSolderMaskExpansionRule",
       {3 * kMil});
  rule(56, 6, "PlaneConnect_1", "HasPad('Free-7')", "All", "PcbApi_QueryRulePowerPlaneConnectStyleRule",
       {1, 20 * kMil, 10 * kMil, 4, 10 * kMil});
  rule(57, 7, "RoutingTopology_1", "InNet('GND \"main\"')", "All", "PcbApi_QueryRuleRoutingTopologyRule", {1});
  add({{"Handle", 58}, {"ObjectId", 16}, {"Kind", "Rule"}, {"RuleKind", 16}, {"RuleName", "UnRoutedNet"},
       {"Scope1", ""}, {"Scope2", ""}, {"Containers", {1}}});
  json layers = json::array();
  for (int n = 1; n <= 82; ++n) {
    json layer = {{"Number", n}, {"Name", ""}};
    if (n == 40) layer["PlaneNetName"] = "\xC3\x9Cml\xC3\xA4ut\\net";
    layers.push_back(layer);
  }
  return {{"document", "viderave-board"}, {"version", 1}, {"fileName", "/boards/sample.PCB"},
          {"board", {{"layers", layers}}}, {"objects", objects}};
}

}  // namespace kicad_test
