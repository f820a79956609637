#pragma once

#include "link/serialport.h"
#include "link/sleeper.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace talvex::testing {

/// Virtual time: sleeping only advances a counter.
class VirtualSleeper : public Sleeper
{
public:
    void sleep(int ms) override
    {
        if (ms > 0)
            m_now += ms;
        ++sleeps;
        slept += ms > 0 ? ms : 0;
    }
    qint64 now() const override { return m_now; }
    void advance(qint64 ms) { m_now += ms; }

    int sleeps = 0;
    qint64 slept = 0;

private:
    qint64 m_now = 0;
};

/// An in-memory serial port. Every write is recorded as its own chunk; complete
/// command lines (ended by CR) are handed to a responder whose replies arrive after a
/// chosen delay on the virtual clock.
class MemorySerialPort : public SerialPort
{
public:
    explicit MemorySerialPort(const Sleeper &clock) : m_clock(clock) {}

    /// Answers a command line (without its CR). Return {} for no answer.
    std::function<QByteArray(const QByteArray &line)> responder;
    /// Delay of every reply, in virtual milliseconds.
    int replyDelayMs = 0;

    /// Makes the next open() fail with this text.
    QString failOpenWith;
    /// The write with this index (0-based, counted from open) fails, as a pulled
    /// adapter does; -1: never.
    int failWriteAt = -1;
    /// Sending speed of the line in bytes per virtual second; 0 sends instantly.
    int bytesPerSecond = 0;

    /// Stages bytes to arrive at a virtual time.
    void deliverAt(qint64 time, const QByteArray &bytes) { m_incoming.append({time, bytes}); }
    void deliverNow(const QByteArray &bytes) { deliverAt(m_clock.now(), bytes); }

    // Everything written since the last clearWrites(), chunk by chunk.
    QList<QByteArray> writes;
    QByteArray written() const { return writes.join(); }
    void clearWrites() { writes.clear(); }
    QList<int> portNumbersOpened;
    int opens = 0;
    int closes = 0;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    QString deviceName() const override { return QStringLiteral("/dev/memory%1").arg(m_number); }
    bool open() override;
    QString openFailure() const override { return m_failure; }
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    qint64 pendingOutput() override;
    bool pushOutput() override { return m_open && !m_broken; }
    bool broken() const override { return m_broken; }

    /// Breaks the line now (the next write or read notices).
    void unplug() { m_broken = true; }
    /// The device goes away between two exchanges: the port lets it go at once and
    /// says so, as the Qt port does with a pulled adapter.
    void vanish()
    {
        m_open = false;
        m_broken = true;
        reportDeviceGone();
    }

private:
    struct Delivery
    {
        qint64 time;
        QByteArray bytes;
    };

    const Sleeper &m_clock;
    int m_number = 1;
    bool m_open = false;
    bool m_broken = false;
    QString m_failure;
    int m_writeIndex = 0;
    QByteArray m_partialLine;
    QList<Delivery> m_incoming;
    qint64 m_lineFreeAt = 0;
};

} // namespace talvex::testing
