// Feeds arbitrary bytes to the virtual controller as if they came over the line: the
// line reader, every line read as a program statement, the lines as a downloaded
// program, and the whole byte stream through a line session into a controller that
// runs whatever program it was given on a hand-driven clock. Whatever arrives, the
// simulator must report bad statements as faults (never crash), keep the running line
// inside the program, and keep every queue it holds bounded.
#include "sim/engine/clock.h"
#include "sim/engine/controller.h"
#include "sim/engine/interpreter.h"
#include "sim/engine/linereader.h"
#include "sim/engine/linesession.h"
#include "sim/engine/program.h"
#include "sim/engine/statement.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace talvex::sim;

namespace {

constexpr int kLinesWhileRunning = 32;

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool isWhole(double v)
{
    return v == std::floor(v);
}

// The chunk sizes the bytes arrive in: a fixed, input-dependent pattern, so a line may
// be cut anywhere, also between CR and what follows.
class Chunker
{
public:
    explicit Chunker(size_t seed) : m_state(static_cast<quint32>(seed) * 2654435761U + 1U) {}
    qsizetype next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return 1 + static_cast<qsizetype>(m_state % 48U);
    }

private:
    quint32 m_state;
};

std::vector<LineReader::Item> readLines(const QByteArray &bytes)
{
    LineReader whole;
    std::vector<LineReader::Item> items = whole.feed(bytes);
    for (const LineReader::Item &item : items) {
        check(item.line.size() <= LineReader::kMaxLine);
        for (const char c : item.line)
            check(c != '\r' && c != '\x1b' && c != '\n' && c != '\0');
        if (item.kind == LineReader::Item::Kind::Escape)
            check(item.line.isEmpty());
    }
    check(whole.partial().size() <= LineReader::kMaxLine);

    // However the bytes are cut up on the way, the same lines come out.
    LineReader pieces;
    std::vector<LineReader::Item> again;
    Chunker chunker(static_cast<size_t>(bytes.size()));
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype n = chunker.next();
        for (LineReader::Item &item : pieces.feed(bytes.mid(at, n)))
            again.push_back(std::move(item));
        at += n;
    }
    check(again.size() == items.size());
    for (size_t i = 0; i < items.size(); ++i)
        check(again[i].kind == items[i].kind && again[i].line == items[i].line);
    check(pieces.partial() == whole.partial());
    return items;
}

void checkStatement(const Statement &s)
{
    check((s.op == Op::Invalid) == (s.fault != Fault::None));
    if (s.op == Op::Invalid) {
        check(!s.detail.isEmpty());
        check(!faultCode(s.fault).isEmpty() && !faultText(s.fault).isEmpty());
        return;
    }
    check(std::isfinite(s.number));
    switch (s.op) {
    case Op::Label: {
        check(!s.name.isEmpty());
        // A jump written from the label's own name finds it.
        const Statement jump = parseStatement(QStringLiteral("JP $") + s.name + QLatin1Char(';'));
        check(jump.op == Op::Jump && jump.target == s.name);
        break;
    }
    case Op::Jump:
        check(!s.target.isEmpty());
        break;
    case Op::JumpNotZero:
        check(!s.target.isEmpty() && isVariableName(s.name));
        break;
    case Op::Declare:
        check(isVariableName(s.name));
        break;
    case Op::Assign:
        check(isVariableName(s.name) && !s.terms.empty());
        for (const Term &t : s.terms)
            check(t.variable.isEmpty() ? std::isfinite(t.number) : isVariableName(t.variable));
        break;
    case Op::WaitInput:
        check(s.number >= 1 && s.number <= 16 && isWhole(s.number));
        break;
    case Op::Outputs:
        check(s.number >= 0 && s.number <= 255 && isWhole(s.number));
        break;
    case Op::SetAccel:
    case Op::SetSpeed:
        check(s.number > 0);
        break;
    case Op::WaitTime:
        check(s.number >= 0);
        break;
    default:
        break;
    }
}

void checkProgram(const std::vector<LineReader::Item> &items)
{
    QList<QByteArray> lines;
    for (const LineReader::Item &item : items) {
        if (item.kind == LineReader::Item::Kind::Line)
            lines << item.line;
    }
    const Program program(lines);
    check(program.size() == lines.size() && program.lines().size() == lines.size());
    int motionGroups = 0;
    for (int i = 0; i < program.size(); ++i) {
        const Statement &s = program.statement(i);
        checkStatement(s);
        if (s.op == Op::WaitMotion)
            ++motionGroups;
        if (s.op == Op::Label) {
            const int at = program.labelLine(s.name);
            check(at >= 0 && at <= i);
            check(program.statement(at).op == Op::Label && program.statement(at).name == s.name);
        }
    }
    check(program.points().size() <= motionGroups);
}

void checkRun(const Controller &controller)
{
    const Interpreter &run = controller.interpreter();
    const int size = run.program().size();
    switch (run.state()) {
    case Interpreter::State::Idle:
        check(run.line() == -1);
        break;
    case Interpreter::State::Running:
        // One past the last line only between two advances, just before it ends.
        check(run.line() >= 0 && run.line() <= size);
        if (run.wait() != Interpreter::Wait::None)
            check(run.line() < size);
        if (run.wait() == Interpreter::Wait::Input)
            check(run.waitInput() >= 1 && run.waitInput() <= Machine::kInputs);
        break;
    case Interpreter::State::Failed:
        check(run.error().fault != Fault::None);
        check(run.error().line < size);
        check(!run.error().describe().isEmpty());
        break;
    }
    check(static_cast<int>(run.trace().size()) <= Interpreter::kTraceLimit);
    check(controller.program().size() <= Controller::kMaxProgramLines);
    const Machine &m = controller.machine();
    const double now = controller.now();
    check(std::isfinite(m.x.position(now)) && std::isfinite(m.y.position(now)));
    check(m.speed > 0 && m.accel > 0);
}

// What the controller sends for the lines of one piece. Without echo every reply is
// the answer to a query, a plain number a station can read ("?PEX" gives "12.5"), or
// the junk of a garbage controller; with echo the lines come back as well.
void checkReplies(const QByteArray &out, qint64 lines, const LineBehaviour &behaviour)
{
    constexpr qsizetype kMaxReply = 24;
    check(out.size() <= lines * (LineReader::kMaxLine + 1 + kMaxReply + 1));
    check(out.isEmpty() || out.endsWith('\r'));
    if (behaviour.echo)
        return;
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    const QList<QByteArray> replies = out.split('\r');
    for (qsizetype i = 0; i + 1 < replies.size(); ++i) {
        const QByteArray &reply = replies.at(i);
        if (behaviour.garbage)
            check(reply == LineSession::junk());
        else
            check(reply.size() <= kMaxReply && number.match(QString::fromLatin1(reply)).hasMatch());
    }
}

void runController(const QByteArray &bytes)
{
    ManualClock clock;
    Controller controller(clock, QString()); // no store file: "SAVE P" fails, touching nothing
    LineBehaviour behaviour;
    behaviour.echo = !bytes.isEmpty() && (bytes.at(0) & 1);
    behaviour.garbage = !bytes.isEmpty() && (bytes.at(0) & 2);
    LineSession session(controller, clock, behaviour);

    Chunker chunker(static_cast<size_t>(bytes.size()) + 7);
    // Every line that arrives while a program runs lets it run on for up to
    // kStatementsPerAdvance statements; past a few dozen such lines an input only
    // costs time without reaching anything new.
    int linesWhileRunning = 0;
    for (qsizetype at = 0; at < bytes.size() && linesWhileRunning < kLinesWhileRunning;) {
        const qsizetype n = chunker.next();
        const qint64 linesBefore = session.linesReceived();
        const bool wasRunning = controller.interpreter().running();
        session.receive(bytes.mid(at, n));
        at = std::min(at + n, bytes.size());
        const QByteArray out = session.takeDue();
        check(!session.hasPending());
        const qint64 lines = session.linesReceived() - linesBefore;
        if (wasRunning)
            linesWhileRunning += static_cast<int>(lines);
        checkReplies(out, lines, behaviour);
        // Time passes on the line between the pieces, sometimes long enough for a move
        // or a wait to end, and the operator flips input switches meanwhile.
        const auto last = static_cast<unsigned char>(bytes.at(at - 1));
        clock.advance(last * 4.0);
        controller.setInputs(static_cast<quint16>(last * 257U));
        controller.advance();
        checkRun(controller);
    }
    // Let the program run on for a while after the line fell quiet, every input on.
    controller.setInputs(0xffff);
    for (double step : {1e3, 1e5, 1e7, 1e9}) {
        clock.advance(step);
        controller.advance();
        checkRun(controller);
    }
    Interpreter &run = controller.interpreter();
    check(run.takeEvents().size() <= Interpreter::kEventLimit);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::vector<LineReader::Item> items = readLines(bytes);
    checkProgram(items);
    runController(bytes);
    return 0;
}
