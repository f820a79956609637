#include "link/networkaddress.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace talvex {

namespace {

const QString kSeparator = QStringLiteral("://");

QString formsText()
{
    return QStringLiteral("請寫成 tcp://主機:埠 或 rfc2217://主機:埠, 例如 rfc2217://192.168.1.20:4001。");
}

bool isHostName(const QString &host)
{
    // Letters, digits and hyphens in labels between dots; an IPv4 address is one too.
    static const QRegularExpression name(QStringLiteral(
        "^[A-Za-z0-9_]([A-Za-z0-9_-]*[A-Za-z0-9_])?(\\.[A-Za-z0-9_]([A-Za-z0-9_-]*[A-Za-z0-9_])?)*\\.?$"));
    return host.size() <= 253 && name.match(host).hasMatch();
}

} // namespace

QString NetworkAddress::hostAndPort() const
{
    const QString shownHost = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shownHost + QLatin1Char(':') + QString::number(port);
}

bool isNetworkDevice(const QString &device)
{
    return device.contains(kSeparator);
}

NetworkAddress parseNetworkDevice(const QString &device)
{
    NetworkAddress address;
    const qsizetype separator = device.indexOf(kSeparator);
    if (separator < 0)
        return address;
    const QString scheme = device.left(separator).toLower();
    if (scheme == QLatin1String("tcp")) {
        address.kind = NetworkAddress::Kind::RawTcp;
    } else if (scheme == QLatin1String("rfc2217")) {
        address.kind = NetworkAddress::Kind::Rfc2217;
    } else {
        address.kind = NetworkAddress::Kind::RawTcp;
        address.error =
            QStringLiteral("不認得網路位址 %1 的開頭 %2://。").arg(device, device.left(separator)) + formsText();
        return address;
    }

    const QString rest = device.mid(separator + kSeparator.size());
    QString host;
    QString port;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        const QHostAddress ip(close > 0 ? rest.mid(1, close - 1) : QString());
        if (close < 0 || ip.protocol() != QAbstractSocket::IPv6Protocol) {
            address.error = QStringLiteral("網路位址 %1 的方括號裡不是 IPv6 位址。").arg(device) + formsText();
            return address;
        }
        host = rest.mid(1, close - 1);
        if (rest.mid(close + 1, 1) != QLatin1String(":")) {
            address.error = QStringLiteral("網路位址 %1 少了埠號。").arg(device) + formsText();
            return address;
        }
        port = rest.mid(close + 2);
    } else {
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon < 0) {
            address.error = QStringLiteral("網路位址 %1 少了埠號。").arg(device) + formsText();
            return address;
        }
        host = rest.left(colon);
        port = rest.mid(colon + 1);
        if (host.isEmpty()) {
            address.error = QStringLiteral("網路位址 %1 少了主機。").arg(device) + formsText();
            return address;
        }
        if (host.contains(QLatin1Char(':'))) {
            address.error =
                QStringLiteral("網路位址 %1 的 IPv6 位址要放在方括號裡, 例如 tcp://[::1]:4001。").arg(device);
            return address;
        }
        if (!isHostName(host)) {
            address.error = QStringLiteral("網路位址 %1 的主機 %2 不是有效的名稱或位址。").arg(device, host);
            return address;
        }
    }
    if (port.isEmpty()) {
        address.error = QStringLiteral("網路位址 %1 少了埠號。").arg(device) + formsText();
        return address;
    }
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    const uint number = digits.match(port).hasMatch() ? port.toUInt() : 0;
    if (number < 1 || number > 65535) {
        address.error = QStringLiteral("網路位址 %1 的埠號「%2」不對, 埠號是 1 到 65535 的整數。").arg(device, port);
        return address;
    }
    address.host = host;
    address.port = static_cast<quint16>(number);
    return address;
}

} // namespace talvex
