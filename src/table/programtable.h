#pragma once

#include "table/stepkind.h"

#include <QString>

#include <array>

namespace talvex {

/// The five texts of one row: kind, IN or datum, X, Y, OUT.
using Step = std::array<QString, 5>;

/// The columns of the table, in the order of a Step and of a program file's line.
enum class Column
{
    Kind,  ///< the step kind's literal ("POINT", ..., "HOME")
    Datum, ///< "IN": a point's input mask, a speed, a delay, a loop count, a label
    X,
    Y,
    Out, ///< a point's output mask
};

/// One row of the table read by its columns' names, with its kind already looked up.
class StepRow
{
public:
    StepRow() = default;
    explicit StepRow(const Step &step) : m_step(step), m_kind(kindOf(step[0])) {}

    StepKind kind() const { return m_kind; }
    const QString &text(Column column) const { return m_step[static_cast<size_t>(column)]; }
    const QString &kindText() const { return text(Column::Kind); }
    const QString &datum() const { return text(Column::Datum); }
    const QString &x() const { return text(Column::X); }
    const QString &y() const { return text(Column::Y); }
    const QString &out() const { return text(Column::Out); }
    const Step &step() const { return m_step; }

private:
    Step m_step;
    StepKind m_kind = StepKind::Unknown;
};

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
    QString cell(int row, Column column) const { return cell(row, static_cast<int>(column)); }
    void setCell(int row, int column, const QString &text);
    void setCell(int row, Column column, const QString &text) { setCell(row, static_cast<int>(column), text); }
    Step row(int row) const;
    /// Row @p row by its columns' names; a row outside the table reads as empty.
    StepRow stepRow(int row) const { return StepRow(this->row(row)); }
    void setRow(int row, const Step &step);
    /// Writes the header row "FUNCTINO", "IN", "XPOINT", "YPOINT", "OUT".
    void writeHeader();

    static Step header();

private:
    std::array<Step, kRows> m_rows;
};

} // namespace talvex
