#pragma once

#include <QString>

namespace talvex {

/// The step kinds, numbered as their icons in the step list. Unknown is a kind cell
/// that holds none of the eleven literals (only a file can hold one); it shares its
/// number with kUnknownKindIcon.
enum class StepKind
{
    Unknown = 0,
    Point,
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
constexpr int kUnknownKindIcon = static_cast<int>(StepKind::Unknown);

/// The literal stored in column 0 ("POINT", ..., "LABLE", "GLABLE", "HOME"); the
/// empty text for Unknown, which has no literal of its own.
QString kindLiteral(StepKind kind);
/// The kind whose literal @p kindText is, by exact, case-sensitive comparison
/// ("point", "POINT " and "LABEL" are Unknown).
StepKind kindOf(const QString &kindText);
/// Icon index 1..11 by exact, case-sensitive comparison; kUnknownKindIcon otherwise.
int iconIndexOf(const QString &kindText);

} // namespace talvex
