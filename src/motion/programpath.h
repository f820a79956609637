#pragma once

#include "motion/cycleestimate.h"
#include "motion/motionoptions.h"
#include "motion/planarmove.h"
#include "table/programtable.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

namespace talvex {

/// The move of a point or home row, drawn as the axes travel it the first time the
/// row runs.
struct PathMove
{
    int row = 0;
    bool home = false;
    QPointF target;
    /// From where the head was to the target; bent where the axes travel unequal
    /// distances.
    Polyline samples;
    /// The row runs at all (a row skipped by a jump, or after the program has
    /// stopped or turned endless, does not).
    bool reached = true;
};

/// A step that does not move, shown where the head stands when it happens.
struct PathMark
{
    enum class Kind
    {
        Speed,
        Delay,
        InputWait,
        Outputs,
        Label,
        Jump,
    };

    int row = 0;
    Kind kind = Kind::Delay;
    QPointF position;
    /// What the step does, for a tooltip ("第 4 行: 延遲 1 秒").
    QString description;
    bool reached = true;
};

/// A counted loop: its body is drawn once, with the count beside its first point.
struct LoopBadge
{
    int row = 0;
    QPointF position;
    QString text; ///< "×3", or "×∞" for a count that never runs out
    QString description;
};

/// A jump from where it happens to where the head stands when its label runs.
struct JumpArrow
{
    int row = 0;
    QPointF from;
    QPointF to;
    bool reached = true;
};

/// Everything the preview shows of a program: the path, its marks, loops and jumps,
/// and how long a cycle takes.
struct ProgramPath
{
    std::vector<PathMove> moves;
    std::vector<PathMark> marks;
    std::vector<LoopBadge> loops;
    std::vector<JumpArrow> jumps;
    /// Length of the drawn path that the axes travel (each row once), mm.
    double lengthMm = 0.0;
    /// The origin and everything drawn, in mm.
    QRectF bounds;
    CycleEstimate estimate;

    /// The line under the drawing: the cycle time (or why there is none), the path
    /// length, and the input waits left out of the time.
    QString summary() const;
};

/// Works out the path and cycle time of rows 1..lastRow of @p table.
ProgramPath computeProgramPath(const ProgramTable &table, int lastRow, const MotionOptions &options);

} // namespace talvex
