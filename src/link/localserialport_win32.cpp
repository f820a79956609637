#include "link/localserialport.h"
#include "link/win32devicecatalog.h"
#include "link/win32serialport.h"

namespace talvex {

std::unique_ptr<SerialPort> makeLocalSerialPort(const PortMap &map)
{
    return std::make_unique<Win32SerialPort>(map);
}

std::unique_ptr<SerialDeviceCatalog> makeSerialDeviceCatalog()
{
    return std::make_unique<Win32DeviceCatalog>();
}

} // namespace talvex
