#pragma once

#include <QPointF>
#include <QString>

namespace talvex {

/// How long one run of a program takes, as far as its steps decide it.
struct CycleEstimate
{
    enum class Outcome
    {
        Ends,        ///< the program ends (or, with "循環", starts over) after seconds
        Endless,     ///< it never gets to its end
        Stops,       ///< the controller stops it with an error at row
        NotCompiled, ///< the compiler refuses the table
        TooComplex,  ///< its flow could not be followed to the end
    };

    Outcome outcome = Outcome::Ends;
    /// Motion and delays of one run; with "循環", of one cycle as it repeats (the
    /// first starts from the origin, the others where the previous one ended).
    /// Input waits are not in it.
    double seconds = 0.0;
    /// Waits for an input met in one cycle, each counted as taking no time.
    double inputWaits = 0.0;
    /// Stops: the row of the step the controller cannot run (0 for the prologue).
    int row = 0;
    /// Stops and NotCompiled: why, in a few words for the operator.
    QString reason;
};

/// Where the head is and how it moves when a row runs the first time.
struct RowVisit
{
    bool reached = false;
    QPointF position;
    double speed = 0.0;
    double acceleration = 0.0;
};

} // namespace talvex
