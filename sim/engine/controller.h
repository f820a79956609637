#pragma once

#include "sim/engine/interpreter.h"
#include "sim/engine/machine.h"
#include "sim/engine/program.h"
#include "sim/engine/programstore.h"

#include <QByteArray>
#include <QList>
#include <QObject>

namespace talvex::sim {

class Clock;

/// A command from the line that the controller could not carry out ("SAVE P" that
/// could not write, a download too long to keep): a stable code word for scripts and
/// tests, and a text for the operator. Unlike a program error it names no line.
struct CommandError
{
    QString code; ///< "save-failed", "download-too-long"; empty when there is none
    QString text;
};

/// The virtual controller: it takes the command lines that arrive on the line,
/// answers the queries, acts on the commands, keeps the downloaded program and its
/// stored copy, and runs the program on the machine.
///
/// Interactive commands (one line each, ended by CR on the line):
/// "?VM" (the travel speed), "?VA" (the acceleration), "?INP" (the input word),
/// "?PEX"/"?PEY" (positions), "EC 0"/"EC 1" (stop the program), "DL" (the lines
/// up to an empty line are the new program), "SAVE P", "G", "SET Pn"/"CLR Pn",
/// "HON"/"HOFF", "XMA x"/"YMA y", "H".
class Controller : public QObject
{
    Q_OBJECT

public:
    /// A download longer than this is refused (the station's limit is 1001 lines).
    static constexpr int kMaxProgramLines = Program::kMaxLines;

    Controller(const Clock &clock, const QString &storePath, QObject *parent = nullptr);

    /// Loads the stored program into memory, as the controller does at power-up.
    /// False with the reason when the store cannot be read (the program stays empty).
    bool powerUp(QString *error = nullptr);

    /// Handles one line (without its CR) and returns the reply without its CR; an
    /// empty reply means the controller says nothing.
    QByteArray handleLine(const QByteArray &line);
    /// An ESC on the line: a download in progress is abandoned (the old program
    /// stays), as the station sends ESC ESC before it takes the line over.
    void escape();
    /// Runs the program up to the present.
    void advance();

    double now() const;
    Machine &machine() { return m_machine; }
    const Machine &machine() const { return m_machine; }
    Interpreter &interpreter() { return m_interpreter; }
    const Interpreter &interpreter() const { return m_interpreter; }
    /// The program in memory ("G" runs it).
    const Program &program() const { return m_program; }
    const ProgramStore &store() const { return m_store; }
    bool downloading() const { return m_downloading; }
    /// The last command that failed. It stays until the next "DL" or "G" (a save
    /// error also until a save succeeds).
    const CommandError &commandError() const { return m_commandError; }
    /// Whether the failed command is what the controller's state shows: there is one
    /// and no program runs (a running program's state says more).
    bool commandFailed() const { return !m_commandError.code.isEmpty() && !m_interpreter.running(); }

    /// The operator's hand on the machine (window and control channel).
    void setInput(int k, bool on) { m_machine.setInput(k, on); }
    void setInputs(quint16 word) { m_machine.inputs = word; }
    Machine::Jog jog(char axis, double delta) { return m_machine.jog(axis, delta, now()); }

    /// Lines that were not understood, and the last of them.
    int unknownCount() const { return m_unknownCount; }
    const QByteArray &lastUnknown() const { return m_lastUnknown; }

Q_SIGNALS:
    /// The program in memory was replaced (download, power-up).
    void programChanged();
    /// Something the operator should read in the traffic log (Traditional Chinese).
    void note(const QString &text);

private:
    QByteArray query(const QByteArray &line);
    bool command(const QByteArray &line);
    void downloadLine(const QByteArray &line);
    void unknown(const QByteArray &line);
    void save();
    void failCommand(const QString &code, const QString &text);

    const Clock &m_clock;
    Machine m_machine;
    Interpreter m_interpreter;
    Program m_program;
    ProgramStore m_store;
    bool m_downloading = false;
    bool m_downloadTooLong = false;
    QList<QByteArray> m_download;
    CommandError m_commandError;
    int m_unknownCount = 0;
    QByteArray m_lastUnknown;
};

} // namespace talvex::sim
