// Geometry and SVG elements of single shapes of the board picture.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "viewers/svg_writer.h"

namespace svg {

// Counter-clockwise sweep from start to end in degrees, in [0, 360); 0 means a full circle.
double ArcSpan(double start, double end);

// The extent of a shape in host units, strokes included.
Bounds ShapeBounds(const Shape& shape, const std::vector<OutlinePoint>& points, std::string_view text);

// Appends the shape's element. `hidden` marks a designator or comment that its component does
// not show: it is written (so every object has its element) but not displayed.
void AppendShape(std::string& out, const Shape& shape, const std::vector<OutlinePoint>& points,
                 std::string_view text, bool hidden);

}  // namespace svg
