#include "table/programtable.h"

namespace talvex {

ProgramTable::ProgramTable() = default;

QString ProgramTable::cell(int row, int column) const
{
    if (!contains(row, column))
        return {};
    return m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void ProgramTable::setCell(int row, int column, const QString &text)
{
    if (!contains(row, column))
        return;
    m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
}

Step ProgramTable::row(int row) const
{
    if (!contains(row))
        return {};
    return m_rows[static_cast<size_t>(row)];
}

void ProgramTable::setRow(int row, const Step &step)
{
    if (!contains(row))
        return;
    m_rows[static_cast<size_t>(row)] = step;
}

Step ProgramTable::header()
{
    // "FUNCTINO" is spelled so in every program file ever written; keep it.
    return {QStringLiteral("FUNCTINO"), QStringLiteral("IN"), QStringLiteral("XPOINT"), QStringLiteral("YPOINT"),
            QStringLiteral("OUT")};
}

void ProgramTable::writeHeader()
{
    setRow(0, header());
}

} // namespace talvex
