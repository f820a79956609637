#include "motion/motionoptions.h"

#include "core/textnumber.h"

namespace talvex {

bool operator==(const MotionOptions &a, const MotionOptions &b)
{
    return a.Repeat == b.Repeat && a.SetAcceleration == b.SetAcceleration && a.AccelerationText == b.AccelerationText &&
           a.ReportedAcceleration == b.ReportedAcceleration;
}

double startingAcceleration(const MotionOptions &options)
{
    // The box shows "0" until the controller has answered, and a reply may be junk.
    const double reported = leadingNumber(options.ReportedAcceleration);
    return reported > 0.0 ? reported : kDefaultAcceleration;
}

} // namespace talvex
