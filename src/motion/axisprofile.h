#pragma once

namespace talvex {

/// How one axis travels a given distance: it accelerates at a constant rate up to the
/// travel speed, cruises, and brakes at the same rate into the target. When the
/// distance is too short to reach the travel speed the profile is a triangle: it
/// brakes as soon as it has covered half the distance.
///
/// A speed or acceleration that is not positive never gets the axis anywhere: such a
/// profile over a non-zero distance lasts for ever.
class AxisProfile
{
public:
    /// @p distance in mm (either sign), @p speed in mm/s, @p acceleration in mm/s².
    AxisProfile(double distance, double speed, double acceleration);

    /// Seconds from start to standstill (0 for no distance, infinity when it never ends).
    double duration() const { return m_duration; }
    /// Signed distance covered @p seconds after the start (clamped to the move).
    double offsetAt(double seconds) const;
    /// The profile never reaches the travel speed.
    bool triangular() const { return m_cruise <= 0.0 && m_distance > 0.0; }

private:
    double m_distance = 0.0; ///< magnitude
    double m_sign = 1.0;
    double m_acceleration = 0.0;
    double m_peak = 0.0;   ///< highest speed reached
    double m_ramp = 0.0;   ///< seconds of speeding up (and of braking)
    double m_cruise = 0.0; ///< seconds at the peak speed
    double m_duration = 0.0;
};

} // namespace talvex
