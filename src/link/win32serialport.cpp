#include "link/win32serialport.h"

#include "core/windowsapi.h"

#include <algorithm>

namespace talvex {

namespace {

/// How long a read may stay with the system. It asks only for what has arrived and the
/// timeouts make it finish at once; a driver that keeps it anyway has it called off.
constexpr DWORD kReadSettleMs = 20;
/// How long closing waits for the chunk the system is still writing (about a second
/// of the line at most), as closing a device on Linux lets its output drain.
constexpr DWORD kCloseWaitMs = 1500;

/// The name CreateFileW takes: "COM1" and "COM12" live in the device namespace
/// ("\\.\COM12"; above COM9 nothing else reaches them). A name given with its folder
/// ("\\.\COM12", or anything else with one) stays as it is.
QString systemPathOf(const QString &device)
{
    if (device.contains(QLatin1Char('\\')) || device.contains(QLatin1Char('/')) || device.contains(QLatin1Char(':')))
        return device;
    return QStringLiteral("\\\\.\\") + device;
}

/// The system's own words for @p error, in the language of this Windows.
QString systemMessage(DWORD error)
{
    wchar_t *buffer = nullptr;
    const DWORD size =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    const QString text = size > 0 ? QString::fromWCharArray(buffer, static_cast<qsizetype>(size)).trimmed() : QString();
    LocalFree(buffer);
    if (text.isEmpty())
        return QStringLiteral("系統錯誤 %1").arg(error);
    return QStringLiteral("%1 (系統錯誤 %2)").arg(text).arg(error);
}

/// Whether @p error says the device itself went away: a USB adapter pulled out, a
/// driver stopped. What the drivers answer then differs from one to the next.
bool deviceWentAway(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_READY:
    case ERROR_OPERATION_ABORTED:
        return true;
    default:
        return false;
    }
}

/// Sets the line to 9600 baud, 8 data bits, no parity, one stop bit, no flow control,
/// and reads that never wait. Returns the system's error, or ERROR_SUCCESS.
DWORD configure(HANDLE file)
{
    // The sizes are a wish: a driver may keep its own, and the line works either way.
    SetupComm(file, static_cast<DWORD>(Win32SerialPort::kReadBufferBytes),
              static_cast<DWORD>(4 * Win32SerialPort::kWriteChunkBytes));
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(file, &dcb))
        return GetLastError();
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    // DTR and RTS are raised and stay up: some controllers and adapters stay silent
    // while they are down, but neither paces the line.
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    // One framing error on a noisy line must not stop every read and write until
    // someone clears it.
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(file, &dcb))
        return GetLastError();
    COMMTIMEOUTS timeouts{};
    // MAXDWORD with both totals zero: a read returns at once with what has arrived.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    // Writes run on their own; the link watches that they move.
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(file, &timeouts))
        return GetLastError();
    return ERROR_SUCCESS;
}

} // namespace

/// The open device: its handle, and the write the system may still be doing.
struct Win32SerialPort::Device
{
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE readDone = nullptr;
    HANDLE writeDone = nullptr;
    OVERLAPPED write{};
    /// The chunk being written: the system reads it until the write is done.
    QByteArray writing;
    bool writeInFlight = false;

    Device() = default;
    Device(const Device &) = delete;
    Device &operator=(const Device &) = delete;

    ~Device()
    {
        if (writeInFlight) {
            // The system must be done with the chunk before it goes.
            CancelIoEx(file, &write);
            DWORD written = 0;
            GetOverlappedResult(file, &write, &written, TRUE);
        }
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (readDone)
            CloseHandle(readDone);
        if (writeDone)
            CloseHandle(writeDone);
    }

    /// Reads at most @p size bytes into @p into without waiting; @p got says how many.
    DWORD read(char *into, DWORD size, DWORD &got)
    {
        got = 0;
        OVERLAPPED overlapped{};
        overlapped.hEvent = readDone;
        ResetEvent(readDone);
        bool calledOff = false;
        if (!ReadFile(file, into, size, nullptr, &overlapped)) {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING)
                return error;
            if (WaitForSingleObject(readDone, kReadSettleMs) != WAIT_OBJECT_0) {
                CancelIoEx(file, &overlapped);
                calledOff = true;
            }
        }
        // Waits only for a read that is finishing or was called off just now.
        if (GetOverlappedResult(file, &overlapped, &got, TRUE))
            return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        return error == ERROR_OPERATION_ABORTED && calledOff ? ERROR_SUCCESS : error;
    }
};

Win32SerialPort::Win32SerialPort(const PortMap &map) : m_map(map) {}

Win32SerialPort::~Win32SerialPort() = default;

QString Win32SerialPort::deviceName() const
{
    return m_map.device(m_number);
}

bool Win32SerialPort::isOpen() const
{
    return m_device != nullptr;
}

bool Win32SerialPort::open()
{
    m_openFailure.clear();
    m_failed = false;
    if (m_device)
        return true;
    const QString device = deviceName();
    if (device.isEmpty()) {
        m_openFailure = QStringLiteral("沒有 COM%1 這個通訊埠, 只有 COM1 到 COM4。").arg(m_number);
        return false;
    }
    const std::wstring path = systemPathOf(device).toStdWString();
    auto opened = std::make_unique<Device>();
    opened->file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
    if (opened->file == INVALID_HANDLE_VALUE) {
        m_openFailure = describeOpenError(GetLastError());
        return false;
    }
    if (const DWORD error = configure(opened->file); error != ERROR_SUCCESS) {
        m_openFailure = QStringLiteral("裝置 %1 無法設定為 9600 bps, 8 個資料位元, 無同位檢查, 1 個停止位元: %2")
                            .arg(device, systemMessage(error));
        return false;
    }
    opened->readDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    opened->writeDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!opened->readDone || !opened->writeDone) {
        m_openFailure = QStringLiteral("裝置 %1 無法開啟: %2").arg(device, systemMessage(GetLastError()));
        return false;
    }
    // Stale bytes from before this connection are not answers to anything sent now.
    PurgeComm(opened->file, PURGE_RXCLEAR | PURGE_TXCLEAR);
    m_queue.clear();
    m_device = std::move(opened);
    return true;
}

QString Win32SerialPort::describeOpenError(unsigned long error) const
{
    const QString device = deviceName();
    // A device given on the command line wins over the mapping dialog for the whole
    // run, so choosing another device there would change nothing until a restart.
    const QString remedy = m_map.runDevice(m_number).isEmpty()
                               ? QStringLiteral("在「設定」→「通訊埠對應...」選擇其他裝置。")
                               : QStringLiteral("檢查啟動時的命令列 (命令列指定的裝置無法在「通訊埠對應」變更)。");
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return QStringLiteral("裝置 %1 不存在。請檢查控制器的連接線或 USB 轉接器, 或%2").arg(device, remedy);
    case ERROR_FILENAME_EXCED_RANGE:
        return QStringLiteral("裝置 %1 的名稱太長, 系統無法開啟。請%2").arg(device, remedy);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        // Windows gives a serial port to one program at a time, and says "access
        // denied" to the next.
        return QStringLiteral("裝置 %1 正被其他程式使用中, 請先關閉該程式。").arg(device);
    default:
        return QStringLiteral("裝置 %1 無法開啟: %2").arg(device, systemMessage(error));
    }
}

void Win32SerialPort::close()
{
    if (m_device && m_device->writeInFlight && !m_failed)
        WaitForSingleObject(m_device->writeDone, kCloseWaitMs);
    m_device.reset();
    m_queue.clear();
    m_failed = false;
}

void Win32SerialPort::lineFailed(unsigned long error)
{
    m_failed = true;
    if (!deviceWentAway(error))
        return;
    // The handle of a vanished device is worth nothing; holding it would keep the
    // driver's port from being made again when the adapter comes back.
    m_device.reset();
    m_queue.clear();
    reportDeviceGone();
}

bool Win32SerialPort::write(const QByteArray &bytes)
{
    if (!m_device || m_failed)
        return false;
    m_queue += bytes;
    return sendQueued();
}

bool Win32SerialPort::pushOutput()
{
    if (!m_device || m_failed)
        return false;
    return sendQueued();
}

bool Win32SerialPort::sendQueued()
{
    Device &device = *m_device;
    while (true) {
        if (device.writeInFlight) {
            DWORD written = 0;
            if (!GetOverlappedResult(device.file, &device.write, &written, FALSE)) {
                const DWORD error = GetLastError();
                if (error == ERROR_IO_INCOMPLETE)
                    return true;
                device.writeInFlight = false;
                lineFailed(error);
                return false;
            }
            device.writeInFlight = false;
            const auto size = static_cast<DWORD>(device.writing.size());
            // A driver may end a write early; what it left goes first next time.
            if (written < size)
                m_queue.prepend(device.writing.mid(static_cast<qsizetype>(written)));
            device.writing.clear();
            if (written == 0)
                return true;
        }
        if (m_queue.isEmpty())
            return true;
        device.writing = m_queue.left(kWriteChunkBytes);
        m_queue.remove(0, device.writing.size());
        device.write = OVERLAPPED{};
        device.write.hEvent = device.writeDone;
        ResetEvent(device.writeDone);
        if (!WriteFile(device.file, device.writing.constData(), static_cast<DWORD>(device.writing.size()), nullptr,
                       &device.write)) {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING) {
                lineFailed(error);
                return false;
            }
        }
        // Done at once or under way: collected at the top either way.
        device.writeInFlight = true;
    }
}

QByteArray Win32SerialPort::readAll()
{
    if (!m_device || m_failed)
        return {};
    QByteArray received;
    DWORD error = ERROR_SUCCESS;
    while (received.size() < kReadBufferBytes) {
        // What has arrived is asked first, so that every read finishes at once: Wine
        // keeps an overlapped read with nothing to read waiting, whatever the timeouts.
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(m_device->file, &errors, &status)) {
            error = GetLastError();
            break;
        }
        if (status.cbInQue == 0)
            break;
        const qsizetype start = received.size();
        const qsizetype room = std::min<qsizetype>(status.cbInQue, kReadBufferBytes - start);
        received.resize(start + room);
        DWORD got = 0;
        error = m_device->read(received.data() + start, static_cast<DWORD>(room), got);
        received.resize(start + static_cast<qsizetype>(got));
        if (error != ERROR_SUCCESS || got == 0)
            break;
    }
    if (error != ERROR_SUCCESS)
        lineFailed(error);
    return received;
}

qint64 Win32SerialPort::pendingOutput()
{
    if (!m_device)
        return 0;
    const qint64 held = m_queue.size() + (m_device->writeInFlight ? m_device->writing.size() : 0);
    if (m_failed)
        return held;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(m_device->file, &errors, &status)) {
        lineFailed(GetLastError());
        return held;
    }
    qint64 system = status.cbOutQue;
    // A driver that does not count the write in progress still has the chunk.
    if (system == 0 && m_device->writeInFlight && !HasOverlappedIoCompleted(&m_device->write))
        system = m_device->writing.size();
    return m_queue.size() + system;
}

} // namespace talvex
