#pragma once

#include <QString>

#include <functional>

namespace talvex {

class Operator;
class ProgramDocument;
struct PendingEdit;

/// The file menu's three commands (save as, new, open) on the program document, and
/// the question about unsaved work at quit.
class ProgramFileActions
{
public:
    ProgramFileActions(ProgramDocument &document, PendingEdit &edit, Operator &op);

    /// Asked by save as: stop the status poll while the dialog is up and the file is
    /// written (returns whether it was stopped), and start it again afterwards.
    std::function<bool()> pauseStatusPoll;
    std::function<void()> resumeStatusPoll;
    /// "另存新檔(&A)". Writes only a non-empty program to a chosen name; returns whether
    /// it was written.
    bool saveProgramAs();
    /// "建立新檔(&N)". Returns true when the program was reset (no steps, the standard
    /// header in row 0).
    bool newProgram();
    /// "開啟舊檔(&O)". Returns true when a file was read into the table.
    bool openProgram();
    /// Opens @p path as "開啟舊檔" does once its dialog has named it.
    bool openProgramFile(const QString &path);
    /// "存檔(&S)": writes the program's file without a dialog; "另存新檔" when the program
    /// has none yet.
    bool saveProgram();
    /// Before a program is put in place of unsaved work other than by "開啟舊檔" (a
    /// recent file, a file dropped on the window): asks whether to save first. Yes
    /// saves, No goes on, Cancel stays.
    bool mayReplaceProgram();
    static QString replaceQuestion();
    /// The program's file: the one last opened, saved or saved as; empty after New.
    const QString &documentFile() const { return m_documentFile; }
    /// Told when the program's file changes (@p path opened or written, or the empty
    /// text after New).
    std::function<void(const QString &path)> fileUsed;
    /// Before the station quits: with unsaved work, asks whether to save it first. Yes
    /// saves as, and the station may quit when it wrote the file; No quits without
    /// saving; Cancel (or the box's close button) stays.
    bool mayQuit();
    static QString quitQuestion();

    /// The last name a dialog of these commands returned (empty when cancelled).
    const QString &programFileName() const { return m_programFileName; }

    static QString filter();

private:
    /// Checks what cannot be written faithfully, asks or refuses, then writes.
    bool writeChecked(const QString &path);
    void reset();
    void useFile(const QString &path);
    /// With unsaved work, asks @p question: Yes runs @p save (true when it wrote the
    /// file), No goes on, Cancel stays.
    bool mayDropUnsavedWork(const QString &question, bool (ProgramFileActions::*save)());

    ProgramDocument &m_document;
    PendingEdit &m_edit;
    Operator &m_op;
    QString m_programFileName;
    QString m_documentFile;
};

} // namespace talvex
