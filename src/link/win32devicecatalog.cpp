#include "link/win32devicecatalog.h"

#include <QRegularExpression>

#include "core/windowsapi.h"

#include <setupapi.h>

// The GUID of the ports class is defined here, once.
#include <initguid.h>

#include <devguid.h>

#include <algorithm>
#include <vector>

namespace talvex {

namespace {

/// The COM port interface (ntddser.h has it, but needs the driver kit's types).
constexpr GUID kComPortInterface{0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

/// A COM port's number, or -1 for any other name (the ports class holds printer
/// ports too).
int comNumber(const QString &name)
{
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comName.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

bool listed(const QList<SerialDevice> &devices, const QString &port)
{
    return std::any_of(devices.begin(), devices.end(), [&port](const SerialDevice &device) {
        return device.systemPath.compare(port, Qt::CaseInsensitive) == 0;
    });
}

/// A text the system gave in a buffer of @p bytes, up to its first NUL (a list of
/// texts gives its first).
QString textOf(const wchar_t *text, DWORD bytes)
{
    const qsizetype units = static_cast<qsizetype>(bytes / sizeof(wchar_t));
    const qsizetype end = std::find(text, text + units, L'\0') - text;
    return QString::fromWCharArray(text, end).trimmed();
}

QString registryText(HKEY key, const wchar_t *name)
{
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ || bytes == 0)
        return {};
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return {};
    return textOf(buffer.data(), bytes);
}

QString deviceProperty(HDEVINFO set, SP_DEVINFO_DATA &info, DWORD property)
{
    DWORD bytes = 0;
    SetupDiGetDeviceRegistryPropertyW(set, &info, property, nullptr, nullptr, 0, &bytes);
    if (bytes == 0)
        return {};
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, nullptr, reinterpret_cast<BYTE *>(buffer.data()),
                                           bytes, &bytes))
        return {};
    return textOf(buffer.data(), bytes);
}

QString instanceId(HDEVINFO set, SP_DEVINFO_DATA &info)
{
    DWORD chars = 0;
    SetupDiGetDeviceInstanceIdW(set, &info, nullptr, 0, &chars);
    if (chars == 0)
        return {};
    std::vector<wchar_t> buffer(chars + 1, L'\0');
    if (!SetupDiGetDeviceInstanceIdW(set, &info, buffer.data(), chars, nullptr))
        return {};
    return textOf(buffer.data(), chars * sizeof(wchar_t));
}

/// The USB ids and serial number in an instance id such as
/// "USB\VID_067B&PID_2303\5&2B1E5F5&0&2". The last part is the adapter's own serial
/// number only when it holds no "&" (Windows makes one up otherwise).
void readUsbIdentity(const QString &instance, SerialDevice &device)
{
    static const QRegularExpression ids(QStringLiteral("VID_([0-9A-F]{4}).PID_([0-9A-F]{4})"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = ids.match(instance);
    if (!match.hasMatch())
        return;
    device.usbId = (match.captured(1) + QLatin1Char(':') + match.captured(2)).toLower();
    const QStringList parts = instance.split(QLatin1Char('\\'));
    if (parts.size() == 3 && parts.first().compare(QLatin1String("USB"), Qt::CaseInsensitive) == 0 &&
        !parts.last().contains(QLatin1Char('&')))
        device.serialNumber = parts.last();
}

/// "USB Serial Port (COM5)" is shown beside "COM5" already: the name without it.
QString withoutPortName(QString friendlyName, const QString &port)
{
    const QString suffix = QStringLiteral(" (%1)").arg(port);
    if (friendlyName.endsWith(suffix, Qt::CaseInsensitive))
        friendlyName.chop(suffix.size());
    return friendlyName;
}

void addFromDeviceManager(const GUID &guid, DWORD flags, QList<SerialDevice> &devices)
{
    const HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, flags);
    if (set == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof(info);
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        const HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        const QString port = registryText(key, L"PortName");
        RegCloseKey(key);
        if (comNumber(port) < 0 || listed(devices, port))
            continue;
        SerialDevice device;
        device.systemPath = port;
        device.description = withoutPortName(deviceProperty(set, info, SPDRP_FRIENDLYNAME), port);
        if (device.description.isEmpty())
            device.description = deviceProperty(set, info, SPDRP_DEVICEDESC);
        device.manufacturer = deviceProperty(set, info, SPDRP_MFG);
        readUsbIdentity(instanceId(set, info), device);
        devices.append(device);
    }
    SetupDiDestroyDeviceInfoList(set);
}

/// The system's map of serial ports ("\Device\Serial0" = "COM1"): every port a
/// driver made, with nothing more known of it.
void addFromSerialMap(QList<SerialDevice> &devices)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameChars = 256;
        wchar_t data[256];
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result =
            RegEnumValueW(key, i, name, &nameChars, nullptr, &type, reinterpret_cast<BYTE *>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        const QString port = textOf(data, dataBytes);
        if (comNumber(port) < 0 || listed(devices, port))
            continue;
        SerialDevice device;
        device.systemPath = port;
        devices.append(device);
    }
    RegCloseKey(key);
}

} // namespace

QList<SerialDevice> Win32DeviceCatalog::devices() const
{
    QList<SerialDevice> devices;
    // Drivers register a port as an interface, in the ports class, or both.
    addFromDeviceManager(kComPortInterface, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE, devices);
    addFromDeviceManager(GUID_DEVCLASS_PORTS, DIGCF_PRESENT, devices);
    addFromSerialMap(devices);
    std::sort(devices.begin(), devices.end(), [](const SerialDevice &a, const SerialDevice &b) {
        return comNumber(a.systemPath) < comNumber(b.systemPath);
    });
    return devices;
}

} // namespace talvex
