#pragma once

#include "compiler/compiler.h"

#include <QString>

namespace talvex {

/// Travel speed of the controller at power-up, in force until the program's first
/// speed step (mm/s).
constexpr double kPowerUpSpeed = 100.0;
/// Acceleration assumed when neither the program nor the controller says (mm/s²).
constexpr double kDefaultAcceleration = 2000.0;

/// What the main window knows that changes how a program runs: the options it
/// compiles with, and the acceleration the controller last reported (the internal
/// acceleration box).
struct MotionOptions : CompileOptions
{
    QString ReportedAcceleration;
};

bool operator==(const MotionOptions &a, const MotionOptions &b);
inline bool operator!=(const MotionOptions &a, const MotionOptions &b)
{
    return !(a == b);
}

/// The acceleration in force when the program starts: the controller's last report
/// when it holds a positive number, else kDefaultAcceleration. (A program that sets
/// its own acceleration does so in its first lines, before anything moves.)
double startingAcceleration(const MotionOptions &options);

} // namespace talvex
