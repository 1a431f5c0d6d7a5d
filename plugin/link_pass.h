// The link pass at the end of a run: replaces the sequence numbers left in the primitives' Net,
// Polygon, Coordinate and Dimension fields by owner handles and makes each primitive a member of
// its owner. The owners are found in the run's index tables.
#pragma once

#include <cstdint>

class TIndexTables;

void LinkPass(const TIndexTables& tables, std::uint32_t board_handle);
