#pragma once

#include "motion/flowprogram.h"

#include <cstddef>
#include <vector>

namespace talvex {

/// Where a counted loop lies among a program's steps, and whether it keeps to
/// itself: from its head to its only foot no step jumps out, and no step touches a
/// counter but its own and those of the loops whose heads lie inside it. What such
/// a loop does then depends only on the state it is entered in.
struct LoopRegion
{
    bool selfContained = false;
    /// Steps of the head (setting the counter) and of the first foot closing it.
    std::size_t head = 0;
    std::size_t foot = 0;
    /// The loops whose heads lie inside (only for a loop with one foot after its head).
    std::vector<int> inner;
};

/// The regions of loops 1..@p loops (index 0 unused).
std::vector<LoopRegion> findLoopRegions(const std::vector<FlowStep> &steps, int loops);

} // namespace talvex
