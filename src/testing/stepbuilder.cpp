#include "testing/stepbuilder.h"

namespace talvex::testing {

Step stepOf(const QString &encoded)
{
    const QStringList parts = encoded.split(QLatin1Char('|'));
    Step step;
    for (int c = 0; c < ProgramTable::kColumns; ++c)
        step[static_cast<size_t>(c)] = c < parts.size() ? parts.at(c) : QStringLiteral("0");
    return step;
}

ProgramTable tableOf(const QStringList &rows)
{
    ProgramTable table;
    table.writeHeader();
    for (int i = 0; i < rows.size(); ++i)
        table.setRow(i + 1, stepOf(rows.at(i)));
    return table;
}

} // namespace talvex::testing
