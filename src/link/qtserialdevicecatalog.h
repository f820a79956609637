#pragma once

#include "link/serialdevicecatalog.h"

#include <QHash>

namespace talvex {

/// The machine's serial devices as QSerialPortInfo lists them, each with its stable
/// name where the system keeps one.
class QtSerialDeviceCatalog : public SerialDeviceCatalog
{
public:
    /// Where Linux (udev) keeps a link per serial device, named after the device's
    /// maker, model and serial number.
    static QString defaultStableNameFolder();

    explicit QtSerialDeviceCatalog(QString stableNameFolder = defaultStableNameFolder());

    QList<SerialDevice> devices() const override;

    /// The links in @p folder, by the canonical path of the device each leads to.
    /// Links that lead nowhere are left out; a missing folder gives none.
    static QHash<QString, QString> stableNames(const QString &folder);

private:
    QString m_stableNameFolder;
};

} // namespace talvex
