#pragma once

#include <QString>

namespace talvex {

/// The text with every space (code 32) removed; tabs and all other characters stay.
/// Loop variable and label names are built through it, so "#L" and 12 give "#L12".
QString withoutSpaces(const QString &text);

/// Keeps only the plain digits 0-9 and the point, in their order: how a coordinate is
/// taken from a target box or a raw position reply ("?PEX\r1234\r" gives "1234").
QString coordinateText(const QString &text);

} // namespace talvex
