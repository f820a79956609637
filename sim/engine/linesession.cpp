#include "sim/engine/linesession.h"

#include "sim/engine/clock.h"
#include "sim/engine/controller.h"

namespace talvex::sim {

LineSession::LineSession(Controller &controller, const Clock &lineClock, const LineBehaviour &behaviour,
                         QObject *parent)
    : QObject(parent), m_controller(controller), m_clock(lineClock), m_behaviour(behaviour)
{
}

void LineSession::queue(const QByteArray &bytes, double dueMs)
{
    if (m_behaviour.silent || bytes.isEmpty())
        return;
    // Held replies count as much as those the station has not read: with a long
    // reply delay a stream of queries would otherwise pile up without bound.
    if (m_queuedBytes + m_deviceBacklog >= kOutgoingLimit) {
        ++m_dropped;
        return;
    }
    m_queue.push_back({dueMs, bytes});
    m_queuedBytes += bytes.size();
}

void LineSession::blast(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_queue.push_back({m_clock.nowMs(), bytes});
    m_queuedBytes += bytes.size();
}

qint64 LineSession::unsentBytes() const
{
    return m_queuedBytes + m_deviceBacklog;
}

void LineSession::receive(const QByteArray &bytes)
{
    m_bytes += bytes.size();
    for (const LineReader::Item &item : m_reader.feed(bytes)) {
        if (item.kind == LineReader::Item::Kind::Escape) {
            Q_EMIT escapeReceived();
            m_controller.escape();
            continue;
        }
        ++m_lines;
        Q_EMIT lineReceived(item.line);
        const double now = m_clock.nowMs();
        if (m_behaviour.echo)
            queue(item.line + '\r', now);
        QByteArray reply = m_controller.handleLine(item.line);
        if (!reply.isEmpty() && m_behaviour.garbage)
            reply = junk();
        if (!reply.isEmpty())
            queue(reply + '\r', now + m_behaviour.replyDelayMs);
    }
}

QByteArray LineSession::takeDue()
{
    QByteArray out;
    const double now = m_clock.nowMs();
    while (!m_queue.empty() && m_queue.front().due <= now) {
        out += m_queue.front().bytes;
        m_queuedBytes -= m_queue.front().bytes.size();
        m_queue.pop_front();
    }
    if (!out.isEmpty())
        Q_EMIT sent(out);
    return out;
}

} // namespace talvex::sim
