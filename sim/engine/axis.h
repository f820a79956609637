#pragma once

namespace talvex::sim {

/// One linear axis. A move follows a trapezoidal speed profile: it accelerates at a
/// constant rate up to the travel speed, cruises, and brakes at the same rate into
/// the target (a triangle when the distance is too short to reach full speed).
/// The position is a pure function of time, so it can be read at any moment and a
/// move may be planned to have started slightly in the past.
class Axis
{
public:
    /// Position at time @p nowMs (mm).
    double position(double nowMs) const;
    /// Where the current (or last) move ends.
    double target() const { return m_to; }
    /// The time the current move reaches its target.
    double endTime() const { return m_start + m_duration; }
    bool moving(double nowMs) const { return nowMs < endTime(); }

    /// Starts a move from wherever the axis is at @p startMs to @p target with the
    /// travel speed @p speed (mm/s) and acceleration @p accel (mm/s²), both > 0.
    void moveTo(double target, double speed, double accel, double startMs);
    /// Ends any move at once, leaving the axis where it is at @p nowMs.
    void halt(double nowMs);
    /// Puts the axis at @p position with no motion (moved by hand).
    void place(double position);

    /// Duration in ms of a trapezoidal move over @p distance.
    static double moveDuration(double distance, double speed, double accel);

private:
    double m_from = 0.0;
    double m_to = 0.0;
    double m_start = 0.0;
    double m_duration = 0.0;
    double m_accel = 1.0;
    double m_peak = 0.0;
    double m_rampTime = 0.0; // seconds
};

} // namespace talvex::sim
