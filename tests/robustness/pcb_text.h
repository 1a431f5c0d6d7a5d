// Record texts of version 2.80 files for the robustness tests, written out by hand so that a
// test can put any value (a hostile count, a name with any bytes) where it wants.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace robustness {

inline constexpr char kHeader280[] = "PCB FILE 6 VERSION 2.80\n0 0 0 0 0 0 0 0 0 0\n";

inline std::string Ints(std::initializer_list<std::int64_t> values) {
  std::string line;
  for (const std::int64_t v : values) {
    if (!line.empty()) line += ' ';
    line += std::to_string(v);
  }
  return line + "\n";
}

// FT from (x1, y1) to (x2, y2) on file layer 1, naming a net and a polygon by number.
inline std::string Track(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t net = 0,
                         std::int32_t polygon = 0, std::string_view keyword = "FT") {
  return std::string(keyword) + "\n" + Ints({0, 0, x1, y1, x2, y2, 1000, 1, 0, net, 0}) +
         Ints({polygon, 0, 0, 0, 0});
}

// FP (or CP) on the multi layer with the name line as given (any bytes but LF).
inline std::string Pad(std::int32_t x, std::int32_t y, std::int32_t net, std::string_view name,
                       std::string_view keyword = "FP") {
  // Sizes and shapes of three layers, hole, connect style, layer, net, then the rotation, the
  // rule values and the tag, and seven values the format ignores.
  return std::string(keyword) + "\n" +
         Ints({0, 0, x, y, 5000, 5000, 1, 5000, 5000, 1, 5000, 5000, 1, 3000, 1, 34, net, 0,
               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) +
         std::string(name) + "\n";
}

// NETDEF with no members, optionally the net of a file plane layer (23 to 26).
inline std::string NetDef(std::string_view name, std::int32_t plane_layer = 0) {
  return "NETDEF\n" + std::string(name) + "\n" + Ints({0, 0, 0, 0}) + "(\n)\n{\n}\n" + Ints({0, 0, 0}) +
         Ints({plane_layer, 0, 0});
}

// The header of a PG record up to and including its count line n.
inline std::string PolygonHead(std::int32_t file_layer, std::int32_t net, std::int64_t n) {
  return "PG\n" + Ints({file_layer}) + Ints({net}) + Ints({1, 0, 0, 0, 0, 1}) + Ints({10000, 8000, 3000, 0}) +
         Ints({n});
}

// A whole PG record: a square of n = 4 edges, no arcs.
inline std::string Square(std::int32_t file_layer, std::int32_t net) {
  return PolygonHead(file_layer, net, 4) + "0 0\n10000 0\n10000 10000\n0 10000\n0 0\n0 0 0 0 0\n";
}

// The body of a string record (after FS or CS) on a file layer.
inline std::string StringBody(std::string_view text, std::int32_t file_layer = 17) {
  return Ints({0, 0, 0, 0, 6000, 0, 0, 0, file_layer, 0, 0, 0, 0, 1000, 0, 0, 0}) + std::string(text) + "\n";
}

// COMP with its designator and comment, up to (not including) its members and ENDCOMP.
inline std::string ComponentHead(std::string_view pattern, std::string_view designator) {
  return "COMP\n" + std::string(pattern) + "\n" + "0 0 100000 100000 1 1 0 0 0 0 0 0.0 0 0 1\n" + "CS\n" +
         StringBody(designator) + "CS\n" + StringBody("comment");
}

}  // namespace robustness
