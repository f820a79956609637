#include "link/link.h"

#include "core/big5.h"
#include "core/operator.h"
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

Link::Link(SerialPort &port, Sleeper &sleeper, Operator &op) : m_port(port), m_sleeper(sleeper), m_op(op, m_polls)
{
    m_port.setDeviceGoneHandler([this] {
        observePort();
        if (!m_polls.isHeld())
            tellLossWhenQuiet();
    });
    // A loss that came while a box was up is told when the last box closes.
    m_polls.setReleaseHandler([this] { tellLossWhenQuiet(); });
}

Link::~Link()
{
    m_port.setDeviceGoneHandler({});
}

QString Link::linkErrorText()
{
    return QStringLiteral(" 連線錯誤 !");
}

QString Link::locateRefusal(const QString &what, const QString &text)
{
    const Big5Bytes encoded = encodeBig5(text);
    if (encoded.ok)
        return {};
    return QStringLiteral("%1「%2」中的「%3」無法以 Big5 傳送, 請修改後再定位!")
        .arg(what, text, characterAt(text, encoded.firstBad));
}

QString Link::locateRefusal(std::initializer_list<std::pair<QString, QString>> targets)
{
    for (const auto &[what, text] : targets) {
        if (QString refusal = locateRefusal(what, text); !refusal.isEmpty())
            return refusal;
    }
    return {};
}

QString Link::notRespondingText()
{
    return QStringLiteral(" Not Response !!") + QStringLiteral("  連線錯誤 !");
}

Link::Operation::Operation(Link &link) : m_link(link)
{
    ++m_link.m_depth;
}

Link::Operation::~Operation()
{
    if (--m_link.m_depth == 0)
        m_link.actionEnded();
}

void Link::opened()
{
    m_state = LinkState::Open;
    m_decoder.reset();
}

void Link::lineFailed()
{
    if (m_state == LinkState::Open)
        m_state = LinkState::Lost;
}

void Link::lossReported()
{
    if (m_state != LinkState::Lost)
        return;
    m_state = LinkState::LostReported;
    m_port.close();
    m_decoder.reset();
    op().endProgress();
    op().notice(linkErrorText());
}

void Link::actionEnded()
{
    // A loss no use has met: told now, or when the box that is up closes.
    if (m_state == LinkState::Lost && !m_polls.isHeld()) {
        ++m_depth;
        lossReported();
        --m_depth;
    }
    if (m_state == LinkState::LostReported)
        m_state = LinkState::Closed;
}

void Link::closed()
{
    m_port.close();
    m_sentSinceDrain = 0;
    m_decoder.reset();
    // After a loss was told the rest of the action stays silent; the action's end
    // closes the state.
    if (m_state != LinkState::LostReported)
        m_state = LinkState::Closed;
}

void Link::observePort()
{
    switch (m_state) {
    case LinkState::Closed:
        if (m_port.isOpen() && !m_port.broken())
            opened();
        break;
    case LinkState::Open:
        if (m_port.broken())
            lineFailed();
        else if (!m_port.isOpen()) {
            m_state = LinkState::Closed;
            m_decoder.reset();
        }
        break;
    case LinkState::Lost:
    case LinkState::LostReported:
        break;
    }
}

bool Link::lineUsable()
{
    observePort();
    if (m_state == LinkState::Lost)
        lossReported();
    return m_state == LinkState::Open;
}

void Link::loseLine()
{
    lineFailed();
    lossReported();
}

void Link::tellLossWhenQuiet()
{
    if (m_state != LinkState::Lost || m_depth > 0)
        return;
    Operation report(*this);
    lossReported();
}

LinkState Link::state()
{
    observePort();
    return m_state;
}

bool Link::isOpen()
{
    const LinkState now = state();
    return now == LinkState::Open || now == LinkState::Lost;
}

bool Link::open(int portNumber)
{
    observePort();
    m_port.setPortNumber(portNumber);
    if (!m_port.open())
        return false;
    opened();
    return true;
}

void Link::close()
{
    closed();
}

bool Link::writeRaw(const QByteArray &bytes)
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

bool Link::writeText(const QString &text)
{
    // A character Big5 cannot carry would reach the controller as "?", so a command
    // holding one is not sent at all. Callers check first and tell the operator; this
    // is the last guard.
    const Big5Bytes encoded = encodeBig5(text);
    if (!encoded.ok)
        return false;
    return writeRaw(encoded.bytes);
}

bool Link::writeLine(const QString &text)
{
    Operation operation(*this);
    return writeText(text) && writeRaw(QByteArray(1, kCarriageReturn));
}

Link::Received Link::receive()
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

void Link::addTrafficObserver(LineTrafficObserver &observer)
{
    if (std::find(m_observers.begin(), m_observers.end(), &observer) == m_observers.end())
        m_observers.push_back(&observer);
}

void Link::removeTrafficObserver(LineTrafficObserver &observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), &observer), m_observers.end());
}

void Link::tellObservers(LineTrafficObserver::Direction direction, const QByteArray &bytes)
{
    if (m_observers.empty())
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (LineTrafficObserver *observer : m_observers)
        observer->lineTraffic(direction, bytes, now);
}

QString Link::readText()
{
    return receive().text;
}

void Link::discardReceived()
{
    receive();
    m_decoder.reset();
}

void Link::sendCommand(const QString &text)
{
    Operation operation(*this);
    if (state() == LinkState::Closed) {
        op().notice(linkErrorText());
        return;
    }
    // A lost line is told by the write; after that, the rest of the action is silent.
    writeLine(text);
}

QString Link::TimedQuery(const QString &query)
{
    Operation operation(*this);
    sendCommand(query);
    m_sleeper.sleep(kQueryWaitMs);
    return readText();
}

bool Link::LinkProbe()
{
    Operation operation(*this);
    writeRaw(QByteArrayLiteral("?VM\r"));
    m_sleeper.sleep(kProbeWaitMs);
    // Bytes, not characters: a reply of one lead byte is still a reply.
    return receive().bytes > 0;
}

bool Link::waitUntilSent(const QString &what)
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
            op().showProgress(QStringLiteral("%1中... 已送出 %2 / %3 位元組").arg(what).arg(sent).arg(total),
                              messageTitle(), sent, std::max(total, sent));
            shown = true;
        }
        m_sleeper.sleep(kDrainStepMs);
    }
    if (shown) {
        op().showProgress(QStringLiteral("%1完成, 已送出 %2 位元組").arg(what).arg(total), messageTitle(), total,
                          total);
        op().endProgress();
    }
    return true;
}

} // namespace talvex
