#include "link/localserialport.h"

// A build without any serial port of the system's (Qt Serial Port missing outside
// Windows): the station still reaches lines over the network, and a device entry
// says why it cannot be opened.

namespace talvex {

namespace {

class NoSerialPort : public SerialPort
{
public:
    explicit NoSerialPort(const PortMap &map) : m_map(map) {}

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    QString deviceName() const override { return m_map.device(m_number); }
    bool open() override { return false; }
    QString openFailure() const override
    {
        return QStringLiteral("這個版本的 TALVEX 教導站不能開啟序列埠 %1, 只能經網路連線 (tcp:// 或 rfc2217://)。")
            .arg(deviceName());
    }
    void close() override {}
    bool isOpen() const override { return false; }
    bool write(const QByteArray &) override { return false; }
    QByteArray readAll() override { return {}; }
    qint64 pendingOutput() override { return 0; }
    bool pushOutput() override { return false; }
    bool broken() const override { return false; }

private:
    const PortMap &m_map;
    int m_number = 1;
};

class NoDevices : public SerialDeviceCatalog
{
public:
    QList<SerialDevice> devices() const override { return {}; }
};

} // namespace

std::unique_ptr<SerialPort> makeLocalSerialPort(const PortMap &map)
{
    return std::make_unique<NoSerialPort>(map);
}

std::unique_ptr<SerialDeviceCatalog> makeSerialDeviceCatalog()
{
    return std::make_unique<NoDevices>();
}

} // namespace talvex
