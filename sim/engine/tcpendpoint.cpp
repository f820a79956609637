#include "sim/engine/tcpendpoint.h"

#include "sim/engine/clock.h"
#include "sim/engine/linesession.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace talvex::sim {

namespace {

constexpr qint64 kReadChunk = 4096;

QString peerName(const QTcpSocket &socket)
{
    return QStringLiteral("%1:%2").arg(socket.peerAddress().toString()).arg(socket.peerPort());
}

} // namespace

TcpEndpoint::TcpEndpoint(LineSession &session, const Clock &lineClock, std::function<void(const QByteArray &)> deliver,
                         QObject *parent)
    : QObject(parent), m_session(session), m_clock(lineClock), m_deliver(std::move(deliver))
{
    connect(&m_server, &QTcpServer::newConnection, this, &TcpEndpoint::accept);
    connect(&m_session, &LineSession::sent, this, &TcpEndpoint::send);
}

TcpEndpoint::~TcpEndpoint()
{
    // The socket goes with the server, after this object: it must not call back.
    if (m_peer) {
        disconnect(m_peer, nullptr, this, nullptr);
        m_peer->abort();
    }
}

bool TcpEndpoint::listen(const QString &host, quint16 port, QString *error)
{
    if (!m_server.listen(QHostAddress(host), port)) {
        *error = QStringLiteral("--listen %1:%2: %3").arg(host).arg(port).arg(m_server.errorString());
        return false;
    }
    return true;
}

qint64 TcpEndpoint::backlog() const
{
    return m_peer ? m_peer->bytesToWrite() : 0;
}

void TcpEndpoint::setBaud(int baud)
{
    m_pace.start(baud, m_clock.nowMs());
}

void TcpEndpoint::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_peer) {
            // Not queued: a station waiting in line would take it for a dead controller.
            std::fprintf(stderr, "talvex-sim: tcp connection from %s refused: %s is connected already\n",
                         qPrintable(peerName(*socket)), qPrintable(peerName(*m_peer)));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_peer = socket;
        std::fprintf(stderr, "talvex-sim: tcp connection from %s\n", qPrintable(peerName(*socket)));
        if (m_pace.paced()) {
            // Paced reads leave the rest in the system, so the sender is held back
            // instead of piling bytes up here.
            socket->setReadBufferSize(kReadChunk);
        } else {
            connect(socket, &QTcpSocket::readyRead, this, [this] { readSome(kReadChunk); });
        }
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            std::fprintf(stderr, "talvex-sim: tcp connection from %s closed\n", qPrintable(peerName(*socket)));
            if (m_peer == socket)
                m_peer = nullptr;
            socket->deleteLater();
        });
    }
}

void TcpEndpoint::service()
{
    if (!m_peer || !m_pace.paced())
        return;
    const qint64 allowed = m_pace.allowance(m_clock.nowMs());
    if (allowed > 0)
        readSome(allowed);
}

void TcpEndpoint::readSome(qint64 limit)
{
    if (!m_peer)
        return;
    // Without a pace everything waiting is read; with one, no more than allowed.
    const QByteArray bytes = m_pace.paced() ? m_peer->read(std::min(limit, kReadChunk)) : m_peer->readAll();
    if (bytes.isEmpty())
        return;
    if (m_pace.paced())
        m_pace.spend(bytes.size());
    m_deliver(bytes);
}

void TcpEndpoint::send(const QByteArray &bytes)
{
    // A station that reads nothing gets nothing more once the line's limit waits.
    if (m_peer && m_peer->bytesToWrite() < LineSession::kOutgoingLimit)
        m_peer->write(bytes);
}

} // namespace talvex::sim
