#include "table/tablesnapshot.h"

#include <algorithm>

namespace talvex {

namespace {

bool emptyRow(const Step &row)
{
    return std::all_of(row.begin(), row.end(), [](const QString &cell) { return cell.isEmpty(); });
}

} // namespace

TableSnapshot::TableSnapshot(const ProgramTable &table, int lastRow) : m_lastRow(lastRow)
{
    int kept = ProgramTable::kRows;
    while (kept > 0 && emptyRow(table.row(kept - 1)))
        --kept;
    m_rows.reserve(static_cast<std::size_t>(kept));
    for (int r = 0; r < kept; ++r)
        m_rows.push_back(table.row(r));
}

Step TableSnapshot::row(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    return m_rows[static_cast<std::size_t>(row)];
}

void TableSnapshot::restoreInto(ProgramTable &table, int &lastRow) const
{
    for (int r = 0; r < ProgramTable::kRows; ++r)
        table.setRow(r, row(r));
    lastRow = m_lastRow;
}

bool TableSnapshot::sameTable(const TableSnapshot &other) const
{
    return m_lastRow == other.m_lastRow && m_rows == other.m_rows;
}

bool TableSnapshot::sameProgram(const TableSnapshot &other) const
{
    if (m_lastRow != other.m_lastRow)
        return false;
    const int last = std::clamp(m_lastRow, 0, ProgramTable::kMaxSteps);
    for (int r = 0; r <= last; ++r) {
        if (row(r) != other.row(r))
            return false;
    }
    return true;
}

} // namespace talvex
