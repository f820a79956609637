#include "link/localserialport.h"
#include "link/qtserialdevicecatalog.h"
#include "link/qtserialport.h"

namespace talvex {

std::unique_ptr<SerialPort> makeLocalSerialPort(const PortMap &map)
{
    return std::make_unique<QtSerialPort>(map);
}

std::unique_ptr<SerialDeviceCatalog> makeSerialDeviceCatalog()
{
    return std::make_unique<QtSerialDeviceCatalog>();
}

} // namespace talvex
