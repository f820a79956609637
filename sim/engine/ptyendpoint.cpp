#include "sim/engine/ptyendpoint.h"

#include "sim/engine/clock.h"
#include "sim/engine/linesession.h"
#include "sim/engine/tcpendpoint.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>
#include <cstdio>

namespace talvex::sim {

namespace {

/// Replies the station does not read pile up in the terminal; once this much waits,
/// the oldest would only ever be stale, so new ones are dropped. What waits stays
/// bounded by the limit plus one chunk (a reply, or a blast, which has its own bound).
/// The session counts what it holds back against the same limit.
constexpr qsizetype kOutgoingLimit = LineSession::kOutgoingLimit;

} // namespace

PtyEndpoint::PtyEndpoint(LineSession &session, const Clock &lineClock, QObject *parent)
    : QObject(parent), m_session(session), m_clock(lineClock)
{
}

bool PtyEndpoint::checkLink(const QString &path, QString *error)
{
    if (!available()) {
        *error = QStringLiteral("--link %1: this system has no pseudo-terminals to link to").arg(path);
        return false;
    }
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    *error = QStringLiteral("--link %1: something exists there already; not replacing it").arg(path);
    return false;
}

bool PtyEndpoint::checkCapture(const QString &path, bool append, QString *error)
{
    // Asked of the file system without opening anything: opening a named pipe for
    // writing waits for a reader, and a device or a folder takes no capture.
    const QFileInfo info(path);
    if (append && info.exists() && !info.isFile()) {
        *error = QStringLiteral("--capture-append %1: not a regular file (a folder, a named pipe, a socket or a "
                                "device); not writing to it")
                     .arg(path);
        return false;
    }
    if (!append && (info.exists() || info.isSymLink())) {
        *error = QStringLiteral("--capture %1: it exists already; not overwriting it (--capture-append FILE adds "
                                "to a file)")
                     .arg(path);
        return false;
    }
    return true;
}

void PtyEndpoint::dropCapture()
{
    if (!m_capture.isOpen())
        return;
    m_capture.close();
    if (m_captureCreated)
        m_capture.remove();
    m_captureCreated = false;
}

bool PtyEndpoint::setCapture(const QString &path, bool append, QString *error)
{
    // A new file is made exclusively, so an existing one (a link too) is never
    // emptied; QFile does not tell that case apart by itself.
    const QFileInfo info(path);
    if (!append && (info.exists() || info.isSymLink())) {
        *error = QStringLiteral("--capture %1: it exists already; not overwriting it (--capture-append FILE adds "
                                "to a file)")
                     .arg(path);
        return false;
    }
    m_captureCreated = !append || !(info.exists() || info.isSymLink());
    m_capture.setFileName(path);
    const QIODevice::OpenMode how = append ? QIODevice::Append : QIODevice::NewOnly;
    if (!m_capture.open(QIODevice::WriteOnly | QIODevice::Unbuffered | how)) {
        *error = QStringLiteral("--%1 %2: %3")
                     .arg(append ? QStringLiteral("capture-append") : QStringLiteral("capture"), path,
                          m_capture.errorString());
        return false;
    }
    return true;
}

void PtyEndpoint::setBaud(int baud)
{
    m_pace.start(baud, m_clock.nowMs());
    if (m_notifier)
        m_notifier->setEnabled(!m_pace.paced());
}

void PtyEndpoint::service()
{
    if (!m_open)
        return;
    if (m_pace.paced()) {
        const qint64 allowed = m_pace.allowance(m_clock.nowMs());
        if (allowed > 0)
            readSome(allowed);
    }
    flush();
}

void PtyEndpoint::readSome(qint64 limit)
{
    char buffer[kReadChunk];
    const auto wanted = static_cast<size_t>(std::min(limit, kReadChunk));
    const qint64 n = readLine(buffer, static_cast<qint64>(wanted));
    if (n <= 0)
        return;
    if (m_pace.paced())
        m_pace.spend(n);
    receive(QByteArray(buffer, static_cast<qsizetype>(n)));
}

void PtyEndpoint::receive(const QByteArray &bytes)
{
    if (m_capture.isOpen() && m_capture.write(bytes) != bytes.size() && m_session.captureFailure().isEmpty()) {
        // Told once: a full disk fails every later write the same way.
        m_session.setCaptureFailure(m_capture.errorString());
        std::fprintf(stderr, "talvex-sim: capture %s: %s; received bytes are no longer all captured\n",
                     qPrintable(m_capture.fileName()), qPrintable(m_capture.errorString()));
    }
    m_session.receive(bytes);
}

void PtyEndpoint::flush()
{
    // The socket, when a station is connected there, takes the same bytes through
    // the session's sent().
    const QByteArray due = m_session.takeDue();
    const bool peerConnected = m_peer && m_peer->connected();
    bool dropped = m_session.droppedReplies() > 0;
    if (m_outgoing.size() < kOutgoingLimit)
        m_outgoing += due;
    else
        dropped = dropped || (!due.isEmpty() && !peerConnected);
    if (dropped && !m_dropWarned) {
        m_dropWarned = true;
        std::fputs("talvex-sim: nobody reads the line; replies are being dropped\n", stderr);
    }
    while (!m_outgoing.isEmpty()) {
        const qint64 n = writeLine(m_outgoing.constData(), m_outgoing.size());
        if (n <= 0)
            break;
        m_outgoing.remove(0, static_cast<qsizetype>(n));
    }
    m_session.setDeviceBacklog(peerConnected ? m_peer->backlog() : m_outgoing.size());
}

} // namespace talvex::sim
