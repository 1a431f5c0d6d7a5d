// Finish() of the record classes: file lengths to host units.
#include "records/record_classes.h"

#include <algorithm>

#include "plugin/run_state.h"
#include "records/conventions.h"

namespace {

// Lengths of the records whose unit follows the format level.
template <typename... Field>
void ScaleByLevel(Field&... fields) {
  const bool old_format = Run().old_format;
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

void TVia::Finish() {
  if (Handle != 0) ScaleByLevel(X, Y, Size, HoleSize);
}

void TPad::Finish() {
  if (Handle != 0) {
    ScaleByLevel(X, Y, XSizeTop, YSizeTop, XSizeMid, YSizeMid, XSizeBottom, YSizeBottom, HoleSize);
  }
}

void TTrack::Finish() {
  if (Handle != 0) ScaleByLevel(X, Y, X2, Y2, Width);
}

void TArc::Finish() {
  if (Handle != 0) ScaleByLevel(X, Y, Radius, Width);
}

void TFill::Finish() {
  if (Handle != 0) ScaleByLevel(X, Y, X2, Y2);
}

void TText::Finish() {
  if (Handle != 0) ScaleByLevel(X, Y, Height, Width);
}

void TComponent::Finish() {
  if (Handle != 0) ScaleByLevel(X, Y);
}

void TCoordinate::Finish() {
  if (Handle != 0) ScaleFine(X, Y);
}

void TDimension::Finish() {
  if (Handle != 0) ScaleFine(X, Y, X2, Y2);
}

void TPolygon::Finish() {
  if (Handle == 0) return;
  ScaleSegments(*this);
  ScaleFine(GridSize, TrackSize, MinPrimLength);
}

void TSplitPlane::Finish() {
  if (Handle != 0) ScaleSegments(*this);
}
