#pragma once

#include "link/portmap.h"
#include "link/serialport.h"

#include <memory>

namespace talvex {

/// The station's line on a serial device through the Windows communications API
/// (Qt Serial Port is not part of the Windows build).
///
/// The UI thread sleeps without an event loop during an exchange, so nothing here
/// waits for one: a read takes at once what the system holds, and writes are handed
/// to the system in chunks that finish on their own (overlapped), each push handing
/// over the next when the last is done.
class Win32SerialPort : public SerialPort
{
public:
    /// Most one read returns, and what the station asks the system to keep of what
    /// arrived and was not read yet: minutes of a babbling line at 9600 baud,
    /// thousands of times the longest reply. Beyond it the system drops what it cannot
    /// hold, as a UART overrun does.
    static constexpr qint64 kReadBufferBytes = 256 * 1024;
    /// Most handed to the system in one write: about a second of the line. Some
    /// drivers do not count a write in progress as queued, and a download's progress
    /// and stall watch must still see the bytes move.
    static constexpr qint64 kWriteChunkBytes = 1024;

    explicit Win32SerialPort(const PortMap &map);
    ~Win32SerialPort() override;

    void setPortNumber(int number) override { m_number = number; }
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
    bool broken() const override { return m_failed; }

private:
    struct Device;

    QString describeOpenError(unsigned long error) const;
    bool sendQueued();
    /// The line failed with the system's @p error: a device that went away is let go
    /// and the link told; otherwise the handle stays until the link closes the line.
    void lineFailed(unsigned long error);

    const PortMap &m_map;
    std::unique_ptr<Device> m_device;
    int m_number = 1;
    QString m_openFailure;
    /// Written by the station and not yet handed to the system.
    QByteArray m_queue;
    /// The line failed since it was opened.
    bool m_failed = false;
};

} // namespace talvex
