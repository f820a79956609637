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
    bool isOpen() const override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    qint64 pendingOutput() override;
    bool pushOutput() override;
    bool broken() const override { return m_broken; }

private:
    QString describeOpenError(QSerialPort::SerialPortError error) const;
    void noteError();
    void onError(QSerialPort::SerialPortError error);
    void releaseDevice(quint64 generation);

    const PortMap &m_map;
    QSerialPort m_port;
    int m_number = 1;
    QString m_openFailure;
    bool m_broken = false;
    /// The device was let go after the line failed between two exchanges; the line
    /// still counts as open until the link closes it, so that it reports the failure.
    bool m_released = false;
    bool m_closing = false;
    /// Counts opens and closes, so that a release queued for one connection never
    /// touches the next.
    quint64 m_generation = 0;
};

} // namespace talvex
