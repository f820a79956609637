#pragma once

#include <QString>

namespace talvex {

/// The step kinds, numbered as their icons in the step list.
enum class StepKind
{
    Point = 1,
    Line,
    Arc,
    Circle,
    Speed,
    Wait,
    Loop,
    LoopEnd,
    Label,
    JumpToLabel,
    Home,
};

constexpr int kKindCount = 11;
/// Icon index of a row whose kind is none of the eleven (only a file can hold one).
constexpr int kUnknownKindIcon = 0;

/// The literal stored in column 0 ("POINT", ..., "LABLE", "GLABLE", "HOME").
QString kindLiteral(StepKind kind);
/// Icon index 1..11 by exact, case-sensitive comparison; kUnknownKindIcon otherwise.
int iconIndexOf(const QString &kindText);

} // namespace talvex
