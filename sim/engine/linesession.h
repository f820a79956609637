#pragma once

#include "sim/engine/linereader.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>

namespace talvex::sim {

class Clock;
class Controller;

/// How the controller behaves on the line, beyond what it answers.
struct LineBehaviour
{
    /// Sends every received line back (with its CR) before the reply, as some
    /// controllers do.
    bool echo = false;
    /// Holds every reply back this long (echoes are not held).
    int replyDelayMs = 0;
    /// Never sends anything: a controller that is switched off or cut off.
    bool silent = false;
    /// Answers every query with junk instead of its value.
    bool garbage = false;
};

/// The controller's end of the line, without the device: bytes in, bytes out at
/// the time they are due. Replies leave in the order they were made, so a held
/// reply also holds what comes after it, as on a real serial line.
class LineSession : public QObject
{
    Q_OBJECT

public:
    /// Most bytes made and not yet taken by the line: replies held back or waiting for
    /// the station to read them. Beyond it a new reply is dropped, as a station that
    /// reads nothing would only ever get stale ones. A blast, bounded on its own, is
    /// queued whatever waits.
    static constexpr qint64 kOutgoingLimit = 64 * 1024;

    /// What a controller with garbage on its mind answers.
    static QByteArray junk() { return QByteArrayLiteral("#?!ERR~"); }

    LineSession(Controller &controller, const Clock &lineClock, const LineBehaviour &behaviour,
                QObject *parent = nullptr);

    const LineBehaviour &behaviour() const { return m_behaviour; }
    /// Bytes as they come off the line.
    void receive(const QByteArray &bytes);
    /// The bytes whose time has come, in order, removed from the queue.
    QByteArray takeDue();
    bool hasPending() const { return !m_queue.empty(); }
    /// Queues @p bytes to leave at once, after what is already due, whatever the
    /// behaviour: the control channel's "blast", a flood the station must survive.
    void blast(const QByteArray &bytes);
    /// Bytes made but not yet on the line: queued replies and what the device could
    /// not take yet (reported by the device after each flush).
    qint64 unsentBytes() const;
    void setDeviceBacklog(qint64 bytes) { m_deviceBacklog = bytes; }
    /// Replies (and echoes) dropped because kOutgoingLimit bytes were waiting.
    qint64 droppedReplies() const { return m_dropped; }
    /// Why writing the capture file failed the first time, or the empty text.
    const QString &captureFailure() const { return m_captureFailure; }
    void setCaptureFailure(const QString &reason) { m_captureFailure = reason; }
    /// Bytes received in all, and complete lines among them.
    qint64 bytesReceived() const { return m_bytes; }
    qint64 linesReceived() const { return m_lines; }

Q_SIGNALS:
    void lineReceived(const QByteArray &line);
    void escapeReceived();
    /// Emitted as bytes are handed to the line.
    void sent(const QByteArray &bytes);

private:
    void queue(const QByteArray &bytes, double dueMs);

    struct Pending
    {
        double due;
        QByteArray bytes;
    };

    Controller &m_controller;
    const Clock &m_clock;
    LineBehaviour m_behaviour;
    LineReader m_reader;
    std::deque<Pending> m_queue;
    qint64 m_queuedBytes = 0;
    qint64 m_deviceBacklog = 0;
    qint64 m_dropped = 0;
    QString m_captureFailure;
    qint64 m_bytes = 0;
    qint64 m_lines = 0;
};

} // namespace talvex::sim
