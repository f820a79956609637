#pragma once

#include <QString>

namespace talvex {

/// Travel speed of the controller at power-up, in force until the program's first
/// speed step (mm/s).
constexpr double kPowerUpSpeed = 100.0;
/// Acceleration assumed when neither the program nor the controller says (mm/s²).
constexpr double kDefaultAcceleration = 2000.0;

/// What the main window knows beyond the table that changes how a program runs.
struct MotionOptions
{
    /// "循環" ticked: the program starts over after its last step.
    bool Repeat = false;
    /// "修改加速度" ticked: the program sets the acceleration to AccelerationText.
    bool SetAcceleration = false;
    /// The acceleration box, as the compiled program will carry it.
    QString AccelerationText;
    /// The acceleration the controller last reported (the internal acceleration box).
    QString ReportedAcceleration;
};

/// The acceleration in force when the program starts: the controller's last report
/// when it holds a positive number, else kDefaultAcceleration. (A program that sets
/// its own acceleration does so in its first lines, before anything moves.)
double startingAcceleration(const MotionOptions &options);

} // namespace talvex
