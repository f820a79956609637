#include "link/routingserialport.h"

#include "link/localserialport.h"
#include "link/networkaddress.h"

namespace talvex {

RoutingSerialPort::RoutingSerialPort(const PortMap &map)
    : m_map(map), m_serial(makeLocalSerialPort(map)), m_network(map), m_active(m_serial.get())
{
    m_serial->setDeviceGoneHandler([this] { reportDeviceGone(); });
    m_network.setDeviceGoneHandler([this] { reportDeviceGone(); });
}

RoutingSerialPort::~RoutingSerialPort()
{
    m_serial->setDeviceGoneHandler({});
    m_network.setDeviceGoneHandler({});
}

void RoutingSerialPort::setPortNumber(int number)
{
    m_number = number;
    m_serial->setPortNumber(number);
    m_network.setPortNumber(number);
}

bool RoutingSerialPort::open()
{
    if (m_active->isOpen())
        return m_active->open();
    // The mapping may have changed since the last open: the device decides anew.
    m_active = isNetworkDevice(deviceName()) ? static_cast<SerialPort *>(&m_network) : m_serial.get();
    return m_active->open();
}

} // namespace talvex
