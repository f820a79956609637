#pragma once

#include <QList>
#include <QString>

namespace talvex {

/// One serial device of the machine, as the port mapping offers it.
struct SerialDevice
{
    /// Where the system has the device now ("/dev/ttyUSB0", "COM5").
    QString systemPath;
    /// A name that stays the same whichever socket the adapter is plugged into (a link
    /// under /dev/serial/by-id/), where the system gives one.
    QString stablePath;
    QString description;
    QString manufacturer;
    /// USB vendor and product id as "vvvv:pppp", where known.
    QString usbId;
    QString serialNumber;

    /// What a mapping keeps: the stable name where there is one.
    QString mappingPath() const { return stablePath.isEmpty() ? systemPath : stablePath; }
};

/// The serial devices the machine has now. The Qt implementation asks the system;
/// tests give a fixed list.
class SerialDeviceCatalog
{
public:
    virtual ~SerialDeviceCatalog();
    virtual QList<SerialDevice> devices() const = 0;
};

} // namespace talvex
