// ScaleToHostUnits() of the record classes: file lengths to host units.
#include "records/record_classes.h"

#include <algorithm>

#include "records/conventions.h"

namespace {

// Lengths of the records whose unit follows the format level.
template <typename... Field>
void ScaleByLevel(bool old_format, Field&... fields) {
  ((fields = ScaleLength(fields, old_format)), ...);
}

// Lengths of the records written in 1/1000 mil at every level.
template <typename... Field>
void ScaleFine(Field&... fields) {
  ((fields = ScaleLength(fields, false)), ...);
}

// The outline's lengths; entries 0 to PointCount, never beyond the array.
template <typename Outline>
void ScaleSegments(Outline& outline) {
  const std::int32_t last = std::min<std::int32_t>(outline.PointCount, kSegmentCount - 1);
  for (std::int32_t i = 0; i <= last; ++i) {
    TSegment& segment = outline.Segments[static_cast<std::size_t>(i)];
    // Packed fields: copied out and back, never bound to a reference.
    std::int32_t x = segment.X, y = segment.Y, centre_x = segment.CentreX, centre_y = segment.CentreY,
                 radius = segment.Radius;
    ScaleFine(x, y, centre_x, centre_y, radius);
    segment.X = x;
    segment.Y = y;
    segment.CentreX = centre_x;
    segment.CentreY = centre_y;
    segment.Radius = radius;
  }
}

}  // namespace

void TVia::ScaleToHostUnits(bool old_format) {
  if (Handle != 0) ScaleByLevel(old_format, X, Y, Size, HoleSize);
}

void TPad::ScaleToHostUnits(bool old_format) {
  if (Handle != 0) {
    ScaleByLevel(old_format, X, Y, XSizeTop, YSizeTop, XSizeMid, YSizeMid, XSizeBottom, YSizeBottom, HoleSize);
  }
}

void TTrack::ScaleToHostUnits(bool old_format) {
  if (Handle != 0) ScaleByLevel(old_format, X, Y, X2, Y2, Width);
}

void TArc::ScaleToHostUnits(bool old_format) {
  if (Handle != 0) ScaleByLevel(old_format, X, Y, Radius, Width);
}

void TFill::ScaleToHostUnits(bool old_format) {
  if (Handle != 0) ScaleByLevel(old_format, X, Y, X2, Y2);
}

void TText::ScaleToHostUnits(bool old_format) {
  if (Handle != 0) ScaleByLevel(old_format, X, Y, Height, Width);
}

void TComponent::ScaleToHostUnits(bool old_format) {
  if (Handle != 0) ScaleByLevel(old_format, X, Y);
}

void TCoordinate::ScaleToHostUnits() {
  if (Handle != 0) ScaleFine(X, Y);
}

void TDimension::ScaleToHostUnits() {
  if (Handle != 0) ScaleFine(X, Y, X2, Y2);
}

void TPolygon::ScaleToHostUnits() {
  if (Handle == 0) return;
  ScaleSegments(*this);
  ScaleFine(GridSize, TrackSize, MinPrimLength);
}

void TSplitPlane::ScaleToHostUnits() {
  if (Handle != 0) ScaleSegments(*this);
}
