#pragma once

#include "sim/engine/program.h"

#include <QHash>
#include <QStringList>

#include <deque>
#include <vector>

namespace talvex::sim {

struct Machine;

/// Something the program did, and when on the machine clock (ms).
struct ProgramEvent
{
    double ms = 0.0;
    QString text;
};

/// Why the program stopped with an error, and where.
struct ProgramError
{
    Fault fault = Fault::None;
    int line = -1;
    QString text;   ///< the statement as written
    QString detail; ///< what is wrong with it

    /// "第 12 行「JP $X;」: 找不到標籤 $X" (for the operator).
    QString describe() const;
};

/// Runs a downloaded program on the machine. Statements take no time of their own;
/// time passes only in the waits ("DN;", "WI n;", "WT t;"). The interpreter keeps
/// the program's own clock: a wait that ended between two calls of advance() ends
/// at the exact moment it was due, and what follows starts from there, so the
/// program's timing does not depend on how often advance() is called.
class Interpreter
{
public:
    enum class State
    {
        Idle,
        Running,
        Failed
    };
    enum class Wait
    {
        None,
        Motion,
        Input,
        Time
    };

    /// A program that never waits still gives way to the line and the window.
    static constexpr int kStatementsPerAdvance = 2000;
    static constexpr int kTraceLimit = 10000;
    static constexpr int kEventLimit = 1000;

    explicit Interpreter(Machine &machine);

    /// Runs @p program from its first line ("G"). Variables are cleared; the
    /// machine's speed, acceleration, outputs and position stay as they are.
    void start(const Program &program, double nowMs);
    /// Stops the program and the axes where they are ("EC 0", "EC 1", a new download).
    void stop(double nowMs);
    /// Runs the program up to @p nowMs.
    void advance(double nowMs);

    State state() const { return m_state; }
    bool running() const { return m_state == State::Running; }
    /// The line being run or waited on (-1 when idle).
    int line() const { return m_state == State::Idle ? -1 : m_pc; }
    Wait wait() const { return m_wait; }
    int waitInput() const { return m_waitInput; }
    /// When a "WT" wait ends, on the machine clock.
    double waitUntil() const { return m_waitUntil; }
    const ProgramError &error() const { return m_error; }
    const Program &program() const { return m_program; }

    /// How often @p line has started since the program was started.
    int count(int line) const;
    /// Lines in the order they ran (the last kTraceLimit).
    const std::deque<int> &trace() const { return m_trace; }
    /// What the program did since the last call: "start", "done X Y" (a motion group
    /// ended there), "outputs P", "input N" (a wait for input N passed), "end",
    /// "stop", "error CODE line N".
    QStringList takeEvents();
    /// Adds an event of the controller's own (a command that failed) at @p nowMs, in
    /// its place among the program's: the program has run up to that moment.
    void addEvent(const QString &text, double nowMs) { event(text, nowMs); }
    /// takeEvents() with the moment of each: the program's own clock, so the time
    /// between two events is exact however late anyone asks.
    QList<ProgramEvent> takeTimedEvents();
    bool hasVariable(const QString &name) const { return m_vars.contains(name); }
    double variable(const QString &name) const { return m_vars.value(name); }

    /// A coordinate as the line reports it: up to three decimals, no trailing zeros.
    static QString formatNumber(double value);

private:
    void step();
    bool waitOver(double nowMs);
    bool jumpTo(const QString &label, int *next);
    bool evaluate(const Statement &s, double *value);
    void fail(Fault fault, const QString &detail);
    void event(const QString &text, double ms);

    Machine &m_machine;
    Program m_program;
    State m_state = State::Idle;
    int m_pc = 0;
    double m_time = 0.0;
    double m_now = 0.0;
    Wait m_wait = Wait::None;
    bool m_blocked = false;
    int m_waitInput = 0;
    double m_waitUntil = 0.0;
    ProgramError m_error;
    QHash<QString, double> m_vars;
    std::vector<int> m_counts;
    std::deque<int> m_trace;
    QList<ProgramEvent> m_events;
};

} // namespace talvex::sim
