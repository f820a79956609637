#include "sim/engine/controlchannel.h"

#include "core/big5.h"
#include "sim/engine/controller.h"
#include "sim/engine/linesession.h"

#include <cmath>

namespace talvex::sim {

namespace {

QString fmt(double value)
{
    return Interpreter::formatNumber(value);
}

bool readWhole(const QString &text, int min, int max, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

QString error(const QString &why)
{
    return QStringLiteral("error ") + why;
}

} // namespace

ControlChannel::ControlChannel(Controller &controller, LineSession &session)
    : m_controller(controller), m_session(session)
{
}

QString ControlChannel::helpText()
{
    return QStringLiteral(
        "  pos                  -> pos X Y             positions of the axes (mm)\n"
        "  input N on|off       -> ok                  switch input N (1..16)\n"
        "  inputs [WORD]        -> inputs WORD | ok    read or set all inputs (bit k-1 = input k)\n"
        "  outputs              -> outputs WORD        the outputs (bit n-1 = output n)\n"
        "  jog x|y MM           -> ok | error ...      move an axis by hand (only after HOFF)\n"
        "  mode                 -> mode HON|HOFF       whether the axes may be moved by hand\n"
        "  speed | accel        -> speed V | accel A   travel speed (mm/s), acceleration (mm/s2)\n"
        "  state                -> state idle | state downloading\n"
        "                          | state running line N [wait motion|wait input K|wait time MS]\n"
        "                          | state error CODE line N TEXT | state error CODE TEXT\n"
        "                          (\"; capture failed: REASON\" follows once a capture write failed)\n"
        "  program              -> program COUNT       lines of the program in memory\n"
        "  line N               -> line N TEXT         one program line (N from 0)\n"
        "  count N              -> count N TIMES       how often line N ran since \"G\"\n"
        "  events               -> events E; E; ...    what the program did since last asked:\n"
        "                          start, done X Y, outputs P, input K, end, stop, error CODE line N,\n"
        "                          error save-failed, error download-too-long\n"
        "  events timed         -> events T E; ...     the same, each after its machine time T (ms)\n"
        "  received             -> received BYTES LINES  what came over the line\n"
        "  unknown              -> unknown COUNT [LAST]  lines the controller did not understand\n"
        "  blast BYTES          -> ok                  send BYTES of junk on the line at once (up to 8 MiB)\n"
        "  outgoing             -> outgoing BYTES      bytes made but not yet taken by the line\n"
        "  quit                 -> bye\n"
        "An empty line is answered \"error empty command\"; a line longer than 64 KiB is not run\n"
        "and is answered \"error line too long\".\n");
}

QString ControlChannel::lineTooLongReply()
{
    return error(QStringLiteral("line too long: more than %1 bytes, ignored").arg(kMaxLine));
}

QString ControlChannel::state() const
{
    const QString failure = m_session.captureFailure();
    QString text = machineState();
    if (!failure.isEmpty())
        text += QStringLiteral("; capture failed: ") + failure;
    return text;
}

QString ControlChannel::machineState() const
{
    if (m_controller.commandFailed()) {
        const CommandError &e = m_controller.commandError();
        return QStringLiteral("state error %1 %2").arg(e.code, e.text);
    }
    const Interpreter &run = m_controller.interpreter();
    if (run.state() == Interpreter::State::Failed) {
        const ProgramError &e = run.error();
        return QStringLiteral("state error %1 line %2 %3").arg(faultCode(e.fault)).arg(e.line).arg(e.describe());
    }
    if (run.state() == Interpreter::State::Idle)
        return m_controller.downloading() ? QStringLiteral("state downloading") : QStringLiteral("state idle");
    QString text = QStringLiteral("state running line %1").arg(run.line());
    switch (run.wait()) {
    case Interpreter::Wait::None:
        break;
    case Interpreter::Wait::Motion:
        text += QStringLiteral(" wait motion");
        break;
    case Interpreter::Wait::Input:
        text += QStringLiteral(" wait input %1").arg(run.waitInput());
        break;
    case Interpreter::Wait::Time:
        text += QStringLiteral(" wait time %1").arg(std::ceil(std::max(0.0, run.waitUntil() - m_controller.now())));
        break;
    }
    return text;
}

QString ControlChannel::execute(const QString &line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return error(QStringLiteral("empty command"));
    const QString &cmd = words.constFirst();
    const auto argc = words.size() - 1;
    m_controller.advance();
    Machine &machine = m_controller.machine();
    const double now = m_controller.now();

    if (cmd == QLatin1String("pos") && argc == 0)
        return QStringLiteral("pos %1 %2").arg(fmt(machine.x.position(now)), fmt(machine.y.position(now)));
    if (cmd == QLatin1String("input") && argc == 2) {
        int k = 0;
        const QString &how = words.at(2);
        if (!readWhole(words.at(1), 1, Machine::kInputs, &k) ||
            (how != QLatin1String("on") && how != QLatin1String("off")))
            return error(QStringLiteral("usage: input N on|off with N from 1 to 16"));
        m_controller.setInput(k, how == QLatin1String("on"));
        m_controller.advance();
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("inputs") && argc <= 1) {
        if (argc == 0)
            return QStringLiteral("inputs %1").arg(machine.inputs);
        int word = 0;
        if (!readWhole(words.at(1), 0, 65535, &word))
            return error(QStringLiteral("usage: inputs WORD with WORD from 0 to 65535"));
        m_controller.setInputs(static_cast<quint16>(word));
        m_controller.advance();
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("outputs") && argc == 0)
        return QStringLiteral("outputs %1").arg(machine.outputs);
    if (cmd == QLatin1String("jog") && argc == 2) {
        double delta = 0.0;
        const QString &axis = words.at(1);
        if ((axis != QLatin1String("x") && axis != QLatin1String("y")) || !readNumber(words.at(2), &delta))
            return error(QStringLiteral("usage: jog x|y MM"));
        switch (m_controller.jog(axis == QLatin1String("x") ? 'x' : 'y', delta)) {
        case Machine::Jog::Done:
            return QStringLiteral("ok");
        case Machine::Jog::HandHeld:
            return error(QStringLiteral("hand-held: the axes are held (HON); the station sends HOFF to free them"));
        case Machine::Jog::Moving:
            return error(QStringLiteral("moving: the axis is moving"));
        }
    }
    if (cmd == QLatin1String("mode") && argc == 0)
        return machine.handFree ? QStringLiteral("mode HOFF") : QStringLiteral("mode HON");
    if (cmd == QLatin1String("speed") && argc == 0)
        return QStringLiteral("speed ") + fmt(machine.speed);
    if (cmd == QLatin1String("accel") && argc == 0)
        return QStringLiteral("accel ") + fmt(machine.accel);
    if (cmd == QLatin1String("state") && argc == 0)
        return state();
    if (cmd == QLatin1String("program") && argc == 0)
        return QStringLiteral("program %1").arg(m_controller.program().size());
    if ((cmd == QLatin1String("line") || cmd == QLatin1String("count")) && argc == 1) {
        int n = 0;
        if (!readWhole(words.at(1), 0, m_controller.program().size() - 1, &n))
            return error(QStringLiteral("no line %1 in the program").arg(words.at(1)));
        if (cmd == QLatin1String("line"))
            return QStringLiteral("line %1 %2").arg(n).arg(m_controller.program().lines().at(n));
        return QStringLiteral("count %1 %2").arg(n).arg(m_controller.interpreter().count(n));
    }
    const bool timed = argc == 1 && words.at(1) == QLatin1String("timed");
    if (cmd == QLatin1String("events") && (argc == 0 || timed)) {
        QStringList events;
        for (const ProgramEvent &e : m_controller.interpreter().takeTimedEvents())
            events << (timed ? fmt(e.ms) + QLatin1Char(' ') + e.text : e.text);
        return events.isEmpty() ? QStringLiteral("events")
                                : QStringLiteral("events ") + events.join(QLatin1String("; "));
    }
    if (cmd == QLatin1String("received") && argc == 0)
        return QStringLiteral("received %1 %2").arg(m_session.bytesReceived()).arg(m_session.linesReceived());
    if (cmd == QLatin1String("blast") && argc == 1) {
        int bytes = 0;
        if (!readWhole(words.at(1), 1, kMaxBlast, &bytes))
            return error(QStringLiteral("usage: blast BYTES with BYTES from 1 to %1").arg(kMaxBlast));
        // No carriage return and no digit in it: a reader that looks for either finds
        // nothing it could mistake for an answer.
        const QByteArray pattern = LineSession::junk();
        m_session.blast(pattern.repeated(bytes / pattern.size() + 1).left(bytes));
        return QStringLiteral("ok");
    }
    if (cmd == QLatin1String("outgoing") && argc == 0)
        return QStringLiteral("outgoing %1").arg(m_session.unsentBytes());
    if (cmd == QLatin1String("unknown") && argc == 0) {
        QString text = QStringLiteral("unknown %1").arg(m_controller.unknownCount());
        if (m_controller.unknownCount() > 0)
            text += QLatin1Char(' ') + decodeBig5(m_controller.lastUnknown());
        return text;
    }
    if (cmd == QLatin1String("help") && argc == 0) {
        return QStringLiteral(
            "help pos, input N on|off, inputs [WORD], outputs, jog x|y MM, mode, speed, accel, "
            "state, program, line N, count N, events [timed], received, unknown, blast BYTES, outgoing, "
            "quit");
    }
    if (cmd == QLatin1String("quit") && argc == 0) {
        m_quit = true;
        return QStringLiteral("bye");
    }
    // A reply is one short line whatever came in.
    QString echo = line.simplified();
    if (echo.size() > kMaxEcho)
        echo = echo.left(kMaxEcho) + QStringLiteral("...");
    return error(QStringLiteral("unknown command: ") + echo);
}

} // namespace talvex::sim
