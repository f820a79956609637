#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace talvex {

/// The one serial line to the controller, as the station needs it. The Qt
/// implementation wraps QSerialPort; tests use an in-memory port that records each
/// write as a separate chunk.
///
/// A port reports facts only: whether it holds the device, what was written and
/// received, and that the line failed. What the station makes of a failure (telling
/// the operator once, closing) is the link's business.
class SerialPort
{
public:
    virtual ~SerialPort();

    /// Selects COM1..COM4; applied at the next open.
    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    /// The device the current port number maps to ("/dev/ttyS0", "COM1", ...).
    virtual QString deviceName() const = 0;

    /// Opens the line (9600 baud, 8N1, no flow control). On failure returns false and
    /// openFailure() says why in the operator's language, with the remedy if any.
    virtual bool open() = 0;
    virtual QString openFailure() const = 0;
    virtual void close() = 0;
    /// True while the port holds the device: from a successful open until close, or
    /// until the port let a vanished device go.
    virtual bool isOpen() const = 0;

    /// Queues @p bytes for sending, in order, and starts sending them. Returns false
    /// when the line is gone (device unplugged, write error).
    virtual bool write(const QByteArray &bytes) = 0;
    /// Everything received since the last read; never waits. Sets broken() when the
    /// device has vanished.
    virtual QByteArray readAll() = 0;

    /// Bytes written but not yet on the wire (the station's and the system's buffers).
    virtual qint64 pendingOutput() = 0;
    /// Moves queued bytes towards the wire without blocking; returns false when the
    /// line is gone.
    virtual bool pushOutput() = 0;
    /// The line failed since it was opened (write or read error, device removed).
    virtual bool broken() const = 0;
    /// Why the line failed, in the operator's language, when the port knows more than
    /// that it did; empty otherwise. Kept until the port is closed.
    virtual QString lossReason() const { return {}; }

    /// Told when the device went away between two calls into the port (a pulled USB
    /// adapter, the far end of a pseudo-terminal gone). By then the port has let the
    /// device go: isOpen() is false and broken() true.
    void setDeviceGoneHandler(std::function<void()> handler) { m_deviceGone = std::move(handler); }

protected:
    void reportDeviceGone() const
    {
        if (m_deviceGone)
            m_deviceGone();
    }

private:
    std::function<void()> m_deviceGone;
};

} // namespace talvex
