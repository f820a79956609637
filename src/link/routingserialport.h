#pragma once

#include "link/networkport.h"
#include "link/portmap.h"
#include "link/serialport.h"

#include <memory>

namespace talvex {

/// The station's real line: at every open it looks at the device the chosen COM
/// entry maps to and takes the network port for a network address
/// ("tcp://...", "rfc2217://..."), the serial device otherwise. Until the next open
/// every call goes to the port it took.
class RoutingSerialPort : public SerialPort
{
public:
    explicit RoutingSerialPort(const PortMap &map);
    ~RoutingSerialPort() override;

    void setPortNumber(int number) override;
    int portNumber() const override { return m_number; }
    QString deviceName() const override { return m_map.device(m_number); }
    bool open() override;
    QString openFailure() const override { return m_active->openFailure(); }
    void close() override { m_active->close(); }
    bool isOpen() const override { return m_active->isOpen(); }
    bool write(const QByteArray &bytes) override { return m_active->write(bytes); }
    QByteArray readAll() override { return m_active->readAll(); }
    qint64 pendingOutput() override { return m_active->pendingOutput(); }
    bool pushOutput() override { return m_active->pushOutput(); }
    bool broken() const override { return m_active->broken(); }
    QString lossReason() const override { return m_active->lossReason(); }

private:
    const PortMap &m_map;
    std::unique_ptr<SerialPort> m_serial;
    NetworkSerialPort m_network;
    SerialPort *m_active;
    int m_number = 1;
};

} // namespace talvex
