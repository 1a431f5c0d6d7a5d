// The link pass at the end of a run: replaces the sequence numbers left in the primitives' Net,
// Polygon, Coordinate and Dimension fields by owner handles and makes each primitive a member of
// its owner; then releases the run's index tables.
#pragma once

#include <cstdint>

void LinkPass(std::uint32_t board_handle);
