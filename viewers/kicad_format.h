// Numbers, strings and geometry as a KiCad 6 board file (.kicad_pcb, s-expressions) and its
// custom-rules file want them. Host lengths are 1/10000 mil with Y pointing up; KiCad's are
// millimetres with Y pointing down, so every Y is negated on the way out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kicad {

// One host unit is 1/10000 mil = 0.0254 mm / 10000.
inline constexpr double kMmPerHostUnit = 0.0254 / 10000.0;
inline constexpr double kHostUnitsPerMm = 1.0 / kMmPerHostUnit;

// Outline arcs (polygon and split-plane edges, which KiCad zones cannot hold as arcs) become
// straight chords whose middle lies at most this far inside the true arc: 5 micrometres, finer
// than any board house etches, so the approximation never shows in copper.
inline constexpr double kChordErrorMm = 0.005;

// Host-frame point (host units, Y up).
struct Point {
  double x = 0, y = 0;
};

// A number in fixed notation rounded to `decimals` places, as printf's "%.*f" gives it, then
// trailing zeros (and a bare point) dropped; "-0" is "0".
std::string Decimal(double value, int decimals);
void AppendDecimal(std::string& out, double value, int decimals);
// std::to_chars of `value` in fixed notation with `places` places; where the C++ library has no
// to_chars for double (WebAssembly's), snprintf's "%.*f", by which the standard defines it.
// The text and its end, or nullptr when it does not fit.
char* FixedToChars(char* first, char* last, double value, int places);
// "12.7", "-0.000254": millimetres to the nanometre (KiCad's own unit), trailing zeros dropped.
std::string Mm(double host_units);
void AppendMm(std::string& out, double host_units);
// "x y" in millimetres with Y negated.
std::string MmXY(Point p);
// Degrees, at most four decimals, "-0" never written.
std::string Degrees(double degrees);

// A quoted s-expression string: backslash, double quote and control characters escaped; UTF-8
// passes unchanged.
std::string Quoted(std::string_view text);
// The same escaped text without the quotes, appended.
void AppendEscaped(std::string& out, std::string_view text);

// Point at `degrees` (counter-clockwise from +X) on a circle.
Point OnCircle(Point centre, double radius, double degrees);
// Counter-clockwise sweep from `start` to `end` in [0, 360); 0 means a full turn.
double ArcSweep(double start, double end);
// The chords that follow the arc from `from_degrees` through `sweep_degrees` (negative runs
// clockwise) within the chord error; the arc's end points included.
std::vector<Point> ArcChords(Point centre, double radius, double from_degrees, double sweep_degrees);

}  // namespace kicad
