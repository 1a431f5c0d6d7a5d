// A hand-made board of parts for the footprint library: one footprint of every kind of member
// placed upright, turned a quarter and a half, and on the bottom side (turned over as KiCad turns
// a footprint over: Y mirrored, a pad's angle negated, a text's taken from 180 degrees and
// mirrored, the other side's layers), all of which have one library footprint; the same pattern
// edited on one component; a pattern whose name no file may hold; a part at an odd angle on
// either side; a bottom part with a line on an inner copper layer; and a free pad.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

namespace kicad_test {

class PartsBoard {
 public:
  static constexpr int kMil = 10000;

  // A member of a footprint as it is on the top side, upright, relative to the component (mils,
  // Y up, the host's way).
  static nlohmann::json Pad(const char* name, int layer, int shape, double x, double y, double w, double h,
                            double hole, double degrees) {
    return {{"ObjectId", 2}, {"Kind", "Pad"}, {"Name", name}, {"Layer", layer}, {"X", x}, {"Y", y},
            {"XSizeTop", w},  {"YSizeTop", h},  {"ShapeTop", shape},  {"XSizeMid", w},  {"YSizeMid", h},
            {"ShapeMid", shape}, {"XSizeBottom", w}, {"YSizeBottom", h}, {"ShapeBottom", shape},
            {"HoleSize", hole}, {"Rotation", degrees}};
  }
  static nlohmann::json Track(int layer, double x, double y, double x2, double y2, double width) {
    return {{"ObjectId", 4}, {"Kind", "Track"}, {"Layer", layer}, {"X", x}, {"Y", y}, {"X2", x2}, {"Y2", y2},
            {"Width", width}};
  }
  static nlohmann::json Arc(int layer, double x, double y, double radius, double start, double end, double width) {
    return {{"ObjectId", 1}, {"Kind", "Arc"}, {"Layer", layer}, {"X", x}, {"Y", y}, {"Radius", radius},
            {"StartAngle", start}, {"EndAngle", end}, {"Width", width}};
  }
  static nlohmann::json Fill(int layer, double x, double y, double x2, double y2, double degrees) {
    return {{"ObjectId", 6}, {"Kind", "Fill"}, {"Layer", layer}, {"X", x}, {"Y", y}, {"X2", x2}, {"Y2", y2},
            {"Rotation", degrees}};
  }
  static nlohmann::json Text(int layer, const char* text, double x, double y, double height, double degrees) {
    return {{"ObjectId", 5}, {"Kind", "Text"}, {"Layer", layer}, {"Text", text}, {"X", x}, {"Y", y},
            {"Height", height}, {"Width", height / 8}, {"Rotation", degrees}, {"Mirrored", 0}};
  }

  // Places the members as a component at (x, y) mils turned `degrees`, on the bottom side turned
  // over first; the designator 100 mil above the origin, the comment hidden below it.
  void Place(const std::string& pattern, const std::string& designator, double x, double y, double degrees,
             bool bottom, const nlohmann::json& members) {
    const int component = next_++;
    const int name = next_++, comment = next_++;
    origin_x_ = x;
    origin_y_ = y;
    degrees_ = degrees;
    bottom_ = bottom;
    objects_.push_back({{"Handle", component}, {"ObjectId", 9}, {"Kind", "Component"}, {"Pattern", pattern},
                        {"X", Units(x)}, {"Y", Units(y)}, {"Rotation", degrees}, {"Layer", bottom ? 32 : 1},
                        {"NameText", name}, {"CommentText", comment}, {"NameShown", 1}, {"CommentShown", 0},
                        {"Containers", {1}}});
    nlohmann::json label = Moved(Text(33, designator.c_str(), -60, 100, 40, 0));
    label["Handle"] = name;
    label["Component"] = component;
    objects_.push_back(label);
    label = Moved(Text(33, "BC847", -60, -110, 30, 0));
    label["Handle"] = comment;
    label["Component"] = component;
    objects_.push_back(label);
    for (const nlohmann::json& member : members) {
      nlohmann::json moved = Moved(member);
      moved["Handle"] = next_++;
      moved["Containers"] = {component};
      objects_.push_back(moved);
    }
  }

  void Add(nlohmann::json object) {
    object["Handle"] = next_++;
    objects_.push_back(std::move(object));
  }

  [[nodiscard]] nlohmann::json Document() const {
    return {{"document", "viderave-board"}, {"version", 1}, {"fileName", "/boards/parts.PCB"},
            {"board", {{"layers", nlohmann::json::array()}}}, {"objects", objects_}};
  }

 private:
  static std::int64_t Units(double mils) { return std::llround(mils * kMil); }

  // A relative point on the board, host units.
  [[nodiscard]] std::pair<std::int64_t, std::int64_t> At(double x, double y) const {
    if (bottom_) y = -y;
    const double r = degrees_ * std::numbers::pi / 180.0;
    return {Units(origin_x_ + x * std::cos(r) - y * std::sin(r)), Units(origin_y_ + x * std::sin(r) + y * std::cos(r))};
  }
  static int OtherSide(int layer) {
    switch (layer) {
      case 1: return 32;
      case 32: return 1;
      case 33: case 35: case 37: return layer + 1;
      case 34: case 36: case 38: return layer - 1;
      default: return layer;
    }
  }

  [[nodiscard]] nlohmann::json Moved(nlohmann::json member) const {
    const int kind = member["ObjectId"];
    if (bottom_) member["Layer"] = OtherSide(member["Layer"]);
    const auto move = [&](const char* x, const char* y) {
      const auto [bx, by] = At(member[x].get<double>(), member[y].get<double>());
      member[x] = bx;
      member[y] = by;
    };
    const auto turn = [&](const char* field, bool from_half_turn) {
      const double own = member[field].get<double>();
      member[field] = (bottom_ ? (from_half_turn ? 180.0 - own : -own) : own) + degrees_;
    };
    switch (kind) {
      case 1: {  // an arc turned over runs the other way round; a circle keeps its 0 to 360
        move("X", "Y");
        member["Radius"] = Units(member["Radius"].get<double>());
        member["Width"] = Units(member["Width"].get<double>());
        const double start = member["StartAngle"], end = member["EndAngle"];
        if (std::fmod(end - start, 360.0) == 0) break;
        member["StartAngle"] = (bottom_ ? -end : start) + degrees_;
        member["EndAngle"] = (bottom_ ? -start : end) + degrees_;
        break;
      }
      case 2:
        move("X", "Y");
        for (const char* size : {"XSizeTop", "YSizeTop", "XSizeMid", "YSizeMid", "XSizeBottom", "YSizeBottom",
                                 "HoleSize"}) {
          member[size] = Units(member[size].get<double>());
        }
        turn("Rotation", false);
        break;
      case 4:
        move("X", "Y");
        move("X2", "Y2");
        member["Width"] = Units(member["Width"].get<double>());
        break;
      case 5:
        move("X", "Y");
        member["Height"] = Units(member["Height"].get<double>());
        member["Width"] = Units(member["Width"].get<double>());
        turn("Rotation", true);
        member["Mirrored"] = bottom_ ? 1 : 0;
        break;
      case 6: {  // a rectangle turned about its centre
        const double half_w = (member["X2"].get<double>() - member["X"].get<double>()) / 2;
        const double half_h = (member["Y2"].get<double>() - member["Y"].get<double>()) / 2;
        const auto [cx, cy] = At(member["X"].get<double>() + half_w, member["Y"].get<double>() + half_h);
        member["X"] = cx - Units(half_w);
        member["Y"] = cy - Units(half_h);
        member["X2"] = cx + Units(half_w);
        member["Y2"] = cy + Units(half_h);
        turn("Rotation", false);
        break;
      }
      default: break;
    }
    return member;
  }

  nlohmann::json objects_ = nlohmann::json::array();
  int next_ = 100;
  double origin_x_ = 0, origin_y_ = 0, degrees_ = 0;
  bool bottom_ = false;
};

// A transistor with every kind of member: pads on the top layer, through all layers (an
// octagon, a rounded rectangle) and on a mid layer; silk lines, arcs, a circle, fills and
// strings, one of them the host's designator special string.
inline nlohmann::json TransistorMembers() {
  using B = PartsBoard;
  return nlohmann::json::array({
      B::Pad("1", 1, 2, 50, 0, 40, 60, 0, 0),
      B::Pad("2", 74, 3, -50, 0, 60, 60, 30, 45),
      B::Pad("3", 2, 1, 0, 60, 30, 30, 0, 0),
      B::Pad("4", 74, 9, 0, -60, 50, 30, 20, 30),
      B::Track(33, -80, -40, 80, -40, 8),
      B::Arc(33, 0, 0, 100, 30, 120, 8),
      B::Arc(33, -70, 40, 20, 0, 360, 5),
      B::Fill(33, -20, -20, 20, -10, 15),
      B::Fill(1, 30, 30, 50, 50, 0),
      B::Text(33, ".Designator", -60, 70, 40, 0),
      B::Text(33, "Pin 1", 40, -80, 30, 10),
  });
}

inline nlohmann::json PartsDocument() {
  using B = PartsBoard;
  B board;
  const nlohmann::json transistor = TransistorMembers();
  board.Place("SOT", "U1", 1000, 1000, 0, false, transistor);
  board.Place("SOT", "U2", 2000, 1000, 90, false, transistor);
  board.Place("SOT", "U3", 3000, 1000, 180, true, transistor);
  board.Place("SOT", "U4", 1000, 2000, 270, true, transistor);
  nlohmann::json edited = transistor;
  edited.push_back(B::Track(33, -80, 40, 80, 40, 8));
  board.Place("SOT", "U5", 2000, 2000, 0, false, edited);
  board.Place("RB.1/.2", "C1", 3000, 2000, 0, false,
              nlohmann::json::array({B::Pad("1", 74, 1, -100, 0, 60, 60, 30, 0),
                                     B::Pad("2", 74, 2, 100, 0, 60, 60, 30, 0)}));
  board.Place("ODD", "Q1", 1000, 3000, 33.3, false, transistor);
  board.Place("ODD", "Q2", 2000, 3000, 200, true, transistor);
  board.Place("INNER", "K1", 3000, 3000, 90, true,
              nlohmann::json::array({B::Pad("1", 74, 1, 0, 0, 60, 60, 30, 0), B::Track(2, -50, 0, 50, 0, 10)}));
  nlohmann::json free_pad = B::Pad("7", 74, 1, 0, 0, 60, 60, 30, 0);
  for (const char* size : {"X", "Y"}) free_pad[size] = 4000 * B::kMil;
  for (const char* size : {"XSizeTop", "YSizeTop", "XSizeMid", "YSizeMid", "XSizeBottom", "YSizeBottom"}) {
    free_pad[size] = 60 * B::kMil;
  }
  free_pad["HoleSize"] = 30 * B::kMil;
  free_pad["Containers"] = {1};
  board.Add(free_pad);
  return board.Document();
}

}  // namespace kicad_test
