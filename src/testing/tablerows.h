#pragma once

// Step tables written compactly for tests: one row a string "KIND|IN|X|Y|OUT".

#include "table/programtable.h"

#include <QStringList>

namespace talvex::testing {

/// One step written as "KIND|IN|X|Y|OUT"; missing columns hold "0", as the editor
/// writes them.
inline Step stepOf(const QString &encoded)
{
    const QStringList parts = encoded.split(QLatin1Char('|'));
    Step step = {parts.value(0), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    for (int c = 1; c < parts.size() && c < ProgramTable::kColumns; ++c)
        step[static_cast<size_t>(c)] = parts.at(c);
    return step;
}

/// A table with the header row and @p rows as rows 1..n.
inline ProgramTable tableOf(const QStringList &rows)
{
    ProgramTable table;
    table.writeHeader();
    for (int i = 0; i < rows.size(); ++i)
        table.setRow(i + 1, stepOf(rows.at(i)));
    return table;
}

} // namespace talvex::testing
