#include "motion/motionoptions.h"

#include "core/textnumber.h"

namespace talvex {

double startingAcceleration(const MotionOptions &options)
{
    // The box shows "0" until the controller has answered, and a reply may be junk.
    const double reported = leadingNumber(options.ReportedAcceleration);
    return reported > 0.0 ? reported : kDefaultAcceleration;
}

} // namespace talvex
