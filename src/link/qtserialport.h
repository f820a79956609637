#pragma once

#include "link/portmap.h"
#include "link/serialport.h"

#include <QSerialPort>

namespace talvex {

/// The station's line on a real (or pseudo) serial device through QSerialPort.
/// The UI thread sleeps without an event loop during an exchange, so reads first pull
/// what the system holds and writes are pushed out explicitly.
class QtSerialPort : public SerialPort
{
public:
    /// Most the station keeps of what arrived and was not read yet: minutes of a
    /// babbling line at 9600 baud, thousands of times the longest reply.
    static constexpr qint64 kReadBufferBytes = 256 * 1024;

    explicit QtSerialPort(const PortMap &map);
    ~QtSerialPort() override;

    void setPortNumber(int number) override;
    int portNumber() const override { return m_number; }
    QString deviceName() const override;
    bool open() override;
    QString openFailure() const override { return m_openFailure; }
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    qint64 pendingOutput() override;
    bool pushOutput() override;
    bool broken() const override { return m_failed; }

private:
    QString describeOpenError(QSerialPort::SerialPortError error) const;
    void noteError();
    void onError(QSerialPort::SerialPortError error);
    void letGoOfFailedDevice();

    const PortMap &m_map;
    QSerialPort m_port;
    int m_number = 1;
    QString m_openFailure;
    /// The line failed since it was opened.
    bool m_failed = false;
};

} // namespace talvex
