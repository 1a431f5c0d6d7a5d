// Number and string formatting of the KiCad writers, and the arc geometry they share.
#include "viewers/kicad_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

namespace kicad {
namespace {

// Fixed notation with `decimals` places, then trailing zeros (and a bare point) removed.
std::string Trimmed(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

// An outline arc of a board is at most a few metres across; this caps the chords of one arc
// should a document hold a radius near the int32 limit.
constexpr int kMaxChordsPerArc = 3600;

}  // namespace

std::string Mm(double host_units) { return Trimmed(host_units * kMmPerHostUnit, 6); }

std::string MmXY(Point p) { return Mm(p.x) + ' ' + Mm(-p.y); }

std::string Degrees(double degrees) { return Trimmed(std::isfinite(degrees) ? degrees : 0.0, 4); }

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        // Other control characters have no escape KiCad reads back; a blank keeps the length.
        out += byte < 0x20 || byte == 0x7F ? ' ' : c;
        break;
    }
  }
  out += '"';
  return out;
}

Point OnCircle(Point centre, double radius, double degrees) {
  const double r = degrees * std::numbers::pi / 180.0;
  return {centre.x + radius * std::cos(r), centre.y + radius * std::sin(r)};
}

double ArcSweep(double start, double end) {
  double sweep = std::fmod(end - start, 360.0);
  if (sweep < 0) sweep += 360.0;
  return sweep >= 360.0 ? 0.0 : sweep;
}

std::vector<Point> ArcChords(Point centre, double radius, double from_degrees, double sweep_degrees) {
  const double radius_mm = std::abs(radius) * kMmPerHostUnit;
  // A chord of angle a sags r (1 - cos(a/2)) below its arc.
  double step = 360.0;
  if (radius_mm > kChordErrorMm) step = 2.0 * std::acos(1.0 - kChordErrorMm / radius_mm) * 180.0 / std::numbers::pi;
  const double span = std::abs(sweep_degrees);
  const int chords = std::clamp(static_cast<int>(std::ceil(span / std::max(step, 1e-9))), 1, kMaxChordsPerArc);
  std::vector<Point> points;
  points.reserve(static_cast<std::size_t>(chords) + 1);
  for (int i = 0; i <= chords; ++i) {
    points.push_back(OnCircle(centre, radius, from_degrees + sweep_degrees * i / chords));
  }
  return points;
}

}  // namespace kicad
