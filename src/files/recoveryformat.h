#pragma once

#include "table/programtable.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace talvex {

/// What a recovery file keeps: the program as it stood, the name of the program file
/// last chosen in a file dialog, and whether editing had begun (Dirty).
struct RecoveredProgram
{
    ProgramTable table;
    int lastRow = 0;
    QString programFileName;
    bool dirty = false;
};

/// The bytes of a recovery file. First the program exactly as a program file holds it,
/// so the file also opens with "開啟舊檔"; then an empty line, where a program file
/// reader stops; then one line of JSON with the file name, Dirty, LastRow, and the
/// exact cells of every row the program file cannot carry as they are (a label with a
/// space, a character Big5 lacks), so the program comes back exactly.
QByteArray recoveryFileBytes(const RecoveredProgram &program);

/// The program in recovery file bytes; nothing when they hold no step. A file without
/// the JSON line is read as a plain program file.
std::optional<RecoveredProgram> parseRecoveryFile(const QByteArray &bytes);

} // namespace talvex
