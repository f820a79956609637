#include "link/qtserialdevicecatalog.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace talvex {

QString QtSerialDeviceCatalog::defaultStableNameFolder()
{
#if defined(Q_OS_LINUX)
    return QStringLiteral("/dev/serial/by-id");
#else
    return {};
#endif
}

QtSerialDeviceCatalog::QtSerialDeviceCatalog(QString stableNameFolder) : m_stableNameFolder(std::move(stableNameFolder))
{
}

QHash<QString, QString> QtSerialDeviceCatalog::stableNames(const QString &folder)
{
    QHash<QString, QString> names;
    if (folder.isEmpty())
        return names;
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink())
            continue;
        const QString target = entry.canonicalFilePath();
        // The first name in order wins, so the same device always gets the same name.
        if (!target.isEmpty() && !names.contains(target))
            names.insert(target, entry.absoluteFilePath());
    }
    return names;
}

QList<SerialDevice> QtSerialDeviceCatalog::devices() const
{
    const QHash<QString, QString> stable = stableNames(m_stableNameFolder);
    QList<SerialDevice> devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        SerialDevice device;
        device.systemPath = port.systemLocation();
        const QString canonical = QFileInfo(device.systemPath).canonicalFilePath();
        device.stablePath = stable.value(canonical.isEmpty() ? device.systemPath : canonical);
        device.description = port.description();
        device.manufacturer = port.manufacturer();
        if (port.hasVendorIdentifier() && port.hasProductIdentifier()) {
            device.usbId = QStringLiteral("%1:%2")
                               .arg(port.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                               .arg(port.productIdentifier(), 4, 16, QLatin1Char('0'));
        }
        device.serialNumber = port.serialNumber();
        devices.append(device);
    }
    return devices;
}

} // namespace talvex
