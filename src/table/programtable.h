#pragma once

#include <QString>

#include <array>

namespace talvex {

/// The five texts of one row: kind, IN or datum, X, Y, OUT.
using Step = std::array<QString, 5>;

/// The step table: rows 0..500 by columns 0..4 of texts. Row 0 is the header row,
/// rows 1..LastRow are the program's steps. Access outside the table is refused:
/// reads give the empty text and writes are dropped, so no caller can corrupt memory.
class ProgramTable
{
public:
    static constexpr int kRows = 501;
    static constexpr int kColumns = 5;
    static constexpr int kMaxSteps = kRows - 1;

    ProgramTable();

    static bool contains(int row, int column = 0)
    {
        return row >= 0 && row < kRows && column >= 0 && column < kColumns;
    }

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    Step row(int row) const;
    void setRow(int row, const Step &step);
    /// Writes the header row "FUNCTINO", "IN", "XPOINT", "YPOINT", "OUT".
    void writeHeader();

    static Step header();

private:
    std::array<Step, kRows> m_rows;
};

} // namespace talvex
