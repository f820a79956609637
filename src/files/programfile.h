#pragma once

#include "table/programtable.h"

#include <QByteArray>
#include <QString>

namespace talvex {

/// Width of columns 0..3 in a program file; column 4 follows unpadded.
constexpr int FieldWidth = 12;

/// One line of a program file, without its line end: cells 0..3 left-aligned and
/// padded to FieldWidth characters, cell 4 as it is. A cell of FieldWidth characters
/// or more is still followed by one space, so the line splits back into its cells.
QString formatProgramLine(const Step &row);

/// Splits a line at runs of spaces. A line starting with a space yields an empty
/// first field, so its visible fields land one column to the right.
QStringList splitProgramLine(const QString &line);

/// A cell that would not read back into the same column.
struct UnreadableCell
{
    int row = -1; ///< -1: none
    int column = -1;
};

/// First cell of rows 1..lastRow holding a space or a line break, or empty in columns
/// 1..3: such a row does not read back as written.
UnreadableCell findUnreadableCell(const ProgramTable &table, int lastRow);

/// Step row (1..lastRow) of the first cell holding a character Big5 cannot carry, with
/// the character in @p character; -1 when every step can be written. The header row is
/// not looked at: it is not the operator's to edit, so it never stops a save.
int findNonBig5Row(const ProgramTable &table, int lastRow, QString *character = nullptr);

/// First cell of rows 1..lastRow that makes its line longer than the reader takes
/// (kMaxProgramLineCharacters): saved, it would read back cut. The most characters
/// that cell could hold in its line go to @p limit.
UnreadableCell findOverlongCell(const ProgramTable &table, int lastRow, int *limit = nullptr);

/// First character of the header row that Big5 cannot carry (a header read from a
/// damaged file), or the empty text when the header can be written as it stands.
QString headerNonBig5Character(const ProgramTable &table);

/// The first line's cells as the file gets them: the table's header row, or the
/// standard header when Big5 cannot carry that row.
Step writtenHeader(const ProgramTable &table);

/// The whole file's bytes for rows 0..lastRow, Big5 with CR LF line ends; row 0 as
/// writtenHeader() gives it.
QByteArray programFileBytes(const ProgramTable &table, int lastRow);

/// Writes rows 0..lastRow to @p path, replacing its contents. Returns false with the
/// reason in @p error when the file cannot be written.
bool writeProgramFile(const QString &path, const ProgramTable &table, int lastRow, QString *error = nullptr);

/// What reading a program file produced.
struct ProgramFileContents
{
    ProgramTable table;
    int lastRow = 0;
    /// Lines beyond step 500 were not read.
    bool rowsCut = false;
    /// Some line had more than five fields; the extra ones were dropped.
    bool fieldsCut = false;
    /// Some line was longer than kMaxProgramLineCharacters; the rest of it was skipped.
    bool linesCut = false;
};

/// Most characters of one line the reader takes. A program line is a few dozen
/// characters; what lies beyond this bound is skipped unread, so one huge line costs
/// no more than a normal one.
constexpr int kMaxProgramLineCharacters = 4096;

/// Reads program file bytes over a copy of @p current (cells a short line does not
/// reach keep their texts). Reading stops at the first line shorter than 13
/// characters, cuts every line at kMaxProgramLineCharacters and never writes outside
/// rows 0..500 and columns 0..4.
ProgramFileContents parseProgramFile(const QByteArray &bytes, const ProgramTable &current);

/// Largest program file the station opens; a real one is a few tens of kilobytes.
constexpr qint64 kMaxProgramFileBytes = 16 * 1024 * 1024;

/// What reading a program file's bytes came to.
struct ProgramFileBytes
{
    enum class Status
    {
        Read,
        /// Not there, not a regular file (a folder, a named pipe, a device, a link to
        /// one) or not to be opened; the reason says which.
        CannotOpen,
        /// More than kMaxProgramFileBytes.
        TooLarge,
        CannotRead,
    };
    Status status = Status::Read;
    QByteArray bytes;
    QString reason;
};

/// Reads the bytes of the program file @p path. Only a regular file (or a link to one)
/// is opened: what it is is asked of the file system without opening it, so a named
/// pipe cannot hold the station and a device cannot feed it without end. Never more
/// than kMaxProgramFileBytes plus one byte is read.
ProgramFileBytes readProgramFileBytes(const QString &path);

} // namespace talvex
