// Number and string formatting of the KiCad writers, and the arc geometry they share.
#include "viewers/kicad_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

namespace kicad {

// printf rounds the number's exact value, ties to even. The scaled value p = value * 10^places
// is off the exact one by e, which fma gives exactly; p rounded to the nearest integer is the
// answer unless p lies exactly halfway, where e says to which side the exact value lies. Only
// huge or non-finite numbers take printf's own digits (to_chars with a precision).
void AppendDecimal(std::string& out, double value, int decimals) {
  static constexpr std::array<double, 7> kScale = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
  const double scale = decimals >= 0 && decimals <= 6 ? kScale[static_cast<std::size_t>(decimals)] : 0;
  const double p = value * scale;
  if (scale != 0 && std::isfinite(p) && std::abs(p) < 4e15) {
    const double e = std::fma(value, scale, -p);
    double n = std::nearbyint(p);  // ties to even
    if (p - n == 0.5 && e > 0) n += 1;
    if (p - n == -0.5 && e < 0) n -= 1;
    if (n == 0) {
      out += '0';
      return;
    }
    auto magnitude = static_cast<std::uint64_t>(std::abs(n));
    char buffer[32];
    char* at = buffer + sizeof buffer;
    int place = 0;
    // Fraction digits, trailing zeros dropped, then the whole part.
    while (place < decimals && magnitude % 10 == 0) {
      magnitude /= 10;
      ++place;
    }
    const bool fraction = place < decimals;
    for (; place < decimals; ++place) {
      *--at = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    }
    if (fraction) *--at = '.';
    do {
      *--at = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (n < 0) *--at = '-';
    out.append(at, buffer + sizeof buffer);
    return;
  }
  char buffer[400];  // the widest double in fixed notation, with its places
  const char* end = FixedToChars(buffer, buffer + sizeof buffer, value, decimals);
  std::string_view text(buffer, end != nullptr ? static_cast<std::size_t>(end - buffer) : 0);
  if (text.find('.') != std::string_view::npos) {
    while (text.back() == '0') text.remove_suffix(1);
    if (text.back() == '.') text.remove_suffix(1);
  }
  out += text == "-0" || text.empty() ? std::string_view("0") : text;
}

char* FixedToChars(char* first, char* last, double value, int places) {
#if defined(__cpp_lib_to_chars)
  const auto [end, failed] = std::to_chars(first, last, value, std::chars_format::fixed, places);
  return failed == std::errc() ? end : nullptr;
#else
  const auto room = static_cast<std::size_t>(last - first);
  const int length = std::snprintf(first, room, "%.*f", places, value);
  return length >= 0 && static_cast<std::size_t>(length) < room ? first + length : nullptr;
#endif
}

std::string Decimal(double value, int decimals) {
  std::string text;
  AppendDecimal(text, value, decimals);
  return text;
}

namespace {

// An outline arc of a board is at most a few metres across; this caps the chords of one arc
// should a document hold a radius near the int32 limit.
constexpr int kMaxChordsPerArc = 3600;

}  // namespace

std::string Mm(double host_units) { return Decimal(host_units * kMmPerHostUnit, 6); }

void AppendMm(std::string& out, double host_units) { AppendDecimal(out, host_units * kMmPerHostUnit, 6); }

std::string MmXY(Point p) { return Mm(p.x) + ' ' + Mm(-p.y); }

std::string Degrees(double degrees) { return Decimal(std::isfinite(degrees) ? degrees : 0.0, 4); }

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  AppendEscaped(out, text);
  out += '"';
  return out;
}

void AppendEscaped(std::string& out, std::string_view text) {
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
