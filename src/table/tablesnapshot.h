#pragma once

#include "table/programtable.h"

#include <vector>

namespace talvex {

/// The step table and LastRow as they stood at one moment. Rows past the last one
/// that holds any text are not kept (they are all empty), so a short program costs
/// little; the texts themselves are shared with the table, not copied.
class TableSnapshot
{
public:
    TableSnapshot() = default;
    TableSnapshot(const ProgramTable &table, int lastRow);

    int lastRow() const { return m_lastRow; }
    /// Row @p row as it stood (empty past the rows kept).
    Step row(int row) const;

    /// Puts every row of the table and LastRow back as they stood.
    void restoreInto(ProgramTable &table, int &lastRow) const;

    /// Every row of the table and LastRow are the same, rows past LastRow included:
    /// they still matter to a later Open, which keeps the cells a short line does not
    /// reach.
    bool sameTable(const TableSnapshot &other) const;
    /// Rows 0..LastRow and LastRow are the same: the same program in a file.
    bool sameProgram(const TableSnapshot &other) const;

private:
    std::vector<Step> m_rows;
    int m_lastRow = 0;
};

} // namespace talvex
