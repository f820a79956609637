#include "link/line.h"

#include "core/big5.h"
#include "core/operator.h"
#include "link/pollhold.h"
#include "link/serialport.h"
#include "link/sleeper.h"

#include <QDateTime>

#include <algorithm>

namespace talvex {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr int kDrainStepMs = 20;

} // namespace

LineTrafficObserver::~LineTrafficObserver() = default;

Line::Line(SerialPort &port, Sleeper &sleeper, Operator &op, PollHold &polls)
    : m_port(port), m_sleeper(sleeper), m_op(op), m_polls(polls)
{
    m_port.setDeviceGoneHandler([this] {
        observePort();
        if (!m_polls.isHeld())
            tellLossWhenQuiet();
    });
    // A loss that came while a box was up is told when the last box closes.
    m_polls.setReleaseHandler([this] { tellLossWhenQuiet(); });
}

Line::~Line()
{
    m_port.setDeviceGoneHandler({});
    m_polls.setReleaseHandler({});
}

QString Line::linkErrorText()
{
    return QStringLiteral(" 連線錯誤 !");
}

QString Line::notRespondingText()
{
    return QStringLiteral(" Not Response !!") + QStringLiteral("  連線錯誤 !");
}

Line::Operation::Operation(Line &line) : m_line(line)
{
    ++m_line.m_depth;
}

Line::Operation::~Operation()
{
    if (--m_line.m_depth == 0)
        m_line.actionEnded();
}

void Line::setState(LinkState state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void Line::opened()
{
    m_decoder.reset();
    setState(LinkState::Open);
}

void Line::lineFailed()
{
    if (m_state == LinkState::Open)
        setState(LinkState::Lost);
}

void Line::lossReported()
{
    if (m_state != LinkState::Lost)
        return;
    const QString why = m_port.lossReason(); // the close forgets it
    m_port.close();
    m_decoder.reset();
    setState(LinkState::LostReported);
    m_op.endProgress();
    m_op.notice(why.isEmpty() ? linkErrorText() : linkErrorText() + QLatin1Char('\n') + why);
}

void Line::actionEnded()
{
    // A loss no use has met: told now, or when the box that is up closes.
    if (m_state == LinkState::Lost && !m_polls.isHeld()) {
        ++m_depth;
        lossReported();
        --m_depth;
    }
    if (m_state == LinkState::LostReported)
        setState(LinkState::Closed);
}

void Line::closed()
{
    m_port.close();
    m_sentSinceDrain = 0;
    m_decoder.reset();
    // After a loss was told the rest of the action stays silent; the action's end
    // closes the state.
    if (m_state != LinkState::LostReported)
        setState(LinkState::Closed);
}

void Line::portClosed()
{
    m_decoder.reset();
    setState(LinkState::Closed);
}

void Line::observePort()
{
    switch (m_state) {
    case LinkState::Closed:
        if (m_port.isOpen() && !m_port.broken())
            opened();
        break;
    case LinkState::Open:
        if (m_port.broken())
            lineFailed();
        else if (!m_port.isOpen())
            portClosed();
        break;
    case LinkState::Lost:
    case LinkState::LostReported:
        break;
    }
}

bool Line::lineUsable()
{
    observePort();
    if (m_state == LinkState::Lost)
        lossReported();
    return m_state == LinkState::Open;
}

void Line::loseLine()
{
    lineFailed();
    lossReported();
}

void Line::tellLossWhenQuiet()
{
    if (m_state != LinkState::Lost || m_depth > 0)
        return;
    Operation report(*this);
    lossReported();
}

LinkState Line::state()
{
    observePort();
    return m_state;
}

bool Line::isOpen()
{
    const LinkState now = state();
    return now == LinkState::Open || now == LinkState::Lost;
}

bool Line::open(int portNumber)
{
    observePort();
    m_port.setPortNumber(portNumber);
    if (!m_port.open())
        return false;
    opened();
    return true;
}

void Line::close()
{
    closed();
}

bool Line::writeRaw(const QByteArray &bytes)
{
    Operation operation(*this);
    if (!lineUsable())
        return false;
    if (!m_port.write(bytes)) {
        loseLine();
        return false;
    }
    m_sentSinceDrain += bytes.size();
    tellObservers(LineTrafficObserver::Direction::Sent, bytes);
    return true;
}

bool Line::writeText(const QString &text)
{
    // A character Big5 cannot carry would reach the controller as "?", so a command
    // holding one is not sent at all. Callers check first and tell the operator; this
    // is the last guard.
    const Big5Bytes encoded = encodeBig5(text);
    if (!encoded.ok)
        return false;
    return writeRaw(encoded.bytes);
}

bool Line::writeLine(const QString &text)
{
    Operation operation(*this);
    return writeText(text) && writeRaw(QByteArray(1, kCarriageReturn));
}

bool Line::lostInThisAction()
{
    return state() == LinkState::LostReported;
}

Line::Received Line::receive()
{
    Operation operation(*this);
    if (!lineUsable())
        return {};
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty())
        tellObservers(LineTrafficObserver::Direction::Received, bytes);
    Received received{m_decoder.decode(bytes), bytes.size()};
    if (m_port.broken())
        loseLine();
    return received;
}

void Line::addTrafficObserver(LineTrafficObserver &observer)
{
    if (std::find(m_observers.begin(), m_observers.end(), &observer) == m_observers.end())
        m_observers.push_back(&observer);
}

void Line::removeTrafficObserver(LineTrafficObserver &observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), &observer), m_observers.end());
}

void Line::tellObservers(LineTrafficObserver::Direction direction, const QByteArray &bytes)
{
    if (m_observers.empty())
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (LineTrafficObserver *observer : m_observers)
        observer->lineTraffic(direction, bytes, now);
}

void Line::discardReceived()
{
    receive();
    m_decoder.reset();
}

void Line::sendCommand(const QString &text)
{
    Operation operation(*this);
    if (state() == LinkState::Closed) {
        m_op.notice(linkErrorText());
        return;
    }
    // A lost line is told by the write; after that, the rest of the action is silent.
    writeLine(text);
}

QString Line::timedQuery(const QString &query)
{
    Operation operation(*this);
    sendCommand(query);
    m_sleeper.sleep(kQueryWaitMs);
    return readText();
}

bool Line::waitUntilSent(const QString &what)
{
    Operation operation(*this);
    const qint64 total = m_sentSinceDrain;
    m_sentSinceDrain = 0;
    if (!lineUsable())
        return false;
    const qint64 start = m_sleeper.now();
    qint64 lastProgress = start;
    qint64 lastPending = -1;
    bool shown = false;
    while (true) {
        if (!m_port.pushOutput() || m_port.broken()) {
            loseLine();
            return false;
        }
        const qint64 pending = m_port.pendingOutput();
        if (pending <= 0)
            break;
        const qint64 now = m_sleeper.now();
        if (pending != lastPending) {
            lastPending = pending;
            lastProgress = now;
        } else if (now - lastProgress > kStallMs) {
            // Nothing moves: the line is as good as gone, and waiting longer would
            // only freeze the station.
            loseLine();
            return false;
        }
        if (now - start >= kProgressAfterMs) {
            const qint64 sent = std::max<qint64>(0, total - pending);
            m_op.showProgress(QStringLiteral("%1中... 已送出 %2 / %3 位元組").arg(what).arg(sent).arg(total),
                              messageTitle(), sent, std::max(total, sent));
            shown = true;
        }
        m_sleeper.sleep(kDrainStepMs);
    }
    if (shown) {
        m_op.showProgress(QStringLiteral("%1完成, 已送出 %2 位元組").arg(what).arg(total), messageTitle(), total,
                          total);
        m_op.endProgress();
    }
    return true;
}

} // namespace talvex
