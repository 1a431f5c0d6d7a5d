// Property access by object handle, for code that holds a handle but not a wrapper (the index
// tables and the link pass, the component reader). Each function asks the host for the handle's
// kind, wraps the handle in that kind's class, loads it, reads or changes one value (a setter
// stores the wrapper back) and frees the wrapper. A zero handle, a kind without a wrapper class
// (23, 24, 25, above 26), or an object the host does not load gives 0 or an empty string and
// changes nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "host/pcb_object.h"
#include "host/short_string.h"

// The wrapper of a kind's class on the handle, not loaded; nullptr for kinds without a class.
std::unique_ptr<TPCBObject> MakeWrapper(std::uint8_t kind, std::uint32_t handle);

std::uint16_t GetIndex(std::uint32_t handle);
std::uint8_t GetLayerNumber(std::uint32_t handle);
std::int32_t GetNetLink(std::uint32_t handle);
std::int32_t GetPolygonLink(std::uint32_t handle);     // 0 for kinds without one
std::int32_t GetCoordinateLink(std::uint32_t handle);  // tracks and texts
std::int32_t GetDimensionLink(std::uint32_t handle);   // tracks and texts
// The string of a text object; empty for other kinds.
ShortString<255> GetText(std::uint32_t handle);

void SetNetLink(std::uint32_t handle, std::int32_t net);
void SetComponentLink(std::uint32_t handle, std::uint32_t component);
void SetPolygonLink(std::uint32_t handle, std::int32_t polygon);
void SetCoordinateLink(std::uint32_t handle, std::int32_t coordinate);
void SetDimensionLink(std::uint32_t handle, std::int32_t dimension);
