#include "link/networkport.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#if defined(Q_OS_LINUX)
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace talvex {

namespace {

constexpr qint64 kNanosecondsPerSecond = 1000000000;
/// How long the far line takes for the burst it may send ahead.
constexpr qint64 kReceiveBurstNs =
    NetworkSerialPort::kReceiveBurstBytes * kNanosecondsPerSecond / NetworkSerialPort::kLineBytesPerSecond;

struct PendingLookup
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    QHostInfo info;
};

/// Resolves @p host, giving up after @p timeoutMs. The system's resolver cannot be
/// interrupted and may take far longer when no name server answers, so it runs on a
/// thread of its own that is left to finish by itself when the station stops waiting.
std::optional<QHostInfo> lookUpWithin(const QString &host, qint64 timeoutMs)
{
    auto pending = std::make_shared<PendingLookup>();
    std::thread([pending, host] {
        const QHostInfo info = QHostInfo::fromName(host);
        const std::lock_guard<std::mutex> lock(pending->mutex);
        pending->info = info;
        pending->finished = true;
        pending->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(pending->mutex);
    if (!pending->done.wait_for(lock, std::chrono::milliseconds(std::max<qint64>(timeoutMs, 0)),
                                [&pending] { return pending->finished; }))
        return std::nullopt;
    return pending->info;
}

QString remedyText()
{
    return QStringLiteral("請確認裝置伺服器已開啟, 並檢查「設定」→「通訊埠對應...」中的位址。");
}

} // namespace

NetworkSerialPort::NetworkSerialPort(const PortMap &map) : m_map(map)
{
    m_socket.setReadBufferSize(kReadBufferBytes);
    // Once connected, any error but a wait that timed out, and the far end going
    // away, is the loss of the line.
    QObject::connect(&m_socket, &QAbstractSocket::errorOccurred, &m_socket, [this](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::SocketTimeoutError)
            onSocketFailed();
    });
    QObject::connect(&m_socket, &QAbstractSocket::disconnected, &m_socket, [this] { onSocketFailed(); });
    m_clock.start();
}

NetworkSerialPort::~NetworkSerialPort()
{
    NetworkSerialPort::close();
}

QString NetworkSerialPort::deviceName() const
{
    return m_map.device(m_number);
}

bool NetworkSerialPort::open()
{
    m_openFailure.clear();
    m_lossReason.clear();
    m_failed = false;
    if (m_open)
        return true;
    const NetworkAddress address = parseNetworkDevice(deviceName());
    if (!address.isNetwork() || !address.isValid()) {
        m_openFailure = address.isValid() ? QStringLiteral("%1 不是網路位址。").arg(deviceName()) : address.error;
        return false;
    }
    if (!connectWithin(address, kConnectTimeoutMs))
        return false;
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    m_rfc2217 = address.kind == NetworkAddress::Kind::Rfc2217;
    m_telnet.reset();
    m_lineFreeAtNs = 0;
    m_receivedLineUntilNs = m_clock.nsecsElapsed() - kReceiveBurstNs;
    m_hostAndPort = address.hostAndPort();
    m_open = true;
    if (m_rfc2217 && !send(TelnetCodec::opening())) {
        close();
        m_openFailure =
            QStringLiteral("無法連線到 %1: 連線在設定通訊參數時中斷。").arg(address.hostAndPort()) + remedyText();
        return false;
    }
    return true;
}

bool NetworkSerialPort::connectWithin(const NetworkAddress &address, qint64 timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    const QString timedOut =
        QStringLiteral("連線到 %1 逾時 (%2 秒)。").arg(address.hostAndPort()).arg(timeoutMs / 1000) + remedyText();
    QList<QHostAddress> candidates;
    const QHostAddress literal(address.host);
    if (!literal.isNull()) {
        candidates << literal;
    } else {
        const std::optional<QHostInfo> info = lookUpWithin(address.host, deadline.remainingTime());
        if (!info) {
            m_openFailure = timedOut;
            return false;
        }
        if (info->error() != QHostInfo::NoError || info->addresses().isEmpty()) {
            m_openFailure = info->error() == QHostInfo::HostNotFound || info->error() == QHostInfo::NoError
                                ? QStringLiteral("找不到主機 %1。").arg(address.host)
                                : QStringLiteral("找不到主機 %1 (%2)。").arg(address.host, info->errorString());
            m_openFailure += remedyText();
            return false;
        }
        candidates = info->addresses();
    }
    // A name may stand for several addresses (IPv6 and IPv4, say): the first that
    // answers in time is the line.
    for (const QHostAddress &candidate : std::as_const(candidates)) {
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0)
            break;
        m_socket.connectToHost(candidate, address.port);
        if (m_socket.waitForConnected(static_cast<int>(remaining)))
            return true;
        m_openFailure = describeConnectError(address);
        m_socket.abort();
    }
    if (m_openFailure.isEmpty() || deadline.hasExpired())
        m_openFailure = timedOut;
    return false;
}

QString NetworkSerialPort::describeConnectError(const NetworkAddress &address) const
{
    const QString where = address.hostAndPort();
    switch (m_socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("無法連線到 %1: 對方拒絕連線。").arg(where) + remedyText();
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("連線到 %1 逾時 (%2 秒)。").arg(where).arg(kConnectTimeoutMs / 1000) + remedyText();
    case QAbstractSocket::NetworkError:
        return QStringLiteral("無法連線到 %1: 網路無法到達。").arg(where) + remedyText();
    default:
        return QStringLiteral("無法連線到 %1: %2").arg(where, m_socket.errorString());
    }
}

void NetworkSerialPort::close()
{
    if (m_open) {
        m_open = false;
        // What the station wrote is handed over first, and what arrived is taken: a
        // socket closed with unread bytes resets the connection, and the far end
        // could lose the last command.
        m_socket.flush();
        m_socket.readAll();
        m_socket.disconnectFromHost();
    }
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
    m_telnet.reset();
    m_lineFreeAtNs = 0;
    m_failed = false;
    m_lossReason.clear();
}

void NetworkSerialPort::onSocketFailed()
{
    if (!m_open || m_failed)
        return;
    // Told from inside a wait of the socket's, or by the event loop between two
    // exchanges: the connection is let go, and the link told, once the socket has
    // finished reporting.
    m_failed = true;
    QTimer::singleShot(0, &m_socket, [this] { letGoOfFailedConnection(); });
}

void NetworkSerialPort::letGoOfFailedConnection()
{
    // Nothing to do when the station has closed the line meanwhile (and perhaps
    // opened it again, which forgets the failure).
    if (!m_failed || !m_open)
        return;
    m_open = false;
    m_socket.abort();
    reportDeviceGone();
}

void NetworkSerialPort::noteSocketState()
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        onSocketFailed();
}

bool NetworkSerialPort::write(const QByteArray &bytes)
{
    if (!m_open || m_failed)
        return false;
    return send(m_rfc2217 ? TelnetCodec::encode(bytes) : bytes);
}

bool NetworkSerialPort::send(const QByteArray &encoded)
{
    if (m_socket.write(encoded) != encoded.size()) {
        onSocketFailed();
        return false;
    }
    const qint64 before = m_socket.bytesToWrite();
    m_socket.waitForBytesWritten(0);
    noteHandedOver(before - m_socket.bytesToWrite());
    return pushOutput();
}

bool NetworkSerialPort::pushOutput()
{
    if (!m_open || m_failed)
        return false;
    // No event loop runs while the station waits, so the socket's buffer is handed to
    // the system here; whatever the system cannot take now stays for the next push.
    const qint64 before = m_socket.bytesToWrite();
    if (before > 0)
        m_socket.flush();
    noteHandedOver(before - m_socket.bytesToWrite());
    noteSocketState();
    return !m_failed;
}

void NetworkSerialPort::noteHandedOver(qint64 bytes)
{
    if (bytes <= 0)
        return;
    // The far end sends at the line's pace from when the bytes reach it, after
    // whatever it still had to send. Telnet's escapes and negotiation count as line
    // time too, which errs on the late side.
    const qint64 now = m_clock.nsecsElapsed();
    m_lineFreeAtNs = std::max(m_lineFreeAtNs, now) + bytes * kNanosecondsPerSecond / kLineBytesPerSecond;
}

QByteArray NetworkSerialPort::readAll()
{
    if (!m_open)
        return {};
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        m_socket.waitForReadyRead(0);
    QByteArray received = m_socket.readAll();
    noteSocketState();
    if (m_rfc2217) {
        const TelnetCodec::Decoded decoded = m_telnet.decode(received);
        if (!decoded.reply.isEmpty() && !m_failed)
            send(decoded.reply);
        received = decoded.data;
    }
    if (!m_failed && !keepsToLinePace(received.size())) {
        m_lossReason = QStringLiteral("%1 送來的資料遠超過 9600 baud 的線路所能傳送, 已中斷連線。"
                                      "請確認這個位址是控制器線路的裝置伺服器, 且其線路設為 9600 baud。")
                           .arg(m_hostAndPort);
        onSocketFailed();
    }
    return received;
}

bool NetworkSerialPort::keepsToLinePace(qint64 bytes)
{
    // The far line carries 960 bytes a second, and what it carried while nobody read
    // waits in the socket: each read is paid for by the time since the last, up to
    // the burst. Telnet's own traffic is no line time.
    const qint64 now = m_clock.nsecsElapsed();
    m_receivedLineUntilNs =
        std::max(m_receivedLineUntilNs, now - kReceiveBurstNs) + bytes * kNanosecondsPerSecond / kLineBytesPerSecond;
    return m_receivedLineUntilNs <= now;
}

qint64 NetworkSerialPort::pendingOutput()
{
    if (!m_open)
        return 0;
    const qint64 now = m_clock.nsecsElapsed();
    qint64 onLine = m_lineFreeAtNs > now ? ((m_lineFreeAtNs - now) * kLineBytesPerSecond + kNanosecondsPerSecond - 1) /
                                               kNanosecondsPerSecond
                                         : 0;
#if defined(Q_OS_LINUX)
    // Bytes the system holds and the far end has not taken yet: more than the
    // estimate when the network itself is slower than the line.
    int unacknowledged = 0;
    if (::ioctl(static_cast<int>(m_socket.socketDescriptor()), TIOCOUTQ, &unacknowledged) == 0)
        onLine = std::max<qint64>(onLine, unacknowledged);
#endif
    return m_socket.bytesToWrite() + onLine;
}

} // namespace talvex
