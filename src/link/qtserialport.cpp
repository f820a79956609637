#include "link/qtserialport.h"

#include <QFileInfo>
#include <QTimer>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace talvex {

QtSerialPort::QtSerialPort(const PortMap &map) : m_map(map)
{
    // Between exchanges QSerialPort reads whatever arrives into a buffer of its own.
    // While the poll is held (a dialog is up) nothing empties it, so a line that keeps
    // talking would grow it for as long as the dialog stays. Beyond the bound the rest
    // is left to the system, which drops what it cannot hold, as a UART overrun does:
    // it could only be stale by the time anyone read it.
    m_port.setReadBufferSize(kReadBufferBytes);
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialPort::~QtSerialPort()
{
    close();
}

void QtSerialPort::setPortNumber(int number)
{
    m_number = number;
}

QString QtSerialPort::deviceName() const
{
    return m_map.device(m_number);
}

bool QtSerialPort::open()
{
    m_openFailure.clear();
    m_failed = false;
    if (m_port.isOpen())
        return true;
    const QString device = deviceName();
    if (device.isEmpty()) {
        m_openFailure = QStringLiteral("沒有 COM%1 這個通訊埠, 只有 COM1 到 COM4。").arg(m_number);
        return false;
    }
    m_port.setPortName(device);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_openFailure = describeOpenError(m_port.error());
        m_port.clearError();
        return false;
    }
    // Stale bytes from before this connection are not answers to anything sent now.
    m_port.clear(QSerialPort::AllDirections);
    return true;
}

QString QtSerialPort::describeOpenError(QSerialPort::SerialPortError error) const
{
    const QString device = deviceName();
#if defined(Q_OS_UNIX)
    // QSerialPort cannot make its lock file for a name this long and calls that a
    // permission error; the group membership it suggests would not help.
    if (::access(QFile::encodeName(device).constData(), F_OK) != 0 && errno == ENAMETOOLONG)
        return QStringLiteral("裝置 %1 的名稱太長, 系統無法開啟。請改用較短的路徑 (例如一個符號連結) 指定裝置。")
            .arg(device);
#endif
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        // A device given on the command line wins over the mapping dialog for the whole
        // run, so choosing another device there would change nothing until a restart.
        if (!m_map.runDevice(m_number).isEmpty()) {
            return QStringLiteral("裝置 %1 不存在。請檢查控制器的連接線或 USB 轉接器,"
                                  " 或檢查啟動時的命令列 (命令列指定的裝置無法在「通訊埠對應」變更)。")
                .arg(device);
        }
        return QStringLiteral("裝置 %1 不存在。請檢查控制器的連接線或 USB 轉接器,"
                              " 或在「設定」→「通訊埠對應...」選擇其他裝置。")
            .arg(device);
    case QSerialPort::PermissionError: {
#if defined(Q_OS_UNIX)
        const QByteArray path = QFile::encodeName(device);
        if (::access(path.constData(), R_OK | W_OK) != 0) {
            struct stat st
            {
            };
            QString group = QStringLiteral("dialout");
            if (::stat(path.constData(), &st) == 0) {
                if (const struct group *g = ::getgrgid(st.st_gid))
                    group = QString::fromLocal8Bit(g->gr_name);
            }
            return QStringLiteral("沒有使用裝置 %1 的權限。請將使用者加入群組 %2 (例如 sudo usermod -aG %2 $USER),"
                                  " 然後重新登入。")
                .arg(device, group);
        }
#endif
        return QStringLiteral("裝置 %1 正被其他程式使用中, 請先關閉該程式。").arg(device);
    }
    default:
        return QStringLiteral("裝置 %1 無法開啟: %2").arg(device, m_port.errorString());
    }
}

void QtSerialPort::close()
{
    // Restoring the settings of a vanished device fails while closing; that is no
    // news, and forgetting the failure afterwards drops it.
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
    m_failed = false;
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_port.isOpen() || m_failed)
        return;
    // Between two exchanges the event loop watches the device for QSerialPort. A
    // vanished device (a pulled USB adapter, the far end of a pseudo-terminal gone)
    // reports a hang-up at every look, and QSerialPort keeps looking: the station
    // would spin at full load for as long as anything (a dialog, say) kept the link
    // from closing the line. So the device is let go at once, once QSerialPort has
    // finished reporting, and the link is told.
    m_failed = true;
    QTimer::singleShot(0, &m_port, [this] { letGoOfFailedDevice(); });
}

void QtSerialPort::letGoOfFailedDevice()
{
    // Nothing to do when the station has closed the line meanwhile (and perhaps
    // opened it again, which forgets the failure).
    if (!m_failed || !m_port.isOpen())
        return;
    m_port.close();
    m_port.clearError();
    reportDeviceGone();
}

void QtSerialPort::noteError()
{
    switch (m_port.error()) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        m_port.clearError();
        return;
    default:
        // A USB adapter pulled mid-exchange shows up here (ResourceError) or as a
        // failed write; the link reports it once and closes.
        m_failed = true;
        m_port.clearError();
        return;
    }
}

bool QtSerialPort::write(const QByteArray &bytes)
{
    if (!m_port.isOpen() || m_failed)
        return false;
    if (m_port.write(bytes) != bytes.size()) {
        m_failed = true;
        return false;
    }
    return pushOutput();
}

bool QtSerialPort::pushOutput()
{
    if (!m_port.isOpen() || m_failed)
        return false;
    // No event loop runs while the station waits, so Qt's buffer is handed to the
    // system here. A zero timeout never blocks; whatever the system cannot take now
    // stays queued for the next push.
    while (m_port.bytesToWrite() > 0) {
        const qint64 before = m_port.bytesToWrite();
        m_port.waitForBytesWritten(0);
        noteError();
        if (m_failed)
            return false;
        if (m_port.bytesToWrite() >= before)
            break;
    }
    return true;
}

QByteArray QtSerialPort::readAll()
{
    if (!m_port.isOpen())
        return {};
    m_port.waitForReadyRead(0);
    noteError();
    return m_port.readAll();
}

qint64 QtSerialPort::pendingOutput()
{
    if (!m_port.isOpen())
        return 0;
    qint64 pending = m_port.bytesToWrite();
#if defined(Q_OS_UNIX)
    int queued = 0;
    if (::ioctl(static_cast<int>(m_port.handle()), TIOCOUTQ, &queued) == 0 && queued > 0)
        pending += queued;
#endif
    return pending;
}

} // namespace talvex
