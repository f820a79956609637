#pragma once

#include "sim/engine/axis.h"

#include <QtGlobal>

namespace talvex::sim {

/// The controller's hardware as the program and the line see it: two axes, sixteen
/// inputs, eight outputs, the travel speed and acceleration, and whether the axes
/// are held by the drives ("HON") or free to be moved by hand ("HOFF").
struct Machine
{
    static constexpr int kInputs = 16;
    static constexpr int kOutputs = 8;
    /// Travel speed (mm/s) and acceleration (mm/s²) at power-up.
    static constexpr double kDefaultSpeed = 100.0;
    static constexpr double kDefaultAccel = 2000.0;

    Axis x;
    Axis y;
    /// Bit k-1 is input k, bit n-1 is output n.
    quint16 inputs = 0;
    quint8 outputs = 0;
    double speed = kDefaultSpeed;
    double accel = kDefaultAccel;
    bool handFree = false;

    bool input(int k) const { return k >= 1 && k <= kInputs && (inputs >> (k - 1)) & 1U; }
    void setInput(int k, bool on);
    bool output(int n) const { return n >= 1 && n <= kOutputs && (outputs >> (n - 1)) & 1U; }
    void setOutput(int n, bool on);

    bool moving(double nowMs) const { return x.moving(nowMs) || y.moving(nowMs); }
    void moveX(double target, double startMs) { x.moveTo(target, speed, accel, startMs); }
    void moveY(double target, double startMs) { y.moveTo(target, speed, accel, startMs); }
    void halt(double nowMs);

    enum class Jog
    {
        Done,
        HandHeld,
        Moving
    };
    /// Moves axis 'x' or 'y' by @p delta by hand: only while "HOFF" is in force and
    /// the axis stands still.
    Jog jog(char axis, double delta, double nowMs);
};

} // namespace talvex::sim
