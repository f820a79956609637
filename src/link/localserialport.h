#pragma once

#include "link/portmap.h"
#include "link/serialdevicecatalog.h"
#include "link/serialport.h"

#include <memory>

namespace talvex {

/// The machine's own serial devices, through whatever this platform offers (Qt Serial
/// Port, or the Windows communications API where Qt Serial Port is not built). Each
/// platform has one small file that defines these two.
std::unique_ptr<SerialPort> makeLocalSerialPort(const PortMap &map);
std::unique_ptr<SerialDeviceCatalog> makeSerialDeviceCatalog();

} // namespace talvex
