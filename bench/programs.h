#pragma once

#include "table/programtable.h"

namespace talvex::bench {

/// A program of @p rows steps that, at 500 rows, compiles to close to the 1001 lines a
/// program may have: 49 of every 100 rows are three-line steps (points, and every
/// fifth of them a home), spread evenly, the others one-line delays and speeds.
inline ProgramTable largestProgram(int rows)
{
    const QString zero = QStringLiteral("0");
    ProgramTable table;
    table.writeHeader();
    int threeLine = 0;
    for (int r = 1; r <= rows; ++r) {
        const bool three = (r * 49) / 100 != ((r - 1) * 49) / 100;
        if (three && ++threeLine % 5 == 0)
            table.setRow(r, {QStringLiteral("HOME"), zero, zero, zero, zero});
        else if (three)
            table.setRow(r, {QStringLiteral("POINT"), zero, QString::number(r), QString::number(r * 2), zero});
        else if (r % 2 == 0)
            table.setRow(r, {QStringLiteral("WT"), QStringLiteral("10"), zero, zero, zero});
        else
            table.setRow(r, {QStringLiteral("VM"), QStringLiteral("250"), zero, zero, zero});
    }
    return table;
}

} // namespace talvex::bench
