#pragma once

#include "motion/cycleestimate.h"
#include "motion/flowprogram.h"

#include <vector>

namespace talvex {

/// Steps followed before giving up on a flow that does not settle (a tangle of jumps).
constexpr qint64 kEstimateStepBudget = 200000;

/// Runs a program's steps the way the controller would, with the clock as the only
/// output: moves take their profile's time, delays their own, input waits none.
///
/// Counted loops are not run pass by pass: once two passes leave the machine in the
/// same state but for the loop counter, every further pass is the same, and the rest
/// of the count is multiplied out (a count that can never reach zero makes the
/// program endless). A loop whose body keeps to itself is worked out once for each
/// state it is entered in, so nested loops cost their rows, not the product of their
/// counts. A backward jump met twice in the same state means the program never ends.
///
/// @p visits, when given, receives rows 0..lastRow: where each row found the head
/// the first time it ran.
CycleEstimate estimateCycle(const FlowProgram &program, int lastRow, double startAcceleration,
                            std::vector<RowVisit> *visits = nullptr);

} // namespace talvex
