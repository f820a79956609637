#pragma once

#include "sim/engine/linepace.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace talvex::sim {

class Clock;
class LineSession;
class TcpEndpoint;

/// The controller's end of a pseudo-terminal. The station opens the other end (the
/// slave device, "/dev/pts/N") as if it were a serial port.
///
/// On a system without pseudo-terminals (Windows) the endpoint opens no device: it
/// still captures and hands on what the TCP side receives, and the line is served on
/// the TCP port only.
///
/// The endpoint keeps a slave descriptor of its own open for its whole life: when
/// the last slave descriptor closes, the master reports a hang-up on every read,
/// and the station opens and closes the line at every connect and upload.
class PtyEndpoint : public QObject
{
    Q_OBJECT

public:
    PtyEndpoint(LineSession &session, const Clock &lineClock, QObject *parent = nullptr);
    ~PtyEndpoint() override;

    /// Whether this system has pseudo-terminals.
    static bool available();
    /// Opens the pseudo-terminal in raw mode. On failure returns false with the reason.
    bool open(QString *error);
    /// The device the station opens, e.g. "/dev/pts/5".
    const QString &devicePath() const { return m_path; }

    /// Publishes the device under @p path as a symbolic link, removed again when the
    /// endpoint goes. Nothing may exist at @p path, not even a link to nothing.
    bool publishLink(const QString &path, QString *error);
    /// Whether publishLink() may use @p path: nothing there, not even a link.
    static bool checkLink(const QString &path, QString *error);
    /// Whether setCapture() may use @p path, asked without opening it: for a new file
    /// nothing may be there; to append, only a regular file (or a link to one) or
    /// nothing.
    static bool checkCapture(const QString &path, bool append, QString *error);
    /// Writes every received byte, raw, to @p path: a new file, or with @p append
    /// the end of a file that may exist. A write that fails is told once on standard
    /// error and kept as the session's captureFailure().
    bool setCapture(const QString &path, bool append, QString *error);
    /// Closes the capture file, removing it when setCapture() created it.
    void dropCapture();
    /// Reads the line no faster than @p baud allows (ten bits a byte); 0 reads at once.
    void setBaud(int baud);

    /// Reads what the pace allows and sends what is due. Called every few ms.
    void service();
    /// Bytes that came off the line another way (@p peer's socket): captured and
    /// handed to the session as the device's own.
    void receive(const QByteArray &bytes);
    /// While @p peer has a station connected, the line's backlog is the socket's, and
    /// what nobody reads on the pseudo-terminal beyond the limit is dropped unsaid.
    void setPeer(const TcpEndpoint *peer) { m_peer = peer; }

private:
    static constexpr qint64 kReadChunk = 4096;

    void readSome(qint64 limit);
    /// The platform's read and write on the open device: bytes moved, 0 or less for none.
    qint64 readLine(char *buffer, qint64 size);
    qint64 writeLine(const char *bytes, qint64 size);
    void flush();
    void removeLink();

    LineSession &m_session;
    const Clock &m_clock;
    bool m_open = false;
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QString m_link;
    QFile m_capture;
    bool m_captureCreated = false;
    QSocketNotifier *m_notifier = nullptr;
    LinePace m_pace;
    QByteArray m_outgoing;
    bool m_dropWarned = false;
    const TcpEndpoint *m_peer = nullptr;
};

} // namespace talvex::sim
