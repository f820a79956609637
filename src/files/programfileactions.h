#pragma once

#include "table/programtable.h"

#include <QString>

#include <functional>

namespace talvex {

class Operator;
class StepList;
struct EditState;

/// The file menu's three commands (save as, new, open) on the main window's table.
class ProgramFileActions
{
public:
    ProgramFileActions(ProgramTable &table, EditState &edit, StepList &list, Operator &op);

    /// Asked by save as: stop the status poll while the dialog is up and the file is
    /// written (returns whether it was stopped), and start it again afterwards.
    std::function<bool()> pauseStatusPoll;
    std::function<void()> resumeStatusPoll;
    /// Told after every write of the table to a program file.
    std::function<void()> saved;

    /// "另存新檔(&A)". Writes only a non-empty program to a chosen name; returns whether
    /// it was written.
    bool SaveProgramAs();
    /// "建立新檔(&N)". Returns true when the program was reset (no steps, the standard
    /// header in row 0).
    bool NewProgram();
    /// "開啟舊檔(&O)". Returns true when a file was read into the table.
    bool OpenProgram();

    /// The last name a dialog of these commands returned (empty when cancelled).
    const QString &programFileName() const { return m_programFileName; }

    static QString filter();

private:
    /// Checks what cannot be written faithfully, asks or refuses, then writes.
    bool writeChecked(const QString &path);
    void reset();

    ProgramTable &m_table;
    EditState &m_edit;
    StepList &m_list;
    Operator &m_op;
    QString m_programFileName;
};

} // namespace talvex
