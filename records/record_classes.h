// The importer's record classes: the host wrappers of the kinds the file's records create, each
// with Finish(), which scales the record's length fields from file units to host units in place.
//
// Vias, pads, tracks, arcs, fills, strings and components follow the file unit of the format
// level (mils in the old format, 1/1000 mil from level 2 on); coordinate markers, dimensions,
// polygons and split planes were always written in 1/1000 mil. Finish() does nothing for a
// wrapper whose host object could not be created (Handle 0).
#pragma once

#include "host/pcb_objects.h"

class TVia : public TPcbVia {
 public:
  using TPcbVia::TPcbVia;
  void Finish();
};

class TPad : public TPcbPad {
 public:
  using TPcbPad::TPcbPad;
  void Finish();
};

class TTrack : public TPcbTrack {
 public:
  using TPcbTrack::TPcbTrack;
  void Finish();
};

class TArc : public TPcbArc {
 public:
  using TPcbArc::TPcbArc;
  void Finish();
};

class TFill : public TPcbFill {
 public:
  using TPcbFill::TPcbFill;
  void Finish();
};

class TText : public TPcbText {
 public:
  using TPcbText::TPcbText;
  void Finish();
};

class TComponent : public TPcbComponent {
 public:
  using TPcbComponent::TPcbComponent;
  void Finish();
};

class TCoordinate : public TPcbCoordinate {
 public:
  using TPcbCoordinate::TPcbCoordinate;
  void Finish();
};

class TDimension : public TPcbDimension {
 public:
  using TPcbDimension::TPcbDimension;
  void Finish();
};

class TPolygon : public TPcbPolygon {
 public:
  using TPcbPolygon::TPcbPolygon;
  void Finish();
};

class TSplitPlane : public TPcbSplitPlane {
 public:
  using TPcbSplitPlane::TPcbSplitPlane;
  void Finish();
};
