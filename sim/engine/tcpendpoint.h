#pragma once

#include "sim/engine/linepace.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace talvex::sim {

class Clock;
class LineSession;

/// The controller's end of the line served on a TCP port, raw: the socket's bytes are
/// the line's bytes. One station at a time; a second connection is closed at once.
/// What the socket brings is handed on as received from the line (the same capture and
/// session as the pseudo-terminal's); everything the session sends goes to the socket
/// too while a station is connected.
class TcpEndpoint : public QObject
{
    Q_OBJECT

public:
    /// @p deliver takes the bytes read from the socket.
    TcpEndpoint(LineSession &session, const Clock &lineClock, std::function<void(const QByteArray &)> deliver,
                QObject *parent = nullptr);
    ~TcpEndpoint() override;

    /// Listens on @p host (an address) and @p port (0: the system picks one).
    bool listen(const QString &host, quint16 port, QString *error);
    quint16 port() const { return m_server.serverPort(); }
    bool connected() const { return m_peer != nullptr; }
    /// Bytes sent to the station and not yet taken by the system.
    qint64 backlog() const;
    /// Reads the socket no faster than @p baud allows (ten bits a byte); 0 reads at once.
    void setBaud(int baud);
    /// Reads what the pace allows. Called every few ms.
    void service();

private:
    void accept();
    void readSome(qint64 limit);
    void send(const QByteArray &bytes);

    LineSession &m_session;
    const Clock &m_clock;
    std::function<void(const QByteArray &)> m_deliver;
    QTcpServer m_server;
    QTcpSocket *m_peer = nullptr;
    LinePace m_pace;
};

} // namespace talvex::sim
