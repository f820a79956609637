#pragma once

#include "link/networkaddress.h"
#include "link/portmap.h"
#include "link/serialport.h"
#include "link/telnetcodec.h"

#include <QElapsedTimer>
#include <QTcpSocket>

namespace talvex {

/// The station's line through a device server on the network: a COM entry mapped to
/// "tcp://HOST:PORT" (the socket's bytes are the line's) or "rfc2217://HOST:PORT"
/// (Telnet with the COM port control option, which also sets the far end's line to
/// 9600 8N1). The station only connects; it never listens.
///
/// As with a serial device, the UI thread sleeps without an event loop during an
/// exchange, so reads first pull what the system holds and writes are pushed out
/// explicitly.
///
/// The socket takes bytes much faster than the far end's line carries them, so the
/// output still pending is estimated from what was sent and when, at the line's 960
/// bytes a second: a download's progress follows the controller's line, not the
/// network.
///
/// The same pace bounds what comes back: a far end that sends more than its line could
/// carry (kReceiveBurstBytes beyond 960 bytes a second) is no controller's line, and
/// is let go of as a lost line, with lossReason() saying so.
class NetworkSerialPort : public SerialPort
{
public:
    /// Longest the station waits for a name to resolve and the connection to stand.
    static constexpr int kConnectTimeoutMs = 5000;
    /// What 9600 baud carries with 10 bits a byte.
    static constexpr qint64 kLineBytesPerSecond = 960;
    /// Most the socket keeps of what arrived and was not read yet, as the serial
    /// device port does.
    static constexpr qint64 kReadBufferBytes = qint64(256) * 1024;
    /// What the far end may send ahead of its line's pace: as much as the socket keeps.
    /// A controller only answers, so even the echo of a whole download, read at once
    /// after it, stays below that; a far end that floods passes it within two reads.
    static constexpr qint64 kReceiveBurstBytes = kReadBufferBytes;

    explicit NetworkSerialPort(const PortMap &map);
    ~NetworkSerialPort() override;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    QString deviceName() const override;
    bool open() override;
    QString openFailure() const override { return m_openFailure; }
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    qint64 pendingOutput() override;
    bool pushOutput() override;
    bool broken() const override { return m_failed; }
    QString lossReason() const override { return m_lossReason; }

private:
    bool connectWithin(const NetworkAddress &address, qint64 timeoutMs);
    QString describeConnectError(const NetworkAddress &address) const;
    /// Queues encoded bytes on the socket and hands what it can to the system.
    bool send(const QByteArray &encoded);
    /// Bytes the socket handed to the system start their time on the far line.
    void noteHandedOver(qint64 bytes);
    /// Counts @p bytes received from the far line; false when it sent more than its
    /// pace allows.
    bool keepsToLinePace(qint64 bytes);
    void noteSocketState();
    void onSocketFailed();
    void letGoOfFailedConnection();

    const PortMap &m_map;
    QTcpSocket m_socket;
    TelnetCodec m_telnet;
    bool m_rfc2217 = false;
    int m_number = 1;
    QString m_openFailure;
    QString m_hostAndPort;
    QString m_lossReason;
    bool m_open = false;
    /// The line failed since it was opened.
    bool m_failed = false;
    /// When the far line will have carried everything handed over so far, in
    /// nanoseconds of m_clock.
    QElapsedTimer m_clock;
    qint64 m_lineFreeAtNs = 0;
    /// When the far line could have carried everything received so far, at its
    /// pace and with the allowed burst already spent.
    qint64 m_receivedLineUntilNs = 0;
};

} // namespace talvex
