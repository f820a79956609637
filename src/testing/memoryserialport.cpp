#include "testing/memoryserialport.h"

namespace talvex::testing {

bool MemorySerialPort::open()
{
    if (!failOpenWith.isEmpty()) {
        m_failure = failOpenWith;
        return false;
    }
    m_failure.clear();
    m_open = true;
    m_broken = false;
    m_writeIndex = 0;
    m_partialLine.clear();
    ++opens;
    portNumbersOpened.append(m_number);
    return true;
}

void MemorySerialPort::close()
{
    if (m_open)
        ++closes;
    m_open = false;
}

bool MemorySerialPort::write(const QByteArray &bytes)
{
    if (!m_open || m_broken)
        return false;
    if (m_writeIndex++ == failWriteAt) {
        m_broken = true;
        return false;
    }
    writes.append(bytes);
    const qint64 now = m_clock.now();
    if (bytesPerSecond > 0)
        m_lineFreeAt = std::max(m_lineFreeAt, now) + bytes.size() * 1000 / bytesPerSecond;

    for (const char c : bytes) {
        if (c != '\r') {
            m_partialLine.append(c);
            continue;
        }
        const QByteArray line = m_partialLine;
        m_partialLine.clear();
        if (responder) {
            const QByteArray reply = responder(line);
            if (!reply.isEmpty())
                deliverAt(std::max(now, m_lineFreeAt) + replyDelayMs, reply);
        }
    }
    return true;
}

QByteArray MemorySerialPort::readAll()
{
    if (!m_open)
        return {};
    QByteArray out;
    const qint64 now = m_clock.now();
    for (qsizetype i = 0; i < m_incoming.size();) {
        if (m_incoming.at(i).time <= now) {
            out += m_incoming.at(i).bytes;
            m_incoming.removeAt(i);
        } else {
            ++i;
        }
    }
    return out;
}

qint64 MemorySerialPort::pendingOutput()
{
    if (!m_open || bytesPerSecond <= 0)
        return 0;
    const qint64 left = m_lineFreeAt - m_clock.now();
    return left > 0 ? left * bytesPerSecond / 1000 + 1 : 0;
}

} // namespace talvex::testing
