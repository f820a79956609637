#pragma once

#include "link/serialdevicecatalog.h"

namespace talvex {

/// The machine's COM ports as Windows lists them: each present port of the device
/// manager with its name there ("USB Serial Port"), its maker and USB identity, and
/// every port of the system's serial map that the device manager does not show (Wine
/// keeps only the map).
class Win32DeviceCatalog : public SerialDeviceCatalog
{
public:
    QList<SerialDevice> devices() const override;
};

} // namespace talvex
