// The importer's record classes: the host wrappers of the kinds the file's records create, each
// with ScaleToHostUnits(), which scales the record's length fields from file units to host units
// in place.
//
// Vias, pads, tracks, arcs, fills, strings and components follow the file unit of the format
// level (mils in the old format, 1/1000 mil from level 2 on), so they are told whether the file
// is of the old format; coordinate markers, dimensions, polygons and split planes were always
// written in 1/1000 mil. Scaling does nothing for a wrapper whose host object could not be
// created (Handle 0).
#pragma once

#include "host/pcb_objects.h"

class TVia : public TPcbVia {
 public:
  using TPcbVia::TPcbVia;
  void ScaleToHostUnits(bool old_format);
};

class TPad : public TPcbPad {
 public:
  using TPcbPad::TPcbPad;
  void ScaleToHostUnits(bool old_format);
};

class TTrack : public TPcbTrack {
 public:
  using TPcbTrack::TPcbTrack;
  void ScaleToHostUnits(bool old_format);
};

class TArc : public TPcbArc {
 public:
  using TPcbArc::TPcbArc;
  void ScaleToHostUnits(bool old_format);
};

class TFill : public TPcbFill {
 public:
  using TPcbFill::TPcbFill;
  void ScaleToHostUnits(bool old_format);
};

class TText : public TPcbText {
 public:
  using TPcbText::TPcbText;
  void ScaleToHostUnits(bool old_format);
};

class TComponent : public TPcbComponent {
 public:
  using TPcbComponent::TPcbComponent;
  void ScaleToHostUnits(bool old_format);
};

class TCoordinate : public TPcbCoordinate {
 public:
  using TPcbCoordinate::TPcbCoordinate;
  void ScaleToHostUnits();
};

class TDimension : public TPcbDimension {
 public:
  using TPcbDimension::TPcbDimension;
  void ScaleToHostUnits();
};

class TPolygon : public TPcbPolygon {
 public:
  using TPcbPolygon::TPcbPolygon;
  void ScaleToHostUnits();
};

class TSplitPlane : public TPcbSplitPlane {
 public:
  using TPcbSplitPlane::TPcbSplitPlane;
  void ScaleToHostUnits();
};
