#include "sim/engine/interpreter.h"

#include "sim/engine/machine.h"

#include <algorithm>
#include <cmath>

namespace talvex::sim {

QString ProgramError::describe() const
{
    if (fault == Fault::None)
        return QString();
    if (line < 0)
        return faultText(fault);
    QString out = QStringLiteral("第 %1 行「%2」: %3").arg(line).arg(text, faultText(fault));
    if (!detail.isEmpty())
        out += QStringLiteral(" (%1)").arg(detail);
    return out;
}

Interpreter::Interpreter(Machine &machine) : m_machine(machine) {}

QString Interpreter::formatNumber(double value)
{
    const double rounded = std::round(value * 1000.0) / 1000.0;
    QString text = QString::number(rounded, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

void Interpreter::start(const Program &program, double nowMs)
{
    m_program = program;
    m_pc = 0;
    m_time = m_now = nowMs;
    m_wait = Wait::None;
    m_error = ProgramError();
    m_vars.clear();
    m_counts.assign(static_cast<size_t>(program.size()), 0);
    m_trace.clear();
    if (program.isEmpty()) {
        m_state = State::Failed;
        m_error.fault = Fault::NoProgram;
        event(QStringLiteral("error %1").arg(faultCode(Fault::NoProgram)), m_time);
        return;
    }
    m_state = State::Running;
    event(QStringLiteral("start"), m_time);
}

void Interpreter::stop(double nowMs)
{
    m_machine.halt(nowMs);
    if (m_state != State::Running)
        return;
    m_state = State::Idle;
    m_wait = Wait::None;
    event(QStringLiteral("stop"), nowMs);
}

int Interpreter::count(int line) const
{
    if (line < 0 || line >= static_cast<int>(m_counts.size()))
        return 0;
    return m_counts[static_cast<size_t>(line)];
}

QStringList Interpreter::takeEvents()
{
    QStringList out;
    out.reserve(m_events.size());
    for (const ProgramEvent &e : std::as_const(m_events))
        out << e.text;
    m_events.clear();
    return out;
}

QList<ProgramEvent> Interpreter::takeTimedEvents()
{
    QList<ProgramEvent> out;
    out.swap(m_events);
    return out;
}

void Interpreter::event(const QString &text, double ms)
{
    if (m_events.size() >= kEventLimit)
        m_events.removeFirst();
    m_events << ProgramEvent{ms, text};
}

void Interpreter::fail(Fault fault, const QString &detail)
{
    m_state = State::Failed;
    m_wait = Wait::None;
    m_error.fault = fault;
    m_error.line = m_pc;
    m_error.text = m_program.lines().value(m_pc);
    m_error.detail = detail;
    m_machine.halt(m_now);
    event(QStringLiteral("error %1 line %2").arg(faultCode(fault)).arg(m_pc), m_time);
}

void Interpreter::advance(double nowMs)
{
    m_now = nowMs;
    for (int budget = kStatementsPerAdvance; m_state == State::Running && budget > 0; --budget) {
        if (m_wait != Wait::None) {
            if (!waitOver(nowMs))
                return;
            m_wait = Wait::None;
            ++m_pc;
            continue;
        }
        if (m_pc < 0 || m_pc >= m_program.size()) {
            // Running off the end without "}" ends the program just the same.
            m_state = State::Idle;
            event(QStringLiteral("end"), m_time);
            return;
        }
        step();
    }
}

bool Interpreter::waitOver(double nowMs)
{
    double readyAt = m_time;
    switch (m_wait) {
    case Wait::None:
        return true;
    case Wait::Motion:
        readyAt = std::max(m_machine.x.endTime(), m_machine.y.endTime());
        if (nowMs < readyAt)
            return false;
        m_time = std::max(m_time, readyAt);
        event(QStringLiteral("done %1 %2")
                  .arg(formatNumber(m_machine.x.position(m_time)), formatNumber(m_machine.y.position(m_time))),
              m_time);
        return true;
    case Wait::Input:
        if (!m_machine.input(m_waitInput)) {
            m_blocked = true;
            return false;
        }
        // The switch closed some time since the last look; now is as close as we know.
        if (m_blocked)
            m_time = std::max(m_time, nowMs);
        event(QStringLiteral("input %1").arg(m_waitInput), m_time);
        return true;
    case Wait::Time:
        if (nowMs < m_waitUntil)
            return false;
        m_time = std::max(m_time, m_waitUntil);
        return true;
    }
    return true;
}

bool Interpreter::jumpTo(const QString &label, int *next)
{
    bool duplicate = false;
    const int line = m_program.labelLine(label, &duplicate);
    if (line < 0) {
        fail(Fault::UnknownLabel, QStringLiteral("$%1").arg(label));
        return false;
    }
    if (duplicate) {
        fail(Fault::DuplicateLabel, QStringLiteral("$%1").arg(label));
        return false;
    }
    *next = line;
    return true;
}

bool Interpreter::evaluate(const Statement &s, double *value)
{
    double sum = 0.0;
    for (const Term &t : s.terms) {
        double v = t.number;
        if (!t.variable.isEmpty()) {
            if (!m_vars.contains(t.variable)) {
                fail(Fault::UndeclaredVariable, t.variable);
                return false;
            }
            v = m_vars.value(t.variable);
        }
        sum += t.negative ? -v : v;
    }
    *value = sum;
    return true;
}

void Interpreter::step()
{
    const Statement &s = m_program.statement(m_pc);
    ++m_counts[static_cast<size_t>(m_pc)];
    if (static_cast<int>(m_trace.size()) >= kTraceLimit)
        m_trace.pop_front();
    m_trace.push_back(m_pc);

    int next = m_pc + 1;
    switch (s.op) {
    case Op::Nothing:
    case Op::Begin:
    case Op::Label:
        break;
    case Op::End:
        m_state = State::Idle;
        event(QStringLiteral("end"), m_time);
        return;
    case Op::ClearVars:
        m_vars.clear();
        break;
    case Op::SetAccel:
        m_machine.accel = s.number;
        break;
    case Op::SetSpeed:
        m_machine.speed = s.number;
        break;
    case Op::Declare:
        m_vars.insert(s.name, 0.0);
        break;
    case Op::Jump:
        if (!jumpTo(s.target, &next))
            return;
        break;
    case Op::Assign: {
        double v = 0.0;
        if (!evaluate(s, &v))
            return;
        if (!m_vars.contains(s.name)) {
            fail(Fault::UndeclaredVariable, s.name);
            return;
        }
        m_vars.insert(s.name, v);
        break;
    }
    case Op::JumpNotZero:
        if (!m_vars.contains(s.name)) {
            fail(Fault::UndeclaredVariable, s.name);
            return;
        }
        if (m_vars.value(s.name) != 0.0 && !jumpTo(s.target, &next))
            return;
        break;
    case Op::WaitInput:
        m_wait = Wait::Input;
        m_waitInput = static_cast<int>(s.number);
        m_blocked = false;
        return;
    case Op::MoveX:
        m_machine.moveX(s.number, m_time);
        break;
    case Op::MoveY:
        m_machine.moveY(s.number, m_time);
        break;
    case Op::HomeX:
        m_machine.moveX(0.0, m_time);
        break;
    case Op::HomeY:
        m_machine.moveY(0.0, m_time);
        break;
    case Op::WaitMotion:
        m_wait = Wait::Motion;
        return;
    case Op::Outputs:
        // The output word is written whole: outputs not named in the mask go off.
        m_machine.outputs = static_cast<quint8>(s.number);
        event(QStringLiteral("outputs %1").arg(m_machine.outputs), m_time);
        break;
    case Op::WaitTime:
        m_wait = Wait::Time;
        m_waitUntil = m_time + s.number;
        return;
    case Op::Invalid:
        fail(s.fault, s.detail);
        return;
    }
    m_pc = next;
}

} // namespace talvex::sim
